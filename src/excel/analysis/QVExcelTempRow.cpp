#include "excel/analysis/QVExcelTempRow.h"

#include "excel/analysis/QVExcelStackRule.h"
#include "excel/analysis/QVExcelTempCell.h"

#include <algorithm>
#include <optional>

using U = QVExcelSortUtilities;

QVExcelTempRow::QVExcelTempRow() = default;
QVExcelTempRow::QVExcelTempRow(RunList runs) : runTexts_(std::move(runs)) {}
QVExcelTempRow::~QVExcelTempRow() = default;

void QVExcelTempRow::sortRunTextsByX() {
    U::sortRunTextsByXInPlace(runTexts_);
}
void QVExcelTempRow::sortRunTextsByY() {
    U::sortRunTextsByYInPlace(runTexts_);
}

void QVExcelTempRow::mergeRunTextsStringByX() {
    std::vector<RunList> groups = U::divide(runTexts_, U::Chain::MergedInWidth);
    RunList merged;
    merged.reserve(groups.size());
    for (RunList& group : groups)
        merged.push_back(group.size() == 1 ? group.front() : U::MergeRunTextsInWidth(group));
    runTexts_ = std::move(merged);
}

void QVExcelTempRow::creatTempCellsByX() {
    tempCells_.clear();
    std::vector<RunList> groups = U::divide(runTexts_, U::Chain::CrossedInWidth);
    tempCells_.reserve(groups.size());
    for (RunList& group : groups)
        tempCells_.push_back(std::make_unique<QVExcelTempCell>(std::move(group)));
}

void QVExcelTempRow::creatTempCell1() {
    sortRunTextsByX();
    mergeRunTextsStringByX();
    creatTempCellsByX();
    // Which lines may stack is decided on the row group as it stands, before
    // any column's lines have stacked; most row groups are one line, and
    // their columns have no lines to stack.
    std::optional<QVExcelStackRule> rule;
    if (std::any_of(tempCells_.begin(), tempCells_.end(),
                    [](const auto& cell) { return cell->mayStackLines(); })) {
        std::vector<RunList> columns;
        for (const auto& cell : tempCells_)
            columns.push_back(cell->runTexts());
        rule.emplace(columns);
    }
    for (auto& cell : tempCells_)
        cell->creatTempRow1(rule ? &*rule : nullptr);
}

void QVExcelTempRow::creatTempCell2() {
    sortRunTextsByX();
    creatTempCellsByX();
    for (auto& cell : tempCells_)
        cell->creatRow();
}

void QVExcelTempRow::creatCell() {
    sortRunTextsByX();
    creatTempCellsByX();
}

QVExcelTempRow::RunList QVExcelTempRow::collectAllRunTexts() const {
    if (tempCells_.empty())
        return runTexts_;
    RunList out;
    for (const auto& cell : tempCells_) {
        RunList part = cell->collectAllRunTexts();
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}
