#include "excel/analysis/QVExcelTempCell.h"

#include "excel/analysis/QVExcelTempRow.h"

#include <algorithm>
#include <utility>

using U = QVExcelSortUtilities;

void QVExcelTempCell::sortRunTextsByX() {
    U::sortRunTextsByXInPlace(runTexts());
}
void QVExcelTempCell::sortRunTextsByY() {
    U::sortRunTextsByYInPlace(runTexts());
}

void QVExcelTempCell::mergeRunTextsStringByY(const QVExcelStackRule* rule) {
    tree_.merge(node_, U::Chain::MergedInHeight, rule);
}

bool QVExcelTempCell::mayStackLines() const {
    const auto runs = std::as_const(tree_).runsOf(node_);
    if (runs.size() < 2)
        return false;
    double lowestTop = runs.front()->ctmInfo().yTop;
    double highestBottom = runs.front()->ctmInfo().yBottom;
    for (const auto& r : runs) {
        lowestTop = std::max(lowestTop, r->ctmInfo().yTop);
        highestBottom = std::min(highestBottom, r->ctmInfo().yBottom);
    }
    // The stacking chain takes a line whose top lies within 2 points of the
    // bottom above it.
    return lowestTop > highestBottom - 2.0;
}

void QVExcelTempCell::creatTempRowsByY() {
    tree_.divide(node_, U::Chain::CrossedInHeight);
}

void QVExcelTempCell::creatTempRow1(const QVExcelStackRule* rule) {
    sortRunTextsByY();
    mergeRunTextsStringByY(rule);
    creatTempRowsByY();
    const QVExcelTempTree::Node at = tree_.node(node_);
    for (uint32_t r = at.firstChild; r < at.firstChild + at.children; ++r)
        QVExcelTempRow(tree_, r).creatCell();
}

void QVExcelTempCell::creatTempRow2() {
    sortRunTextsByY();
    creatTempRowsByY();
    const QVExcelTempTree::Node at = tree_.node(node_);
    for (uint32_t r = at.firstChild; r < at.firstChild + at.children; ++r)
        QVExcelTempRow(tree_, r).creatTempCell2();
}

void QVExcelTempCell::creatRow() {
    sortRunTextsByY();
    creatTempRowsByY();
}
