#pragma once
// Which lines of a row group may stack into one cell. Lines of one cell sit
// directly below each other, but so do the rows of many tables, and text
// beside a table (a second text column, chart labels, a caption) whose lines
// fall between the table's lines chains its rows into one row group. Two
// lines stay apart when both are numbers, or when another column of the row
// group has runs of its own on both lines, one of them a number: a table row
// runs across, a wrapped cell does not.

#include "excel/analysis/QVExcelRunText.h"

#include <cstddef>
#include <map>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

class QVExcelStackRule {
public:
    using RunList = std::vector<std::shared_ptr<QVExcelRunText>>;

    /// The column groups of one row group, before any of their lines stack.
    explicit QVExcelStackRule(const std::vector<RunList>& columnGroups);

    /// Whether `lower` may stack below `upper` (two runs of one column group).
    /// Runs the rule was not built with are only tested as numbers.
    bool mayStack(const QVExcelRunText& upper, const QVExcelRunText& lower) const;

    /// The run's text, without surrounding blanks, reads as a number.
    static bool isNumber(const QVExcelRunText& run);

private:
    struct Place {
        size_t line, column;
    };
    bool number(const QVExcelRunText& run) const;
    bool linesRunAcross(size_t upper, size_t lower, size_t ownColumn) const;

    std::unordered_map<const QVExcelRunText*, Place> places_;
    // Per line, its runs as (column group, run), ordered by column group.
    std::vector<std::vector<std::pair<size_t, const QVExcelRunText*>>> lines_;
    mutable std::unordered_map<const QVExcelRunText*, bool> numbers_;
    mutable std::map<std::tuple<size_t, size_t, size_t>, bool> across_; // lines, own column
    mutable size_t work_ = 0;
};
