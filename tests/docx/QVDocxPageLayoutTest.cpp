#include "docx/QVDocxPage.h"
#include "docx/QVDocxParagraph.h"
#include "docx/QVDocxRunPict.h"
#include "docx/QVDocxRunText.h"
#include "docx/QVDocxUtilities.h"

#include "DocxXmlFixture.h"

#include <gtest/gtest.h>

#include <functional>

using docxfixture::childNames;
using docxfixture::WrittenXml;
using Names = std::vector<std::string>;

namespace {

/// A page filled with text runs as the main-text capture makes them.
class PageBuilder {
public:
    explicit PageBuilder(platform::Size size = {612, 792}, bool last = false)
        : page_(nullptr, size, last) {}

    /// A run of `size` points whose glyph box spans top..top+height, baseline
    /// 0.8 of the way down.
    PageBuilder& text(std::u16string s, double x, double top, float size = 10, double height = 10,
                      double width = 0, double baseShare = 0.8) {
        auto run = std::make_shared<QVDocxRunText>();
        QVDocx_RPr r = QVDocxUtilities::defaultRProperty();
        r.sz = size;
        run->setRProperty(r);
        QVPDF_CTMInfo g;
        g.yTop = g.yAscent = top;
        g.yBottom = g.yDescent = top + height;
        g.yBase = top + baseShare * height;
        g.xLeft = x;
        if (width == 0)
            width = 5.0 * static_cast<double>(s.size());
        g.xRight = x + width;
        g.topLeft = {x, top};
        g.bottomLeft = {x, top + height};
        g.fontSize = {size, size};
        run->setCtmInfo(g);
        run->setTextWidth(width);
        run->setSpaceWidth(size / 4.0);
        run->setDrawIndex(next_++);
        run->setRunText(std::move(s));
        page_.allRunTextArray().push_back(run);
        return *this;
    }
    QVDocxPage& page() { return page_; }

    /// The paragraphs' texts, blank paragraphs as "".
    std::vector<std::u16string> texts() {
        std::vector<std::u16string> out;
        for (const auto& p : page_.paragraphArray()) {
            std::u16string t;
            for (const auto& r : p->runArray())
                if (auto* text = r->asRunText())
                    t += text->runText();
            out.push_back(t);
        }
        return out;
    }

private:
    QVDocxPage page_;
    uint64_t next_ = 0;
};

TEST(QVDocxPageLayout, SingleColumnKeepsEveryLineWhereItStood) {
    PageBuilder b;
    for (int k = 0; k < 4; ++k)
        b.text(u"line", 72, 50 + 14 * k);
    b.page()._creatParagraphs();
    auto& ps = b.page().paragraphArray();
    ASSERT_EQ(b.texts(), (std::vector<std::u16string>{u"line", u"line", u"line", u"line"}));
    EXPECT_FLOAT_EQ(b.page().sectProperty().pgMar.top, 50);
    // An exact line holds its text at its foot: the 4 pt between two lines
    // belong to the line below them.
    EXPECT_FLOAT_EQ(ps[0]->pProperty().spacing.line, 10);
    EXPECT_FLOAT_EQ(ps[1]->pProperty().spacing.line, 14);
    EXPECT_FLOAT_EQ(ps[2]->pProperty().spacing.line, 14);
    EXPECT_FLOAT_EQ(ps[3]->pProperty().spacing.line, 14);
    for (const auto& p : ps) {
        EXPECT_FLOAT_EQ(p->pProperty().ind.left, 72);
        EXPECT_EQ(p->pProperty().spacing.lineRule, "exact");
    }
    // The sum of the heights from the top margin reaches the last line's bottom.
    float total = b.page().sectProperty().pgMar.top;
    for (const auto& p : ps)
        total += p->pProperty().spacing.line;
    EXPECT_FLOAT_EQ(total, 50 + 14 * 3 + 10);
}

// A font whose ascent and descent exceed the line pitch: each line keeps the
// pitch, where taking its own height pushed every line down by the overlap
// and a page of them spilled onto the next.
TEST(QVDocxPageLayout, LinesSetCloserThanTheirGlyphBoxesKeepTheirPitch) {
    PageBuilder b;
    for (int k = 0; k < 30; ++k)
        b.text(u"a line of body text", 72, 50 + 13.4 * k, 11, 15.1, 100);
    b.page()._creatParagraphs();
    const auto& ps = b.page().paragraphArray();
    ASSERT_EQ(ps.size(), 30u);
    float total = b.page().sectProperty().pgMar.top;
    for (size_t k = 0; k < ps.size(); ++k) {
        if (k > 0) {
            EXPECT_NEAR(ps[k]->pProperty().spacing.line, 13.4, 1e-3) << k;
        }
        total += ps[k]->pProperty().spacing.line;
    }
    // The last line's foot stands where it stood.
    EXPECT_NEAR(total, 50 + 13.4 * 29 + 15.1, 1e-2);
}

TEST(QVDocxPageLayout, TextLowOnThePageGetsBlankLinesAbove) {
    PageBuilder b;
    b.text(u"late", 72, 100);
    b.page()._creatParagraphs();
    EXPECT_FLOAT_EQ(b.page().sectProperty().pgMar.top, 72);
    const auto texts = b.texts();
    ASSERT_EQ(texts.size(), 3u); // 28 pt as two blank lines of 14, then the text
    float blank = 0;
    for (size_t k = 0; k + 1 < texts.size(); ++k) {
        EXPECT_EQ(texts[k], u"");
        blank += b.page().paragraphArray()[k]->pProperty().spacing.line;
    }
    EXPECT_FLOAT_EQ(blank, 28);
    EXPECT_EQ(texts.back(), u"late");
    // The blank lines hold the space above; the line itself only its height.
    EXPECT_FLOAT_EQ(b.page().paragraphArray().back()->pProperty().spacing.line, 10);
}

TEST(QVDocxPageLayout, TextReachingAboveThePageGetsNoNegativeMargin) {
    PageBuilder b;
    b.text(u"cut", 72, -20).text(u"below", 72, -6);
    b.page()._creatParagraphs();
    EXPECT_FLOAT_EQ(b.page().sectProperty().pgMar.top, 0);
    EXPECT_EQ(b.texts(), (std::vector<std::u16string>{u"cut", u"below"}));
}

TEST(QVDocxPageLayout, ALineJoinedToTheLineAboveStaysAWordApart) {
    PageBuilder b;
    // The second line ends no lower than the first: it joins its paragraph.
    b.text(u"TRANSPORTATION", 72, 0, 10, 20, 70, 0.5).text(u"AIRFARE", 72, 10, 10, 10, 35);
    b.page()._creatParagraphs();
    EXPECT_EQ(b.texts(), (std::vector<std::u16string>{u"TRANSPORTATION AIRFARE"}));
}

TEST(QVDocxPageLayout, PiecesOfOneLineJoinWithSpacesForTheirGap) {
    PageBuilder b;
    b.text(u"Total", 72, 50).text(u"42", 300, 50);
    b.page()._creatParagraphs();
    const auto texts = b.texts();
    ASSERT_EQ(texts.size(), 1u);
    // 203 pt apart: the number stands at a tab stop at its place, where 67
    // spaces put it wherever a reader's space width took it.
    EXPECT_EQ(texts[0], u"Total\t42");
    const QVDocx_Tabs& tabs = b.page().paragraphArray()[0]->tabs();
    ASSERT_EQ(tabs.tab.size(), 1u);
    EXPECT_FLOAT_EQ(tabs.tab[0].pos, 300);
}

TEST(QVDocxPageLayout, SmallLineCloseBelowBecomesSubscript) {
    PageBuilder b;
    // A size-8 line whose bottom is 2.4 below the bottom of a size-20 line.
    b.text(u"H", 72, 50, 20, 20, 5, 0.7).text(u"2", 77, 64.4, 8, 8);
    b.page()._creatParagraphs();
    ASSERT_EQ(b.texts(), (std::vector<std::u16string>{u"H2"}));
    const auto& runs = b.page().paragraphArray()[0]->runArray();
    const QVDocx_RPr& sub = runs.back()->rProperty();
    EXPECT_EQ(sub.scrpit, 2);
    EXPECT_FLOAT_EQ(sub.sz, 20);
}

/// Every run's script position and size, paragraph by paragraph.
std::vector<std::vector<std::pair<int32_t, float>>> scriptsOf(QVDocxPage& page) {
    std::vector<std::vector<std::pair<int32_t, float>>> out;
    for (const auto& p : page.paragraphArray()) {
        out.emplace_back();
        for (const auto& r : p->runArray())
            if (r->asRunText())
                out.back().push_back({r->rProperty().scrpit, r->rProperty().sz});
    }
    return out;
}

// A line close above or below another is shrunk into it as a script only when
// it is a short piece beside that line; a whole line is a paragraph of its own
// at its own size.
TEST(QVDocxPageLayout, OnlyAShortPieceBesideALineBecomesItsScript) {
    using Scripts = std::vector<std::vector<std::pair<int32_t, float>>>;
    struct Case {
        const char* what;
        std::function<void(PageBuilder&)> fill;
        std::vector<std::u16string> texts;
        Scripts scripts;
    };
    const Case cases[] = {
        {"a 9 pt line with its baseline 5 pt under a 12 pt heading's",
         [](PageBuilder& b) {
             b.text(u"A heading", 72, 100, 12, 15, 60);
             b.text(u"and a whole line of smaller text", 72, 108, 9, 11.25, 160);
         },
         {u"A heading", u"and a whole line of smaller text"},
         {{{0, 12.f}}, {{0, 9.f}}}},
        {"a small line just above a larger one",
         [](PageBuilder& b) {
             b.text(u"Public meeting held on the 20th of June", 72, 100, 9, 11.25, 190);
             b.text(u"MINUTES", 72, 103, 12, 15, 60);
         },
         {u"Public meeting held on the 20th of June", u"MINUTES"},
         {{{0, 9.f}}, {{0, 12.f}}}},
        {"a true x squared raised 7.6 pt: a superscript of its line",
         [](PageBuilder& b) {
             b.text(u"x", 72, 50, 20, 20, 5);
             b.text(u"2", 77, 52, 8, 8, 5);
             b.text(u"+1", 82, 50, 20, 20, 10);
         },
         {u"x2+1"},
         {{{0, 20.f}, {1, 20.f}, {0, 20.f}}}},
        {"a short note in the margin, 6.4 pt under the baseline of the line it stands beside",
         [](PageBuilder& b) {
             b.text(u"Body text of the page", 72, 50, 12, 15, 150);
             b.text(u"note", 48, 62, 8, 8, 16);
         },
         {u"note", u"Body text of the page"},
         {{{0, 8.f}}, {{0, 12.f}}}},
        // Lines set closer than their glyph boxes are high, centred, with
        // spaces drawn at the margin between them: read top to bottom, the
        // spaces leave no paragraph.
        {"a title block of centred lines",
         [](PageBuilder& b) {
             b.text(u"COMMITTEE", 227, 123.6, 12, 17.1, 157, 0.78);
             b.text(u" ", 70.8, 139, 11, 16.4, 3.3, 0.78);
             b.text(u"MINUTES", 259, 153, 12, 17.1, 93, 0.78);
             b.text(u"Public meeting held on the 20th of June", 125, 167.6, 12, 17.1, 361, 0.78);
             b.text(u" ", 70.8, 182.3, 11, 15.8, 3.1, 0.78);
             b.text(u"Present", 70.8, 196, 12, 17.1, 59, 0.78);
         },
         {u"COMMITTEE", u"MINUTES", u"Public meeting held on the 20th of June", u"Present"},
         {{{0, 12.f}}, {{0, 12.f}}, {{0, 12.f}}, {{0, 12.f}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PageBuilder b;
        c.fill(b);
        b.page()._creatParagraphs();
        std::vector<std::u16string> texts;
        Scripts scripts;
        const Scripts all = scriptsOf(b.page());
        const auto allTexts = b.texts();
        for (size_t k = 0; k < allTexts.size(); ++k)
            if (!allTexts[k].empty()) {
                texts.push_back(allTexts[k]);
                scripts.push_back(all[k]);
            }
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(scripts, c.scripts);
    }
}

TEST(QVDocxPageLayout, TwoColumnsUnderAHeading) {
    PageBuilder b;
    b.text(u"Heading across the page", 72, 50, 14, 14, 400);
    // Glyph boxes taller than the leading: the lines overlap into one band,
    // 6 pt below the heading.
    for (int k = 0; k < 3; ++k)
        b.text(u"left", 72, 70 + 12 * k, 10, 14);
    for (int k = 0; k < 3; ++k)
        b.text(u"right", 330, 70 + 12 * k, 10, 14);
    b.page()._creatParagraphs();
    const auto texts = b.texts();
    // Reading order: heading, then the left column, then the right one.
    std::vector<std::u16string> words;
    for (const auto& t : texts)
        if (!t.empty())
            words.push_back(t);
    ASSERT_EQ(words, (std::vector<std::u16string>{u"Heading across the page", u"left", u"left",
                                                  u"left", u"right", u"right", u"right"}));
    const auto& ps = b.page().paragraphArray();
    const QVDocxParagraph* firstRight = nullptr;
    const QVDocxParagraph* firstLeft = nullptr;
    const QVDocxParagraph* heading = nullptr;
    for (const auto& p : ps) {
        if (heading && !firstLeft && p->lastRunText())
            firstLeft = p.get();
        if (!heading && p->lastRunText())
            heading = p.get();
        if (p->lastRunText() && p->lastRunText()->runText() == u"right") {
            firstRight = p.get();
            break;
        }
    }
    ASSERT_TRUE(firstRight && firstLeft && heading);
    EXPECT_TRUE(firstRight->breakColumn());
    // Both columns start 6 pt below the heading: their first lines are alike.
    EXPECT_FLOAT_EQ(firstLeft->pProperty().spacing.line, 20);
    EXPECT_FLOAT_EQ(firstRight->pProperty().spacing.line, 20);
    EXPECT_FLOAT_EQ(firstRight->pProperty().ind.left, 0); // from its column's edge
    const QVDocx_Cols& cols = firstRight->sectProperty().cols;
    ASSERT_EQ(cols.num, 2);
    EXPECT_FLOAT_EQ(cols.equalWidth, 0);
    ASSERT_EQ(cols.col.size(), 2u);
    EXPECT_FLOAT_EQ(cols.col[0].w, 330);
    EXPECT_FLOAT_EQ(cols.col[1].w, 282);
    // The heading's single-column band ends its section before the columns.
    EXPECT_EQ(heading->sectProperty().write, 1);
    EXPECT_EQ(heading->sectProperty().cols.num, 1);
    EXPECT_EQ(ps.back()->sectProperty().write, 1);
}

// Parts of one line that do not merge (not drawn one after the other) join
// with the nearest count of spaces for their gap, at least one: a single
// space for every gap put the words after a wide gap that much too far left.
// A part starting a rounding error before the end of the one before
// continues its word.
TEST(QVDocxPageLayout, PartsOfALineJoinWithSpacesForTheirGap) {
    const struct {
        double gap;
        const char16_t* spaces; // space width 2.5 (10 pt font)
    } cases[] = {{1.5, u" "}, {2.5, u" "}, {4.0, u" "}, {5.0, u" "}, {5.1, u"\t"}, {7.0, u"\t"},
                 {-0.01, u""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gap);
        PageBuilder b;
        // A line far below, drawn in between, keeps the two from merging.
        b.text(u"Name", 72, 50, 10, 10, 20);
        b.text(u"Below", 72, 300, 10, 10, 25);
        b.text(u"Value", 92 + c.gap, 50, 10, 10, 25);
        b.page()._creatParagraphs();
        EXPECT_EQ(b.texts().front(), u"Name" + std::u16string(c.spaces) + u"Value");
    }
}

// A table's cells padded with blanks, each drawn over the blanks of the one
// before (a report generator's fixed-width fields): the blanks are padding,
// and each cell after a gap wider than two spaces stands at its tab stop.
TEST(QVDocxPageLayout, CellsDrawnOverTheBlanksOfTheCellBeforeStandAtTheirPlaces) {
    PageBuilder b;
    b.text(u"06/22/2015" + std::u16string(20, u' '), 72, 50, 10, 10, 100);
    b.text(u"03/25/2016" + std::u16string(20, u' '), 130, 50, 10, 10, 100);
    b.text(u"07/01/2015", 210, 50, 10, 10, 50);
    b.text(u"Below", 72, 300, 10, 10, 25);
    b.page()._creatParagraphs();
    EXPECT_EQ(b.texts().front(), u"06/22/2015\t03/25/2016\t07/01/2015");
}

// Rows of two cells, each band a single line (and not of the same columns
// as the row before it), are rows, not columns: the right cell stands at a
// tab stop at its place, in the page's one section. As columns, each row was
// a section of its own, and a right cell without a column break stood below
// the left one.
TEST(QVDocxPageLayout, RowsOfOneLineStandAtTabStopsInOneSection) {
    PageBuilder b;
    b.text(u"Heading across the page", 72, 50, 14, 14, 400);
    const double right[] = {330, 400, 330, 400};
    // Each column drawn whole, as typesetters do.
    for (int k = 0; k < 4; ++k)
        b.text(u"left words", 72, 90 + 14 * k, 10, 10);
    for (int k = 0; k < 4; ++k)
        b.text(u"right words", right[k], 90 + 14 * k, 10, 10);
    b.page()._creatParagraphs();
    int rows = 0;
    const auto& ps = b.page().paragraphArray();
    for (size_t k = 0; k < ps.size(); ++k) {
        const QVDocxParagraph& p = *ps[k];
        EXPECT_FALSE(p.breakColumn());
        EXPECT_EQ(p.sectProperty().cols.num, 1);
        EXPECT_EQ(p.sectProperty().write, k + 1 == ps.size() ? 1 : 0);
        const QVDocxRunText* t = p.lastRunText();
        if (!t || t->runText().find(u"right") == std::u16string::npos)
            continue;
        EXPECT_EQ(b.texts()[k], u"left words\tright words");
        ASSERT_EQ(p.tabs().tab.size(), 1u);
        EXPECT_EQ(p.tabs().tab[0].val, "left");
        EXPECT_FLOAT_EQ(p.tabs().tab[0].pos, right[rows]);
        ++rows;
    }
    EXPECT_EQ(rows, 4);
}

// A band of four columns: each column must hold its widest line as a reader
// prints it; when one cannot (a long last cell reaching past the page's
// edge), the band is one column whose rows put each cell at a tab stop at
// its place, instead of columns too narrow for their text that wrap it a few
// letters a line down many pages.
TEST(QVDocxPageLayout, ColumnsThatCannotHoldTheirLinesBecomeRowsAtTabStops) {
    const struct {
        double lastWidth;
        bool tabbed;
    } cases[] = {{60, false}, {200, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lastWidth);
        PageBuilder b;
        const double x[] = {72, 200, 330, 450};
        // Two rows whose glyph boxes overlap: one band of four columns of
        // two lines each, drawn column by column.
        for (int col = 0; col < 4; ++col)
            for (int row = 0; row < 2; ++row)
                b.text(col == 3 ? u"amount" : u"cell", x[col], 100 + 12 * row, 10, 14,
                       col == 3 ? c.lastWidth : 40);
        b.page()._creatParagraphs();
        std::vector<std::u16string> words;
        for (const auto& t : b.texts())
            if (!t.empty())
                words.push_back(t);
        const auto& ps = b.page().paragraphArray();
        if (c.tabbed) {
            EXPECT_EQ(words, (std::vector<std::u16string>{u"cell\tcell\tcell\tamount",
                                                          u"cell\tcell\tcell\tamount"}));
            for (const auto& p : ps) {
                EXPECT_EQ(p->sectProperty().cols.num, 1);
                EXPECT_FALSE(p->breakColumn());
                if (!p->lastRunText())
                    continue;
                ASSERT_EQ(p->tabs().tab.size(), 3u);
                for (size_t k = 0; k < 3; ++k)
                    EXPECT_FLOAT_EQ(p->tabs().tab[k].pos, x[k + 1]);
            }
        } else {
            EXPECT_EQ(words, (std::vector<std::u16string>{u"cell", u"cell", u"cell", u"cell",
                                                          u"cell", u"cell", u"amount",
                                                          u"amount"}));
            const QVDocx_Cols& cols = ps.back()->sectProperty().cols;
            ASSERT_EQ(cols.num, 4);
            ASSERT_EQ(cols.col.size(), 4u);
            EXPECT_FLOAT_EQ(cols.col[3].w, 612 - 450);
        }
    }
}

// A section ends only where the columns change: one-column bands run on in
// one section, and so do bands with the same columns, whose columns run on
// through both; a band of other columns starts a section of its own.
TEST(QVDocxPageLayout, ASectionEndsOnlyWhereTheColumnsChange) {
    PageBuilder b;
    // Two one-column bands, 30 pt apart.
    b.text(u"first", 72, 50).text(u"second", 72, 90);
    // Two bands of the same two columns (lines 12 apart, 14 high), 30 pt apart.
    for (double top : {130.0, 190.0}) {
        for (int k = 0; k < 2; ++k)
            b.text(u"left", 72, top + 12 * k, 10, 14);
        for (int k = 0; k < 2; ++k)
            b.text(u"right", 330, top + 12 * k, 10, 14);
    }
    // A band of other columns.
    for (int k = 0; k < 2; ++k)
        b.text(u"west", 72, 250 + 12 * k, 10, 14);
    for (int k = 0; k < 2; ++k)
        b.text(u"east", 400, 250 + 12 * k, 10, 14);
    b.page()._creatParagraphs();
    std::vector<std::pair<std::u16string, int32_t>> sectionEnds;
    std::vector<std::u16string> order;
    int breaks = 0;
    // A section's end, by the last text in it (blank lines after a text may
    // carry the end).
    for (const auto& p : b.page().paragraphArray()) {
        if (const QVDocxRunText* t = p->lastRunText())
            order.push_back(t->runText());
        breaks += p->breakColumn();
        if (p->sectProperty().write)
            sectionEnds.push_back({order.back(), p->sectProperty().cols.num});
    }
    // The right column runs on through both bands: one break before it.
    EXPECT_EQ(order, (std::vector<std::u16string>{u"first", u"second", u"left", u"left", u"left",
                                                  u"left", u"right", u"right", u"right", u"right",
                                                  u"west", u"west", u"east", u"east"}));
    EXPECT_EQ(breaks, 2);
    ASSERT_EQ(sectionEnds.size(), 3u);
    EXPECT_EQ(sectionEnds[0], (std::pair<std::u16string, int32_t>{u"second", 1}));
    EXPECT_EQ(sectionEnds[1], (std::pair<std::u16string, int32_t>{u"right", 2}));
    EXPECT_EQ(sectionEnds[2], (std::pair<std::u16string, int32_t>{u"east", 2}));
}

TEST(QVDocxPageLayout, ClosingSpacesDoNotBridgeAGutter) {
    // Lines end 7 pt left of the next column with their closing space (2.5
    // wide at size 10) and 9.5 pt without it: two columns, not one read across.
    PageBuilder b;
    // Drawn column by column, as typeset pages are.
    for (int k = 0; k < 3; ++k)
        b.text(u"left ", 72, 70 + 12 * k, 10, 14, 200);
    for (int k = 0; k < 3; ++k)
        b.text(u"right", 279, 70 + 12 * k, 10, 14, 200);
    b.page()._creatParagraphs();
    std::vector<std::u16string> words;
    for (const auto& t : b.texts())
        if (!t.empty())
            words.push_back(t);
    EXPECT_EQ(words, (std::vector<std::u16string>{u"left ", u"left ", u"left ", u"right", u"right",
                                                  u"right"}));
    EXPECT_EQ(b.page().paragraphArray().back()->sectProperty().cols.num, 2);
}

TEST(QVDocxPageLayout, ColumnsTooNarrowOrTooManyAreJoined) {
    PageBuilder narrow;
    // The second column would start 30 pt from the page's edge.
    narrow.text(u"a", 10, 100).text(u"b", 30, 100);
    narrow.text(u"a", 10, 114).text(u"b", 30, 114);
    narrow.page()._creatParagraphs();
    for (const auto& p : narrow.page().paragraphArray())
        EXPECT_EQ(p->sectProperty().cols.num, 1);

    PageBuilder many({3000, 200});
    for (int k = 0; k < 50; ++k)
        many.text(u"x", 10 + 50.0 * k, 100, 10, 10, 5);
    for (int k = 0; k < 50; ++k)
        many.text(u"y", 10 + 50.0 * k, 120, 10, 10, 5);
    many.page()._creatParagraphs();
    for (const auto& p : many.page().paragraphArray())
        EXPECT_LE(p->sectProperty().cols.num, 45);
}

TEST(QVDocxPageEnd, EmptyPagesWriteOneParagraphAndTheSectionsBreakPages) {
    const struct {
        int64_t index;
        bool last;
        bool paragraphSection;
        const char* paragraphType; // "" for no w:type
        bool bodySection;
    } cases[] = {
        {1, false, true, "continuous", false},
        {2, false, true, "", false},
        {2, true, false, "", true},
    };
    for (const auto& c : cases) {
        WrittenXml xml([&](XMLFileWriter& w) {
            QVDocxPage page(&w, {400, 500}, c.last);
            page.begainWritePage(c.index);
            page.endWritePage(c.index);
        });
        const pugi::xml_node body = xml.root();
        ASSERT_EQ(body.select_nodes("w:p").size(), 1u) << c.index;
        const pugi::xml_node sect = body.child("w:p").child("w:pPr").child("w:sectPr");
        EXPECT_EQ(bool(sect), c.paragraphSection) << c.index;
        if (sect) {
            EXPECT_STREQ(sect.child("w:type").attribute("w:val").value(), c.paragraphType);
            EXPECT_STREQ(sect.child("w:pgSz").attribute("w:w").value(), "8000");
            EXPECT_STREQ(sect.child("w:docGrid").attribute("w:linePitch").value(), "312");
        }
        EXPECT_EQ(bool(body.child("w:sectPr")), c.bodySection) << c.index;
        if (c.bodySection) {
            EXPECT_FALSE(body.child("w:sectPr").child("w:type"));
        }
        EXPECT_STREQ(body.child("w:p").child("w:r").child("w:t").text().get(), " ");
    }
}

TEST(QVDocxPageEnd, FloatingRunsGoToTheFirstParagraphInFrontUnlessTextIsPaintedOver) {
    class Pict : public QVDocxRunPict {
    public:
        explicit Pict(platform::Rect r) : rect_(r) {}
        platform::Rect displayRect() const override { return rect_; }

    private:
        platform::Rect rect_;
    };
    PageBuilder b;
    auto under = std::make_shared<Pict>(platform::Rect{{60, 40}, {100, 30}});
    under->setDrawIndex(0);
    under->setPictZIndex(-251657498);
    b.page().runImageArray().push_back(under);
    b.text(u"over", 72, 50); // draw index 0 too: the next test draws later
    b.page().allRunTextArray().back()->setDrawIndex(1);
    auto after = std::make_shared<Pict>(platform::Rect{{60, 40}, {100, 30}});
    after->setDrawIndex(2);
    after->setPictZIndex(-251657497);
    b.page().runImageArray().push_back(after);
    b.page().endWritePage(1);
    EXPECT_EQ(under->pictZIndex(), -251657498); // text painted over it: behind
    EXPECT_EQ(after->pictZIndex(), 3815);       // nothing over it: in front
    const auto& runs = b.page().paragraphArray().front()->runArray();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1], under);
    EXPECT_EQ(runs[2], after);
}

} // namespace
