#include "excel/analysis/QVExcelStackRule.h"

#include "excel/analysis/QVExcelNumber.h"

#include <algorithm>
#include <cmath>

namespace {

// Runs whose baselines lie within this of each other (chained) are one line
// (points), as the analysis counts lines elsewhere.
constexpr double kSameLine = 1.0;
// Runs looked at while comparing lines: a sound row group needs a few per
// pair; past this a hostile page's lines stack as they always did.
constexpr size_t kMaxWork = 10'000'000;

} // namespace

QVExcelStackRule::QVExcelStackRule(const std::vector<RunList>& columnGroups) {
    std::vector<std::pair<double, std::pair<size_t, const QVExcelRunText*>>> byBase;
    for (size_t c = 0; c < columnGroups.size(); ++c)
        for (const auto& run : columnGroups[c])
            byBase.push_back({run->ctmInfo().yBase, {c, run.get()}});
    std::stable_sort(byBase.begin(), byBase.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < byBase.size(); ++i) {
        if (i == 0 || !(byBase[i].first - byBase[i - 1].first <= kSameLine))
            lines_.emplace_back();
        lines_.back().push_back(byBase[i].second);
        places_[byBase[i].second.second] = {lines_.size() - 1, byBase[i].second.first};
    }
    for (auto& line : lines_)
        std::stable_sort(line.begin(), line.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
}

bool QVExcelStackRule::isNumber(const QVExcelRunText& run) {
    // The recogniser trims the blanks at the edges itself.
    return QVExcelNumber::initWithNumberString(run.text(), run.pieceStarts()).isNumber();
}

bool QVExcelStackRule::number(const QVExcelRunText& run) const {
    auto [it, isNew] = numbers_.try_emplace(&run, false);
    if (isNew)
        it->second = isNumber(run);
    return it->second;
}

// Another column group has runs on both lines, one of them a number.
bool QVExcelStackRule::linesRunAcross(size_t upper, size_t lower, size_t ownColumn) const {
    auto [memo, isNew] = across_.try_emplace({upper, lower, ownColumn}, false);
    if (!isNew)
        return memo->second;
    const auto& a = lines_[upper];
    const auto& b = lines_[lower];
    work_ += a.size() + b.size();
    if (work_ > kMaxWork)
        return false;
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const size_t column = a[i].first;
        if (column < b[j].first) {
            ++i;
        } else if (b[j].first < column) {
            ++j;
        } else {
            const bool other = column != ownColumn;
            bool anyNumber = false;
            for (; i < a.size() && a[i].first == column; ++i)
                anyNumber = anyNumber || (other && number(*a[i].second));
            for (; j < b.size() && b[j].first == column; ++j)
                anyNumber = anyNumber || (other && number(*b[j].second));
            if (anyNumber) {
                memo->second = true;
                return true;
            }
        }
    }
    return false;
}

bool QVExcelStackRule::mayStack(const QVExcelRunText& upper, const QVExcelRunText& lower) const {
    if (number(upper) && number(lower))
        return false;
    auto u = places_.find(&upper);
    auto l = places_.find(&lower);
    if (u == places_.end() || l == places_.end() || u->second.line == l->second.line)
        return true;
    return !linesRunAcross(u->second.line, l->second.line, u->second.column);
}
