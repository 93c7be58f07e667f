#include "excel/analysis/QVExcelTempCell.h"

#include "excel/analysis/QVExcelTempRow.h"

#include <algorithm>

using U = QVExcelSortUtilities;

QVExcelTempCell::QVExcelTempCell() = default;
QVExcelTempCell::QVExcelTempCell(RunList runs) : runTexts_(std::move(runs)) {}
QVExcelTempCell::~QVExcelTempCell() = default;

void QVExcelTempCell::sortRunTextsByX() {
    U::sortRunTextsByXInPlace(runTexts_);
}
void QVExcelTempCell::sortRunTextsByY() {
    U::sortRunTextsByYInPlace(runTexts_);
}

void QVExcelTempCell::mergeRunTextsStringByY(const QVExcelStackRule* rule) {
    std::vector<RunList> groups = U::divide(runTexts_, U::Chain::MergedInHeight, rule);
    RunList merged;
    merged.reserve(groups.size());
    for (RunList& group : groups)
        merged.push_back(group.size() == 1 ? group.front() : U::MergeRunTextsInHeight(group));
    runTexts_ = std::move(merged);
}

bool QVExcelTempCell::mayStackLines() const {
    if (runTexts_.size() < 2)
        return false;
    double lowestTop = runTexts_.front()->ctmInfo().yTop;
    double highestBottom = runTexts_.front()->ctmInfo().yBottom;
    for (const auto& r : runTexts_) {
        lowestTop = std::max(lowestTop, r->ctmInfo().yTop);
        highestBottom = std::min(highestBottom, r->ctmInfo().yBottom);
    }
    // The stacking chain takes a line whose top lies within 2 points of the
    // bottom above it.
    return lowestTop > highestBottom - 2.0;
}

void QVExcelTempCell::creatTempRowsByY() {
    tempRows_.clear();
    std::vector<RunList> groups = U::divide(runTexts_, U::Chain::CrossedInHeight);
    tempRows_.reserve(groups.size());
    for (RunList& group : groups)
        tempRows_.push_back(std::make_unique<QVExcelTempRow>(std::move(group)));
}

void QVExcelTempCell::creatTempRow1(const QVExcelStackRule* rule) {
    sortRunTextsByY();
    mergeRunTextsStringByY(rule);
    creatTempRowsByY();
    for (auto& row : tempRows_)
        row->creatCell();
}

void QVExcelTempCell::creatTempRow2() {
    sortRunTextsByY();
    creatTempRowsByY();
    for (auto& row : tempRows_)
        row->creatTempCell2();
}

void QVExcelTempCell::creatRow() {
    sortRunTextsByY();
    creatTempRowsByY();
}

QVExcelTempCell::RunList QVExcelTempCell::collectAllRunTexts() const {
    if (tempRows_.empty())
        return runTexts_;
    RunList out;
    for (const auto& row : tempRows_) {
        RunList part = row->collectAllRunTexts();
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}
