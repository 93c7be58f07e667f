#include "docx/QVDocxPage.h"
#include "docx/QVDocxParagraph.h"
#include "docx/QVDocxRunText.h"
#include "docx/QVDocxUtilities.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Runs = QVDocxPage::RunTextArray;

struct Piece {
    std::u16string text;
    double x, width;
    uint64_t drawIndex;
    double base = 100;
    float size = 12;
    double spaceWidth = 3;
};

std::shared_ptr<QVDocxRunText> run(const Piece& p) {
    auto r = std::make_shared<QVDocxRunText>();
    QVDocx_RPr rPr = QVDocxUtilities::defaultRProperty();
    rPr.sz = p.size;
    r->setRProperty(rPr);
    QVPDF_CTMInfo g;
    g.yBase = p.base;
    g.xLeft = p.x;
    g.xRight = p.x + p.width;
    g.topLeft = {p.x, p.base - 10};
    g.bottomLeft = {p.x, p.base + 3};
    r->setCtmInfo(g);
    r->setTextWidth(p.width);
    r->setSpaceWidth(p.spaceWidth);
    r->setDrawIndex(p.drawIndex);
    r->setRunText(p.text);
    return r;
}

/// The merged texts of the runs, merged the way the layout loops over a page.
std::vector<std::u16string> mergedTexts(const Runs& all) {
    Runs remaining = all;
    std::vector<std::u16string> texts;
    while (!remaining.empty()) {
        const Runs group = QVDocxPage::_findMergeRunArray(remaining);
        texts.push_back(QVDocxPage::_mergeRunArray(group)->runText());
        remaining.erase(remaining.begin(), remaining.begin() + static_cast<long>(group.size()));
    }
    return texts;
}

TEST(QVDocxRunMerging, GapsBecomeSpaces) {
    // Space estimate 3 (each run's own width is wider): threshold 1 pt, one
    // space up to 4 pt, beyond that the gap over 3.6 pt.
    const struct {
        double gap;
        const char* joined;
    } cases[] = {
        {0.5, "ab"},   {-1.5, "ab"},      // touching, slightly overlapping
        {1.0, "a b"},  {1.9, "a b"},      // a point apart: words
        {3.9, "a b"},  {5.0, "a b"},      // 5 / 3.6 truncates to 1
        {12, "a   b"},                    // 12 / 3.6 = 3.33
    };
    for (const auto& c : cases) {
        Runs runs{run({u"a", 10, 10, 0}), run({u"b", 20 + c.gap, 10, 1})};
        const auto texts = mergedTexts(runs);
        ASSERT_EQ(texts.size(), 1u) << c.gap;
        EXPECT_EQ(texts[0], std::u16string(c.joined, c.joined + strlen(c.joined))) << c.gap;
    }
}

TEST(QVDocxRunMerging, PiecesThatDoNotContinueTheLineStartAGroup) {
    const struct {
        const char* what;
        Piece second;
    } cases[] = {
        {"overlap beyond 2 pt", {u"b", 17.5, 10, 1}},
        {"baseline 1 pt off", {u"b", 21, 10, 1, 101}},
        {"another size", {u"b", 21, 10, 1, 100, 11}},
        {"not the next drawn", {u"b", 21, 10, 2}},
    };
    for (const auto& c : cases) {
        Runs runs{run({u"a", 10, 10, 0}), run(c.second)};
        EXPECT_EQ(mergedTexts(runs).size(), 2u) << c.what;
    }
    auto bold = run({u"b", 21, 10, 1});
    QVDocx_RPr r = bold->rProperty();
    r.b = 1;
    bold->setRProperty(r);
    EXPECT_EQ(mergedTexts({run({u"a", 10, 10, 0}), bold}).size(), 2u);
}

TEST(QVDocxRunMerging, FoldedRunSpansTheGroup) {
    Runs runs{run({u"Hello", 10, 25, 0}), run({u"world", 38, 25, 1})};
    const Runs group = QVDocxPage::_findMergeRunArray(runs);
    ASSERT_EQ(group.size(), 2u);
    EXPECT_EQ(group[1]->runText(), u" world");
    EXPECT_DOUBLE_EQ(group[1]->ctmInfo().xLeft, 35);
    EXPECT_DOUBLE_EQ(group[1]->textWidth(), 28);
    const auto merged = QVDocxPage::_mergeRunArray(group);
    EXPECT_EQ(merged, runs[0]);
    EXPECT_EQ(merged->runText(), u"Hello world");
    EXPECT_DOUBLE_EQ(merged->textWidth(), 53);
    EXPECT_DOUBLE_EQ(merged->ctmInfo().xLeft, 10);
}

TEST(QVDocxRunMerging, SpacesForAGapAreBounded) {
    // A font reporting a space of 0.01 pt: the estimate stays at 0.2 x 12 pt
    // and a page-wide gap gets at most 200 spaces, not tens of thousands.
    Runs narrow{run({u"a", 10, 0.5, 0, 100, 12, 0.01}), run({u"b", 300, 0.5, 1, 100, 12, 0.01})};
    auto texts = mergedTexts(narrow);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].size(), 2u + 100u); // 289.5 / (2.4 x 1.2) = 100.5
    Runs wide{run({u"a", 0, 0.5, 0, 100, 1, 0.01}), run({u"b", 5000, 0.5, 1, 100, 1, 0.01})};
    texts = mergedTexts(wide);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].size(), 2u + 200u);
}

TEST(QVDocxRunMerging, PieceCarryingItsOwnSpaceGetsNoSecond) {
    EXPECT_EQ(mergedTexts({run({u"a ", 10, 13, 0}), run({u"b", 25, 10, 1})}),
              std::vector<std::u16string>{u"a b"});
}

TEST(QVDocxRunMerging, UnjoinedMetricEqualRunsStillLowerTheEstimate) {
    // A narrow space width far down the page makes a 2.5 pt gap a plain
    // space rather than part of a wider estimate.
    Runs runs{run({u"a", 10, 10, 0, 100, 12, 8}), run({u"b", 22.5, 10, 1, 100, 12, 8}),
              run({u"c", 10, 10, 2, 500, 12, 2.5})};
    const Runs group = QVDocxPage::_findMergeRunArray(runs);
    ASSERT_EQ(group.size(), 2u);
    EXPECT_EQ(group[1]->runText(), u" b");
}

} // namespace
