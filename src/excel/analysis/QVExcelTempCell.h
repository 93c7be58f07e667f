#pragma once
// A column group of the table analysis: runs that overlap horizontally,
// divided further into row groups. A view of one node of the page's tree.

#include "excel/analysis/QVExcelTempTree.h"

#include <cstdint>
#include <span>

class QVExcelStackRule;

class QVExcelTempCell {
public:
    using RunPtr = QVExcelTempTree::RunPtr;
    QVExcelTempCell(QVExcelTempTree& tree, uint32_t node) : tree_(tree), node_(node) {}

    uint32_t node() const { return node_; }
    std::span<RunPtr> runTexts() { return tree_.runsOf(node_); }

    void sortRunTextsByX();
    void sortRunTextsByY();
    /// Joins lines of one cell stacked directly below each other; `rule`
    /// (from the row group around) keeps a table's rows apart.
    void mergeRunTextsStringByY(const QVExcelStackRule* rule = nullptr);
    /// Whether some line could stack below another: a line's top lies near or
    /// below another's bottom. False for runs that all share one line.
    bool mayStackLines() const;
    /// Divides the runs into row groups (overlap chains in y).
    void creatTempRowsByY();
    /// Pass 1, level 3: sort by y, merge stacked lines, divide, then level 4 below.
    void creatTempRow1(const QVExcelStackRule* rule = nullptr);
    /// Pass 2, level 2: sort by y, divide, then level 3 below.
    void creatTempRow2();
    /// Pass 2, level 4 (the last): sort by y and divide into leaf row groups.
    void creatRow();

private:
    QVExcelTempTree& tree_;
    uint32_t node_;
};
