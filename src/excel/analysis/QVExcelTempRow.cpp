#include "excel/analysis/QVExcelTempRow.h"

#include "excel/analysis/QVExcelStackRule.h"
#include "excel/analysis/QVExcelTempCell.h"

#include <optional>
#include <vector>

using U = QVExcelSortUtilities;

void QVExcelTempRow::sortRunTextsByX() {
    U::sortRunTextsByXInPlace(runTexts());
}
void QVExcelTempRow::sortRunTextsByY() {
    U::sortRunTextsByYInPlace(runTexts());
}

void QVExcelTempRow::mergeRunTextsStringByX() {
    tree_.merge(node_, U::Chain::MergedInWidth);
}

void QVExcelTempRow::creatTempCellsByX() {
    tree_.divide(node_, U::Chain::CrossedInWidth);
}

void QVExcelTempRow::creatTempCell1() {
    sortRunTextsByX();
    mergeRunTextsStringByX();
    creatTempCellsByX();
    const QVExcelTempTree::Node at = tree_.node(node_);
    const uint32_t end = at.firstChild + at.children;
    // Which lines may stack is decided on the row group as it stands, before
    // any column's lines have stacked; most row groups are one line, and
    // their columns have no lines to stack.
    std::optional<QVExcelStackRule> rule;
    for (uint32_t c = at.firstChild; c < end; ++c) {
        if (QVExcelTempCell(tree_, c).mayStackLines()) {
            std::vector<U::RunList> columns;
            for (uint32_t k = at.firstChild; k < end; ++k) {
                const auto runs = tree_.runsOf(k);
                columns.emplace_back(runs.begin(), runs.end());
            }
            rule.emplace(columns);
            break;
        }
    }
    for (uint32_t c = at.firstChild; c < end; ++c)
        QVExcelTempCell(tree_, c).creatTempRow1(rule ? &*rule : nullptr);
}

void QVExcelTempRow::creatTempCell2() {
    sortRunTextsByX();
    creatTempCellsByX();
    const QVExcelTempTree::Node at = tree_.node(node_);
    for (uint32_t c = at.firstChild; c < at.firstChild + at.children; ++c)
        QVExcelTempCell(tree_, c).creatRow();
}

void QVExcelTempRow::creatCell() {
    sortRunTextsByX();
    creatTempCellsByX();
}
