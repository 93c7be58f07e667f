#include "excel/QVExcelSortUtilities.h"

#include "excel/QVExcelManager.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

using RunList = QVExcelSortUtilities::RunList;
using RunPtr = std::shared_ptr<QVExcelRunText>;

namespace {

// Two pieces of one baseline: the baselines differ by less than this (points).
constexpr double kSameBaseline = 1.0;
// A piece continues the previous one when it starts within this distance of
// its right edge, either side (points).
constexpr double kJoinGap = 2.0;
// Stacked lines of one cell overlap horizontally by more than this (points)...
constexpr double kStackOverlap = 1.0;
// ...and the next line's top lies within this distance of the bottom so far.
constexpr double kStackGap = 2.0;

RunList stableSorted(const RunList& runs, double (*key)(const QVExcelRunText&)) {
    RunList out = runs;
    std::stable_sort(out.begin(), out.end(),
                     [key](const RunPtr& a, const RunPtr& b) { return key(*a) < key(*b); });
    return out;
}

double xLeftOf(const QVExcelRunText& r) { return r.ctmInfo().xLeft; }
double yTopOf(const QVExcelRunText& r) { return r.ctmInfo().yTop; }

} // namespace

RunList QVExcelSortUtilities::SortRunTextsByX(const RunList& runs) {
    return stableSorted(runs, xLeftOf);
}

RunList QVExcelSortUtilities::SortRunTextsByY(const RunList& runs) {
    return stableSorted(runs, yTopOf);
}

RunList QVExcelSortUtilities::FindRunTextsCrossedInHeight(const RunList& runs) {
    if (runs.empty())
        return {};
    RunList out{runs.front()};
    double bottom = runs.front()->ctmInfo().yBase;
    for (size_t i = 1; i < runs.size(); ++i) {
        const QVPDF_CTMInfo& g = runs[i]->ctmInfo();
        if (bottom > g.yTop) {
            out.push_back(runs[i]);
            bottom = std::max(bottom, g.yBase);
        }
    }
    return out;
}

RunList QVExcelSortUtilities::FindRunTextsCrossedInWidth(const RunList& runs) {
    if (runs.empty())
        return {};
    RunList out{runs.front()};
    double right = runs.front()->ctmInfo().xRight;
    for (size_t i = 1; i < runs.size(); ++i) {
        const QVPDF_CTMInfo& g = runs[i]->ctmInfo();
        if (right >= g.xLeft) {
            out.push_back(runs[i]);
            right = std::max(right, g.xRight);
        }
    }
    return out;
}

RunList QVExcelSortUtilities::FindRunTextsMergedInWidth(const RunList& runs) {
    if (runs.empty())
        return {};
    const RunPtr& leader = runs.front();
    RunList out{leader};
    double right = leader->ctmInfo().xRight;
    for (size_t i = 1; i < runs.size(); ++i) {
        const QVPDF_CTMInfo& g = runs[i]->ctmInfo();
        if (std::fabs(g.yBase - leader->ctmInfo().yBase) < kSameBaseline &&
            std::fabs(g.xLeft - right) < kJoinGap && leader->rPr().isSameToRPr(runs[i]->rPr())) {
            out.push_back(runs[i]);
            right = std::max(right, g.xRight);
        }
    }
    return out;
}

RunList QVExcelSortUtilities::FindRunTextsMergedInHeight(const RunList& runs) {
    if (runs.empty())
        return {};
    const RunPtr& leader = runs.front();
    RunList out{leader};
    double bottom = leader->ctmInfo().yBottom;
    for (size_t i = 1; i < runs.size(); ++i) {
        const QVPDF_CTMInfo& g = runs[i]->ctmInfo();
        if (leader->ctmInfo().xRight - g.xLeft > kStackOverlap &&
            std::fabs(g.yTop - bottom) < kStackGap && leader->rPr().isSameToRPr(runs[i]->rPr())) {
            out.push_back(runs[i]);
            bottom = std::max(bottom, g.yBottom);
        }
    }
    return out;
}

std::shared_ptr<QVExcelRunText> QVExcelSortUtilities::MergeRunTextsInWidth(const RunList& runs) {
    if (runs.empty())
        return nullptr;
    const RunPtr& leader = runs.front();
    for (size_t i = 1; i < runs.size(); ++i) {
        leader->appendText(runs[i]->text());
        leader->setTextWidth(leader->textWidth() + runs[i]->textWidth());
        QVPDF_CTMInfo g = leader->ctmInfo();
        g.xRight = runs[i]->ctmInfo().xRight;
        leader->setCtmInfo(g);
    }
    return leader;
}

std::shared_ptr<QVExcelRunText> QVExcelSortUtilities::MergeRunTextsInHeight(const RunList& runs) {
    if (runs.empty())
        return nullptr;
    const RunPtr& leader = runs.front();
    const bool wrap = QVExcelManager::sharedInstance()->isNeedWrapText();
    for (size_t i = 1; i < runs.size(); ++i) {
        if (!wrap)
            leader->appendText(u"\n");
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

std::vector<RunList> QVExcelSortUtilities::divide(const RunList& runs,
                                                  RunList (*find)(const RunList&)) {
    std::vector<RunList> groups;
    RunList rest = runs;
    while (!rest.empty()) {
        RunList group = find(rest);
        // Runs are distinct objects: remove the group by identity, keeping
        // the order of what remains.
        std::unordered_set<const QVExcelRunText*> taken;
        for (const RunPtr& r : group)
            taken.insert(r.get());
        RunList remaining;
        remaining.reserve(rest.size() - group.size());
        for (RunPtr& r : rest)
            if (!taken.count(r.get()))
                remaining.push_back(std::move(r));
        rest = std::move(remaining);
        groups.push_back(std::move(group));
    }
    return groups;
}
