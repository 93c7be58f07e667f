#pragma once
// A row group of the table analysis: runs that overlap vertically, divided
// further into column groups.

#include "excel/analysis/QVExcelSortUtilities.h"

#include <memory>
#include <vector>

class QVExcelTempCell;

class QVExcelTempRow {
public:
    using RunList = QVExcelSortUtilities::RunList;
    QVExcelTempRow();
    explicit QVExcelTempRow(RunList runs);
    ~QVExcelTempRow();

    RunList& runTexts() { return runTexts_; }
    const RunList& runTexts() const { return runTexts_; }
    const std::vector<std::unique_ptr<QVExcelTempCell>>& tempCells() const { return tempCells_; }

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
    /// Every run below this node, depth first.
    RunList collectAllRunTexts() const;

private:
    RunList runTexts_;
    std::vector<std::unique_ptr<QVExcelTempCell>> tempCells_;
};
