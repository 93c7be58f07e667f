#include "FlowFixture.h"

#include "flow/html/QVHTMLParagraph.h"
#include "flow/rtf/QVRTFParagraph.h"

using flowtest::makeRun;
using flowtest::RunSpec;

TEST(FlowParagraph, ResolvesIndentHeightAndPropertiesFromItsOwnRunTexts) {
    auto a = makeRun(QVFlowFamily::HTML, {u"a", 40, 100, 10, 10});
    auto b = makeRun(QVFlowFamily::HTML, {u"b", 60, 100, 10, 14});
    auto c = makeRun(QVFlowFamily::HTML, {u"c", 80, 100, 10, 12, "Arial"});
    auto foreign = makeRun(QVFlowFamily::RTF, {u"x", 5, 100, 10, 40});
    auto p = QVFlowParagraph::initWithRunArray(QVFlowFamily::HTML, {foreign, a, b, c});
    EXPECT_EQ(p->pProperty().ind.left, 40);      // first run text of its family
    EXPECT_EQ(p->resolvedHeight(), 14.0 - 12.0); // largest size minus the line
    EXPECT_EQ(p->rProperty().rFonts.ascii, "Arial");
    EXPECT_EQ(p->firstRunText(), a.get());
    EXPECT_EQ(p->lastRunText(), c.get());
    EXPECT_EQ(p->textWidth(), 30);

    p->setXColumnPosition(30);
    EXPECT_TRUE(p->resolveColumnProperty());
    EXPECT_EQ(p->pProperty().ind.left, 10);
    p->resolveProperty();
    EXPECT_EQ(p->pProperty().ind.left, 40);

    // A copy holds the same runs in an array of its own.
    auto copy = p->copyWithZone();
    copy->runArray().pop_back();
    EXPECT_EQ(p->runArray().size(), 4u);
    EXPECT_EQ(copy->runArray()[1].get(), a.get());
}

TEST(FlowParagraph, WithoutRunsOrTextIsBlank) {
    QVHTMLParagraph empty;
    EXPECT_EQ(empty.firstRunText(), nullptr);
    EXPECT_FALSE(empty.haveText());
    EXPECT_FALSE(empty.isHaveMainText());
    EXPECT_EQ(empty.resolveProperty(), -12.0);
    EXPECT_EQ(empty.pProperty().ind.left, 60);
    EXPECT_FALSE(empty.resolveColumnProperty());

    auto blankText = QVFlowParagraph::initWithRunArray(QVFlowFamily::RTF,
                                                       {makeRun(QVFlowFamily::RTF, {u"", 10, 20})});
    EXPECT_FALSE(blankText->haveText());
    EXPECT_NE(blankText->lastRunText(), nullptr);
}

TEST(FlowParagraph, BlankParagraphsFillTheSpaceExactlyWithAtMostFive) {
    const struct {
        double space, spaceLine;
        float size;
        size_t count;
        float line;
    } cases[] = {
        {36, 12, 12, 3, 12},       {37, 12, 12, 3, 37.0f / 3}, {30, 12, 20, 1, 30},
        {5, 12, 12, 1, 5},         {30, 12, 12, 2, 15},        {60, 12, 12, 5, 12},
        {1e9, 12, 12, 5, 2e8},     // a huge gap: five lines, not eighty million
        {1e12, 1e-30, 0, 1, 1e12}, // an infinite quotient gives one
        {50, 0, 0, 1, 50},         // a quotient too large for the count gives one
    };
    QVDocx_RPr r = QVDocxUtilities::defaultRProperty();
    const QVDocx_SectPr s = QVDocxUtilities::defaultSectProperty();
    for (const auto& c : cases) {
        r.sz = c.size;
        auto blanks = QVRTFParagraph::BankParagraph(c.space, c.spaceLine, 33, r, s);
        ASSERT_EQ(blanks.size(), c.count) << c.space;
        for (const auto& p : blanks) {
            EXPECT_FLOAT_EQ(p->pProperty().spacing.line, c.line) << c.space;
            EXPECT_EQ(p->pProperty().spacing.lineRule, "exact");
            EXPECT_EQ(p->pProperty().jc, "left");
            EXPECT_EQ(p->pProperty().ind.left, 33);
            EXPECT_TRUE(p->runArray().empty());
            EXPECT_EQ(p->family(), QVFlowFamily::RTF);
        }
    }
}

TEST(FlowRunText, GeometryAndCopies) {
    auto run = makeRun(QVFlowFamily::Text, {u"abc", 10, 32, 50, 12});
    const platform::Rect r = run->displayRect();
    EXPECT_EQ(r.origin.x, 10);
    EXPECT_EQ(r.origin.y, 20);
    EXPECT_EQ(r.size.width, 50);
    EXPECT_EQ(r.size.height, 12);
    QVTextRun base;
    EXPECT_EQ(base.displayRect(), platform::Rect{});

    auto copy = run->copyRunText();
    run->runText() += u"def";
    EXPECT_EQ(copy->runText(), u"abc");
    EXPECT_EQ(copy->textWidth(), 50);
    EXPECT_NE(run->description().find("abcdef [10.000000, 20.000000][50.000000][3.000000]>"),
              std::string::npos)
        << run->description();
}
