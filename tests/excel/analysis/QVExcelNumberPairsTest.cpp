// Numbers a word space apart whose join the capture held back: which may be
// one number grouped by a space, and a join settled as the capture joins.

#include "excel/QVExcelPageFixture.h"

#include "excel/analysis/QVExcelNumberPairs.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

namespace {

using namespace excelfixtures;

TEST(QVExcelNumberPairs, MayBeGrouped) {
    const struct {
        const char16_t* first;
        const char16_t* second;
        bool grouped;
    } cases[] = {
        {u"98", u"452", true},     {u"1", u"250", true},      {u"-12", u"345", true},
        {u"(1", u"234)", true},    {u"\u22124", u"500%", true}, {u"$12", u"345.50", true},
        {u"12", u"345,5", true},   {u"7", u"31", false},      {u"1234", u"567", false},
        {u"12", u"3456", false},   {u"1.5", u"250", false},   {u"12", u"+345", false},
        {u"", u"345", false},      {u"12", u"34a", false},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(QVExcelNumberPairs::mayBeGrouped(cases[i].first, cases[i].second),
                  cases[i].grouped)
            << "case " << i;
}

TEST(QVExcelNumberPairs, JoinsWithoutEvidenceAsTheCaptureJoins) {
    // "1" "234" "567", each held from the one before: one text with its
    // pieces, as wide as the three with the spaces, ending where the last ends.
    auto a = makeRun({.text = u"1", .x = 10.0, .y = 10.0, .width = 5.0});
    auto b = makeRun({.text = u"234", .x = 17.5, .y = 10.0, .width = 15.0});
    auto c = makeRun({.text = u"567", .x = 35.0, .y = 10.0, .width = 15.0});
    auto other = makeRun({.text = u"Total", .x = 100.0, .y = 10.0, .width = 20.0});
    b->holdJoin(2.5);
    c->holdJoin(2.5);
    QVExcelNumberPairs::RunList runs = {a, b, c, other};
    QVExcelNumberPairs::settle(runs);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0]->text(), u"1 234 567");
    EXPECT_EQ(runs[0]->pieceStarts(), (std::vector<uint32_t>{1, 2, 5, 6}));
    EXPECT_DOUBLE_EQ(runs[0]->textWidth(), 40.0);
    EXPECT_DOUBLE_EQ(runs[0]->ctmInfo().xRight, 50.0);
    EXPECT_FALSE(runs[0]->isHeldJoin());
    EXPECT_EQ(runs[1], other);
}

} // namespace
