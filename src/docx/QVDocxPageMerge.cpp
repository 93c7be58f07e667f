// Run merging of QVDocxPage: pieces of text become words and lines.
#include "docx/QVDocxPage.h"

#include "docx/QVDocxRunText.h"

#include <algorithm>
#include <cmath>

namespace {

// Gaps are words from a point on, as in the spreadsheet output: at the old
// 2-point threshold "Bundesministerium" "des" set 1.5 pt apart read as one word.
constexpr double kWordGap = 1.0;
// The space estimate is at least this share of the font size: a font
// reporting a tiny space width would otherwise turn a column gap into
// thousands of spaces.
constexpr float kMinimumSpaceShare = 0.2f;
// A gap wider than this many word spaces parts the line: the piece after it
// is placed at a tab stop by the layout. As spaces, the words after a wide
// gap drifted wherever a reader's space differs from the PDF's.
constexpr double kTabGapSpaces = 2.0;
// Pieces on baselines closer than this are on one line.
constexpr double kBaselineTolerance = 1.0;
// Glyphs may overlap their predecessor by this much (kerning, bold overprint).
constexpr double kOverlapTolerance = 2.0;

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == 0x00A0; }

} // namespace

QVDocxPage::RunTextArray QVDocxPage::_findMergeRunArray(const RunTextArray& runs) {
    if (runs.empty())
        return {};
    const std::shared_ptr<QVDocxRunText>& first = runs.front();
    RunTextArray group{first};
    uint64_t next = first->drawIndex() + 1;
    const double base = first->ctmInfo().yBase;
    double end = first->ctmInfo().xLeft + first->textWidth();
    const QVDocx_RPr reference = first->rProperty();

    const double wordSpace =
        std::max(first->spaceWidth(), static_cast<double>(kMinimumSpaceShare * reference.sz));

    for (size_t k = 1; k < runs.size(); ++k) {
        QVDocxRunText& run = *runs[k];
        if (run.drawIndex() != next)
            break;
        if (!(std::fabs(run.ctmInfo().yBase - base) < kBaselineTolerance))
            break;
        if (!QVDocx_RPrIsEqual(run.rProperty(), reference))
            break;
        double gap = run.ctmInfo().xLeft - end;
        if (!(gap >= -kOverlapTolerance))
            break;
        gap = std::max(gap, 0.0);
        if (gap > kTabGapSpaces * wordSpace)
            break;
        if (gap >= kWordGap) {
            // One space between words, however wide the word space is set.
            long spaces = 1;
            // A piece that already carries its space needs none.
            const std::u16string& before = group.back()->runText();
            if ((!before.empty() && isSpace(before.back())) ||
                (!run.runText().empty() && isSpace(run.runText().front())))
                --spaces;
            run.runText().insert(0, static_cast<size_t>(spaces), u' ');
            run.setTextWidth(run.textWidth() + gap);
            QVPDF_CTMInfo g = run.ctmInfo();
            g.xLeft = end;
            g.topLeft.x = end;
            g.bottomLeft.x = end;
            g.xRight = end + run.textWidth();
            run.setCtmInfo(g);
        }
        group.push_back(runs[k]);
        end = run.ctmInfo().xLeft + run.textWidth();
        next = run.drawIndex() + 1;
    }
    return group;
}

std::shared_ptr<QVDocxRunText> QVDocxPage::_mergeRunArray(const RunTextArray& group) {
    if (group.empty())
        return nullptr;
    const std::shared_ptr<QVDocxRunText>& head = group.front();
    QVPDF_CTMInfo g = head->ctmInfo();
    float s = static_cast<float>(head->spaceWidth());
    for (size_t k = 1; k < group.size(); ++k) {
        const QVDocxRunText& run = *group[k];
        head->runText() += run.runText();
        s = std::min(s, static_cast<float>(run.spaceWidth()));
        g.xRight = run.ctmInfo().xLeft + run.textWidth();
        g.topLeft.y = std::min(static_cast<float>(g.topLeft.y),
                               static_cast<float>(run.ctmInfo().topLeft.y));
        g.bottomLeft.y = std::max(static_cast<float>(g.bottomLeft.y),
                                  static_cast<float>(run.ctmInfo().bottomLeft.y));
    }
    if (group.size() > 1) {
        head->setCtmInfo(g);
        head->setTextWidth(std::fabs(g.xRight - g.xLeft));
        head->setSpaceWidth(s);
    }
    return head;
}
