// Floating-object anchoring of QVDocxPage: every floating run of a page sits
// in its first paragraph, behind the text or in front of it by paint order.
#include "docx/QVDocxPage.h"

#include "docx/QVDocxParagraph.h"
#include "docx/QVDocxRunPath.h"
#include "docx/QVDocxRunPict.h"
#include "docx/QVDocxRunText.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Word's stacking orders: objects behind the text count up from -251657498,
// so 251661312 - |z| puts them in front in the same order (3814, 3815, ...).
constexpr int32_t kFrontBase = 251661312;

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

// The floating runs that stand for the page's paths, in painting order:
// paths painted one after another on the same side of the text, with no
// other floating object of the page stacked between them, become one group.
std::vector<std::shared_ptr<QVDocxRunPict>>
groupedPaths(const QVDocxPage::RunPictArray& paths,
             const std::vector<const QVDocxPage::RunPictArray*>& others) {
    std::vector<int32_t> otherZ;
    for (const auto* array : others)
        for (const auto& run : *array)
            otherZ.push_back(static_cast<int32_t>(static_cast<uint32_t>(run->pictZIndex())));
    for (const auto& run : paths)
        if (!std::dynamic_pointer_cast<const QVDocxRunPath>(run))
            otherZ.push_back(static_cast<int32_t>(static_cast<uint32_t>(run->pictZIndex())));
    std::sort(otherZ.begin(), otherZ.end());
    auto stackedBetween = [&](const QVDocxRunPict& a, const QVDocxRunPict& b) {
        const auto za = static_cast<int32_t>(static_cast<uint32_t>(a.pictZIndex()));
        const auto zb = static_cast<int32_t>(static_cast<uint32_t>(b.pictZIndex()));
        const auto at = std::upper_bound(otherZ.begin(), otherZ.end(), std::min(za, zb));
        return at != otherZ.end() && *at < std::max(za, zb);
    };

    std::vector<std::shared_ptr<QVDocxRunPict>> out;
    QVDocxRunPathGroup::Members pending;
    auto flush = [&]() {
        if (pending.size() == 1)
            out.push_back(std::const_pointer_cast<QVDocxRunPath>(pending.front()));
        else if (!pending.empty())
            out.push_back(std::make_shared<QVDocxRunPathGroup>(std::move(pending)));
        pending.clear();
    };
    for (const auto& run : paths) {
        auto path = std::dynamic_pointer_cast<const QVDocxRunPath>(run);
        if (!path) {
            flush();
            out.push_back(run);
            continue;
        }
        if (!pending.empty() && (inFront(*pending.back()) != inFront(*path) ||
                                 stackedBetween(*pending.back(), *path)))
            flush();
        pending.push_back(std::move(path));
    }
    flush();
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
    for (auto& run : groupedPaths(runPathArray_, {&runImageArray_, &runTextBoxArray_}))
        first.runArray().push_back(std::move(run));
    for (const auto& run : runTextBoxArray_)
        first.runArray().push_back(run);
}
