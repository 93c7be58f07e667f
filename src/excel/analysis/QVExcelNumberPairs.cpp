#include "excel/analysis/QVExcelNumberPairs.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

using RunList = QVExcelNumberPairs::RunList;

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

std::u16string_view trimmed(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == 0xA0))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == 0xA0))
        s.remove_suffix(1);
    return s;
}

double lineHeight(const QVExcelRunText& run) {
    const QVPDF_CTMInfo& g = run.ctmInfo();
    return std::max(1.0, g.yBottom - g.yTop);
}

// A held pair: the run before and the held run, by index into the page's runs.
struct Pair {
    size_t first, second;
};

int findRoot(std::vector<int>& parent, int i) {
    while (parent[static_cast<size_t>(i)] != i) {
        parent[static_cast<size_t>(i)] = parent[static_cast<size_t>(parent[static_cast<size_t>(i)])];
        i = parent[static_cast<size_t>(i)];
    }
    return i;
}

// Whether two runs on one line near the pair line up with its two numbers:
// one with the first (left or right edge) ending before the second begins,
// the other with the second starting after the first ends.
bool columnsLineUp(const RunList& byLine, const QVExcelRunText& a, const QVExcelRunText& b) {
    const QVPDF_CTMInfo& ga = a.ctmInfo();
    const QVPDF_CTMInfo& gb = b.ctmInfo();
    const double tol = QVExcelNumberPairs::kAlignTolerance;
    const double reach = QVExcelNumberPairs::kEvidenceLines * lineHeight(b);
    auto lo = std::lower_bound(byLine.begin(), byLine.end(), gb.yBase - reach,
                               [](const auto& r, double y) { return r->ctmInfo().yBase < y; });
    std::vector<const QVExcelRunText*> left, right;
    for (auto it = lo; it != byLine.end() && (*it)->ctmInfo().yBase <= gb.yBase + reach; ++it) {
        const QVExcelRunText& r = **it;
        // Runs still undecided are no evidence, nor is the pair's own line.
        if (&r == &a || &r == &b || r.isHeldJoin() || std::fabs(r.ctmInfo().yBase - gb.yBase) < tol)
            continue;
        const QVPDF_CTMInfo& g = r.ctmInfo();
        if ((std::fabs(g.xLeft - ga.xLeft) < tol || std::fabs(g.xRight - ga.xRight) < tol) &&
            g.xRight < gb.xLeft)
            left.push_back(&r);
        else if ((std::fabs(g.xLeft - gb.xLeft) < tol || std::fabs(g.xRight - gb.xRight) < tol) &&
                 g.xLeft > ga.xRight)
            right.push_back(&r);
    }
    for (const QVExcelRunText* l : left)
        for (const QVExcelRunText* r : right)
            if (std::fabs(l->ctmInfo().yBase - r->ctmInfo().yBase) < tol)
                return true;
    return false;
}

} // namespace

bool QVExcelNumberPairs::mayBeGrouped(std::u16string_view first, std::u16string_view second) {
    first = trimmed(first);
    second = trimmed(second);
    const std::u16string_view lead = u"-+(\u2212\u2013$\u20AC\u00A3\u00A5";
    while (!first.empty() && lead.find(first.front()) != std::u16string_view::npos)
        first.remove_prefix(1);
    if (first.empty() || first.size() > 3 || !std::all_of(first.begin(), first.end(), isDigit))
        return false;
    if (second.size() < 3 || !std::all_of(second.begin(), second.begin() + 3, isDigit))
        return false;
    second.remove_prefix(3);
    if (!second.empty() && (second.front() == u'.' || second.front() == u',')) {
        second.remove_prefix(1);
        while (!second.empty() && isDigit(second.front()))
            second.remove_prefix(1);
    }
    return second.empty() || second == u"%" || second == u")" || second == u")%";
}

void QVExcelNumberPairs::settle(RunList& runs) {
    std::vector<Pair> pairs;
    for (size_t i = 1; i < runs.size(); ++i)
        if (runs[i]->isHeldJoin())
            pairs.push_back({i - 1, i});
    if (pairs.empty())
        return;

    std::vector<bool> split(pairs.size(), false);

    // Pairs below each other, chained: three or more of which one cannot be
    // a grouped number are two columns.
    std::vector<size_t> order(pairs.size());
    std::iota(order.begin(), order.end(), 0);
    auto base = [&](size_t p) { return runs[pairs[p].second]->ctmInfo().yBase; };
    std::sort(order.begin(), order.end(), [&](size_t x, size_t y) { return base(x) < base(y); });
    std::vector<int> parent(pairs.size());
    std::iota(parent.begin(), parent.end(), 0);
    for (size_t i = 0; i < order.size(); ++i) {
        const Pair& p = pairs[order[i]];
        const double reach = kStackLines * lineHeight(*runs[p.second]);
        const double left = runs[p.first]->ctmInfo().xLeft, right = runs[p.second]->ctmInfo().xRight;
        for (size_t j = i + 1; j < order.size() && base(order[j]) - base(order[i]) <= reach; ++j) {
            const Pair& q = pairs[order[j]];
            if (runs[q.first]->ctmInfo().xLeft < right && runs[q.second]->ctmInfo().xRight > left)
                parent[static_cast<size_t>(findRoot(parent, static_cast<int>(order[j])))] =
                    findRoot(parent, static_cast<int>(order[i]));
        }
    }
    std::vector<size_t> members(pairs.size(), 0);
    std::vector<bool> ungrouped(pairs.size(), false);
    for (size_t p = 0; p < pairs.size(); ++p) {
        const auto root = static_cast<size_t>(findRoot(parent, static_cast<int>(p)));
        ++members[root];
        if (!mayBeGrouped(runs[pairs[p].first]->text(), runs[pairs[p].second]->text()))
            ungrouped[root] = true;
    }
    for (size_t p = 0; p < pairs.size(); ++p) {
        const auto root = static_cast<size_t>(findRoot(parent, static_cast<int>(p)));
        split[p] = members[root] >= kStackPairs && ungrouped[root];
    }

    // Two columns lined up on another line near the pair.
    RunList byLine;
    for (size_t p = 0; p < pairs.size(); ++p) {
        if (split[p])
            continue;
        if (byLine.empty()) {
            byLine = runs;
            std::stable_sort(byLine.begin(), byLine.end(), [](const auto& x, const auto& y) {
                return x->ctmInfo().yBase < y->ctmInfo().yBase;
            });
        }
        split[p] = columnsLineUp(byLine, *runs[pairs[p].first], *runs[pairs[p].second]);
    }

    RunList settled;
    settled.reserve(runs.size());
    size_t next = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        const std::shared_ptr<QVExcelRunText>& run = runs[i];
        if (next < pairs.size() && pairs[next].second == i) {
            const bool apart = split[next++];
            const double space = run->heldJoinSpace();
            run->clearHeldJoin();
            if (!apart && !settled.empty()) {
                // Joined as the capture joins words a space apart.
                QVExcelRunText& last = *settled.back();
                last.appendText(u" ");
                last.appendRun(*run);
                last.setTextWidth(last.textWidth() + run->textWidth() + space);
                QVPDF_CTMInfo g = last.ctmInfo();
                g.xRight = run->ctmInfo().xRight;
                last.setCtmInfo(g);
                continue;
            }
        }
        settled.push_back(run);
    }
    runs = std::move(settled);
}
