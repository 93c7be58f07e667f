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
    // Word space 3: from 1 pt a gap is one space, however wide; past two word
    // spaces it parts the line (the layout puts the piece after it at a tab
    // stop at its place).
    const struct {
        double gap;
        std::vector<std::u16string> texts;
    } cases[] = {
        {0.5, {u"ab"}},  {-1.5, {u"ab"}},      // touching, slightly overlapping
        {1.0, {u"a b"}}, {1.9, {u"a b"}},      // a point apart: words
        {3.9, {u"a b"}}, {5.0, {u"a b"}},      // a wide word space: still one
        {6.0, {u"a b"}},                       // two word spaces
        {6.5, {u"a", u"b"}}, {12, {u"a", u"b"}}, // wider: the line parts
    };
    for (const auto& c : cases) {
        Runs runs{run({u"a", 10, 10, 0}), run({u"b", 20 + c.gap, 10, 1})};
        EXPECT_EQ(mergedTexts(runs), c.texts) << c.gap;
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
    // A font reporting a space of 0.01 pt: the word space stays at 0.2 x 12 pt,
    // and a page-wide gap parts the line instead of becoming tens of
    // thousands of spaces.
    Runs narrow{run({u"a", 10, 0.5, 0, 100, 12, 0.01}), run({u"b", 300, 0.5, 1, 100, 12, 0.01})};
    EXPECT_EQ(mergedTexts(narrow), (std::vector<std::u16string>{u"a", u"b"}));
    Runs wide{run({u"a", 0, 0.5, 0, 100, 1, 0.01}), run({u"b", 5000, 0.5, 1, 100, 1, 0.01})};
    EXPECT_EQ(mergedTexts(wide), (std::vector<std::u16string>{u"a", u"b"}));
    // Just under two word spaces (4.8 pt): one space.
    Runs close{run({u"a", 10, 0.5, 0, 100, 12, 0.01}), run({u"b", 15.2, 0.5, 1, 100, 12, 0.01})};
    EXPECT_EQ(mergedTexts(close), (std::vector<std::u16string>{u"a b"}));
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
