#include "excel/analysis/QVExcelSortUtilities.h"

#include "excel/QVExcelManager.h"
#include "excel/analysis/QVExcelStackRule.h"
#include "excel/analysis/QVExcelStringItem.h"
#include "platform/text/ScriptClasses.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <unordered_map>
#include <utility>

using RunList = QVExcelSortUtilities::RunList;
using RunPtr = std::shared_ptr<QVExcelRunText>;

namespace {

// Two pieces of one baseline: the baselines differ by less than this (points).
constexpr double kSameBaseline = 1.0;
// A piece continues the previous one when it starts within this distance of
// its right edge, either side (points).
constexpr double kJoinGap = 2.0;
// A number set in text of a script without word spaces (Han, kana) with no
// blank of its own is spaced off by word processors by about a quarter em
// ("前" "10" "名"): up to this share of the size it continues that text.
constexpr double kNumberInTextGap = 0.4;
// Pieces at least this far apart are separate words, as when capturing.
constexpr double kWordGap = 1.0;
// How far less than its box a run ending in a blank reaches (points).
constexpr double kBlankReach = 1.0;
// Stacked lines of one cell overlap horizontally by more than this (points)...
constexpr double kStackOverlap = 1.0;
// ...and the next line's top lies within this distance of the bottom so far.
constexpr double kStackGap = 2.0;

// A stable sort by key. Without a NaN key the keys are strictly weakly
// ordered, so every stable sort gives the same list: a list already in order
// (most groups keep their parent's order) is left alone and a short one is
// sorted by insertion, neither allocating. A NaN key leaves the list to
// std::stable_sort, whose order for such keys is the one to keep.
void sortInPlace(std::span<RunPtr> runs, double (*key)(const QVExcelRunText&)) {
    // Insertion sort up to this many runs; std::stable_sort above.
    constexpr size_t kShortList = 16;
    bool ordered = true;
    double previous = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        const double k = key(*runs[i]);
        if (std::isnan(k)) {
            std::stable_sort(runs.begin(), runs.end(), [key](const RunPtr& a, const RunPtr& b) {
                return key(*a) < key(*b);
            });
            return;
        }
        if (i > 0 && k < previous)
            ordered = false;
        previous = k;
    }
    if (ordered)
        return;
    if (runs.size() > kShortList) {
        // Sorted as (key, position) pairs, which orders equal keys by
        // position as a stable sort does, without reading each key through
        // its run at every comparison or moving the runs more than once.
        std::vector<std::pair<double, size_t>> keyed(runs.size());
        for (size_t i = 0; i < runs.size(); ++i)
            keyed[i] = {key(*runs[i]), i};
        std::sort(keyed.begin(), keyed.end());
        RunList sorted;
        sorted.reserve(runs.size());
        for (const auto& k : keyed)
            sorted.push_back(std::move(runs[k.second]));
        std::move(sorted.begin(), sorted.end(), runs.begin());
        return;
    }
    for (size_t i = 1; i < runs.size(); ++i) {
        const double k = key(*runs[i]);
        size_t j = i;
        if (!(k < key(*runs[j - 1])))
            continue;
        RunPtr moving = std::move(runs[i]);
        for (; j > 0 && k < key(*runs[j - 1]); --j)
            runs[j] = std::move(runs[j - 1]);
        runs[j] = std::move(moving);
    }
}

RunList stableSorted(const RunList& runs, double (*key)(const QVExcelRunText&)) {
    RunList out = runs;
    sortInPlace(out, key);
    return out;
}

double xLeftOf(const QVExcelRunText& r) {
    return r.ctmInfo().xLeft;
}
double yTopOf(const QVExcelRunText& r) {
    return r.ctmInfo().yTop;
}

} // namespace

RunList QVExcelSortUtilities::SortRunTextsByX(const RunList& runs) {
    return stableSorted(runs, xLeftOf);
}

RunList QVExcelSortUtilities::SortRunTextsByY(const RunList& runs) {
    return stableSorted(runs, yTopOf);
}

void QVExcelSortUtilities::sortRunTextsByXInPlace(RunSpan runs) {
    sortInPlace(runs, xLeftOf);
}

void QVExcelSortUtilities::sortRunTextsByYInPlace(RunSpan runs) {
    sortInPlace(runs, yTopOf);
}

namespace {

using Span = std::span<const RunPtr>;

// The chain finders: each appends the positions in `s` of the chain of s[0]
// (0 first, ascending). With `sorted` (the list is sorted by the chain's
// key) a scan stops at the first run past which no later run can join: its
// key already lies beyond the running edge, later keys lie further still,
// and the edge only moves when a run joins. Otherwise every run is looked at.
// `rule`, for the stacked-lines chain only, says which lines may stack.
using Finder = void (*)(Span s, std::vector<size_t>& members, bool sorted,
                        const QVExcelStackRule* rule);

void crossedInHeight(Span s, std::vector<size_t>& members, bool sorted, const QVExcelStackRule*) {
    members.push_back(0);
    double bottom = s[0]->ctmInfo().yBase;
    for (size_t i = 1; i < s.size(); ++i) {
        const QVPDF_CTMInfo& g = s[i]->ctmInfo();
        if (bottom > g.yTop) {
            members.push_back(i);
            bottom = std::max(bottom, g.yBase);
        } else if (sorted) {
            break;
        }
    }
}

// The right edge a run reaches over the runs after it: a blank at its end
// may reach a sliver into the box of the next word, which lies beside it.
double reachOf(const QVExcelRunText& r) {
    const std::u16string& text = r.text();
    return r.ctmInfo().xRight - (!text.empty() && text.back() == u' ' ? kBlankReach : 0.0);
}

void crossedInWidth(Span s, std::vector<size_t>& members, bool sorted, const QVExcelStackRule*) {
    members.push_back(0);
    double right = reachOf(*s[0]);
    for (size_t i = 1; i < s.size(); ++i) {
        const QVPDF_CTMInfo& g = s[i]->ctmInfo();
        if (right >= g.xLeft) {
            members.push_back(i);
            right = std::max(right, reachOf(*s[i]));
        } else if (sorted) {
            break;
        }
    }
}

// With `sorted`, the first position after the leader whose key exceeds
// `bound`: every run before it starts too far before the running edge to
// join, and so did it when the scan passed it (the edge only grows by runs
// joining, which come later in the order).
size_t firstAbove(Span s, bool sorted, double bound, double (*key)(const QVExcelRunText&)) {
    if (!sorted)
        return 1;
    auto it = std::partition_point(s.begin() + 1, s.end(),
                                   [&](const RunPtr& r) { return key(*r) <= bound; });
    return static_cast<size_t>(it - s.begin());
}

double yTopKey(const QVExcelRunText& r) {
    return r.ctmInfo().yTop;
}
double xLeftKey(const QVExcelRunText& r) {
    return r.ctmInfo().xLeft;
}

// Whether `right` is a number within text of a script without word spaces
// that `left` ends in, or that text going on after the number `left` ends in.
bool isNumberInUnspacedText(const std::u16string& left, const std::u16string& right) {
    if (left.empty() || right.empty())
        return false;
    const char32_t last = QVExcelStringItem::lastCharacter(left);
    const char32_t first = QVExcelStringItem::firstCharacter(right);
    auto isDigit = [](char32_t c) { return c >= U'0' && c <= U'9'; };
    return (platform::isOfScriptWithoutWordSpaces(last) && platform::isLetterOrDigit(last) &&
            isDigit(first)) ||
           (isDigit(last) && platform::isOfScriptWithoutWordSpaces(first) &&
            platform::isLetterOrDigit(first));
}

void mergedInWidth(Span s, std::vector<size_t>& members, bool sorted, const QVExcelStackRule*) {
    members.push_back(0);
    const RunPtr& leader = s[0];
    const QVExcelRunText* last = leader.get();
    double right = leader->ctmInfo().xRight;
    const double size = leader->rPr().sz();
    const double numberGap = std::isfinite(size) && size > 0 ? kNumberInTextGap * size : 0.0;
    const double widestGap = std::max(kJoinGap, numberGap);
    for (size_t i = firstAbove(s, sorted, right - kJoinGap, xLeftKey); i < s.size(); ++i) {
        const QVPDF_CTMInfo& g = s[i]->ctmInfo();
        const double gap = g.xLeft - right;
        if (std::fabs(g.yBase - leader->ctmInfo().yBase) < kSameBaseline &&
            (std::fabs(gap) < kJoinGap ||
             (gap >= 0 && gap < numberGap && isNumberInUnspacedText(last->text(), s[i]->text()))) &&
            leader->rPr().isSameToRPr(s[i]->rPr())) {
            members.push_back(i);
            last = s[i].get();
            right = std::max(right, g.xRight);
        } else if (sorted && g.xLeft >= right + widestGap) {
            break;
        }
    }
}

// Whether `lower` may stack below `upper`; without a rule two numbers never do.
bool mayStack(const QVExcelStackRule* rule, const QVExcelRunText& upper,
              const QVExcelRunText& lower) {
    if (rule)
        return rule->mayStack(upper, lower);
    return !(QVExcelStackRule::isNumber(upper) && QVExcelStackRule::isNumber(lower));
}

void mergedInHeight(Span s, std::vector<size_t>& members, bool sorted,
                    const QVExcelStackRule* rule) {
    members.push_back(0);
    const RunPtr& leader = s[0];
    const QVExcelRunText* last = leader.get();
    double bottom = leader->ctmInfo().yBottom;
    for (size_t i = firstAbove(s, sorted, bottom - kStackGap, yTopKey); i < s.size(); ++i) {
        const QVPDF_CTMInfo& g = s[i]->ctmInfo();
        if (leader->ctmInfo().xRight - g.xLeft > kStackOverlap &&
            std::fabs(g.yTop - bottom) < kStackGap && leader->rPr().isSameToRPr(s[i]->rPr()) &&
            mayStack(rule, *last, *s[i])) {
            members.push_back(i);
            last = s[i].get();
            bottom = std::max(bottom, g.yBottom);
        } else if (sorted && g.yTop >= bottom + kStackGap) {
            break;
        }
    }
}

RunList collect(const RunList& runs, Finder find) {
    if (runs.empty())
        return {};
    std::vector<size_t> members;
    find(Span(runs), members, false, nullptr);
    RunList out;
    out.reserve(members.size());
    for (size_t m : members)
        out.push_back(runs[m]);
    return out;
}

Finder finderFor(QVExcelSortUtilities::Chain chain) {
    using C = QVExcelSortUtilities::Chain;
    switch (chain) {
    case C::CrossedInHeight:
        return crossedInHeight;
    case C::CrossedInWidth:
        return crossedInWidth;
    case C::MergedInWidth:
        return mergedInWidth;
    case C::MergedInHeight:
        break;
    }
    return mergedInHeight;
}

std::vector<RunList> groupByIndex(const RunList& runs, uint64_t (QVExcelRunText::*index)() const) {
    std::vector<RunList> groups;
    std::unordered_map<uint64_t, size_t> groupOf;
    for (const RunPtr& r : runs) {
        auto [it, isNew] = groupOf.emplace(((*r).*index)(), groups.size());
        if (isNew)
            groups.emplace_back();
        groups[it->second].push_back(r);
    }
    return groups;
}

} // namespace

RunList QVExcelSortUtilities::FindRunTextsCrossedInHeight(const RunList& runs) {
    return collect(runs, crossedInHeight);
}

RunList QVExcelSortUtilities::FindRunTextsCrossedInWidth(const RunList& runs) {
    return collect(runs, crossedInWidth);
}

RunList QVExcelSortUtilities::FindRunTextsMergedInWidth(const RunList& runs) {
    return collect(runs, mergedInWidth);
}

RunList QVExcelSortUtilities::FindRunTextsMergedInHeight(const RunList& runs) {
    return collect(runs, mergedInHeight);
}

std::shared_ptr<QVExcelRunText>
QVExcelSortUtilities::MergeRunTextsInWidth(std::span<const RunPtr> runs) {
    if (runs.empty())
        return nullptr;
    const RunPtr& leader = runs.front();
    for (size_t i = 1; i < runs.size(); ++i) {
        // Pieces a point or more apart are words (the capture joins closer
        // ones directly): "Bundesministerium" "des" must not read as one.
        if (runs[i]->ctmInfo().xLeft - leader->ctmInfo().xRight >= kWordGap &&
            QVExcelStringItem::needsWordSpace(leader->text(), runs[i]->text()))
            leader->appendText(u" ");
        leader->appendText(runs[i]->text());
        leader->setTextWidth(leader->textWidth() + runs[i]->textWidth());
        QVPDF_CTMInfo g = leader->ctmInfo();
        g.xRight = runs[i]->ctmInfo().xRight;
        leader->setCtmInfo(g);
    }
    return leader;
}

std::shared_ptr<QVExcelRunText>
QVExcelSortUtilities::MergeRunTextsInHeight(std::span<const RunPtr> runs) {
    if (runs.empty())
        return nullptr;
    const RunPtr& leader = runs.front();
    const bool wrap = QVExcelManager::sharedInstance()->isNeedWrapText();
    for (size_t i = 1; i < runs.size(); ++i) {
        // A wrapped cell breaks its lines itself; the words at the join still
        // need their space, or "DATE" over "POSTED" reads "DATEPOSTED".
        if (!wrap)
            leader->appendText(u"\n");
        else if (QVExcelStringItem::needsWordSpace(leader->text(), runs[i]->text()))
            leader->appendText(u" ");
        leader->appendText(runs[i]->text());
        leader->setTextWidth(std::max(leader->textWidth(), runs[i]->textWidth()));
        QVPDF_CTMInfo g = leader->ctmInfo();
        const QVPDF_CTMInfo& o = runs[i]->ctmInfo();
        g.yTop = std::min(g.yTop, o.yTop);
        g.xLeft = std::min(g.xLeft, o.xLeft);
        g.yBase = std::max(g.yBase, o.yBase);
        g.yBottom = std::max(g.yBottom, o.yBottom);
        g.xRight = std::max(g.xRight, o.xRight);
        leader->setCtmInfo(g);
    }
    return leader;
}

RunList QVExcelSortUtilities::FindRunTextsInSameColumnIndex(const RunList& runs) {
    RunList out;
    for (const RunPtr& r : runs)
        if (r->columnIndex() == runs.front()->columnIndex())
            out.push_back(r);
    return out;
}

RunList QVExcelSortUtilities::FindRunTextsInSameRowIndex(const RunList& runs) {
    RunList out;
    for (const RunPtr& r : runs)
        if (r->rowIndex() == runs.front()->rowIndex())
            out.push_back(r);
    return out;
}

double QVExcelSortUtilities::GetMinxRightInRunTexts(const RunList& runs) {
    double v = runs.front()->ctmInfo().xRight;
    for (const RunPtr& r : runs)
        v = std::min(v, r->ctmInfo().xRight);
    return v;
}

double QVExcelSortUtilities::GetMaxxLeftInRunTexts(const RunList& runs) {
    double v = runs.front()->ctmInfo().xLeft;
    for (const RunPtr& r : runs)
        v = std::max(v, r->ctmInfo().xLeft);
    return v;
}

double QVExcelSortUtilities::GetMinxLeftInRunTexts(const RunList& runs) {
    double v = runs.front()->ctmInfo().xLeft;
    for (const RunPtr& r : runs)
        v = std::min(v, r->ctmInfo().xLeft);
    return v;
}

double QVExcelSortUtilities::GetMinxTopInRunTexts(const RunList& runs) {
    double v = runs.front()->ctmInfo().yTop;
    for (const RunPtr& r : runs)
        v = std::min(v, r->ctmInfo().yTop);
    return v;
}

std::vector<RunList> QVExcelSortUtilities::divide(const RunList& runs, Chain chain,
                                                  const QVExcelStackRule* rule) {
    RunList list = runs;
    std::vector<uint32_t> lengths;
    Scratch scratch;
    divideInPlace(list, chain, rule, lengths, scratch);
    std::vector<RunList> groups;
    groups.reserve(lengths.size());
    auto from = list.begin();
    for (uint32_t length : lengths) {
        groups.emplace_back(std::make_move_iterator(from), std::make_move_iterator(from + length));
        from += length;
    }
    return groups;
}

void QVExcelSortUtilities::divideInPlace(RunSpan runs, Chain chain, const QVExcelStackRule* rule,
                                         std::vector<uint32_t>& lengths, Scratch& scratch) {
    if (runs.size() <= 1) { // a chain of one: nothing to look for
        if (!runs.empty())
            lengths.push_back(1);
        return;
    }
    const Finder find = finderFor(chain);
    std::vector<size_t>& members = scratch.members;
    // runs[head...] are the runs not yet taken, in order.
    size_t head = 0;
    while (head < runs.size()) {
        members.clear();
        find(Span(runs).subspan(head), members, true, rule);
        const size_t last = head + members.back();
        if (last - head + 1 != members.size()) {
            // The chain moves to the front and the runs it passed over move
            // up behind it, both keeping their order; only the stretch the
            // chain reached is touched.
            scratch.passed.clear();
            size_t member = 0;
            for (size_t i = head; i <= last; ++i) {
                if (member < members.size() && head + members[member] == i) {
                    if (head + member != i)
                        runs[head + member] = std::move(runs[i]);
                    ++member;
                } else {
                    scratch.passed.push_back(std::move(runs[i]));
                }
            }
            std::move(scratch.passed.begin(), scratch.passed.end(),
                      runs.begin() + static_cast<std::ptrdiff_t>(head + members.size()));
        }
        head += members.size();
        lengths.push_back(static_cast<uint32_t>(members.size()));
    }
}

size_t QVExcelSortUtilities::mergeInPlace(RunSpan runs, Chain chain, const QVExcelStackRule* rule,
                                          std::vector<uint32_t>& lengths, Scratch& scratch) {
    lengths.clear();
    divideInPlace(runs, chain, rule, lengths, scratch);
    const bool inWidth = chain == Chain::MergedInWidth;
    size_t from = 0;
    size_t kept = 0;
    for (uint32_t length : lengths) {
        const auto group = std::span<const RunPtr>(runs).subspan(from, length);
        if (length > 1) {
            if (inWidth)
                MergeRunTextsInWidth(group);
            else
                MergeRunTextsInHeight(group);
        }
        if (kept != from)
            runs[kept] = std::move(runs[from]);
        ++kept;
        from += length;
    }
    return kept;
}

std::vector<RunList> QVExcelSortUtilities::groupByColumnIndex(const RunList& runs) {
    return groupByIndex(runs, &QVExcelRunText::columnIndex);
}

std::vector<RunList> QVExcelSortUtilities::groupByRowIndex(const RunList& runs) {
    return groupByIndex(runs, &QVExcelRunText::rowIndex);
}
