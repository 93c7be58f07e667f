#pragma once
// A row group of the table analysis: runs that overlap vertically, divided
// further into column groups. A view of one node of the page's tree.

#include "excel/analysis/QVExcelTempTree.h"

#include <cstdint>
#include <span>

class QVExcelTempRow {
public:
    using RunPtr = QVExcelTempTree::RunPtr;
    QVExcelTempRow(QVExcelTempTree& tree, uint32_t node) : tree_(tree), node_(node) {}

    uint32_t node() const { return node_; }
    std::span<RunPtr> runTexts() { return tree_.runsOf(node_); }

    void sortRunTextsByX();
    void sortRunTextsByY();
    /// Joins runs that continue each other on one baseline.
    void mergeRunTextsStringByX();
    /// Divides the runs into column groups (overlap chains in x).
    void creatTempCellsByX();
    /// Pass 1, level 2: sort by x, merge side by side, divide, then level 3 below.
    void creatTempCell1();
    /// Pass 2, level 3: sort by x, divide, then level 4 below.
    void creatTempCell2();
    /// Pass 1, level 4 (the last): sort by x and divide into leaf column groups.
    void creatCell();

private:
    QVExcelTempTree& tree_;
    uint32_t node_;
};
