#pragma once
// Numbers one word space apart, each drawn as a string of its own ("200"
// "100"): one number grouped by a space, or the cells of two columns set so
// tight that only a word space is left between them. The capture holds such
// joins back; here they are settled once the whole page is known. A pair
// becomes two cells when the page shows two columns there: other lines near
// it hold two separate runs lined up with the pair's numbers (at their left
// or right edges), or at least three such pairs stand below each other and
// one of them cannot be a number grouped by a space ("7 31"). Every other
// pair is joined as one text, as a word space joins words.

#include "excel/analysis/QVExcelRunText.h"

#include <memory>
#include <vector>

class QVExcelNumberPairs {
public:
    using RunList = std::vector<std::shared_ptr<QVExcelRunText>>;

    /// Settles the held joins of `runs` (in drawing order: a held run follows
    /// the run it was held from): each is joined to that run or left apart.
    static void settle(RunList& runs);

    /// Whether "first second" may be one number grouped by a space: one to
    /// three digits (signs, an opening bracket or a currency symbol before them), then three
    /// digits with what may end a number (decimals, a percent sign, a bracket).
    static bool mayBeGrouped(std::u16string_view first, std::u16string_view second);

    /// Lines a pair's evidence is looked for in, above and below it.
    static constexpr double kEvidenceLines = 40.0;
    /// Pairs stand below each other within this many line heights.
    static constexpr double kStackLines = 2.5;
    /// Pairs below each other that show two columns by themselves.
    static constexpr size_t kStackPairs = 3;
    /// Edges within this many points line up.
    static constexpr double kAlignTolerance = 1.0;
};
