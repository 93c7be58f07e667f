#include "FlowFixture.h"

#include "flow/html/QVHTMLCSSParagraph.h"
#include "flow/html/QVHTMLCSSSpan.h"
#include "flow/rtf/QVRTFColorEntry.h"
#include "flow/rtf/QVRTFFontEntry.h"

#include <limits>

TEST(FlowStyle, HtmlRecordsAreLimitedWhenStoredAndPrintedAsCss) {
    const struct {
        float size;
        QVHTML_CSS_Color color;
        std::string name;
        int32_t decoration;
        std::string css;
    } cases[] = {
        {14.4f, {0, 0, 0, 1}, "Arial", 0, "{ font: 14px 'Arial'; color: #000000}"},
        {4,
         {300, -5, 16, 1},
         "",
         1,
         "{ font: 8px 'Times New Roman'; text-decoration: underline; color: #ff0010}"},
        {500, {1, 2, 3, 1}, "A'B", 0, "{ font: 288px 'AB'; color: #010203}"},
        {std::numeric_limits<float>::quiet_NaN(),
         {0, 0, 0, 1},
         "x",
         9,
         "{ font: 288px 'x'; text-decoration: none; color: #000000}"},
    };
    for (const auto& c : cases) {
        QVHTMLCSSSpan span;
        QVHTML_CSS_Span record = QVHTMLUtilities::defaultCssSpanProperty();
        record.font = {c.size, c.name, {}};
        record.color = c.color;
        record.textDecoration = c.decoration;
        span.setCssSpanProperty(record);
        EXPECT_EQ(span.cssStringFormat(), c.css);
    }
    QVHTMLCSSParagraph paragraph;
    QVHTML_CSS_Paragraph p = QVHTMLUtilities::defaultCssParagraphProperty();
    p.margin = {0, 0, 0, 36.5f};
    p.textIndent = 3;
    paragraph.setCssPProperty(p);
    EXPECT_EQ(paragraph.cssStringFormat(), "{margin: 0px 0px 0px 36px; text-indent: 3px; "
                                           "font: 12px 'Times New Roman'; color: #000000}");
    // Weight and style are tags inside a span: they do not make a class.
    QVHTMLCSSSpan bold, plain;
    QVHTML_CSS_Span b = QVHTMLUtilities::defaultCssSpanProperty();
    b.fontWeight = 1;
    b.fontStyle = 1;
    bold.setCssSpanProperty(b);
    EXPECT_TRUE(plain.isEqualToEntry(&bold));
    EXPECT_FALSE(plain.isEqualToEntry(nullptr));
}

TEST(FlowStyle, RtfTableEntries) {
    const struct {
        QVRTFColorEntry color;
        std::string text;
    } colours[] = {
        {{0, 0, 0, 1}, "\\red0\\green0\\blue0;"},
        {{1, 1, 1, 1}, "\\red128\\green128\\blue128;"},
        {{250 / 255.0, 250 / 255.0, 250 / 255.0, 1}, "\\red128\\green128\\blue128;"},
        {{229 / 255.0, 1, 1, 1}, "\\red229\\green255\\blue255;"},
    };
    for (const auto& c : colours)
        EXPECT_EQ(c.color.rtfFormat(), c.text);
    QVRTFFontEntry font("a;b{c}\xe5\xae\x8b", 24);
    font.setFontIndex(3);
    EXPECT_EQ(font.rtfFormat(), "\\f3\\fnil\\fcharset0 ab\\{c\\}\\uc0\\u23435 ;");
    EXPECT_EQ(QVRTFFontEntry("", 24).rtfFormat(), ";");
}

TEST(FlowStyle, TextBoxLinesTakeTheResolvedPropertiesOfTheLineBefore) {
    auto page = flowtest::pageWith(QVFlowFamily::HTML, {});
    page->newTextBoxParagraph();
    ASSERT_EQ(page->cachedTextBoxParagraphs().size(), 1u);
    QVFlowParagraph& first = *page->lastTextBoxParagraph();
    EXPECT_EQ(first.pProperty().ind.left, 60);
    first.runArray().push_back(flowtest::makeRun(QVFlowFamily::HTML, {u"box", 250, 100, 40, 18}));
    page->newTextBoxParagraph();
    const QVFlowParagraph& second = *page->lastTextBoxParagraph();
    EXPECT_EQ(second.pProperty().ind.left, 250);
    EXPECT_EQ(second.rProperty().sz, 18);
    EXPECT_TRUE(second.runArray().empty());
    EXPECT_EQ(page->maxTextBoxWidth(), 290);
    EXPECT_EQ(page->totalTextBoxHeight(), 24);
}
