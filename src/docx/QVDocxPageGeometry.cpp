// Line and column geometry of QVDocxPage: picks, measures and collections
// over the nested run arrays of the layout.
#include "docx/QVDocxPage.h"

#include "docx/QVDocxRunText.h"

#include <algorithm>
#include <cmath>

namespace {

using RunPtr = QVDocxPage::RunPtr;
using LinePart = QVDocxPage::LinePart;
using LineSect = QVDocxPage::LineSect;

// Runs on baselines closer than this are on one line; a run starting closer
// than this to where the previous one ends continues its line part.
constexpr double kLineTolerance = 1.0;
// A line part at most this far right of a column's right edge is still in it.
constexpr double kColumnGap = 8.0;
// Parts whose baselines differ by less than this are one line of a column.
constexpr double kColumnBaselineTolerance = 5.0;
// A piece's box counts at most this share of its font size high in the
// reach of a line: a math symbol font's box runs far below its glyphs (a
// subset's descent of almost an em), and as a line's tallest piece it let the
// line reach down into the next one through a script standing between them.
constexpr double kTallestBoxShare = 1.2;
// Heights closer than this are the same (they come from sums of positions
// in single precision).
constexpr double kHeightTolerance = 0.01;
// A piece at most this share of its line's tallest piece high may stand
// over or under another piece of the line (a stacked script).
constexpr double kStackedShare = 0.7;
// Starting value of a line section's top: below any page.
constexpr double kNoTop = 90000.0;

double min32(double a, double b) {
    return static_cast<double>(std::min(static_cast<float>(a), static_cast<float>(b)));
}
double max32(double a, double b) {
    return static_cast<double>(std::max(static_cast<float>(a), static_cast<float>(b)));
}

double baseline(const RunPtr& r) { return r->ctmInfo().yBase; }
double top(const RunPtr& r) { return r->ctmInfo().topLeft.y; }
double bottom(const RunPtr& r) { return r->ctmInfo().bottomLeft.y; }
double start(const RunPtr& r) { return r->ctmInfo().bottomLeft.x; }
double left(const RunPtr& r) { return r->ctmInfo().topLeft.x; }
double end(const RunPtr& r) { return start(r) + r->textWidth(); }

/// Where a line part's ink ends: its right edge less the spaces that end its
/// last run. Typeset columns end their lines with a space, whose advance
/// would otherwise close a narrow gutter and read the columns across.
double inkRight(const LinePart& part) {
    if (part.empty())
        return 0.0;
    const RunPtr& last = part.back();
    const std::u16string& text = last->runText();
    size_t spaces = 0;
    while (spaces < text.size() && text[text.size() - 1 - spaces] == u' ')
        ++spaces;
    if (spaces == 0 || !(last->spaceWidth() > 0))
        return end(last);
    return std::max(start(last), end(last) - static_cast<double>(spaces) * last->spaceWidth());
}

/// The largest font size among a part's runs.
double sizeOf(const LinePart& part) {
    double size = 0;
    for (const RunPtr& r : part)
        size = std::max(size, std::fabs(static_cast<double>(r->ctmInfo().fontSize.width)));
    return size;
}

/// The element with the smallest key; the earliest of equal keys.
template <typename List, typename Key>
const typename List::value_type* pickSmallest(const List& list, Key key) {
    if (list.empty())
        return nullptr;
    const auto* best = &list.front();
    double bestKey = key(*best);
    for (size_t k = 1; k < list.size(); ++k) {
        const double v = key(list[k]);
        if (v < bestKey) {
            best = &list[k];
            bestKey = v;
        }
    }
    return best;
}

/// Single-precision extremum of `value` over the list; 0 for an empty list,
/// the unrounded value for one element.
template <typename List, typename Value, typename Pick>
double extremum(const List& list, Value value, Pick pick) {
    if (list.empty())
        return 0.0;
    double result = value(list.front());
    for (size_t k = 1; k < list.size(); ++k)
        result = pick(result, value(list[k]));
    return result;
}

} // namespace

RunPtr QVDocxPage::_findTopRunText(const LinePart& runs) {
    const RunPtr* r = pickSmallest(runs, baseline);
    return r ? *r : nullptr;
}

RunPtr QVDocxPage::_findLeftRunText(const LinePart& runs) {
    const RunPtr* r = pickSmallest(runs, start);
    return r ? *r : nullptr;
}

const LinePart* QVDocxPage::_findTopBaseLinePartArray(const LineSect& parts) {
    return pickSmallest(parts, _minBaseLineOfLinePartArray);
}

const LinePart* QVDocxPage::_findLeftLinePartArray(const LineSect& parts) {
    return pickSmallest(parts, _leftXOfLinePartArray);
}

double QVDocxPage::_leftXOfLinePartArray(const LinePart& part) {
    return part.empty() ? 0.0 : left(part.front());
}

double QVDocxPage::_rightXOfLinePartArray(const LinePart& part) {
    return part.empty() ? 0.0 : end(part.back());
}

double QVDocxPage::_minTopYOfLinePartArray(const LinePart& part) {
    return extremum(part, top, min32);
}

double QVDocxPage::_maxBottomYOfLinePartArray(const LinePart& part) {
    return extremum(part, bottom, max32);
}

double QVDocxPage::_minBaseLineOfLinePartArray(const LinePart& part) {
    if (part.empty())
        return 0.0;
    // Raised and lowered pieces after the first do not move the line's baseline.
    double result = baseline(part.front());
    for (size_t k = 1; k < part.size(); ++k)
        if (part[k]->rProperty().scrpit == 0)
            result = min32(result, baseline(part[k]));
    return result;
}

double QVDocxPage::_maxBaseLineOfLinePartArray(const LinePart& part) {
    if (part.empty())
        return 0.0;
    double result = baseline(part.front());
    for (size_t k = 1; k < part.size(); ++k)
        if (part[k]->rProperty().scrpit == 0)
            result = max32(result, baseline(part[k]));
    return result;
}

double QVDocxPage::_topYOfLineSectArray(const LineSect& sect) {
    double result = kNoTop;
    for (const LinePart& part : sect)
        for (const RunPtr& r : part)
            result = min32(result, top(r));
    return static_cast<double>(static_cast<float>(result));
}

double QVDocxPage::_bottomYOfLineSectArray(const LineSect& sect) {
    double result = 0.0;
    for (const LinePart& part : sect)
        for (const RunPtr& r : part)
            result = max32(result, bottom(r));
    return static_cast<double>(static_cast<float>(result));
}

double QVDocxPage::_minLeftXOfColumnArray(const LineSect& column) {
    return extremum(column, _leftXOfLinePartArray, min32);
}

double QVDocxPage::_minTopYOfColumnArray(const LineSect& column) {
    return extremum(column, _minTopYOfLinePartArray, min32);
}

double QVDocxPage::_maxBottomYOfColumnArray(const LineSect& column) {
    return extremum(column, _maxBottomYOfLinePartArray, max32);
}

double QVDocxPage::_minLeftXOfColumnSectArray(const ColumnSect& columnSect) {
    return extremum(
        columnSect,
        [](const LineSect& s) { return s.empty() ? 0.0 : _leftXOfLinePartArray(s.front()); },
        min32);
}

double QVDocxPage::_minTopYOfDivArray(const std::vector<LineSect>& div) {
    return extremum(div, _minTopYOfColumnArray, min32);
}

double QVDocxPage::_maxBottomYOfDivArray(const std::vector<LineSect>& div) {
    return extremum(div, _maxBottomYOfColumnArray, max32);
}

LinePart QVDocxPage::_collectSameBaseLineRunTexts(const LinePart& runs) {
    if (runs.empty())
        return {};
    LinePart line{runs.front()};
    const double reference = baseline(runs.front());
    for (size_t k = 1; k < runs.size(); ++k)
        if (std::fabs(baseline(runs[k]) - reference) < kLineTolerance)
            line.push_back(runs[k]);
    return line;
}

LineSect QVDocxPage::_collectLinePartArrayInSameBaseLine(const LinePart& runs) {
    if (runs.empty())
        return {};
    LineSect parts{{runs.front()}};
    double expected = end(runs.front());
    for (size_t k = 1; k < runs.size(); ++k) {
        if (std::fabs(start(runs[k]) - expected) < kLineTolerance)
            parts.back().push_back(runs[k]);
        else
            parts.push_back({runs[k]});
        expected = end(runs[k]);
    }
    return parts;
}

std::vector<LineSect> QVDocxPage::_collectYIntersectRunTexts(const std::vector<LineSect>& sects) {
    if (sects.empty())
        return {};
    std::vector<LineSect> band{sects.front()};
    double bandBottom = _bottomYOfLineSectArray(sects.front());
    for (size_t k = 1; k < sects.size(); ++k) {
        if (!(bandBottom > _topYOfLineSectArray(sects[k])))
            break;
        band.push_back(sects[k]);
        bandBottom = max32(bandBottom, _bottomYOfLineSectArray(sects[k]));
    }
    return band;
}

LineSect QVDocxPage::_collectXIntersectRunTexts(const LineSect& parts) {
    if (parts.empty())
        return {};
    LineSect column{parts.front()};
    double right = inkRight(parts.front());
    for (size_t k = 1; k < parts.size(); ++k) {
        if (_leftXOfLinePartArray(parts[k]) > right + kColumnGap)
            break;
        column.push_back(parts[k]);
        right = max32(right, inkRight(parts[k]));
    }
    return column;
}

LineSect QVDocxPage::_collectYColumnIntersectRunTexts(const LineSect& parts) {
    if (parts.empty())
        return {};
    LineSect line{parts.front()};
    double base = _maxBaseLineOfLinePartArray(parts.front());
    double smallest =
        _maxBottomYOfLinePartArray(parts.front()) - _minTopYOfLinePartArray(parts.front());
    double largest = std::min(smallest, kTallestBoxShare * sizeOf(parts.front()));
    for (size_t k = 1; k < parts.size(); ++k) {
        const LinePart& part = parts[k];
        const double L = _maxBaseLineOfLinePartArray(part);
        const double h = _maxBottomYOfLinePartArray(part) - _minTopYOfLinePartArray(part);
        // A piece taller than the smallest by a rounding error is as high:
        // counted as taller, a superscript of the next line reached a whole
        // line down and chained both lines into one.
        const bool taller = h > smallest + kHeightTolerance;
        smallest = min32(h, smallest);
        largest = max32(std::min(h, kTallestBoxShare * sizeOf(part)), largest);
        bool taken = false;
        if (L == base) {
            taken = true;
        } else if (L > base) {
            const double reach =
                max32(smallest, static_cast<double>(static_cast<float>(0.6 * largest)));
            taken = (taller && L - base <= reach) || (!taller && L - base < smallest);
        } else {
            taken = smallest > h || base - L < smallest;
        }
        // A piece off the baseline that stands over or under a piece already
        // taken is the next line, unless it is small beside the line (a
        // limit set under a sum): lines set closer than their glyph boxes are
        // high chained a whole title block into one line, read left to right.
        if (taken && L != base && h > kStackedShare * largest) {
            const double partLeft = _leftXOfLinePartArray(part);
            const double partRight = _rightXOfLinePartArray(part);
            taken = std::none_of(line.begin(), line.end(), [&](const LinePart& t) {
                return std::min(partRight, _rightXOfLinePartArray(t)) -
                           std::max(partLeft, _leftXOfLinePartArray(t)) >
                       kLineTolerance;
            });
        }
        if (!taken)
            break;
        line.push_back(part);
        base = L;
    }
    return line;
}

LineSect QVDocxPage::_collectSampleBaseLineInColumnArray(const LineSect& parts) {
    if (parts.empty())
        return {};
    LineSect taken{parts.front()};
    const double reference = _maxBaseLineOfLinePartArray(parts.front());
    for (size_t k = 1; k < parts.size(); ++k) {
        if (!(std::fabs(_maxBaseLineOfLinePartArray(parts[k]) - reference) <
              kColumnBaselineTolerance))
            break;
        taken.push_back(parts[k]);
    }
    // Left to right, equal left edges keeping their order.
    std::stable_sort(taken.begin(), taken.end(), [](const LinePart& a, const LinePart& b) {
        return _leftXOfLinePartArray(a) < _leftXOfLinePartArray(b);
    });
    return taken;
}
