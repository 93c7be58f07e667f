// The table analysis: gives every run of a page its row, column and spans from
// geometry alone. Pass 1 (rows first) merges runs that continue each other and
// yields the row numbers; pass 2 (columns first) yields the column numbers and
// the final run order; a correction moves runs that reach over the next
// column's start; last, spans reach into empty neighbouring cells.
#include "excel/analysis/QVExcelNumberPairs.h"
#include "excel/analysis/QVExcelSortUtilities.h"
#include "excel/analysis/QVExcelTempCell.h"
#include "excel/analysis/QVExcelTempRow.h"
#include "excel/analysis/QVExcelTempTree.h"
#include "excel/sheet/QVExcelPage.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <map>
#include <span>
#include <unordered_map>
#include <utility>

namespace {

using U = QVExcelSortUtilities;
using RunList = U::RunList;
using RunPtr = std::shared_ptr<QVExcelRunText>;

// A leaf whose baselines differ by more than this holds several lines (points).
constexpr double kSameLine = 1.0;

using Tree = QVExcelTempTree;
using RunSpan = std::span<const RunPtr>;

bool isRowsInRunTexts(RunSpan runs) {
    for (const RunPtr& r : runs)
        if (std::fabs(r->ctmInfo().yBase - runs.front()->ctmInfo().yBase) > kSameLine)
            return true;
    return false;
}

// The node numbers first, first + 1, ... up to before `end`. A range of its
// own: clang 14 (the fuzz build) rejects libstdc++ 12's iota_view.
struct NodeRange {
    struct Iterator {
        using iterator_category = std::forward_iterator_tag;
        using value_type = uint32_t;
        using difference_type = std::ptrdiff_t;
        using pointer = const uint32_t*;
        using reference = uint32_t;
        uint32_t n = 0;
        uint32_t operator*() const { return n; }
        Iterator& operator++() {
            ++n;
            return *this;
        }
        Iterator operator++(int) { return {n++}; }
        bool operator==(const Iterator&) const = default;
    };
    uint32_t first = 0, last = 0;
    Iterator begin() const { return {first}; }
    Iterator end() const { return {last}; }
    size_t size() const { return last - first; }
    uint32_t operator[](size_t i) const { return first + static_cast<uint32_t>(i); }
};

// The children of a node: node numbers, in order.
NodeRange childrenOf(const Tree& tree, uint32_t n) {
    const Tree::Node& at = tree.node(n);
    return {at.firstChild, at.firstChild + at.children};
}

bool isLeaf(const Tree& tree, uint32_t n) {
    return tree.node(n).children == 0;
}

// Row numbers over the pass-1 tree. Each returns the next free row.
uint64_t rowLeaf(RunSpan runs, uint64_t start) {
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

uint64_t rowsOfCell(const Tree& tree, uint32_t cell, uint64_t start);

// A row group's column groups lie side by side: each starts at `start`.
uint64_t rowsOfRow(const Tree& tree, uint32_t row, uint64_t start) {
    if (isLeaf(tree, row))
        return rowLeaf(tree.runsOf(row), start);
    uint64_t next = start;
    for (uint32_t cell : childrenOf(tree, row))
        next = std::max(next, rowsOfCell(tree, cell, start));
    return next;
}

// A column group's row groups lie below each other: in sequence.
uint64_t rowsOfCell(const Tree& tree, uint32_t cell, uint64_t start) {
    if (isLeaf(tree, cell))
        return rowLeaf(tree.runsOf(cell), start);
    uint64_t next = start;
    for (uint32_t row : childrenOf(tree, cell))
        next = rowsOfRow(tree, row, next);
    return next;
}

// A row group of the page whose column groups hold several lines each: text
// beside a table (a second text column, chart labels) at another leading
// chains the table's rows into one group. Numbering each column's lines in
// sequence would move a value up into the row of an empty cell above it, so
// the lines are numbered by where they lie: lines of different columns on
// one baseline form one band, bands take rows in order, and each band starts
// below everything before it. A column's lines stacked into one cell join the
// first band they overlap.
// Lines of different columns whose baselines lie within this share of a
// line's height of each other are one row of a table.
constexpr double kSameRowShare = 0.3;

uint64_t rowsOfPageRow(const Tree& tree, uint32_t row, uint64_t start) {
    const auto cells = childrenOf(tree, row);
    const bool severalLines = std::any_of(cells.begin(), cells.end(), [&](uint32_t cell) {
        return tree.node(cell).children > 1;
    });
    if (cells.size() < 2 || !severalLines)
        return rowsOfRow(tree, row, start);
    struct Line {
        uint32_t group;
        size_t column;
        double top, base, height;
    };
    std::vector<Line> single, stacked;
    for (size_t c = 0; c < cells.size(); ++c) {
        const uint32_t cell = cells[c];
        if (isLeaf(tree, cell))
            return rowsOfRow(tree, row, start);
        for (uint32_t group : childrenOf(tree, cell)) {
            Line line{group, c, INFINITY, -INFINITY, INFINITY};
            bool tall = false;
            tree.forEachRun(group, [&](const RunPtr& r) {
                const QVPDF_CTMInfo& g = r->ctmInfo();
                line.top = std::min(line.top, g.yTop);
                line.base = std::max(line.base, g.yBase);
                line.height = std::min(line.height, g.yBottom - g.yTop);
                // Stacked lines keep the first line's descent line.
                tall = tall || g.yBase > g.yDescent;
            });
            (tall ? stacked : single).push_back(line);
        }
    }
    if (single.empty())
        return rowsOfRow(tree, row, start);
    auto byTop = [](const Line& a, const Line& b) { return a.top < b.top; };
    std::stable_sort(single.begin(), single.end(),
                     [](const Line& a, const Line& b) { return a.base < b.base; });
    std::stable_sort(stacked.begin(), stacked.end(), byTop);
    struct Band {
        double top, base;
        std::vector<Line> lines;
        std::vector<size_t> columns; // ascending
    };
    auto add = [](Band& band, const Line& line) {
        band.top = std::min(band.top, line.top);
        band.base = std::max(band.base, line.base);
        band.lines.push_back(line);
        auto at = std::lower_bound(band.columns.begin(), band.columns.end(), line.column);
        if (at == band.columns.end() || *at != line.column)
            band.columns.insert(at, line.column);
    };
    // Lines whose baselines lie close to the first one's make a row: the
    // cells of a table row share their baseline, while the lines of text
    // beside the table lie anywhere between (chaining by overlap would join
    // the rows again through them).
    std::vector<Band> rows;
    double rowBase = 0, rowHeight = 0;
    for (const Line& line : single) {
        if (rows.empty() ||
            !(line.base - rowBase <= kSameRowShare * std::min(rowHeight, line.height))) {
            rows.push_back({line.top, line.base, {}, {}});
            rowBase = line.base;
            rowHeight = line.height;
        }
        add(rows.back(), line);
    }
    // A row of other columns only that overlaps the band above joins it: text
    // beside a table, or a cell set off its row's baseline, shares the row.
    std::vector<Band> bands;
    for (Band& row : rows) {
        if (!bands.empty() && bands.back().base > row.top) {
            const auto& above = bands.back().columns;
            std::vector<size_t> shared;
            std::set_intersection(above.begin(), above.end(), row.columns.begin(),
                                  row.columns.end(), std::back_inserter(shared));
            if (shared.empty()) {
                for (const Line& line : row.lines)
                    add(bands.back(), line);
                continue;
            }
        }
        bands.push_back(std::move(row));
    }
    // The bands lie below each other in the order of their baselines, so the
    // first one a stacked line overlaps is found by halving.
    std::vector<Band> own;
    for (const Line& line : stacked) {
        auto it = std::partition_point(bands.begin(), bands.end(),
                                       [&](const Band& b) { return !(b.base > line.top); });
        if (it != bands.end() && line.base > it->top)
            it->lines.push_back(line);
        else
            own.push_back({line.top, line.base, {line}, {line.column}});
    }
    if (!own.empty()) {
        bands.insert(bands.end(), own.begin(), own.end());
        std::stable_sort(bands.begin(), bands.end(),
                         [](const Band& a, const Band& b) { return a.base < b.base; });
    }
    std::vector<uint64_t> columnNext(cells.size(), start);
    uint64_t next = start;
    for (Band& band : bands) {
        std::stable_sort(band.lines.begin(), band.lines.end(), byTop);
        const uint64_t bandStart = next;
        for (const Line& line : band.lines) {
            const uint64_t lineNext =
                rowsOfRow(tree, line.group, std::max(bandStart, columnNext[line.column]));
            columnNext[line.column] = lineNext;
            next = std::max(next, lineNext);
        }
    }
    return next;
}

// Column numbers over the pass-2 tree. Each returns the next free column.
uint64_t columnLeaf(RunSpan runs, uint64_t start) {
    uint64_t column = start;
    for (const RunPtr& r : runs)
        r->setColumnIndex(column++);
    return column;
}

uint64_t columnsOfRow(const Tree& tree, uint32_t row, uint64_t start);

// A column group's row groups lie below each other: each starts at `start`.
uint64_t columnsOfCell(const Tree& tree, uint32_t cell, uint64_t start) {
    if (isLeaf(tree, cell))
        return columnLeaf(tree.runsOf(cell), start);
    uint64_t next = start;
    for (uint32_t row : childrenOf(tree, cell))
        next = std::max(next, columnsOfRow(tree, row, start));
    return next;
}

// A row group's column groups lie side by side: in sequence.
uint64_t columnsOfRow(const Tree& tree, uint32_t row, uint64_t start) {
    if (isLeaf(tree, row))
        return columnLeaf(tree.runsOf(row), start);
    uint64_t next = start;
    for (uint32_t cell : childrenOf(tree, row))
        next = columnsOfCell(tree, cell, next);
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

// Run visits the column correction may make on one page: sound pages need a
// few sweeps; a hostile page whose moves cascade one run at a time stops
// here, with the numbers it has reached.
constexpr size_t kMaxCorrectionWork = 10'000'000;

void correctColumnNumber(const RunList& runs) {
    // The groups' order depends on the boxes alone, which the sweeps leave
    // alone: the list is sorted once and regrouped by number each sweep.
    const RunList ordered = U::SortRunTextsByX(U::SortRunTextsByY(runs));
    // A run moves into the next column only while that column's number is
    // higher than its own: groups come in the order of their left edges, and
    // where that order and the numbers disagree (runs overlapping across
    // columns) the plain rule moved a run one column each sweep without end,
    // to numbers far beyond the page's columns. So every move raises a number
    // and none passes the highest number at the start, and the sweeps end.
    const size_t maxSweeps = kMaxCorrectionWork / std::max<size_t>(runs.size(), 1);
    for (size_t sweep = 0; sweep < maxSweeps; ++sweep) {
        std::vector<RunList> groups = U::groupByColumnIndex(ordered);
        std::vector<RunPtr> moving;
        for (size_t g = 0; g + 1 < groups.size(); ++g) {
            const double minRight = U::GetMinxRightInRunTexts(groups[g]);
            const double maxLeft = U::GetMaxxLeftInRunTexts(groups[g]);
            const double nextLeft = U::GetMinxLeftInRunTexts(groups[g + 1]);
            const uint64_t nextColumn = groups[g + 1].front()->columnIndex();
            for (const RunPtr& r : groups[g]) {
                const double left = r->ctmInfo().xLeft;
                if (left >= maxLeft && left > minRight && left + r->textWidth() / 2 > nextLeft &&
                    r->columnIndex() < nextColumn)
                    moving.push_back(r);
            }
        }
        if (moving.empty())
            return;
        // A move never puts two runs of one row into one cell: the cell maker
        // would join their texts ("1,957" and "121" read as "1,957121"). The
        // moves are decided from the highest column down, so a run leaving
        // the cell next to a candidate frees it first.
        std::stable_sort(moving.begin(), moving.end(), [](const RunPtr& a, const RunPtr& b) {
            return a->columnIndex() > b->columnIndex();
        });
        std::map<std::pair<uint64_t, uint64_t>, size_t> taken; // (row, column) -> runs there
        for (const RunPtr& r : runs)
            ++taken[{r->rowIndex(), r->columnIndex()}];
        bool moved = false;
        for (const RunPtr& r : moving) {
            const uint64_t row = r->rowIndex(), column = r->columnIndex();
            if (taken.count({row, column + 1}))
                continue;
            if (--taken[{row, column}] == 0)
                taken.erase({row, column});
            ++taken[{row, column + 1}];
            r->setColumnIndex(column + 1);
            moved = true;
        }
        if (!moved)
            return;
    }
}

// The start rows (columns) of runs along one column (row), ascending.
using Starts = std::unordered_map<uint64_t, std::vector<uint64_t>>;

// How far a span may grow from `length` cells past `index` before the cell
// after it holds a run: up to the next start along the line, or without end.
uint64_t freeCells(const Starts& starts, uint64_t line, uint64_t index, uint64_t length) {
    auto it = starts.find(line);
    if (it == starts.end())
        return UINT64_MAX;
    const uint64_t next = index + length + 1;
    auto at = std::lower_bound(it->second.begin(), it->second.end(), next);
    return at == it->second.end() ? UINT64_MAX : *at - next;
}

// How many positions from `from` on the edge passes: the edges are
// non-decreasing (groups come in the order of their smallest edge), so they
// form a prefix.
uint64_t positionsPassed(const std::vector<float>& edges, uint64_t from, double edge) {
    if (from >= edges.size())
        return 0;
    auto end = std::partition_point(edges.begin() + static_cast<std::ptrdiff_t>(from), edges.end(),
                                    [edge](float e) { return edge > static_cast<double>(e); });
    return static_cast<uint64_t>(end - edges.begin()) - from;
}

// A span grows one cell per position its edge passes, until the cell after
// it holds a run; what the loop of position-by-position tests gives, counted
// at once.
void caculateRunTextMergeLength(const RunList& runs) {
    std::vector<float> rowTops, columnLefts;
    for (const RunList& g : creatRowArray(runs))
        rowTops.push_back(static_cast<float>(U::GetMinxTopInRunTexts(g)));
    for (const RunList& g : creatColumnArray(runs))
        columnLefts.push_back(static_cast<float>(U::GetMinxLeftInRunTexts(g)));
    // Only boxes that are not numbers could break the order; the count then
    // takes the edges one by one.
    const bool rowsOrdered = std::is_sorted(rowTops.begin(), rowTops.end());
    const bool columnsOrdered = std::is_sorted(columnLefts.begin(), columnLefts.end());

    // Cells where a run starts; only these block a span.
    Starts rowsInColumn, columnsInRow;
    for (const RunPtr& r : runs) {
        rowsInColumn[r->columnIndex()].push_back(r->rowIndex());
        columnsInRow[r->rowIndex()].push_back(r->columnIndex());
    }
    for (auto* starts : {&rowsInColumn, &columnsInRow})
        for (auto& [line, list] : *starts)
            std::sort(list.begin(), list.end());

    auto passed = [](const std::vector<float>& edges, bool ordered, uint64_t from, double edge) {
        if (ordered)
            return positionsPassed(edges, from, edge);
        uint64_t n = 0;
        for (uint64_t k = from; k < edges.size() && edge > static_cast<double>(edges[k]); ++k)
            ++n;
        return n;
    };
    for (const RunPtr& r : runs) {
        const QVPDF_CTMInfo& g = r->ctmInfo();
        r->setRowLength(
            r->rowLength() +
            std::min(passed(rowTops, rowsOrdered, r->rowIndex(), g.yBottom),
                     freeCells(rowsInColumn, r->columnIndex(), r->rowIndex(), r->rowLength())));
        r->setColumnLength(
            r->columnLength() +
            std::min(passed(columnLefts, columnsOrdered, r->columnIndex(), g.xRight),
                     freeCells(columnsInRow, r->rowIndex(), r->columnIndex(), r->columnLength())));
    }
}

} // namespace

void QVExcelPage::typesetRunTexts() {
    RunList& runs = allRunTextArray_;
    if (runs.empty())
        return;
    QVExcelNumberPairs::settle(runs);

    // Pass 1: rows first, with merging; the runs that survive replace the list.
    Tree rowsFirst(U::SortRunTextsByY(U::SortRunTextsByX(runs)));
    rowsFirst.divide(Tree::kRoot, U::Chain::CrossedInHeight);
    for (uint32_t row : childrenOf(rowsFirst, Tree::kRoot))
        QVExcelTempRow(rowsFirst, row).creatTempCell1();
    RunList survivors;
    survivors.reserve(runs.size());
    rowsFirst.forEachRun(Tree::kRoot, [&](const RunPtr& r) { survivors.push_back(r); });

    // Pass 2: columns first, without merging; its first ordering is final.
    U::sortRunTextsByYInPlace(survivors);
    U::sortRunTextsByXInPlace(survivors);
    runs = survivors;
    Tree columnsFirst(std::move(survivors));
    columnsFirst.divide(Tree::kRoot, U::Chain::CrossedInWidth);
    for (uint32_t cell : childrenOf(columnsFirst, Tree::kRoot))
        QVExcelTempCell(columnsFirst, cell).creatTempRow2();

    uint64_t nextRow = 1;
    for (uint32_t row : childrenOf(rowsFirst, Tree::kRoot))
        nextRow = rowsOfPageRow(rowsFirst, row, nextRow);
    uint64_t nextColumn = 1;
    for (uint32_t cell : childrenOf(columnsFirst, Tree::kRoot))
        nextColumn = columnsOfCell(columnsFirst, cell, nextColumn);

    correctColumnNumber(runs);
    caculateRunTextMergeLength(runs);
}
