#pragma once
// Operations on lists of runs for the table analysis: stable orderings, the
// overlap chains that form row and column groups, the merge chains of runs
// that continue each other, and group extents. Lists are left unchanged
// unless an operation says otherwise.

#include "excel/analysis/QVExcelRunText.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class QVExcelStackRule;

class QVExcelSortUtilities {
public:
    using RunList = std::vector<std::shared_ptr<QVExcelRunText>>;
    using RunSpan = std::span<std::shared_ptr<QVExcelRunText>>;
    QVExcelSortUtilities() = delete;

    /// By xLeft (yTop) ascending; runs with equal keys keep their order.
    static RunList SortRunTextsByX(const RunList& runs);
    static RunList SortRunTextsByY(const RunList& runs);
    /// The same orders, sorting the list itself.
    static void sortRunTextsByXInPlace(RunSpan runs);
    static void sortRunTextsByYInPlace(RunSpan runs);

    /// The first run and every later run that overlaps the chain vertically
    /// (running bottom from yBase, strictly below the next yTop).
    static RunList FindRunTextsCrossedInHeight(const RunList& runs);
    /// The first run and every later run that overlaps or touches the chain horizontally.
    static RunList FindRunTextsCrossedInWidth(const RunList& runs);
    /// The first run and the later runs that continue it on its baseline.
    static RunList FindRunTextsMergedInWidth(const RunList& runs);
    /// The first run and the later runs stacked directly below it; two lines
    /// that are both numbers never stack.
    static RunList FindRunTextsMergedInHeight(const RunList& runs);
    /// Merges a found list into its first run, which is returned.
    static std::shared_ptr<QVExcelRunText>
    MergeRunTextsInWidth(std::span<const std::shared_ptr<QVExcelRunText>> runs);
    static std::shared_ptr<QVExcelRunText>
    MergeRunTextsInHeight(std::span<const std::shared_ptr<QVExcelRunText>> runs);

    static RunList FindRunTextsInSameColumnIndex(const RunList& runs);
    static RunList FindRunTextsInSameRowIndex(const RunList& runs);

    /// Extents of a non-empty list.
    static double GetMinxRightInRunTexts(const RunList& runs);
    static double GetMaxxLeftInRunTexts(const RunList& runs);
    static double GetMinxLeftInRunTexts(const RunList& runs);
    static double GetMinxTopInRunTexts(const RunList& runs);

    /// The chains of the Find operations above, for divide().
    enum class Chain { CrossedInHeight, CrossedInWidth, MergedInWidth, MergedInHeight };
    /// Splits `runs` into consecutive chains: while runs remain, the chain of
    /// the first one is taken out, keeping the order of the rest. The list
    /// must be sorted by the chain's key (yTop for the height chains, xLeft
    /// for the width chains), as the analysis sorts it first: a chain's scan
    /// then stops where no later run can join, so a page's runs divide in
    /// time proportional to their number, not its square.
    /// For the stacked-lines chain, `rule` (when given) says which lines may
    /// stack; without one, only two numbers are kept apart.
    static std::vector<RunList> divide(const RunList& runs, Chain chain,
                                       const QVExcelStackRule* rule = nullptr);
    /// Working space of divideInPlace, reusable from call to call.
    struct Scratch {
        std::vector<size_t> members;
        RunList passed;
    };
    /// divide() without copies: reorders `runs` itself so that the chains
    /// follow each other, and appends their lengths to `lengths`.
    static void divideInPlace(RunSpan runs, Chain chain, const QVExcelStackRule* rule,
                              std::vector<uint32_t>& lengths, Scratch& scratch);
    /// Divides `runs` by a merge chain (MergedInWidth or MergedInHeight),
    /// merges each chain into its first run, and moves those runs to the
    /// front in chain order; returns their number. The runs after them are
    /// left over.
    static size_t mergeInPlace(RunSpan runs, Chain chain, const QVExcelStackRule* rule,
                               std::vector<uint32_t>& lengths, Scratch& scratch);
    /// The runs grouped by equal column (row) number, each group in list
    /// order, groups in the order of their first runs: what repeatedly taking
    /// out FindRunTextsInSameColumnIndex (RowIndex) gives, in one pass.
    static std::vector<RunList> groupByColumnIndex(const RunList& runs);
    static std::vector<RunList> groupByRowIndex(const RunList& runs);
};
