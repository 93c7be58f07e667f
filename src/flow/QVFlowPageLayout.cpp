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
// Runs are on one line by their baselines, not by their glyph boxes' bottoms:
// fonts differ in descent, so a letter of a symbol font on the line's
// baseline has a bottom some points lower and would start a line of its own.
double runBaseline(const QVFlowRunText& r) {
    return r.ctmInfo().yBase;
}
double runStart(const QVFlowRunText& r) {
    return r.ctmInfo().bottomLeft.x;
}
double runEnd(const QVFlowRunText& r) {
    return runStart(r) + r.textWidth();
}

/// Whether a run is an overlay mark: combining marks only (a negation slash,
/// an accent) drawn with no advance, over the glyph that follows it.
bool isOverlayMark(const QVFlowRunText& run) {
    const std::u16string& text = run.runText();
    if (text.empty() || !(std::fabs(run.textWidth()) < 0.01))
        return false;
    return std::all_of(text.begin(), text.end(), [](char16_t c) {
        return (c >= 0x0300 && c <= 0x036F) || (c >= 0x20D0 && c <= 0x20FF);
    });
}

/// The last run of a line part that advances: an overlay mark after its
/// base ends nowhere of its own.
const QVFlowRunText& lastAdvancing(const std::vector<std::shared_ptr<QVFlowRunText>>& part) {
    for (size_t k = part.size(); k > 0; --k)
        if (!isOverlayMark(*part[k - 1]))
            return *part[k - 1];
    return *part.back();
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
/// every other run left whose baseline lies within 1.0 of its baseline, in
/// top order. Runs are found through a baseline-sorted index with a "next run
/// left" table, so a page of many lines stays near linear.
std::vector<QVFlowPage::RunTextArray> groupLines(const QVFlowPage::RunTextArray& top) {
    const size_t n = top.size();
    std::vector<size_t> byBottom(n);
    std::iota(byBottom.begin(), byBottom.end(), size_t(0));
    std::stable_sort(byBottom.begin(), byBottom.end(), [&](size_t a, size_t b) {
        return keyLess(runBaseline(*top[a]), runBaseline(*top[b]));
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
        const double bottom = runBaseline(*top[i]);
        if (!std::isnan(bottom)) {
            // Candidates lie within a slightly wider window; the exact test decides.
            const double low = bottom - 1.5, high = bottom + 1.5;
            size_t p = size_t(std::lower_bound(byBottom.begin(), byBottom.end(), low,
                                               [&](size_t k, double v) {
                                                   return keyLess(runBaseline(*top[k]), v);
                                               }) -
                              byBottom.begin());
            for (p = find(p); p < n; p = find(p + 1)) {
                const size_t k = byBottom[p];
                const double b = runBaseline(*top[k]);
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

/// The font size of a run: the height of its em above the baseline.
double runEm(const QVFlowRunText& r) {
    return r.ctmInfo().yBase - r.ctmInfo().yTop;
}

/// Whether `script` is a superscript or subscript of `base`: set at most
/// 0.8 of its font size (scripts are set at 0.6 to 0.8); its baseline inside
/// the base's glyph box and less than 0.6 of the base's size above its
/// baseline (a line above, set close, is not raised text), or less than 0.4
/// of the base's size below its baseline (a subscript under a superscript
/// drops that far); starting where the base ends: within 1.0, or up to 0.15
/// of the base's size after it (the slant of an italic letter). Sizes are
/// font sizes, not glyph boxes: a letter of a font with a short box (a
/// blackboard R) is as large as the text around it.
bool isScriptOf(const QVFlowRunText& script, const QVFlowRunText& base) {
    const double b = runBaseline(script);
    const double em = runEm(base);
    const double gap = runStart(script) - runEnd(base);
    return runEm(script) <= 0.8 * em && b > runTop(base) && b > runBaseline(base) - 0.6 * em &&
           (b < runBottom(base) || b < runBaseline(base) + 0.4 * em) && gap > -1.0 &&
           gap < std::max(1.0, 0.15 * em);
}

/// Whether the touching runs [first, last] (in start order) stand in a gap of
/// `line` as the numerator or denominator of a fraction set in the line ("1"
/// over "n" as a small raised "1" before "/n", or "b" over "a" between
/// brackets): no run of the line lies across them (but the small runs of
/// another tier: the fraction's other part, an accent), a run of the line ends
/// before them and another starts after them, and they are set small, raised
/// or lowered as a script of the run before them is. Only their distance
/// from that run differs: a fraction centres its parts, so the gap grows
/// with the width of the other part.
bool isStackedIn(const QVFlowRunText& first, const QVFlowRunText& last,
                 const QVFlowPage::RunTextArray& line) {
    const QVFlowRunText* before = nullptr;
    bool after = false;
    double lineSize = 0;
    for (const auto& q : line)
        lineSize = std::max(lineSize, double(q->ctmInfo().fontSize.height));
    for (const auto& q : line) {
        const double tolerance = std::max(1.0, 0.15 * runEm(*q));
        // The other part of the same fraction, joined first, or an accent
        // over them lies across them on a baseline of its own.
        const bool stackedOver = q->ctmInfo().fontSize.height <= 0.8 * lineSize &&
                                 std::fabs(runBaseline(*q) - runBaseline(first)) >= 1.0;
        if (!stackedOver && runStart(*q) < runEnd(last) - tolerance &&
            runEnd(*q) > runStart(first) + tolerance)
            return false;
        if (runEnd(*q) <= runStart(first) + tolerance &&
            (!before || runEnd(*q) > runEnd(*before)))
            before = q.get();
        if (runStart(*q) >= runEnd(last) - tolerance)
            after = true;
    }
    if (!before || !after)
        return false;
    // By font sizes, not glyph boxes: a tall symbol's box reaches down to the
    // numerators of the line below.
    const double b = runBaseline(first);
    const double size = before->ctmInfo().fontSize.height;
    return first.ctmInfo().fontSize.height <= 0.8 * size && b > runBaseline(*before) - 0.6 * size &&
           b < runBaseline(*before) + 0.4 * size;
}

/// Lines (in top order) made only of superscripts or subscripts join the
/// line they belong to: the nearest line among the few before and after in
/// which each of their runs touches a larger run whose box holds its
/// baseline. Scripts sit on baselines of their own, so they would otherwise
/// be lines of their own, written before or after the text they belong to.
void attachScripts(std::vector<QVFlowPage::RunTextArray>& lines) {
    // Script lines hold a few runs; the lines looked at are the nearest
    // ones, so the cost stays linear in the runs of the page.
    constexpr size_t kMaxScriptRuns = 16;
    constexpr size_t kReach = 3;
    // Each run of a script line is a script of a run of the line, or
    // follows (within 1.0) a run of the script line that is: "-1" drawn as
    // "-" and "1"; or such touching runs stand stacked in a gap of the line.
    const auto belongsTo = [](const QVFlowPage::RunTextArray& scripts,
                              const QVFlowPage::RunTextArray& line) {
        const QVFlowPage::RunTextArray byStart = QVFlowPage::_sortedByStart(scripts);
        for (size_t k = 0; k < byStart.size();) {
            size_t end = k + 1;
            while (end < byStart.size() &&
                   std::fabs(runStart(*byStart[end]) - runEnd(*byStart[end - 1])) < 1.0)
                ++end;
            const QVFlowRunText& s = *byStart[k];
            if (std::none_of(line.begin(), line.end(),
                             [&](const auto& q) { return isScriptOf(s, *q); }) &&
                !isStackedIn(s, *byStart[end - 1], line))
                return false;
            k = end;
        }
        return true;
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty() || lines[i].size() > kMaxScriptRuns)
            continue;
        for (size_t d = 1; d <= kReach; ++d) {
            size_t target = lines.size();
            if (i + d < lines.size() && !lines[i + d].empty() && belongsTo(lines[i], lines[i + d]))
                target = i + d;
            else if (d <= i && !lines[i - d].empty() && belongsTo(lines[i], lines[i - d]))
                target = i - d;
            if (target == lines.size())
                continue;
            for (auto& run : lines[i])
                lines[target].push_back(std::move(run));
            lines[i].clear();
            break;
        }
        if (lines[i].empty())
            continue;
        // Otherwise each piece of touching runs that is a script of a
        // nearby line joins that line; the rest stays a line (a superscript
        // after a sign that has no text of its own must not hold back the
        // scripts beside it).
        QVFlowPage::RunTextArray byStart = QVFlowPage::_sortedByStart(lines[i]);
        QVFlowPage::RunTextArray rest;
        for (size_t k = 0; k < byStart.size();) {
            size_t end = k + 1;
            while (end < byStart.size() &&
                   std::fabs(runStart(*byStart[end]) - runEnd(*byStart[end - 1])) < 1.0)
                ++end;
            const QVFlowPage::RunTextArray piece(byStart.begin() + std::ptrdiff_t(k),
                                                 byStart.begin() + std::ptrdiff_t(end));
            size_t target = lines.size();
            for (size_t d = 1; d <= kReach && target == lines.size(); ++d) {
                if (i + d < lines.size() && !lines[i + d].empty() && belongsTo(piece, lines[i + d]))
                    target = i + d;
                else if (d <= i && !lines[i - d].empty() && belongsTo(piece, lines[i - d]))
                    target = i - d;
            }
            for (const auto& run : piece)
                (target == lines.size() ? rest : lines[target]).push_back(run);
            k = end;
        }
        // The runs left keep their top order.
        if (rest.size() != lines[i].size()) {
            QVFlowPage::RunTextArray kept;
            for (auto& run : lines[i])
                if (std::find(rest.begin(), rest.end(), run) != rest.end())
                    kept.push_back(std::move(run));
            lines[i] = std::move(kept);
        }
    }
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const QVFlowPage::RunTextArray& l) { return l.empty(); }),
                lines.end());
}

/// The baseline of a line part's largest run (the first of equals): a row's
/// key, as a line's, so that scripts joined to a part do not move it. A part
/// of small runs only (a fraction set in the line, a script after a gap)
/// takes its line's baseline: on its own it would be a row above or below
/// the line, read before or after it.
double linePartBaseline(const QVFlowPage::LinePart& part) {
    const QVFlowRunText* largest = nullptr;
    for (const auto& r : part)
        if (!largest || r->ctmInfo().fontSize.height > largest->ctmInfo().fontSize.height)
            largest = r.get();
    if (!largest)
        return 0;
    if (!std::isnan(largest->lineBaseline()) &&
        largest->ctmInfo().fontSize.height <= 0.8 * largest->lineFontSize())
        return largest->lineBaseline();
    return runBaseline(*largest);
}

/// How many of the line sects from `first` (up to `end`) form the next div:
/// the band goes on while the next line sect overlaps it or touches it, and,
/// when `bridging`, while it lies less than half a line below it (the smaller
/// line's height). Lines set with ordinary leading leave such a gap between
/// their glyph boxes; were each of them a div of its own, two columns of such
/// lines would read across, line by line.
size_t divLength(const std::vector<QVFlowPage::LineSect>& sects, size_t first, size_t end,
                 bool bridging) {
    double bottom = QVFlowPage::_bottomYOfLineSectArray(sects[first]);
    double height = bottom - QVFlowPage::_topYOfLineSectArray(sects[first]);
    size_t k = first + 1;
    for (; k < end; ++k) {
        const double top = QVFlowPage::_topYOfLineSectArray(sects[k]);
        const double h = QVFlowPage::_bottomYOfLineSectArray(sects[k]) - top;
        const double bridge = bridging ? std::max(0.0, 0.5 * std::min(height, h)) : 0.0;
        if (top > bottom + bridge)
            break;
        height = h;
        const float a = float(bottom), b = float(QVFlowPage::_bottomYOfLineSectArray(sects[k]));
        bottom = b > a ? b : a;
    }
    return k - first;
}

/// Where a line part's ink ends: its right edge less the spaces that end its
/// last run. Typeset columns end their lines with a space, whose advance
/// would otherwise close a narrow gutter and read the columns across.
double inkRight(const QVFlowPage::LinePart& part) {
    if (part.empty())
        return 0;
    const QVFlowRunText& last = lastAdvancing(part);
    const std::u16string& text = last.runText();
    size_t spaces = 0;
    while (spaces < text.size() && text[text.size() - 1 - spaces] == u' ')
        ++spaces;
    const double end = runEnd(last);
    if (spaces == 0 || !(last.spaceWidth() > 0))
        return end;
    return std::max(runStart(last), end - double(spaces) * last.spaceWidth());
}

/// How many of the line parts (in left order) from `first` form the next column.
size_t columnLength(const std::vector<QVFlowPage::LinePart>& parts, size_t first) {
    double right = inkRight(parts[first]);
    size_t k = first + 1;
    for (; k < parts.size(); ++k) {
        if (QVFlowPage::_leftXOfLinePartArray(parts[k]) > right + 8.0)
            break;
        const float a = float(right), b = float(inkRight(parts[k]));
        right = b > a ? b : a;
    }
    return k - first;
}

/// The em of a line part: the font size of its largest run.
double linePartEm(const QVFlowPage::LinePart& part) {
    const QVFlowRunText* largest = nullptr;
    for (const auto& r : part)
        if (!largest || r->ctmInfo().fontSize.height > largest->ctmInfo().fontSize.height)
            largest = r.get();
    return largest ? largest->ctmInfo().yBase - largest->ctmInfo().yTop : 0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end(), keyLess);
    return v[v.size() / 2];
}

/// How a column's lines follow each other: the median step between its
/// distinct baselines (top to bottom) and the median font size of its line
/// parts; `steps` counts the steps.
struct Pitch {
    double step = 0;
    double em = 0;
    size_t steps = 0;
    /// Lines stepping by more than one and a half of their font size, as
    /// rows of a table spaced apart do; running text, and a column of cells
    /// set as a list, steps by its leading.
    bool spaced() const { return step > 1.5 * em; }
};

Pitch pitchOf(const QVFlowPage::Column& column) {
    std::vector<double> baselines, ems;
    for (const auto& part : column) {
        baselines.push_back(linePartBaseline(part));
        ems.push_back(linePartEm(part));
    }
    std::sort(baselines.begin(), baselines.end(), keyLess);
    std::vector<double> steps;
    for (size_t i = 1; i < baselines.size(); ++i)
        if (baselines[i] - baselines[i - 1] >= 1.0)
            steps.push_back(baselines[i] - baselines[i - 1]);
    if (steps.empty())
        return {};
    return {median(steps), median(ems), steps.size()};
}

/// Whether a band of two or more columns is a table's: its columns of three
/// or more lines are mostly (by their lines) spaced. A column with cells of
/// several lines can bridge the gaps between the rows of its neighbours, so
/// the whole table would otherwise be one band and read column by column.
bool readsAsTable(const QVFlowPage::Div& div) {
    if (div.size() < 2)
        return false;
    size_t spaced = 0, leaded = 0;
    for (const QVFlowPage::Column& column : div)
        if (const Pitch p = pitchOf(column); p.steps >= 2)
            (p.spaced() ? spaced : leaded) += column.size();
    return spaced > leaded;
}

/// The one column of `above` (a div of two or more columns) that every line
/// part of `below` lies under, as the parts of a column do (overlapping it
/// across, or within 8.0 of it), when that column is running text that
/// `below` continues; otherwise above.size().
size_t continuedColumn(const QVFlowPage::Div& above, const QVFlowPage::Div& below) {
    const size_t none = above.size();
    if (above.size() < 2)
        return none;
    std::vector<double> lefts, rights;
    for (const QVFlowPage::Column& c : above) {
        double l = 0, r = 0;
        for (size_t i = 0; i < c.size(); ++i) {
            const double pl = QVFlowPage::_leftXOfLinePartArray(c[i]), pr = inkRight(c[i]);
            l = i == 0 || pl < l ? pl : l;
            r = i == 0 || pr > r ? pr : r;
        }
        lefts.push_back(l);
        rights.push_back(r);
    }
    size_t target = none;
    for (const QVFlowPage::Column& c : below)
        for (const QVFlowPage::LinePart& part : c) {
            const double l = QVFlowPage::_leftXOfLinePartArray(part), r = inkRight(part);
            size_t hit = none;
            for (size_t j = 0; j < above.size(); ++j) {
                if (!(l <= rights[j] + 8.0 && lefts[j] <= r + 8.0))
                    continue;
                if (hit != none)
                    return none;
                hit = j;
            }
            if (hit == none || (target != none && hit != target))
                return none;
            target = hit;
        }
    if (target == none)
        return none;
    // The column is running text of three or more lines that goes on below
    // the ends of the others (a longer column, not a row of blocks), and
    // the text below goes on within three of its steps.
    const QVFlowPage::Column& column = above[target];
    const Pitch p = pitchOf(column);
    if (p.steps < 2 || p.spaced())
        return none;
    const auto lastBaseline = [](const QVFlowPage::Column& c) {
        double last = 0;
        for (size_t i = 0; i < c.size(); ++i)
            last = i == 0 ? linePartBaseline(c[i]) : std::max(last, linePartBaseline(c[i]));
        return last;
    };
    const double last = lastBaseline(column);
    for (size_t j = 0; j < above.size(); ++j)
        if (j != target && !(lastBaseline(above[j]) < last - 0.5 * p.step))
            return none;
    double next = 0;
    bool any = false;
    for (const QVFlowPage::Column& c : below)
        for (const QVFlowPage::LinePart& part : c) {
            next = any ? std::min(next, linePartBaseline(part)) : linePartBaseline(part);
            any = true;
        }
    return next - last <= 3.0 * p.step ? target : none;
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
    return part.empty() ? 0 : runEnd(lastAdvancing(part));
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
    const double base = runBaseline(*runs.front());
    RunTextArray line{runs.front()};
    for (size_t i = 1; i < runs.size(); ++i)
        if (std::fabs(runBaseline(*runs[i]) - base) < 1.0)
            line.push_back(runs[i]);
    return line;
}

namespace {

/// A line in start order with each overlay mark moved after the glyph it is
/// drawn over (starting within 1.0 of it): TeX draws the slash of "not
/// equal" before the "=", and a combining mark follows its base ("=" then
/// U+0338 reads as one sign, U+0338 then "=" does not).
QVFlowPage::RunTextArray marksAfterTheirBase(QVFlowPage::RunTextArray line) {
    for (size_t k = 0; k + 1 < line.size(); ++k)
        if (isOverlayMark(*line[k]) && !isOverlayMark(*line[k + 1]) &&
            std::fabs(runStart(*line[k + 1]) - runStart(*line[k])) < 1.0 &&
            std::fabs(runBaseline(*line[k + 1]) - runBaseline(*line[k])) < 1.0) {
            std::swap(line[k], line[k + 1]);
            ++k;
        }
    return line;
}

/// How many accent-to-run comparisons a page may take to fold its accents.
constexpr size_t kMaxAccentComparisons = 20'000'000;

/// The combining mark of a spacing accent, or 0 for any other character.
char16_t combiningAccent(char16_t c) {
    switch (c) {
    case u'\u02DC': return u'\u0303'; // tilde
    case u'\u02C6': return u'\u0302'; // circumflex
    case u'\u00A8': return u'\u0308'; // dieresis
    case u'\u00B4': return u'\u0301'; // acute
    case u'`': return u'\u0300';       // grave
    case u'\u00AF': return u'\u0304'; // macron
    case u'\u02D9': return u'\u0307'; // dot above
    case u'\u02C7': return u'\u030C'; // caron
    case u'\u02D8': return u'\u0306'; // breve
    case u'\u02DA': return u'\u030A'; // ring
    case u'\u02DD': return u'\u030B'; // double acute
    default: return 0;
    }
}

/// Accents set over a letter as glyphs of their own (TeX's \tilde{a},
/// \hat{H}) join the letter under them as combining marks: "a" then U+0303
/// reads as one letter, where the spacing "˜" beside it read as a sign of its
/// own, or at the line's start when raised over a capital. Only an accent
/// whose middle lies over a glyph of a run near its size, on its baseline or
/// up to half an em below, is taken: an accent standing alone stays.
void foldAccentsIntoBases(QVFlowPage::RunTextArray& runs) {
    // Each accent looks at every run: a page made to be thousands of lone
    // accents over thousands of runs keeps its accents as signs rather than
    // taking quadratic time.
    const size_t accents = size_t(std::count_if(runs.begin(), runs.end(), [](const auto& r) {
        return r && r->runText().size() == 1 && combiningAccent(r->runText().front());
    }));
    if (accents == 0 || accents > kMaxAccentComparisons / runs.size())
        return;
    for (std::shared_ptr<QVFlowRunText>& accent : runs) {
        if (!accent || accent->runText().size() != 1 || !(accent->textWidth() > 0))
            continue;
        const char16_t mark = combiningAccent(accent->runText().front());
        if (!mark)
            continue;
        const double middle = runStart(*accent) + accent->textWidth() / 2;
        const double em = runEm(*accent);
        QVFlowRunText* base = nullptr;
        size_t at = 0;
        double best = 0;
        for (const std::shared_ptr<QVFlowRunText>& r : runs) {
            if (!r || r == accent || r->runText().empty() || !(r->textWidth() > 0))
                continue;
            const double lift = runBaseline(*r) - runBaseline(*accent);
            if (!(middle > runStart(*r) && middle < runEnd(*r)) || lift < -0.5 ||
                lift > 0.5 * em || !(runEm(*r) > 0.6 * em && runEm(*r) < 1.6 * em))
                continue;
            // The glyph under the accent, taking the run's glyphs as even.
            const std::u16string& text = r->runText();
            const double each = r->textWidth() / double(text.size());
            const size_t k = std::min(text.size() - 1, size_t((middle - runStart(*r)) / each));
            if (text[k] == u' ' || combiningAccent(text[k]))
                continue;
            const double off = std::fabs(runStart(*r) + (double(k) + 0.5) * each - middle);
            if (!base || off < best) {
                base = r.get();
                at = k;
                best = off;
            }
        }
        if (!base)
            continue;
        std::u16string& text = base->runText();
        size_t after = at + 1;
        // A letter and its low surrogate stay together, and marks already
        // on the letter stay first.
        while (after < text.size() && ((text[after] >= 0xDC00 && text[after] <= 0xDFFF) ||
                                        (text[after] >= 0x0300 && text[after] <= 0x036F)))
            ++after;
        text.insert(text.begin() + std::ptrdiff_t(after), mark);
        accent.reset();
    }
}

/// A line part with each fraction set small in it read numerator first,
/// then denominator, each whole: runs set at most 0.8 of the line's largest
/// font size, touching one another or stacked, that stand on two tiers (the
/// lower tier's glyph tops below the upper tier's baselines) and do not
/// follow a larger run without a gap (those are a base's scripts, read as
/// drawn). In start order TeX's numerator and denominator interleave (their
/// glyphs start within a point of each other): dy over du read "ddyu". An
/// accent over a letter sits inside the letter's tier and keeps its place.
QVFlowPage::LinePart fractionsInReadingOrder(QVFlowPage::LinePart part, double lineSize) {
    const auto small = [&](const QVFlowRunText& r) {
        return r.ctmInfo().fontSize.height <= 0.8 * lineSize;
    };
    for (size_t k = 0; k < part.size();) {
        if (!small(*part[k]) ||
            (k > 0 && !small(*part[k - 1]) && runStart(*part[k]) - runEnd(*part[k - 1]) < 1.0)) {
            ++k;
            continue;
        }
        size_t end = k + 1;
        while (end < part.size() && small(*part[end]))
            ++end;
        // Top to bottom; a run whose glyph top lies below every baseline of
        // the tier so far starts the next tier.
        QVFlowPage::LinePart byBaseline(part.begin() + std::ptrdiff_t(k),
                                        part.begin() + std::ptrdiff_t(end));
        std::stable_sort(byBaseline.begin(), byBaseline.end(), [](const auto& a, const auto& b) {
            return keyLess(runBaseline(*a), runBaseline(*b));
        });
        std::vector<std::pair<int, std::shared_ptr<QVFlowRunText>>> tiered;
        int tiers = 1;
        double tierBottom = runBaseline(*byBaseline.front());
        for (const auto& r : byBaseline) {
            if (runTop(*r) >= tierBottom)
                ++tiers;
            tierBottom = std::max(tierBottom, runBaseline(*r));
            tiered.emplace_back(tiers, r);
        }
        if (tiers == 2) {
            // Back into start order within each tier.
            std::stable_sort(tiered.begin(), tiered.end(), [&](const auto& x, const auto& y) {
                if (x.first != y.first)
                    return x.first < y.first;
                return std::find(part.begin(), part.end(), x.second) <
                       std::find(part.begin(), part.end(), y.second);
            });
            for (size_t i = 0; i < tiered.size(); ++i)
                part[k + i] = tiered[i].second;
        }
        k = end;
    }
    return part;
}

/// A line in start order without the blanks that stand under another run's
/// glyphs: a report that pads each cell with blanks reaching into the next
/// cell's date would otherwise read "0 3 /2 5" between its digits. A blank
/// is under a glyph when its middle lies within a run that has text (kerning
/// into a blank does not reach its middle).
QVFlowPage::RunTextArray withoutBlanksUnderText(QVFlowPage::RunTextArray line) {
    const auto isBlank = [](const QVFlowRunText& r) {
        const std::u16string& t = r.runText();
        return !t.empty() && std::all_of(t.begin(), t.end(), [](char16_t c) { return c <= 0x20; });
    };
    // The text runs' starts in order, each with the furthest end reached by
    // it and the runs before it.
    std::vector<std::pair<double, double>> reach;
    for (const auto& r : line)
        if (!isBlank(*r) && !r->runText().empty() && std::isfinite(runStart(*r)) &&
            std::isfinite(runEnd(*r)))
            reach.emplace_back(runStart(*r), runEnd(*r));
    if (reach.empty() || reach.size() == line.size())
        return line;
    std::sort(reach.begin(), reach.end());
    for (size_t k = 1; k < reach.size(); ++k)
        reach[k].second = std::max(reach[k].second, reach[k - 1].second);
    const auto underText = [&](const QVFlowRunText& blank) {
        const double middle = runStart(blank) + blank.textWidth() / 2;
        if (!std::isfinite(middle))
            return false;
        auto after = std::upper_bound(reach.begin(), reach.end(), middle,
                                      [](double m, const auto& e) { return m <= e.first; });
        return after != reach.begin() && std::prev(after)->second > middle;
    };
    line.erase(std::remove_if(line.begin(), line.end(),
                              [&](const auto& r) { return isBlank(*r) && underText(*r); }),
               line.end());
    return line;
}

} // namespace

QVFlowPage::LineSect QVFlowPage::_collectLinePartArrayInSameBaseLine(const RunTextArray& line) {
    // A superscript stacked over a subscript (or under it) starts inside the
    // one before it, on another baseline: it stays in their part.
    const auto stacked = [](const QVFlowRunText& run, const QVFlowRunText& before) {
        return std::fabs(runBaseline(run) - runBaseline(before)) >= 1.0 &&
               runStart(run) > runStart(before) && runStart(run) < runEnd(before);
    };
    // An overlay mark moved after its base starts where the base does.
    const auto overlay = [](const QVFlowRunText& run, const QVFlowRunText& before) {
        return isOverlayMark(run) && std::fabs(runStart(run) - runStart(before)) < 1.0;
    };
    LineSect parts;
    for (size_t i = 0; i < line.size(); ++i) {
        if (i == 0 || !(std::fabs(runStart(*line[i]) - runEnd(*line[i - 1])) < 1.0 ||
                        stacked(*line[i], *line[i - 1]) || overlay(*line[i], *line[i - 1])))
            parts.emplace_back();
        parts.back().push_back(line[i]);
    }
    return parts;
}

std::vector<QVFlowPage::LineSect>
QVFlowPage::_collectYIntersectRunTexts(const std::vector<LineSect>& sects) {
    if (sects.empty())
        return {};
    return {sects.begin(), sects.begin() + std::ptrdiff_t(divLength(sects, 0, sects.size(), true))};
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
    const double base = linePartBaseline(column[first]);
    size_t end = first + 1;
    while (end < column.size() && std::fabs(linePartBaseline(column[end]) - base) < 1.0)
        ++end;
    return _sortedByLinePartLeft(
        Row(column.begin() + std::ptrdiff_t(first), column.begin() + std::ptrdiff_t(end)));
}

namespace {

/// The baselines of a column's line parts, top to bottom, when each part
/// stands on a baseline of its own; none otherwise.
std::vector<double> gridBaselines(const QVFlowPage::Column& column) {
    std::vector<double> baselines;
    for (const QVFlowPage::LinePart& part : column)
        baselines.push_back(linePartBaseline(part));
    std::sort(baselines.begin(), baselines.end(), keyLess);
    for (size_t i = 1; i < baselines.size(); ++i)
        if (!(baselines[i] - baselines[i - 1] >= 1.0))
            return {};
    return baselines;
}

/// Neighbouring columns of a div that are the columns of a matrix set in a
/// formula become one column, whose rows then read across: two to eight
/// parts each, every part on a baseline of its own, the same baselines in
/// every column (within 1.0), each part at most four of its font sizes
/// wide, the gap between the columns at most two, and a column beside them
/// holding the formula's line between their first and last rows. Columns of
/// running text have longer lines and wider gutters, and are read column by
/// column as before.
void joinGridColumns(QVFlowPage::Div& div) {
    if (div.size() < 2)
        return;
    const auto narrow = [](const QVFlowPage::Column& column) {
        return std::all_of(column.begin(), column.end(), [](const QVFlowPage::LinePart& part) {
            const double em = linePartEm(part);
            return em > 0 && inkRight(part) - QVFlowPage::_leftXOfLinePartArray(part) <= 4.0 * em;
        });
    };
    const auto sameRows = [](const std::vector<double>& a, const std::vector<double>& b) {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (!(std::fabs(a[i] - b[i]) < 1.0))
                return false;
        return true;
    };
    const auto right = [](const QVFlowPage::Column& column) {
        double r = 0;
        for (size_t i = 0; i < column.size(); ++i)
            r = i == 0 ? inkRight(column[i]) : std::max(r, inkRight(column[i]));
        return r;
    };
    QVFlowPage::Div joined;
    for (size_t j = 0; j < div.size();) {
        const std::vector<double> rows = gridBaselines(div[j]);
        size_t k = j + 1;
        if (rows.size() >= 2 && rows.size() <= 8 && narrow(div[j])) {
            while (k < div.size() && sameRows(rows, gridBaselines(div[k])) && narrow(div[k])) {
                const double em = std::max(linePartEm(div[k - 1].front()), linePartEm(div[k].front()));
                if (!(QVFlowPage::_minLeftXOfColumnArray(div[k]) - right(div[k - 1]) <= 2.0 * em))
                    break;
                ++k;
            }
        }
        // The formula the grid is set in goes on beside it, on a line
        // between its first and last rows: labels wrapped over two lines
        // side by side, or bullets beside their items, have no such line
        // and still read column by column.
        if (k > j + 1) {
            // The line lies about midway (a quarter of the grid's height from
            // its middle) and within two of its font sizes of the grid.
            const double middle = 0.5 * (rows.front() + rows.back());
            const double reach = 0.25 * (rows.back() - rows.front());
            const double gridLeft = QVFlowPage::_minLeftXOfColumnArray(div[j]);
            const double gridRight = right(div[k - 1]);
            const auto axis = [&](const QVFlowPage::Column& column) {
                return std::any_of(column.begin(), column.end(), [&](const QVFlowPage::LinePart& part) {
                    const double b = linePartBaseline(part), em = linePartEm(part);
                    const double l = QVFlowPage::_leftXOfLinePartArray(part), r = inkRight(part);
                    return std::fabs(b - middle) <= reach &&
                           std::none_of(rows.begin(), rows.end(),
                                        [&](double row) { return std::fabs(b - row) < 1.0; }) &&
                           ((r <= gridLeft && gridLeft - r <= 2.0 * em) ||
                            (l >= gridRight && l - gridRight <= 2.0 * em));
                });
            };
            if (!((!joined.empty() && axis(joined.back())) || (k < div.size() && axis(div[k]))))
                k = j + 1;
        }
        if (k == j + 1) {
            joined.push_back(std::move(div[j]));
            j = k;
            continue;
        }
        // Row by row, each left to right (the columns are in left order):
        // the order the rows are read in.
        QVFlowPage::Column grid;
        for (size_t row = 0; row < rows.size(); ++row)
            for (size_t c = j; c < k; ++c)
                for (QVFlowPage::LinePart& part : div[c])
                    if (!part.empty() && std::fabs(linePartBaseline(part) - rows[row]) < 1.0 &&
                        (row + 1 == rows.size() ||
                         !(std::fabs(linePartBaseline(part) - rows[row + 1]) <
                           std::fabs(linePartBaseline(part) - rows[row]))))
                        grid.push_back(std::move(part));
        for (size_t c = j; c < k; ++c) // none is left, but never lose text
            for (QVFlowPage::LinePart& part : div[c])
                if (!part.empty())
                    grid.push_back(std::move(part));
        joined.push_back(std::move(grid));
        j = k;
    }
    div = std::move(joined);
}

/// The horizontal extent of a column: its leftmost start and rightmost ink.
std::pair<double, double> columnExtent(const QVFlowPage::Column& column) {
    double l = 0, r = 0;
    for (size_t i = 0; i < column.size(); ++i) {
        const double pl = QVFlowPage::_leftXOfLinePartArray(column[i]), pr = inkRight(column[i]);
        l = i == 0 || pl < l ? pl : l;
        r = i == 0 || pr > r ? pr : r;
    }
    return {l, r};
}

/// Whether most lines (half the distinct baselines or more) of a side of
/// the page start at its left edge (within 2.0), as the lines of a page
/// column do, a few indented; the labels of a figure's axes or a formula
/// beside another start where their content puts them. Also false for
/// fewer than six lines.
bool flushLeft(const QVFlowPage::Column& parts) {
    if (parts.empty())
        return false;
    double edge = QVFlowPage::_leftXOfLinePartArray(parts.front());
    for (const QVFlowPage::LinePart& part : parts)
        edge = std::min(edge, QVFlowPage::_leftXOfLinePartArray(part));
    // Each line's start: the leftmost part on its baseline.
    std::vector<std::pair<double, double>> lines; // baseline, start
    for (const QVFlowPage::LinePart& part : parts) {
        const double b = linePartBaseline(part), l = QVFlowPage::_leftXOfLinePartArray(part);
        const auto same = std::find_if(lines.begin(), lines.end(),
                                       [&](const auto& line) { return std::fabs(line.first - b) < 1.0; });
        if (same == lines.end())
            lines.emplace_back(b, l);
        else
            same->second = std::min(same->second, l);
    }
    const size_t flush = size_t(std::count_if(lines.begin(), lines.end(), [&](const auto& line) {
        return line.second - edge <= 2.0;
    }));
    return lines.size() >= 6 && 2 * flush >= lines.size();
}

/// How many of the distinct baselines of `a` lie within 1.0 of one of `b`'s,
/// and how many distinct baselines `a` has.
std::pair<size_t, size_t> sharedBaselines(const QVFlowPage::Column& a, const QVFlowPage::Column& b) {
    const auto distinct = [](const QVFlowPage::Column& parts) {
        std::vector<double> v;
        for (const QVFlowPage::LinePart& part : parts)
            v.push_back(linePartBaseline(part));
        std::sort(v.begin(), v.end(), keyLess);
        std::vector<double> out;
        for (double x : v)
            if (out.empty() || !(x - out.back() < 1.0))
                out.push_back(x);
        return out;
    };
    const std::vector<double> da = distinct(a), db = distinct(b);
    size_t shared = 0;
    for (double x : da) {
        const auto it = std::lower_bound(db.begin(), db.end(), x - 1.0, keyLess);
        shared += it != db.end() && std::fabs(*it - x) < 1.0;
    }
    return {shared, da.size()};
}

/// Page columns across bands. Where both columns of a two-column page
/// leave a gap at the same height (a heading with space above it on each
/// side), the page falls into bands, and band by band the columns would
/// read across: the left column's first part, the right's first part, the
/// left's second part... Consecutive divs that share a gutter wider than
/// 8.0 which none of their text crosses read as the page's columns: the
/// left side of each div top to bottom, then the right side. Only when
/// both sides are running text: two or more divs have text on both sides,
/// each side holds six or more lines stepping by their leading (not spaced
/// like table rows), mostly starting at its left edge, which is the same
/// in every div, and spans at least 0.3 of the divs' width; and fewer than
/// two thirds of the right side's lines share a baseline with the left
/// side (a table's rows do). Rows of a table split off their band never
/// take part.
std::vector<QVFlowPage::Div> readPageColumns(std::vector<QVFlowPage::Div> divs,
                                             const std::vector<bool>& tableRows) {
    std::vector<QVFlowPage::Div> out;
    for (size_t i = 0; i < divs.size();) {
        bool taken = false;
        // A single row (a running head: page number and title) starts no
        // page columns; the columns start below it.
        const bool oneRow = [&] {
            if (divs[i].empty() || divs[i].front().empty())
                return true;
            const double first = linePartBaseline(divs[i].front().front());
            for (const QVFlowPage::Column& column : divs[i])
                for (const QVFlowPage::LinePart& part : column)
                    if (std::fabs(linePartBaseline(part) - first) >= 1.0)
                        return false;
            return true;
        }();
        for (size_t split = 1; !tableRows[i] && !oneRow && split < divs[i].size(); ++split) {
            double a = 0, b = 0;
            for (size_t c = 0; c < divs[i].size(); ++c) {
                const auto [l, r] = columnExtent(divs[i][c]);
                if (c < split)
                    a = c == 0 ? r : std::max(a, r);
                else
                    b = c == split ? l : std::min(b, l);
            }
            if (!(b - a > 8.0))
                continue;
            // Extend over the divs below while none crosses the gutter,
            // narrowing it to their own gaps.
            std::vector<std::vector<bool>> leftOf{{}};
            for (size_t c = 0; c < divs[i].size(); ++c)
                leftOf.back().push_back(c < split);
            size_t end = i + 1;
            for (; end < divs.size() && !tableRows[end]; ++end) {
                std::vector<bool> sides;
                double na = a, nb = b;
                bool fits = true;
                for (const QVFlowPage::Column& column : divs[end]) {
                    const auto [l, r] = columnExtent(column);
                    if (r <= na || (l < na && r < nb)) {
                        na = std::max(na, r);
                        sides.push_back(true);
                    } else if (l >= nb || (l > na && r > nb)) {
                        nb = std::min(nb, l);
                        sides.push_back(false);
                    } else {
                        fits = false;
                    }
                }
                if (!fits || !(nb - na > 8.0))
                    break;
                a = na;
                b = nb;
                leftOf.push_back(std::move(sides));
            }
            size_t twoSided = 0, leftParts = 0, rightParts = 0;
            double minX = 0, maxX = 0;
            bool any = false;
            // Each div's text on a side starts at that side's edge: a page
            // column keeps its margin from band to band.
            std::vector<double> leftStarts, rightStarts;
            QVFlowPage::Column leftAll, rightAll;
            for (size_t d = i; d < end; ++d) {
                bool hasLeft = false, hasRight = false;
                double leftStart = 0, rightStart = 0;
                for (size_t c = 0; c < divs[d].size(); ++c) {
                    const auto [l, r] = columnExtent(divs[d][c]);
                    const bool left = leftOf[d - i][c];
                    double& start = left ? leftStart : rightStart;
                    start = (left ? hasLeft : hasRight) ? std::min(start, l) : l;
                    (left ? hasLeft : hasRight) = true;
                    (left ? leftParts : rightParts) += divs[d][c].size();
                    for (const QVFlowPage::LinePart& part : divs[d][c])
                        (left ? leftAll : rightAll).push_back(part);
                    minX = any ? std::min(minX, l) : l;
                    maxX = any ? std::max(maxX, r) : r;
                    any = true;
                }
                twoSided += hasLeft && hasRight;
                if (hasLeft)
                    leftStarts.push_back(leftStart);
                if (hasRight)
                    rightStarts.push_back(rightStart);
            }
            const auto level = [](const std::vector<double>& starts) {
                const auto [lo, hi] = std::minmax_element(starts.begin(), starts.end());
                return lo != starts.end() && *hi - *lo <= 2.0;
            };
            const double width = maxX - minX;
            const Pitch lp = pitchOf(leftAll), rp = pitchOf(rightAll);
            if (twoSided < 2 || leftParts < 6 || rightParts < 6 || !(width > 0) ||
                !(a - minX >= 0.3 * width) || !(maxX - b >= 0.3 * width) || lp.steps < 2 ||
                lp.spaced() || rp.steps < 2 || rp.spaced() || !flushLeft(leftAll) ||
                !flushLeft(rightAll) || !level(leftStarts) || !level(rightStarts))
                continue;
            // A table's rows stand on the same baselines across it; page
            // columns, each with its own headings and gaps, mostly do not.
            if (const auto [shared, lines] = sharedBaselines(rightAll, leftAll);
                3 * shared >= 2 * lines)
                continue;
            for (int side = 0; side < 2; ++side)
                for (size_t d = i; d < end; ++d) {
                    QVFlowPage::Div piece;
                    for (size_t c = 0; c < divs[d].size(); ++c)
                        if (leftOf[d - i][c] == (side == 0))
                            piece.push_back(divs[d][c]);
                    if (!piece.empty())
                        out.push_back(std::move(piece));
                }
            i = end;
            taken = true;
            // The loop's test would read divs[i], which may be past the last div.
            break;
        }
        if (!taken) {
            out.push_back(std::move(divs[i]));
            ++i;
        }
    }
    return out;
}

/// How many columns of a div hold lines on two or more baselines.
size_t tallColumns(const QVFlowPage::Div& div) {
    return size_t(std::count_if(div.begin(), div.end(), [](const QVFlowPage::Column& c) {
        const double first = c.empty() ? 0 : linePartBaseline(c.front());
        return std::any_of(c.begin(), c.end(), [&](const QVFlowPage::LinePart& part) {
            return std::fabs(linePartBaseline(part) - first) >= 1.0;
        });
    }));
}

/// The columns of the band of line sects [from, to), left to right, each
/// top to bottom.
QVFlowPage::Div columnsOf(const std::vector<QVFlowPage::LineSect>& sects, size_t from, size_t to) {
    std::vector<QVFlowPage::LinePart> parts;
    for (size_t k = from; k < to; ++k)
        for (const QVFlowPage::LinePart& part : sects[k])
            parts.push_back(part);
    parts = QVFlowPage::_sortedByLinePartLeft(std::move(parts));
    QVFlowPage::Div div;
    for (size_t p = 0; p < parts.size();) {
        const size_t width = columnLength(parts, p);
        QVFlowPage::Column column(
            std::make_move_iterator(parts.begin() + std::ptrdiff_t(p)),
            std::make_move_iterator(parts.begin() + std::ptrdiff_t(p + width)));
        p += width;
        div.push_back(QVFlowPage::_sortedByLinePartTop(std::move(column)));
    }
    return div;
}

} // namespace

std::vector<QVFlowPage::Div> QVFlowPage::_groupDivs() {
    foldAccentsIntoBases(allRunTextArray_);
    RunTextArray runs;
    for (const RunPtr& r : allRunTextArray_)
        if (r)
            runs.push_back(r);
    const RunTextArray top = _sortedByTop(std::move(runs));
    if (hasTextMargin() && !top.empty())
        textMargin_.top = float(runTop(*top.front()));

    std::vector<RunTextArray> lines = groupLines(top);
    attachScripts(lines);
    Fold left{false};
    left.add(1000000.0);
    std::vector<LineSect> sects;
    sects.reserve(lines.size());
    for (RunTextArray& line : lines) {
        line = withoutBlanksUnderText(marksAfterTheirBase(_sortedByStart(std::move(line))));
        left.add(runStart(*line.front()));
        sects.push_back(_collectLinePartArrayInSameBaseLine(line));
        const QVFlowRunText* largest = nullptr;
        for (const auto& r : line)
            if (!largest || r->ctmInfo().fontSize.height > largest->ctmInfo().fontSize.height)
                largest = r.get();
        const double size = largest->ctmInfo().fontSize.height;
        for (const auto& r : line)
            r->setLine(runBaseline(*largest), size);
        for (LinePart& part : sects.back())
            part = fractionsInReadingOrder(std::move(part), size);
    }
    if (hasTextMargin())
        textMargin_.left = float(left.result());

    std::vector<Div> divs;
    std::vector<bool> tableRows; // per div: a row of a table split off its band
    bool open = false;      // whether the last div's columns may go on below it
    bool splitHead = false; // whether the last div is a line split off the band below
    for (size_t first = 0; first < sects.size();) {
        size_t count = divLength(sects, first, sects.size(), true);
        Div div = columnsOf(sects, first, first + count);
        if (div.size() == 1 && count >= 3) {
            // A line across columns just above or below them (a heading, a
            // note) would join them into one column: it is a div of its own.
            // (The line below them may span them too.)
            const size_t end = first + count;
            if (!splitHead && (tallColumns(columnsOf(sects, first + 1, end)) >= 2 ||
                               (count >= 4 && tallColumns(columnsOf(sects, first + 1, end - 1)) >= 2))) {
                divs.push_back(columnsOf(sects, first, first + 1));
                open = false;
                splitHead = true;
                first += 1;
                continue;
            }
            if (Div above = columnsOf(sects, first, first + count - 1); tallColumns(above) >= 2) {
                count -= 1;
                div = std::move(above);
            }
        }
        if (readsAsTable(div)) {
            // Rows of a table read across: the band splits again where its
            // lines neither overlap nor touch.
            for (size_t k = first; k < first + count;) {
                const size_t part = divLength(sects, k, first + count, false);
                divs.push_back(columnsOf(sects, k, k + part));
                tableRows.resize(divs.size(), false);
                tableRows.back() = true;
                k += part;
            }
            open = false;
        } else if (const size_t j = open ? continuedColumn(divs.back(), div) : 0;
                   open && j < divs.back().size()) {
            // Text under one column only, beside the others' ends, goes on
            // in that column: a longer left column is read whole before the
            // column to its right, through its headings' gaps.
            Column& column = divs.back()[j];
            for (Column& c : div)
                for (LinePart& part : c)
                    column.push_back(std::move(part));
            column = _sortedByLinePartTop(std::move(column));
        } else {
            open = div.size() >= 2;
            divs.push_back(std::move(div));
        }
        splitHead = false;
        first += count;
    }
    tableRows.resize(divs.size(), false);
    divs = readPageColumns(std::move(divs), tableRows);
    for (Div& div : divs)
        joinGridColumns(div);
    return divs;
}
