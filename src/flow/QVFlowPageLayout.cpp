// The grouping half of the page layout: orderings, measures and groupings of
// runs into lines, line parts, divs and columns.
#include "flow/QVFlowPage.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

double runTop(const QVFlowRunText& r) {
    return r.ctmInfo().topLeft.y;
}
double runBottom(const QVFlowRunText& r) {
    return r.ctmInfo().bottomLeft.y;
}
double runStart(const QVFlowRunText& r) {
    return r.ctmInfo().bottomLeft.x;
}
double runEnd(const QVFlowRunText& r) {
    return runStart(r) + r.textWidth();
}

/// Keys that are not numbers sort after every number, so the order stays total.
bool keyLess(double a, double b) {
    return a < b || (std::isnan(b) && !std::isnan(a));
}

template <class T, class Key> std::vector<T> stableSorted(std::vector<T> v, Key key) {
    std::stable_sort(v.begin(), v.end(),
                     [&](const T& a, const T& b) { return keyLess(key(a), key(b)); });
    return v;
}

template <class T, class Key> const T* smallest(const std::vector<T>& v, Key key) {
    const T* best = nullptr;
    for (const T& x : v)
        if (!best || keyLess(key(x), key(*best)))
            best = &x;
    return best;
}

/// Smallest or largest of several values in single precision; one value as it is.
struct Fold {
    bool largest;
    int count = 0;
    double single = 0;
    float acc = 0;
    void add(double v) {
        const float f = float(v);
        if (count == 0) {
            single = v;
            acc = f;
        } else if (largest ? f > acc : f < acc) {
            acc = f;
        }
        ++count;
    }
    double result() const { return count == 1 ? single : count == 0 ? 0.0 : double(acc); }
};

} // namespace

namespace {

/// Lines of runs given in top order: each line is the first run left, then
/// every other run left whose bottom lies within 1.0 of its bottom, in top
/// order. Runs are found through a bottom-sorted index with a "next run
/// left" table, so a page of many lines stays near linear.
std::vector<QVFlowPage::RunTextArray> groupLines(const QVFlowPage::RunTextArray& top) {
    const size_t n = top.size();
    std::vector<size_t> byBottom(n);
    std::iota(byBottom.begin(), byBottom.end(), size_t(0));
    std::stable_sort(byBottom.begin(), byBottom.end(), [&](size_t a, size_t b) {
        return keyLess(runBottom(*top[a]), runBottom(*top[b]));
    });
    std::vector<size_t> positionOf(n);
    for (size_t p = 0; p < n; ++p)
        positionOf[byBottom[p]] = p;
    // next[p]: the first position from p on whose run is still left (n: none).
    std::vector<size_t> next(n + 1);
    std::iota(next.begin(), next.end(), size_t(0));
    const auto find = [&](size_t p) {
        size_t root = p;
        while (next[root] != root)
            root = next[root];
        while (next[p] != root) {
            const size_t up = next[p];
            next[p] = root;
            p = up;
        }
        return root;
    };
    std::vector<bool> taken(n, false);
    const auto take = [&](size_t i) {
        taken[i] = true;
        next[positionOf[i]] = positionOf[i] + 1;
    };

    std::vector<QVFlowPage::RunTextArray> lines;
    for (size_t i = 0; i < n; ++i) {
        if (taken[i])
            continue;
        take(i);
        std::vector<size_t> members{i};
        const double bottom = runBottom(*top[i]);
        if (!std::isnan(bottom)) {
            // Candidates lie within a slightly wider window; the exact test decides.
            const double low = bottom - 1.5, high = bottom + 1.5;
            size_t p = size_t(std::lower_bound(byBottom.begin(), byBottom.end(), low,
                                               [&](size_t k, double v) {
                                                   return keyLess(runBottom(*top[k]), v);
                                               }) -
                              byBottom.begin());
            for (p = find(p); p < n; p = find(p + 1)) {
                const size_t k = byBottom[p];
                const double b = runBottom(*top[k]);
                if (!(b < high))
                    break;
                if (std::fabs(b - bottom) < 1.0) {
                    take(k);
                    members.push_back(k);
                }
            }
        }
        std::sort(members.begin(), members.end());
        QVFlowPage::RunTextArray line;
        line.reserve(members.size());
        for (size_t k : members)
            line.push_back(top[k]);
        lines.push_back(std::move(line));
    }
    return lines;
}

/// How many of the line sects from `first` form the next div.
size_t divLength(const std::vector<QVFlowPage::LineSect>& sects, size_t first) {
    double bottom = QVFlowPage::_bottomYOfLineSectArray(sects[first]);
    size_t k = first + 1;
    for (; k < sects.size(); ++k) {
        if (QVFlowPage::_topYOfLineSectArray(sects[k]) > bottom)
            break;
        const float a = float(bottom), b = float(QVFlowPage::_bottomYOfLineSectArray(sects[k]));
        bottom = b > a ? b : a;
    }
    return k - first;
}

/// How many of the line parts (in left order) from `first` form the next column.
size_t columnLength(const std::vector<QVFlowPage::LinePart>& parts, size_t first) {
    double right = QVFlowPage::_rightXOfLinePartArray(parts[first]);
    size_t k = first + 1;
    for (; k < parts.size(); ++k) {
        if (QVFlowPage::_leftXOfLinePartArray(parts[k]) > right + 8.0)
            break;
        const float a = float(right), b = float(QVFlowPage::_rightXOfLinePartArray(parts[k]));
        right = b > a ? b : a;
    }
    return k - first;
}

} // namespace

QVFlowPage::RunTextArray QVFlowPage::_sortedByTop(RunTextArray runs) {
    return stableSorted(std::move(runs), [](const RunPtr& r) { return runTop(*r); });
}

QVFlowPage::RunTextArray QVFlowPage::_sortedByStart(RunTextArray runs) {
    return stableSorted(std::move(runs), [](const RunPtr& r) { return runStart(*r); });
}

std::vector<QVFlowPage::LinePart> QVFlowPage::_sortedByLinePartTop(std::vector<LinePart> parts) {
    return stableSorted(std::move(parts), _minTopYOfLinePartArray);
}

std::vector<QVFlowPage::LinePart> QVFlowPage::_sortedByLinePartLeft(std::vector<LinePart> parts) {
    return stableSorted(std::move(parts), _leftXOfLinePartArray);
}

QVFlowPage::RunPtr QVFlowPage::_findTopRunText(const RunTextArray& runs) {
    const RunPtr* r = smallest(runs, [](const RunPtr& x) { return runTop(*x); });
    return r ? *r : nullptr;
}

QVFlowPage::RunPtr QVFlowPage::_findLeftRunText(const RunTextArray& runs) {
    const RunPtr* r = smallest(runs, [](const RunPtr& x) { return runStart(*x); });
    return r ? *r : nullptr;
}

const QVFlowPage::LinePart* QVFlowPage::_findTopLinePartArray(const std::vector<LinePart>& parts) {
    return smallest(parts, _minTopYOfLinePartArray);
}

const QVFlowPage::LinePart* QVFlowPage::_findLeftLinePartArray(const std::vector<LinePart>& parts) {
    return smallest(parts, _leftXOfLinePartArray);
}

double QVFlowPage::_leftXOfLinePartArray(const LinePart& part) {
    return part.empty() ? 0 : part.front()->ctmInfo().topLeft.x;
}

double QVFlowPage::_rightXOfLinePartArray(const LinePart& part) {
    return part.empty() ? 0 : runEnd(*part.back());
}

double QVFlowPage::_minTopYOfLinePartArray(const LinePart& part) {
    Fold f{false};
    for (const RunPtr& r : part)
        f.add(runTop(*r));
    return f.result();
}

double QVFlowPage::_maxBottomYOfLinePartArray(const LinePart& part) {
    Fold f{true};
    for (const RunPtr& r : part)
        f.add(runBottom(*r));
    return f.result();
}

double QVFlowPage::_topYOfLineSectArray(const LineSect& sect) {
    Fold f{false};
    f.add(90000.0);
    for (const LinePart& part : sect)
        for (const RunPtr& r : part)
            f.add(runTop(*r));
    return f.result();
}

double QVFlowPage::_bottomYOfLineSectArray(const LineSect& sect) {
    Fold f{true};
    f.add(0.0);
    for (const LinePart& part : sect)
        for (const RunPtr& r : part)
            f.add(runBottom(*r));
    return f.result();
}

double QVFlowPage::_minLeftXOfColumnArray(const Column& column) {
    Fold f{false};
    for (const LinePart& part : column)
        f.add(_leftXOfLinePartArray(part));
    return f.result();
}

double QVFlowPage::_minLeftXOfColumnSectArray(const ColumnSect& rows) {
    Fold f{false};
    for (const Row& row : rows)
        f.add(row.empty() ? 0 : _leftXOfLinePartArray(row.front()));
    return f.result();
}

double QVFlowPage::_minTopYOfColumnArray(const Column& column) {
    return column.empty() ? 0 : _minTopYOfLinePartArray(column.front());
}

double QVFlowPage::_maxBottomYOfColumnArray(const Column& column) {
    return column.empty() ? 0 : _maxBottomYOfLinePartArray(column.back());
}

double QVFlowPage::_minTopYOfDivArray(const Div& div) {
    Fold f{false};
    for (const Column& c : div)
        f.add(_minTopYOfColumnArray(c));
    return f.result();
}

double QVFlowPage::_maxBottomYOfDivArray(const Div& div) {
    Fold f{true};
    for (const Column& c : div)
        f.add(_maxBottomYOfColumnArray(c));
    return f.result();
}

platform::Rect QVFlowPage::_rectOfLinePartArray(const LinePart& part) {
    if (part.empty())
        return {};
    const double x = part.front()->ctmInfo().topLeft.x;
    const double y = _minTopYOfLinePartArray(part);
    const QVFlowRunText& last = *part.back();
    return {{x, y}, {last.ctmInfo().topLeft.x - x + last.textWidth(), runBottom(last) - y}};
}

platform::Rect QVFlowPage::_rectOfLineSectArray(const LineSect& sect) {
    Fold minX{false}, minY{false}, maxX{true}, maxY{true};
    for (const LinePart& part : sect) {
        const platform::Rect r = _rectOfLinePartArray(part);
        minX.add(r.origin.x);
        minY.add(r.origin.y);
        maxX.add(r.origin.x + r.size.width);
        maxY.add(r.origin.y + r.size.height);
    }
    if (minX.count == 0)
        return {};
    return {{minX.result(), minY.result()},
            {maxX.result() - minX.result(), maxY.result() - minY.result()}};
}

QVFlowPage::RunTextArray QVFlowPage::_collectSameBaseLineRunTexts(const RunTextArray& runs) {
    if (runs.empty())
        return {};
    const double bottom = runBottom(*runs.front());
    RunTextArray line{runs.front()};
    for (size_t i = 1; i < runs.size(); ++i)
        if (std::fabs(runBottom(*runs[i]) - bottom) < 1.0)
            line.push_back(runs[i]);
    return line;
}

QVFlowPage::LineSect QVFlowPage::_collectLinePartArrayInSameBaseLine(const RunTextArray& line) {
    LineSect parts;
    for (size_t i = 0; i < line.size(); ++i) {
        if (i == 0 || !(std::fabs(runStart(*line[i]) - runEnd(*line[i - 1])) < 1.0))
            parts.emplace_back();
        parts.back().push_back(line[i]);
    }
    return parts;
}

std::vector<QVFlowPage::LineSect>
QVFlowPage::_collectYIntersectRunTexts(const std::vector<LineSect>& sects) {
    if (sects.empty())
        return {};
    return {sects.begin(), sects.begin() + std::ptrdiff_t(divLength(sects, 0))};
}

QVFlowPage::Column QVFlowPage::_collectXIntersectRunTexts(const std::vector<LinePart>& parts) {
    if (parts.empty())
        return {};
    return {parts.begin(), parts.begin() + std::ptrdiff_t(columnLength(parts, 0))};
}

QVFlowPage::Row QVFlowPage::_collectSampleBottomYInColumnArray(const Column& column) {
    return _rowAt(column, 0);
}

QVFlowPage::Row QVFlowPage::_rowAt(const Column& column, size_t first) {
    if (first >= column.size())
        return {};
    const double bottom = _maxBottomYOfLinePartArray(column[first]);
    size_t end = first + 1;
    while (end < column.size() && std::fabs(_maxBottomYOfLinePartArray(column[end]) - bottom) < 1.0)
        ++end;
    return _sortedByLinePartLeft(
        Row(column.begin() + std::ptrdiff_t(first), column.begin() + std::ptrdiff_t(end)));
}

std::vector<QVFlowPage::Div> QVFlowPage::_groupDivs() {
    RunTextArray runs;
    for (const RunPtr& r : allRunTextArray_)
        if (r)
            runs.push_back(r);
    const RunTextArray top = _sortedByTop(std::move(runs));
    if (hasTextMargin() && !top.empty())
        textMargin_.top = float(runTop(*top.front()));

    std::vector<RunTextArray> lines = groupLines(top);
    Fold left{false};
    left.add(1000000.0);
    std::vector<LineSect> sects;
    sects.reserve(lines.size());
    for (RunTextArray& line : lines) {
        line = _sortedByStart(std::move(line));
        left.add(runStart(*line.front()));
        sects.push_back(_collectLinePartArrayInSameBaseLine(line));
    }
    if (hasTextMargin())
        textMargin_.left = float(left.result());

    std::vector<Div> divs;
    for (size_t first = 0; first < sects.size();) {
        const size_t count = divLength(sects, first);
        std::vector<LinePart> parts;
        for (size_t k = first; k < first + count; ++k)
            for (LinePart& part : sects[k])
                parts.push_back(std::move(part));
        first += count;
        parts = _sortedByLinePartLeft(std::move(parts));
        Div div;
        for (size_t p = 0; p < parts.size();) {
            const size_t width = columnLength(parts, p);
            Column column(std::make_move_iterator(parts.begin() + std::ptrdiff_t(p)),
                          std::make_move_iterator(parts.begin() + std::ptrdiff_t(p + width)));
            p += width;
            div.push_back(_sortedByLinePartTop(std::move(column)));
        }
        divs.push_back(std::move(div));
    }
    return divs;
}
