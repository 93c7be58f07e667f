#include "FlowFixture.h"

using flowtest::pageWith;
using flowtest::RunSpec;
using flowtest::textOf;

namespace {

/// The divs of a page as text: divs split by "|", columns by "/", line parts
/// by ",", each line part its runs' texts.
std::string shape(QVFlowPage& page) {
    std::string out;
    for (const auto& div : page._groupDivs()) {
        if (!out.empty())
            out += "|";
        for (size_t c = 0; c < div.size(); ++c) {
            if (c)
                out += "/";
            for (size_t k = 0; k < div[c].size(); ++k) {
                if (k)
                    out += ",";
                for (const auto& run : div[c][k])
                    out += std::string(run->runText().begin(), run->runText().end());
            }
        }
    }
    return out;
}

} // namespace

TEST(FlowPageLayout, GroupingThresholds) {
    // Runs are 12 high; "a" ends at x = 20.
    const struct {
        const char* name;
        std::vector<RunSpec> runs;
        std::string expected;
    } cases[] = {
        // A line: baselines within 1.0 of the line's topmost run (here the
        // bottoms, unless a baseline is given).
        {"bottoms 0.99 apart: one line, one part", {{u"a", 10, 100}, {u"b", 20, 100.99}}, "ab"},
        {"bottoms 1.0 apart: two lines, one div", {{u"a", 10, 100}, {u"b", 20, 101}}, "a,b"},
        // A smaller run touching a larger one with its baseline inside the
        // larger one's box is a script of its line.
        {"superscript", {{u"S", 10, 100}, {u"2", 20.5, 96, 5, 8}}, "S2"},
        {"subscript",
         {{u"x", 10, 103, 10, 12, "Times New Roman", 100}, {u"i", 20.5, 102, 5, 8}},
         "xi"},
        {"over 0.8 of the size: not a script", {{u"S", 10, 100}, {u"2", 20.5, 96, 5, 10}}, "2,S"},
        {"a script of the line below stays in its line",
         {{u"2", 20.5, 96, 5, 8}, {u"S", 10, 100}, {u"T", 10, 112}},
         "S2,T"},
        {"as large: not a script", {{u"S", 10, 100}, {u"2", 20.5, 96, 5, 12}}, "2,S"},
        {"not touching: not a script", {{u"S", 10, 100}, {u"2", 21.5, 96, 5, 8}}, "S,2"},
        {"a run joins its line across runs of another line",
         {{u"a", 10, 100}, {u"y", 200, 110, 10, 21}, {u"b", 20, 100.9, 10, 10}},
         "ab/y"},
        // A line part: each run starts within 1.0 of the end of the one before.
        {"gap 0.99 joins", {{u"a", 10, 100}, {u"b", 20.99, 100}}, "ab"},
        {"overlap 0.99 joins", {{u"a", 10, 100}, {u"b", 19.01, 100}}, "ab"},
        {"gap 1.0 splits", {{u"a", 10, 100}, {u"b", 21, 100}}, "a,b"},
        {"overlap 1.0 splits", {{u"a", 10, 100}, {u"b", 19, 100}}, "a,b"},
        // A column: line parts within 8.0 of the running right edge.
        {"8.0 right of the edge: one column", {{u"a", 10, 100}, {u"b", 28, 100}}, "a,b"},
        {"8.01 right: two columns", {{u"a", 10, 100}, {u"b", 28.01, 100}}, "a/b"},
        // A line's closing spaces (3 wide each here) are no ink: a gutter
        // narrower than 8.0 with them is still a gutter.
        {"8.01 right of a closing space: two columns",
         {{u"a ", 10, 100}, {u"b", 25.01, 100}},
         "a /b"},
        {"8.0 right of two closing spaces: one column",
         {{u"a  ", 10, 100, 10}, {u"b", 22, 100}},
         "a  ,b"},
        {"overlapping parts share a column at any distance in the div",
         {{u"a", 10, 100, 100}, {u"b", 300, 112}, {u"c", 50, 124}},
         "a,c/b"},
        // A div: a line sect whose top lies less than half a line (of the
        // smaller line) below the running bottom joins.
        {"touching lines: one div", {{u"a", 10, 100}, {u"b", 10, 112}}, "a,b"},
        {"a gap under half a line: one div", {{u"a", 10, 100}, {u"b", 10, 117.99}}, "a,b"},
        {"a gap of half a line: a new div", {{u"a", 10, 100}, {u"b", 10, 118.01}}, "a|b"},
        {"half of the smaller line counts",
         {{u"a", 10, 100, 10, 40}, {u"b", 10, 118.5, 10, 12}},
         "a|b"},
        // Lines on one baseline join whatever their glyph boxes' bottoms.
        {"baselines 0.99 apart, bottoms 3 apart: one line",
         {{u"a", 10, 100}, {u"b", 20, 103, 10, 12, "Times New Roman", 100.99}},
         "ab"},
        {"baselines 1.0 apart: two lines",
         {{u"a", 10, 100}, {u"b", 20, 103, 10, 12, "Times New Roman", 101}},
         "a,b"},
        {"the div's running bottom is its lowest bottom so far",
         {{u"a", 10, 100}, {u"t", 300, 130, 10, 40}, {u"b", 10, 137}},
         "a,b/t"},
    };
    for (const auto& c : cases) {
        auto page = pageWith(QVFlowFamily::HTML, c.runs);
        EXPECT_EQ(shape(*page), c.expected) << c.name;
    }
}

TEST(FlowPageLayout, TextMarginOfHtmlAndRtfPages) {
    auto page =
        pageWith(QVFlowFamily::RTF, {{u"a", 90, 60}, {u"b", 72.5, 100}, {u"c", 300, 52.25}});
    page->_creatParagraphs();
    EXPECT_EQ(page->textMargin().left, 72.5f);
    EXPECT_EQ(page->textMargin().top, 40.25f);

    auto empty = pageWith(QVFlowFamily::HTML, {});
    empty->_creatParagraphs();
    EXPECT_EQ(empty->textMargin().top, 63.0f);
    EXPECT_EQ(empty->textMargin().left, 1000000.0f);
    EXPECT_TRUE(empty->paragraphArray().empty());
    EXPECT_EQ(empty->sectProperty().pgMar.top, 63.0f); // margins of the new page

    auto last = QVFlowPage::initWithXMLWriter(QVFlowFamily::Text, nullptr, {100, 200}, true);
    EXPECT_EQ(last->sectProperty().type, 0);
    EXPECT_EQ(pageWith(QVFlowFamily::Text, {})->sectProperty().type, 1);
}

namespace {

struct Para {
    std::u16string text;
    float line;
};

std::vector<Para> paragraphsOf(QVFlowPage& page) {
    page._creatParagraphs();
    std::vector<Para> out;
    for (const auto& p : page.paragraphArray())
        out.push_back({textOf(*p), p->pProperty().spacing.line});
    return out;
}

} // namespace

TEST(FlowPageLayout, RowGapsGiveLineHeightsBlankParagraphsOrMerges) {
    // Two touching lines in one column (one div): the second row's gap is
    // measured from the first row's bottom, with the default line of 12.
    const struct {
        double gap;
        std::vector<std::pair<std::u16string, float>> expected;
    } cases[] = {
        {30, {{u"a", 12}, {u"", 18}, {u"b", 12}}},
        {24, {{u"a", 12}, {u"b", 24}}},
        {14, {{u"a", 12}, {u"b", 14}}},
        {4.01, {{u"a", 12}, {u"b", 4.01f}}},
        {4, {{u"ab", 12}}},
        {1.5, {{u"ab", 12}}},
    };
    for (const auto& c : cases) {
        // A tall second run keeps the two lines in one div whatever the gap.
        auto page = pageWith(QVFlowFamily::Text, {{u"a", 100, 50, 10, 12},
                                                  {u"b", 100, 50 + c.gap, 10, float(c.gap) + 6}});
        const auto got = paragraphsOf(*page);
        ASSERT_EQ(got.size(), c.expected.size()) << c.gap;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].text, c.expected[i].first) << c.gap;
            EXPECT_FLOAT_EQ(got[i].line, c.expected[i].second) << c.gap;
        }
    }
}

TEST(FlowPageLayout, FirstDivTopMargin) {
    const struct {
        double top;
        float margin;
        size_t blanks;
        float blankLine;
        float rowLine; ///< the first row's gap is measured from 72 when no blank came
    } cases[] = {{50, 50, 0, 0, 12}, {100, 72, 2, 14, 12}, {80, 72, 0, 0, 20}};
    for (const auto& c : cases) {
        auto page = pageWith(QVFlowFamily::HTML, {{u"a", 100, c.top + 12}});
        page->_creatParagraphs();
        EXPECT_EQ(page->sectProperty().pgMar.top, c.margin) << c.top;
        auto& ps = page->paragraphArray();
        ASSERT_EQ(ps.size(), c.blanks + 1) << c.top;
        for (size_t i = 0; i < c.blanks; ++i) {
            EXPECT_FLOAT_EQ(ps[i]->pProperty().spacing.line, c.blankLine);
            EXPECT_EQ(ps[i]->pProperty().ind.left, 60);
        }
        EXPECT_FLOAT_EQ(ps.back()->pProperty().spacing.line, c.rowLine) << c.top;
    }
}

TEST(FlowPageLayout, ColumnsSectionsAndBreaks) {
    // A first one-column line, then two columns whose lines touch (one div).
    auto page = pageWith(QVFlowFamily::RTF, {{u"head", 50, 40, 100},
                                             {u"L1", 50, 80, 100},
                                             {u"L2", 50, 92, 100},
                                             {u"R1", 320, 80, 100},
                                             {u"R2", 320, 92, 100}});
    page->_creatParagraphs();
    auto& ps = page->paragraphArray();
    std::vector<std::u16string> texts;
    for (const auto& p : ps)
        texts.push_back(textOf(*p));
    // Blank paragraphs for the space between the divs, then the left column, then the right.
    ASSERT_GE(texts.size(), 5u);
    EXPECT_EQ(texts.front(), u"head");
    const std::vector<std::u16string> tail(texts.end() - 4, texts.end());
    EXPECT_EQ(tail, (std::vector<std::u16string>{u"L1", u"L2", u"R1", u"R2"}));

    const QVFlowParagraph& r1 = *ps[ps.size() - 2];
    EXPECT_TRUE(r1.breakColumn());
    EXPECT_FALSE(ps[ps.size() - 4]->breakColumn());
    EXPECT_EQ(r1.pProperty().ind.left, 0); // measured from its column's left
    const QVDocx_Cols& cols = r1.sectProperty().cols;
    ASSERT_EQ(cols.num, 2);
    ASSERT_EQ(cols.col.size(), 2u);
    EXPECT_EQ(cols.col[0].w, 320);
    EXPECT_EQ(cols.col[1].w, 292);
    EXPECT_EQ(ps.front()->sectProperty().cols.num, 1);
    EXPECT_EQ(ps.front()->sectProperty().cols.equalWidth, 720);
    // The paragraph before the two-column div ends a section, and so does the page's last.
    const QVFlowParagraph& beforeDiv = *ps[ps.size() - 5];
    EXPECT_TRUE(beforeDiv.sectProperty().write);
    EXPECT_TRUE(beforeDiv.runArray().empty()); // a carrier after the blank lines
    EXPECT_TRUE(ps.back()->sectProperty().write);
    // Each column's first row measures its gap from the div's top.
    EXPECT_EQ(ps[ps.size() - 4]->pProperty().spacing.line,
              ps[ps.size() - 2]->pProperty().spacing.line);
}

TEST(FlowPageLayout, LinePartsOfARowJoinWithASpace) {
    const struct {
        double secondX;
        std::u16string expected;
        double widthAfter;
    } cases[] = {{21.5, u"a b", 11.5}, {21.2, u"ab", 10}, {11, u"ab", 10}};
    for (const auto& c : cases) {
        // Two line parts of one row in one column (within 8.0): font width 12.
        auto page = pageWith(QVFlowFamily::Text, {{u"a", 10, 60}, {u"b", c.secondX, 60.5}});
        page->_creatParagraphs();
        ASSERT_EQ(page->paragraphArray().size(), 1u) << c.secondX;
        const QVFlowParagraph& p = *page->paragraphArray()[0];
        EXPECT_EQ(textOf(p), c.expected) << c.secondX;
        EXPECT_DOUBLE_EQ(p.firstRunText()->textWidth(), c.widthAfter) << c.secondX;
    }
}
