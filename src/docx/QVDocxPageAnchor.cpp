// Floating-object anchoring of QVDocxPage: every floating run of a page sits
// in its first paragraph, behind the text or in front of it by paint order.
#include "docx/QVDocxPage.h"

#include "docx/QVDocxParagraph.h"
#include "docx/QVDocxRunPict.h"
#include "docx/QVDocxRunText.h"

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

void QVDocxPage::_insertFloatRunPicts() {
    if (paragraphArray_.empty())
        return;
    QVDocxParagraph& first = *paragraphArray_.front();
    for (const auto& run : runImageArray_) {
        if (!haveTextUpperInRect(run->displayRect(), run->drawIndex()))
            bringToFront(*run);
        first.runArray().push_back(run);
    }
    for (const auto& run : runPathArray_) {
        if (!haveTextUpperInRect(run->displayRect(), run->drawIndex()) &&
            !haveImageUpperInRect(run->displayRect(), run->drawIndex()))
            bringToFront(*run);
        first.runArray().push_back(run);
    }
    for (const auto& run : runTextBoxArray_)
        first.runArray().push_back(run);
}
