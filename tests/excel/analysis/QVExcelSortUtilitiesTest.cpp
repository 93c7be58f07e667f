// divide() stops each chain's scan early on sorted lists; it must still give
// exactly the groups that repeatedly taking out the full-scan Find chain
// gives. Checked on seeded random pages of overlapping, touching and
// stacked runs (ties and equal keys included), and the index groupings
// against repeated FindRunTextsInSame...Index.
#include "excel/analysis/QVExcelSortUtilities.h"
#include "excel/QVExcelManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

using U = QVExcelSortUtilities;
using RunList = U::RunList;

RunList randomRuns(std::mt19937& rng, size_t n) {
    // Coarse coordinates so that equal keys, touching edges and shared
    // baselines are common.
    std::uniform_int_distribution<int> x(0, 40), w(1, 8), y(0, 40), h(1, 4), f(0, 1), idx(1, 6);
    RunList runs;
    for (size_t i = 0; i < n; ++i) {
        auto r = std::make_shared<QVExcelRunText>();
        // Every third run ends in a blank, which reaches less far than its box.
        r->setText(u"r" + std::u16string(1, char16_t(u'a' + i % 26)) + (i % 3 ? u"" : u" "));
        QVPDF_CTMInfo g;
        g.xLeft = x(rng) * 2.5;
        g.xRight = g.xLeft + w(rng) * 2.5;
        g.yTop = y(rng) * 2.0;
        g.yAscent = g.yTop;
        g.yBase = g.yTop + h(rng) * 2.0;
        g.yDescent = g.yBase + 1;
        g.yBottom = g.yBase + 1;
        r->setCtmInfo(g);
        r->setTextWidth(g.xRight - g.xLeft);
        r->rPr().setSz(f(rng) ? 10 : 12);
        r->setRowIndex(idx(rng));
        r->setColumnIndex(idx(rng));
        runs.push_back(r);
    }
    return runs;
}

std::vector<RunList> reference(RunList rest, RunList (*find)(const RunList&)) {
    std::vector<RunList> groups;
    while (!rest.empty()) {
        RunList group = find(rest);
        RunList remaining;
        for (const auto& r : rest)
            if (std::find(group.begin(), group.end(), r) == group.end())
                remaining.push_back(r);
        rest = remaining;
        groups.push_back(group);
    }
    return groups;
}

TEST(QVExcelSortUtilities, DivideOfSortedListsEqualsRepeatedFullScans) {
    QVExcelManager::sharedInstance();
    struct Case {
        U::Chain chain;
        RunList (*find)(const RunList&);
        bool byY;
    } cases[] = {
        {U::Chain::CrossedInHeight, U::FindRunTextsCrossedInHeight, true},
        {U::Chain::CrossedInWidth, U::FindRunTextsCrossedInWidth, false},
        {U::Chain::MergedInWidth, U::FindRunTextsMergedInWidth, false},
        {U::Chain::MergedInHeight, U::FindRunTextsMergedInHeight, true},
    };
    std::mt19937 rng(11);
    for (const Case& c : cases) {
        for (int round = 0; round < 200; ++round) {
            RunList runs = randomRuns(rng, 1 + round % 60);
            runs = c.byY ? U::SortRunTextsByY(U::SortRunTextsByX(runs))
                         : U::SortRunTextsByX(U::SortRunTextsByY(runs));
            ASSERT_EQ(U::divide(runs, c.chain), reference(runs, c.find))
                << "chain " << int(c.chain) << ", round " << round;
        }
    }
    for (int round = 0; round < 50; ++round) {
        RunList runs = randomRuns(rng, 1 + round);
        EXPECT_EQ(U::groupByColumnIndex(runs), reference(runs, U::FindRunTextsInSameColumnIndex));
        EXPECT_EQ(U::groupByRowIndex(runs), reference(runs, U::FindRunTextsInSameRowIndex));
    }
    EXPECT_TRUE(U::divide({}, U::Chain::CrossedInHeight).empty());
    QVExcelManager::destory();
}

// The sorts skip lists already in order and sort short ones by insertion;
// both must give std::stable_sort's order: equal keys keep their order, on
// short and long lists, sorted, reversed and shuffled ones, and with a NaN
// key among them.
TEST(QVExcelSortUtilities, SortsGiveTheStableSortOrder) {
    std::mt19937 rng(5);
    auto byX = [](const auto& a, const auto& b) { return a->ctmInfo().xLeft < b->ctmInfo().xLeft; };
    auto byY = [](const auto& a, const auto& b) { return a->ctmInfo().yTop < b->ctmInfo().yTop; };
    for (int round = 0; round < 240; ++round) {
        RunList runs = randomRuns(rng, 1 + round % 40);
        if (round % 4 == 1)
            std::stable_sort(runs.begin(), runs.end(), byX);
        if (round % 4 == 2)
            std::reverse(runs.begin(), runs.end());
        if (round % 4 == 3) {
            auto& r = runs[round % runs.size()];
            QVPDF_CTMInfo g = r->ctmInfo();
            g.xLeft = g.yTop = std::nan("");
            r->setCtmInfo(g);
        }
        RunList wantX = runs, wantY = runs;
        std::stable_sort(wantX.begin(), wantX.end(), byX);
        std::stable_sort(wantY.begin(), wantY.end(), byY);
        EXPECT_EQ(U::SortRunTextsByX(runs), wantX) << "round " << round;
        EXPECT_EQ(U::SortRunTextsByY(runs), wantY) << "round " << round;
        RunList inPlace = runs;
        U::sortRunTextsByXInPlace(inPlace);
        EXPECT_EQ(inPlace, wantX) << "round " << round;
    }
}

TEST(QVExcelSortUtilities, ABlankAtARunsEndReachesNoSliverIntoTheNextRun) {
    // A question's text ends in a blank that reaches 0.1 pt into the box of
    // the answer beside it; without the blank the two boxes overlap.
    auto run = [](const char16_t* text, double left, double right) {
        auto r = std::make_shared<QVExcelRunText>();
        r->setText(text);
        QVPDF_CTMInfo g;
        g.xLeft = left;
        g.xRight = right;
        r->setCtmInfo(g);
        r->setTextWidth(right - left);
        return r;
    };
    const struct {
        const char16_t* text;
        double right;
        size_t chained;
    } cases[] = {
        {u"against whom?  ", 282.0, 1},
        {u"against whom?  ", 283.0, 2},
        {u"against whom?", 282.0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.right);
        const RunList runs = {run(c.text, 75.2, c.right), run(u"The friend", 281.9, 590.6)};
        EXPECT_EQ(U::FindRunTextsCrossedInWidth(runs).size(), c.chained);
    }
}

} // namespace
