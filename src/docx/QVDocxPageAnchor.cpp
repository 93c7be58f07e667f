// Floating-object anchoring of QVDocxPage: every floating run of a page sits
// in its first paragraph, behind the text or in front of it by paint order.
#include "docx/QVDocxPage.h"

#include "docx/QVDocxParagraph.h"
#include "docx/QVDocxRunImage.h"
#include "docx/QVDocxRunPath.h"
#include "docx/QVDocxRunPict.h"
#include "docx/QVDocxRunText.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

// Word's stacking orders: objects behind the text count up from -251657498,
// so 251661312 - |z| puts them in front in the same order (3814, 3815, ...).
constexpr int32_t kFrontBase = 251661312;
// Paths of one group from which it is written as a picture: a reader keeps
// every shape of a group as an object of its own and redraws them all each
// time the page is laid out again (LibreOffice: about a second per thousand
// shapes and layout), while a plotted surface or a map of thousands of paths
// prints the same as a picture.
constexpr size_t kPicturePaths = 500;
// The picture's resolution, and the most pixels along a side.
constexpr double kPictureDotsPerInch = 200;
constexpr int kPictureMaxPixels = 4000;

bool intersects(const platform::Rect& a, const platform::Rect& b) {
    const platform::Rect p = a.standardized(), q = b.standardized();
    return p.minX() < q.maxX() && q.minX() < p.maxX() && p.minY() < q.maxY() &&
           q.minY() < p.maxY();
}

bool contains(const platform::Rect& a, const platform::Rect& b) {
    const platform::Rect p = a.standardized(), q = b.standardized();
    return p.minX() <= q.minX() && q.maxX() <= p.maxX() && p.minY() <= q.minY() &&
           q.maxY() <= p.maxY();
}

bool overlaps(const platform::Rect& a, const platform::Rect& b) {
    return intersects(a, b) || contains(a, b);
}

void bringToFront(QVDocxRunPict& run) {
    const auto low = static_cast<int32_t>(static_cast<uint32_t>(run.pictZIndex()));
    // Objects already in front (text boxes, text paths) keep their order:
    // mirroring them would reverse their painting order.
    if (low >= 0)
        return;
    run.setPictZIndex(static_cast<int64_t>(kFrontBase - std::abs(static_cast<int64_t>(low))));
}

bool inFront(const QVDocxRunPict& run) {
    return static_cast<int32_t>(static_cast<uint32_t>(run.pictZIndex())) >= 0;
}

int32_t stackingOrder(const QVDocxRunPict& run) {
    return static_cast<int32_t>(static_cast<uint32_t>(run.pictZIndex()));
}

// The floating runs that stand for the page's paths: each path joins the
// latest group on its side of the text, where it is stacked at the group's
// first member, unless a picture or text box stacked between that member and
// the path overlaps the path; then it starts a group. Overlapping objects
// thus keep their stacking, and a page's drawing is a few objects however
// its paths and text alternate. Text on a path ends every group.
std::vector<std::shared_ptr<QVDocxRunPict>>
groupedPaths(const QVDocxPage::RunPictArray& paths,
             const std::vector<const QVDocxPage::RunPictArray*>& others) {
    struct Other {
        int32_t z;
        platform::Rect rect;
    };
    std::vector<Other> stacked;
    for (const auto* array : others)
        for (const auto& run : *array)
            stacked.push_back({stackingOrder(*run), run->displayRect()});
    auto blocked = [&](int32_t from, int32_t to, const platform::Rect& rect) {
        for (const Other& o : stacked)
            if (o.z > from && o.z < to && overlaps(o.rect, rect))
                return true;
        return false;
    };

    // Entries in order of their first painting: a group (index) or a run.
    std::vector<QVDocxRunPathGroup::Members> groups;
    std::vector<std::pair<std::optional<size_t>, std::shared_ptr<QVDocxRunPict>>> entries;
    std::optional<size_t> latest[2];
    for (const auto& run : paths) {
        auto path = std::dynamic_pointer_cast<const QVDocxRunPath>(run);
        if (!path) {
            latest[0].reset(), latest[1].reset();
            entries.push_back({std::nullopt, run});
            continue;
        }
        std::optional<size_t>& group = latest[inFront(*path) ? 1 : 0];
        if (group && !blocked(stackingOrder(*groups[*group].front()), stackingOrder(*path),
                              path->displayRect())) {
            groups[*group].push_back(std::move(path));
            continue;
        }
        group = groups.size();
        groups.push_back({std::move(path)});
        entries.push_back({group, nullptr});
    }

    std::vector<std::shared_ptr<QVDocxRunPict>> out;
    for (auto& [group, run] : entries) {
        if (!group)
            out.push_back(std::move(run));
        else if (groups[*group].size() == 1)
            out.push_back(std::const_pointer_cast<QVDocxRunPath>(groups[*group].front()));
        else
            out.push_back(std::make_shared<QVDocxRunPathGroup>(std::move(groups[*group])));
    }
    return out;
}

} // namespace

bool QVDocxPage::haveTextUpperInRect(const platform::Rect& rect, uint64_t drawIndex) const {
    for (const auto& p : paragraphArray_)
        for (const auto& run : p->runArray())
            if (run->drawIndex() > drawIndex && run->asRunText() &&
                overlaps(rect, run->displayRect()))
                return true;
    for (const DrawnCopy& copy : droppedTextCopies_)
        if (copy.drawIndex > drawIndex && overlaps(rect, copy.rect))
            return true;
    return false;
}

bool QVDocxPage::haveImageUpperInRect(const platform::Rect& rect, uint64_t drawIndex) const {
    for (const auto& run : runImageArray_)
        if (run->drawIndex() > drawIndex && overlaps(rect, run->displayRect()))
            return true;
    return false;
}

bool QVDocxPage::haveTextInRect(const platform::Rect& rect) const {
    for (const auto& p : paragraphArray_)
        for (const auto& run : p->runArray())
            if (run->asRunText() && overlaps(rect, run->displayRect()))
                return true;
    for (const DrawnCopy& copy : droppedTextCopies_)
        if (overlaps(rect, copy.rect))
            return true;
    for (const auto& box : runTextBoxArray_)
        if (overlaps(rect, box->displayRect()))
            return true;
    return false;
}

bool QVDocxPage::haveImagePaintedBetween(uint64_t after, uint64_t before) const {
    for (const auto& run : runImageArray_)
        if (run->drawIndex() > after && run->drawIndex() < before)
            return true;
    return false;
}

std::shared_ptr<QVDocxRunPict> QVDocxPage::drawingPicture(const QVDocxRunPict& run) const {
    const auto* group = dynamic_cast<const QVDocxRunPathGroup*>(&run);
    if (!group || group->members().size() < kPicturePaths || !drawingPictureSink_)
        return nullptr;
    platform::Rect box;
    const auto image = group->picture(kPictureDotsPerInch, kPictureMaxPixels, box);
    if (!image)
        return nullptr;
    const auto id = drawingPictureSink_(*image);
    if (!id)
        return nullptr;
    QVDocxImageInfo info;
    info.displayX = box.minX(), info.displayY = box.minY();
    info.displayWidth = box.size.width, info.displayHeight = box.size.height;
    info.vertices = {platform::Point{box.minX(), box.minY()}, {box.maxX(), box.minY()},
                     {box.maxX(), box.maxY()}, {box.minX(), box.maxY()}};
    auto picture = std::make_shared<QVDocxRunImage>();
    picture->setRunImageID(*id);
    picture->setRunImageTitle("Drawing");
    picture->setPictInfo(std::move(info));
    picture->setDrawIndex(run.drawIndex());
    picture->setPictZIndex(run.pictZIndex());
    picture->setRProperty(run.rProperty());
    return picture;
}

void QVDocxPage::_insertFloatRunPicts() {
    if (paragraphArray_.empty())
        return;
    QVDocxParagraph& first = *paragraphArray_.front();
    for (const auto& run : runImageArray_) {
        if (!haveTextUpperInRect(run->displayRect(), run->drawIndex()))
            bringToFront(*run);
        first.runArray().push_back(run);
    }
    const QVDocxRunPict* previous = nullptr;
    for (const auto& run : runPathArray_) {
        const platform::Rect rect = run->displayRect();
        const bool path = std::dynamic_pointer_cast<const QVDocxRunPath>(run) != nullptr;
        // A path that no text touches looks the same on either side of the
        // text; it stays with the path painted just before it, so a drawing
        // partly under text is not cut into many objects.
        const bool withPrevious = path && previous && !inFront(*previous) &&
                                  !haveImagePaintedBetween(previous->drawIndex(),
                                                           run->drawIndex()) &&
                                  !haveTextInRect(rect);
        if (!withPrevious && !haveTextUpperInRect(rect, run->drawIndex()) &&
            !haveImageUpperInRect(rect, run->drawIndex()))
            bringToFront(*run);
        previous = path ? run.get() : nullptr;
    }
    for (auto& run : groupedPaths(runPathArray_, {&runImageArray_, &runTextBoxArray_})) {
        if (auto picture = drawingPicture(*run))
            run = std::move(picture);
        first.runArray().push_back(std::move(run));
    }
    for (const auto& run : runTextBoxArray_)
        first.runArray().push_back(run);
}
