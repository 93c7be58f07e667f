#include "docx/QVDocxParagraph.h"
#include "docx/QVDocxRunPict.h"
#include "docx/QVDocxRunText.h"
#include "docx/QVDocxUtilities.h"

#include "DocxXmlFixture.h"

#include <gtest/gtest.h>

using docxfixture::childNames;
using docxfixture::WrittenXml;
using Names = std::vector<std::string>;

namespace {

std::shared_ptr<QVDocxRunText> textRun(std::u16string text, float size, double x, double ascent,
                                       double descent) {
    auto run = std::make_shared<QVDocxRunText>();
    QVDocx_RPr r = QVDocxUtilities::defaultRProperty();
    r.sz = size;
    run->setRProperty(r);
    QVPDF_CTMInfo info;
    info.yAscent = ascent;
    info.yDescent = descent;
    info.topLeft = {x, ascent};
    info.bottomLeft = {x, descent};
    run->setCtmInfo(info);
    run->setRunText(std::move(text));
    run->setTextWidth(10.0 * static_cast<double>(run->runText().size()));
    return run;
}

TEST(QVDocxRunText, WritesItsPropertiesAndKeepsItsSpaces) {
    const struct {
        std::u16string text;
        const char* written;
    } cases[] = {
        {u"", ""},
        {u"  two spaces  ", "  two spaces  "},
        {u"a\u0001b", "ab"},                          // XML cannot hold U+0001
        {u"x\U0001D400y", "x\xF0\x9D\x90\x80y"},      // outside the BMP: four bytes
    };
    for (const auto& c : cases) {
        auto run = textRun(c.text, 12, 0, 0, 0);
        WrittenXml xml([&](XMLFileWriter& w) { run->writeWithXMLWriter(w); });
        const pugi::xml_node r = xml.root().child("w:r");
        EXPECT_EQ(childNames(r), (Names{"w:rPr", "w:t"}));
        EXPECT_STREQ(r.child("w:t").attribute("xml:space").value(), "preserve");
        EXPECT_STREQ(r.child("w:t").text().get(), c.written);
    }
}

TEST(QVDocxRunText, DisplayRectSpansTheTextAndTheGlyphHeight) {
    auto run = textRun(u"abc", 12, 5, 100, 112);
    const platform::Rect rect = run->displayRect();
    EXPECT_EQ(rect.origin, (platform::Point{5, 100}));
    EXPECT_EQ(rect.size, (platform::Size{30, 12}));
    EXPECT_EQ(QVDocxRunPict().displayRect(), platform::Rect{});
}

TEST(QVDocxParagraph, LineHeightCoversTheRunsExtent) {
    QVDocxParagraph p({textRun(u"a", 10, 72, 100, 112), textRun(u"b", 10, 90, 98, 111)});
    EXPECT_FLOAT_EQ(p.pProperty().spacing.line, 14); // 112 - 98, above the size 10
    EXPECT_EQ(p.pProperty().spacing.lineRule, "exact");
    EXPECT_FLOAT_EQ(p.pProperty().ind.left, 72);

    QVDocxParagraph big({textRun(u"a", 20, 72, 100, 112)});
    EXPECT_FLOAT_EQ(big.pProperty().spacing.line, 20);
}

TEST(QVDocxParagraph, MarkTakesTheLastTextRunsProperties) {
    auto last = textRun(u"b", 9, 90, 98, 111);
    QVDocxParagraph p({textRun(u"a", 10, 72, 100, 112), last, std::make_shared<QVDocxRunPict>()});
    EXPECT_EQ(p.lastRunText(), last.get());
    EXPECT_FLOAT_EQ(p.rProperty().sz, 9);
    EXPECT_DOUBLE_EQ(p.textWidth(), 20);
}

TEST(QVDocxParagraph, ColumnIndentIsFromTheColumnsEdge) {
    QVDocxParagraph p({textRun(u"a", 10, 330, 100, 112)});
    p.setXColumnPosition(306);
    EXPECT_TRUE(p.resolveColumnProperty());
    EXPECT_FLOAT_EQ(p.pProperty().ind.left, 24);

    QVDocxParagraph pictOnly({std::make_shared<QVDocxRunPict>()});
    const float before = pictOnly.pProperty().ind.left;
    pictOnly.setXColumnPosition(306);
    EXPECT_FALSE(pictOnly.resolveColumnProperty());
    EXPECT_FLOAT_EQ(pictOnly.pProperty().ind.left, before);
    EXPECT_FLOAT_EQ(pictOnly.pProperty().spacing.line, 0); // no text: no height
}

TEST(QVDocxParagraph, ScriptPositionReachesOnlyTextRuns) {
    auto pict = std::make_shared<QVDocxRunPict>();
    QVDocxParagraph p({textRun(u"2", 12, 72, 100, 112), pict});
    p.setRPropertyScrpit(1, 7.5);
    const QVDocx_RPr& r = p.lastRunText()->rProperty();
    EXPECT_EQ(r.scrpit, 1);
    EXPECT_FLOAT_EQ(r.sz, 7.5f);
    EXPECT_FLOAT_EQ(r.szCs, 7.5f);
    EXPECT_EQ(pict->rProperty().scrpit, 0);
    EXPECT_FLOAT_EQ(pict->rProperty().sz, 12);
    EXPECT_EQ(p.rProperty().scrpit, 0); // the mark keeps its own
}

TEST(QVDocxParagraph, BlankParagraphsFillTheGapExactly) {
    const struct {
        double space, line;
        float fontSize;
        size_t count;
        float height;
    } cases[] = {
        {30, 12, 10, 2, 15},
        {30, 12, 20, 1, 30},   // the line grows to the font size
        {8, 12, 10, 1, 8},     // a gap under one line
        {30, 0, 0, 1, 30},     // no line height
        {30, 0.001, 0, 1, 30}, // a degenerate line: one paragraph, not thousands
    };
    QVDocx_SectPr sect = QVDocxUtilities::defaultSectProperty();
    sect.write = 1;
    for (const auto& c : cases) {
        QVDocx_RPr r = QVDocxUtilities::defaultRProperty();
        r.sz = c.fontSize;
        auto blanks = QVDocxParagraph::BankParagraph(c.space, c.line, 40, r, sect);
        ASSERT_EQ(blanks.size(), c.count) << c.space << "/" << c.line;
        for (const auto& b : blanks) {
            EXPECT_FLOAT_EQ(b->pProperty().spacing.line, c.height);
            EXPECT_EQ(b->pProperty().spacing.lineRule, "exact");
            EXPECT_FLOAT_EQ(b->pProperty().ind.left, 40);
            EXPECT_EQ(b->sectProperty().write, 1);
            EXPECT_TRUE(b->runArray().empty());
        }
    }
    EXPECT_TRUE(QVDocxParagraph::BankParagraph(0, 12, 0, QVDocxUtilities::defaultRProperty(),
                                               sect).empty());
    EXPECT_TRUE(QVDocxParagraph::BankParagraph(-5, 12, 0, QVDocxUtilities::defaultRProperty(),
                                               sect).empty());
}

TEST(QVDocxParagraph, WritesPropertiesColumnBreakAndRuns) {
    QVDocxParagraph blank;
    blank.setBreakColumn(true);
    WrittenXml empty([&](XMLFileWriter& w) { blank.writeWithXMLWriter(w); });
    const pugi::xml_node p = empty.root().child("w:p");
    EXPECT_EQ(childNames(p), (Names{"w:pPr", "w:r", "w:r"}));
    const pugi::xml_node brk = p.child("w:r");
    EXPECT_EQ(childNames(brk), (Names{"w:rPr", "w:br", "w:t"}));
    EXPECT_STREQ(brk.child("w:br").attribute("w:type").value(), "column");
    const pugi::xml_node space = brk.next_sibling("w:r").child("w:t");
    EXPECT_STREQ(space.text().get(), " ");
    EXPECT_STREQ(space.attribute("xml:space").value(), "preserve"); // else readers drop it

    QVDocxParagraph text({textRun(u"Hello", 12, 72, 100, 112), textRun(u" world", 12, 72, 100, 112)});
    WrittenXml full([&](XMLFileWriter& w) { text.writeWithXMLWriter(w); });
    const pugi::xml_node q = full.root().child("w:p");
    EXPECT_EQ(childNames(q), (Names{"w:pPr", "w:r", "w:r"}));
    std::string all;
    for (pugi::xml_node r : q.children("w:r"))
        all += r.child("w:t").text().get();
    EXPECT_EQ(all, "Hello world");
}

// Tab stops come first in w:pPr (the schema's order), in points x 20 and
// ascending whatever order they were added in; a tab character of a run is a
// w:tab between the run's texts, for readers take a tab inside w:t for a space.
TEST(QVDocxParagraph, WritesTabStopsAndTabs) {
    QVDocxParagraph row({textRun(u"Name\tValue\t", 10, 72, 100, 110)});
    row.addTabStop(330);
    row.addTabStop(200);
    row.addTabStop(330); // once
    WrittenXml xml([&](XMLFileWriter& w) { row.writeWithXMLWriter(w); });
    const pugi::xml_node pPr = xml.root().child("w:p").child("w:pPr");
    ASSERT_FALSE(childNames(pPr).empty());
    EXPECT_EQ(childNames(pPr).front(), "w:tabs");
    std::vector<std::string> stops;
    for (pugi::xml_node t : pPr.child("w:tabs").children("w:tab"))
        stops.push_back(std::string(t.attribute("w:val").value()) + "@" + t.attribute("w:pos").value());
    EXPECT_EQ(stops, (Names{"left@4000", "left@6600"}));
    const pugi::xml_node r = xml.root().child("w:p").child("w:r");
    EXPECT_EQ(childNames(r), (Names{"w:rPr", "w:t", "w:tab", "w:t", "w:tab"}));
    EXPECT_STREQ(r.child("w:t").text().get(), "Name");
    EXPECT_STREQ(r.child("w:t").next_sibling("w:t").text().get(), "Value");
}

} // namespace
