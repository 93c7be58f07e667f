// The table analysis: gives every run of a page its row, column and spans from
// geometry alone. Pass 1 (rows first) merges runs that continue each other and
// yields the row numbers; pass 2 (columns first) yields the column numbers and
// the final run order; a correction moves runs that reach over the next
// column's start; last, spans reach into empty neighbouring cells.
#include "excel/QVExcelPage.h"
#include "excel/QVExcelSortUtilities.h"
#include "excel/QVExcelTempCell.h"
#include "excel/QVExcelTempRow.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace {

using U = QVExcelSortUtilities;
using RunList = U::RunList;
using RunPtr = std::shared_ptr<QVExcelRunText>;

// A leaf whose baselines differ by more than this holds several lines (points).
constexpr double kSameLine = 1.0;

bool isRowsInRunTexts(const RunList& runs) {
    for (const RunPtr& r : runs)
        if (std::fabs(r->ctmInfo().yBase - runs.front()->ctmInfo().yBase) > kSameLine)
            return true;
    return false;
}

// Row numbers over the pass-1 tree. Each returns the next free row.
uint64_t rowLeaf(const RunList& runs, uint64_t start) {
    if (isRowsInRunTexts(runs)) {
        // One row each, the last run of the leaf's order on the first row.
        uint64_t row = start;
        for (auto it = runs.rbegin(); it != runs.rend(); ++it)
            (*it)->setRowIndex(row++);
        return start + runs.size();
    }
    for (const RunPtr& r : runs)
        r->setRowIndex(start);
    return start + 1;
}

uint64_t rowsOfCell(const QVExcelTempCell& cell, uint64_t start);

// A row group's column groups lie side by side: each starts at `start`.
uint64_t rowsOfRow(const QVExcelTempRow& row, uint64_t start) {
    if (row.tempCells().empty())
        return rowLeaf(row.runTexts(), start);
    uint64_t next = start;
    for (const auto& cell : row.tempCells())
        next = std::max(next, rowsOfCell(*cell, start));
    return next;
}

// A column group's row groups lie below each other: in sequence.
uint64_t rowsOfCell(const QVExcelTempCell& cell, uint64_t start) {
    if (cell.tempRows().empty())
        return rowLeaf(cell.runTexts(), start);
    uint64_t next = start;
    for (const auto& row : cell.tempRows())
        next = rowsOfRow(*row, next);
    return next;
}

// Column numbers over the pass-2 tree. Each returns the next free column.
uint64_t columnLeaf(const RunList& runs, uint64_t start) {
    uint64_t column = start;
    for (const RunPtr& r : runs)
        r->setColumnIndex(column++);
    return column;
}

uint64_t columnsOfRow(const QVExcelTempRow& row, uint64_t start);

// A column group's row groups lie below each other: each starts at `start`.
uint64_t columnsOfCell(const QVExcelTempCell& cell, uint64_t start) {
    if (cell.tempRows().empty())
        return columnLeaf(cell.runTexts(), start);
    uint64_t next = start;
    for (const auto& row : cell.tempRows())
        next = std::max(next, columnsOfRow(*row, start));
    return next;
}

// A row group's column groups lie side by side: in sequence.
uint64_t columnsOfRow(const QVExcelTempRow& row, uint64_t start) {
    if (row.tempCells().empty())
        return columnLeaf(row.runTexts(), start);
    uint64_t next = start;
    for (const auto& cell : row.tempCells())
        next = columnsOfCell(*cell, next);
    return next;
}

// Runs grouped by equal column (row) number, groups in the order of their
// first run in `ordered`.
std::vector<RunList> groupsByIndex(const RunList& ordered, bool byColumn) {
    return byColumn ? U::groupByColumnIndex(ordered) : U::groupByRowIndex(ordered);
}

std::vector<RunList> creatColumnArray(const RunList& runs) {
    return groupsByIndex(U::SortRunTextsByX(U::SortRunTextsByY(runs)), true);
}

std::vector<RunList> creatRowArray(const RunList& runs) {
    return groupsByIndex(U::SortRunTextsByY(U::SortRunTextsByX(runs)), false);
}

void correctColumnNumber(const RunList& runs) {
    // Every move raises a column number and none passes the last group's, so
    // the sweeps end; the cap only guards against arithmetic surprises.
    const size_t maxSweeps = runs.size() * runs.size() + 1;
    for (size_t sweep = 0; sweep < maxSweeps; ++sweep) {
        std::vector<RunList> groups = creatColumnArray(runs);
        std::vector<RunPtr> moving;
        for (size_t g = 0; g + 1 < groups.size(); ++g) {
            const double minRight = U::GetMinxRightInRunTexts(groups[g]);
            const double maxLeft = U::GetMaxxLeftInRunTexts(groups[g]);
            const double nextLeft = U::GetMinxLeftInRunTexts(groups[g + 1]);
            for (const RunPtr& r : groups[g]) {
                const double left = r->ctmInfo().xLeft;
                if (left >= maxLeft && left > minRight && left + r->textWidth() / 2 > nextLeft)
                    moving.push_back(r);
            }
        }
        if (moving.empty())
            return;
        for (const RunPtr& r : moving)
            r->setColumnIndex(r->columnIndex() + 1);
    }
}

void caculateRunTextMergeLength(const RunList& runs) {
    std::vector<float> rowTops, columnLefts;
    for (const RunList& g : creatRowArray(runs))
        rowTops.push_back(static_cast<float>(U::GetMinxTopInRunTexts(g)));
    for (const RunList& g : creatColumnArray(runs))
        columnLefts.push_back(static_cast<float>(U::GetMinxLeftInRunTexts(g)));

    // Cells where a run starts; only these block a span.
    std::set<std::pair<uint64_t, uint64_t>> starts;
    for (const RunPtr& r : runs)
        starts.emplace(r->rowIndex(), r->columnIndex());
    auto taken = [&starts](uint64_t row, uint64_t column) {
        return starts.count({row, column}) != 0;
    };

    for (const RunPtr& r : runs) {
        const QVPDF_CTMInfo& g = r->ctmInfo();
        // Once the cell beside the span holds a run, every further position
        // tests that same cell again: the span is final.
        for (uint64_t k = r->rowIndex(); k < rowTops.size(); ++k) {
            if (!(g.yBottom > static_cast<double>(rowTops[k])) ||
                taken(r->rowIndex() + r->rowLength() + 1, r->columnIndex()))
                break;
            r->setRowLength(r->rowLength() + 1);
        }
        for (uint64_t k = r->columnIndex(); k < columnLefts.size(); ++k) {
            if (!(g.xRight > static_cast<double>(columnLefts[k])) ||
                taken(r->rowIndex(), r->columnIndex() + r->columnLength() + 1))
                break;
            r->setColumnLength(r->columnLength() + 1);
        }
    }
}

} // namespace

void QVExcelPage::typesetRunTexts() {
    RunList& runs = allRunTextArray_;
    if (runs.empty())
        return;

    // Pass 1: rows first, with merging; the runs that survive replace the list.
    std::vector<std::unique_ptr<QVExcelTempRow>> tempRows;
    for (RunList& group :
         U::divide(U::SortRunTextsByY(U::SortRunTextsByX(runs)), U::Chain::CrossedInHeight)) {
        tempRows.push_back(std::make_unique<QVExcelTempRow>(std::move(group)));
        tempRows.back()->creatTempCell1();
    }
    RunList survivors;
    for (const auto& row : tempRows) {
        RunList part = row->collectAllRunTexts();
        survivors.insert(survivors.end(), part.begin(), part.end());
    }

    // Pass 2: columns first, without merging; its first ordering is final.
    runs = U::SortRunTextsByX(U::SortRunTextsByY(survivors));
    std::vector<std::unique_ptr<QVExcelTempCell>> tempCells;
    for (RunList& group : U::divide(runs, U::Chain::CrossedInWidth)) {
        tempCells.push_back(std::make_unique<QVExcelTempCell>(std::move(group)));
        tempCells.back()->creatTempRow2();
    }

    uint64_t nextRow = 1;
    for (const auto& row : tempRows)
        nextRow = rowsOfRow(*row, nextRow);
    uint64_t nextColumn = 1;
    for (const auto& cell : tempCells)
        nextColumn = columnsOfCell(*cell, nextColumn);

    correctColumnNumber(runs);
    caculateRunTextMergeLength(runs);
}
