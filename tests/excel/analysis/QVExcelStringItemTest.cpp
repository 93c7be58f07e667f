// String items (the runs of one cell) and merged ranges.

#include "excel/QVExcelPageFixture.h"

#include "excel/analysis/QVExcelStringItem.h"
#include "excel/sheet/QVMergedCell.h"
#include "writer/XMLFileWriter.h"

#include <gtest/gtest.h>

namespace {

using namespace excelfixtures;

QVExcelStringItem itemOf(const std::vector<RunSpec>& specs) {
    QVExcelStringItem item;
    for (const auto& s : specs)
        item.textRuns().push_back(makeRun(s));
    if (!specs.empty()) {
        item.setRowIndex(specs.front().row);
        item.setColumnIndex(specs.front().column);
    }
    return item;
}

TEST(QVExcelStringItemTest, ContentKeepsWordsApart) {
    struct Case {
        std::vector<std::u16string> runs;
        std::u16string content;
    };
    const Case cases[] = {
        {{u"12", u"345"}, u"12 345"},
        {{u"Total", u"Amount"}, u"Total Amount"},
        {{u"Total ", u"Amount"}, u"Total Amount"},
        {{u"Total", u" Amount"}, u"Total Amount"},
        {{u"(", u"x", u")"}, u"(x)"},
        {{u"a", u"", u"b"}, u"a b"},
        {{u"\u00C9t\u00E9", u"\u00E0"}, u"\u00C9t\u00E9 \u00E0"},
        {{u"\u041C\u0438\u0440", u"\u0434\u0430"}, u"\u041C\u0438\u0440 \u0434\u0430"},
        {{u"\u6771\u4EAC", u"\u90FD"}, u"\u6771\u4EAC\u90FD"},             // Han
        {{u"\u3072\u3089", u"\u304C\u306A"}, u"\u3072\u3089\u304C\u306A"}, // Hiragana
        {{u"abc", u"\u6771"}, u"abc\u6771"},
        {{u"\u0E2A\u0E27\u0E31", u"\u0E2A\u0E14\u0E35"},
         u"\u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35"}, // Thai
        {{u"\uFF11\uFF12", u"\uFF13"}, u"\uFF11\uFF12\uFF13"},
        {{u"\U0001D400", u"b"}, u"\U0001D400 b"}, // a letter outside the BMP
        {{u"x"}, u"x"},
        {{}, u""},
    };
    for (const auto& c : cases) {
        std::vector<RunSpec> specs;
        for (const auto& t : c.runs)
            specs.push_back({.text = t});
        EXPECT_EQ(itemOf(specs).content(), c.content);
    }
}

TEST(QVExcelStringItemTest, SizesAndRichText) {
    EXPECT_EQ(itemOf({{.text = u"a", .size = 9.0}, {.text = u"b", .size = 9.0}}).maxFontSize(),
              12.0);
    EXPECT_EQ(itemOf({{.text = u"a", .size = 9.0}, {.text = u"b", .size = 14.0}}).maxFontSize(),
              14.0);
    EXPECT_EQ(itemOf({}).maxFontSize(), 12.0);

    EXPECT_TRUE(
        itemOf({{.text = u"a", .size = 10.0}, {.text = u"b", .size = 11.0}}).isAttributeRunText());
    EXPECT_FALSE(itemOf({{.text = u"a"}, {.text = u"b", .bold = true}}).isAttributeRunText());
    EXPECT_TRUE(itemOf({{.text = u"a"}, {.text = u"b"}, {.text = u"c", .color = 0xff0000}})
                    .isAttributeRunText());
    EXPECT_FALSE(itemOf({{.text = u"a", .size = 10.0}}).isAttributeRunText());
    EXPECT_EQ(itemOf({}).runProperty(), nullptr);
    EXPECT_EQ(itemOf({}).lastTextRun(), nullptr);
}

TEST(QVExcelStringItemTest, BoxAndSpansFromTheRuns) {
    auto item = itemOf(
        {{.text = u"a", .rowLength = 1, .x = -50.0, .y = 10.0, .width = 20.0, .height = 10.0},
         {.text = u"b", .columnLength = 2, .x = -20.0, .y = 5.0, .width = 10.0, .height = 10.0}});
    item.calculatStringItemInfo();
    EXPECT_EQ(item.itemInfo().displayX(), -50.0);
    EXPECT_EQ(item.itemInfo().displayY(), 5.0);
    EXPECT_EQ(item.itemInfo().displayWidth(), 40.0);
    EXPECT_EQ(item.itemInfo().displayHeight(), 15.0);
    EXPECT_EQ(item.rowLength(), 1u);
    EXPECT_EQ(item.columnLength(), 2u);
    EXPECT_EQ(item.textWidth(), 30.0);

    QVExcelStringItemInfo info;
    info.setDisplayX(10.5);
    info.setDisplayY(3.49);
    info.setDisplayWidth(7.25);
    EXPECT_EQ(info.textBoxRect(), (platform::Rect{{11.0, 3.0}, {7.25, 0.0}}));
    info.setDisplayX(-10.5);
    EXPECT_EQ(info.textBoxRect().origin.x, -11.0);
}

TEST(QVExcelStringItemTest, ContainsRunsOfItsCell) {
    auto item = itemOf({{.text = u"a", .row = 2, .column = 3}});
    EXPECT_TRUE(item.containRunText(*makeRun({.text = u"b", .row = 2, .column = 3})));
    EXPECT_FALSE(item.containRunText(*makeRun({.text = u"b", .row = 3, .column = 2})));
}

TEST(QVExcelStringItemTest, SharedStringIsRichTextWithTheWordSpace) {
    ManagerScope scope;
    auto item = itemOf({{.text = u"12"}, {.text = u"345", .bold = true}});
    const std::string path = fixtures::makeTestFolder("itemxml") + "/si.xml";
    {
        auto writer = XMLFileWriter::initWithPath(path);
        writer->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
        item.writeXMLWith(*writer);
        QVExcelStringItem empty;
        empty.writeXMLWith(*writer);
        writer->writeEndDocument();
    }
    std::string xml = platform::readFile(path).value_or("");
    EXPECT_NE(xml.find("<t xml:space=\"preserve\">12</t>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<t xml:space=\"preserve\"> 345</t>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<si></si>"), std::string::npos) << xml;
}

TEST(QVExcelStringItemTest, SharedStringStopsAtExcelsCellLength) {
    ManagerScope scope;
    // 32,766 letters, then a character outside the BMP that would straddle
    // the limit, then more runs that no longer fit.
    auto item = itemOf({{.text = std::u16string(32766, u'a') + u"\U0001D400"}, {.text = u"bbb"}});
    const std::string path = fixtures::makeTestFolder("longsi") + "/si.xml";
    {
        auto writer = XMLFileWriter::initWithPath(path);
        writer->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
        item.writeXMLWith(*writer);
        writer->writeEndDocument();
    }
    std::string xml = platform::readFile(path).value_or("");
    const std::string open = "<t xml:space=\"preserve\">";
    size_t start = xml.find(open) + open.size();
    EXPECT_EQ(xml.substr(start, xml.find("</t>", start) - start), std::string(32766, 'a'));
    EXPECT_EQ(xml.find("bbb"), std::string::npos);
    EXPECT_EQ(xml.find("<t", start), std::string::npos);
}

TEST(QVMergedCellTest, ReferencesAndCrossing) {
    EXPECT_EQ(QVMergedCell(QVPointMake(2, 1), QVPointMake(3, 2)).mergerCellInfo(), "A2:B3");
    EXPECT_EQ(QVMergedCell(QVPointMake(1, 1), QVPointMake(1, 3)).mergerCellInfo(), "A1:C1");
    EXPECT_EQ(QVMergedCell(QVPointMake(1, 28), QVPointMake(2, 28)).mergerCellInfo(), "AB1:AB2");
    EXPECT_EQ(QVMergedCell(QVPointMake(1, 0), QVPointMake(2, 1)).mergerCellInfo(), "");
    EXPECT_TRUE(QVMergedCell(QVPointMake(1, 1), QVPointMake(2, 2)) ==
                QVMergedCell(QVPointMake(1, 1), QVPointMake(2, 2)));

    struct Case {
        QVMergedCell a, b;
        bool cross;
    };
    const Case cases[] = {
        {{{1, 1}, {2, 2}}, {{2, 2}, {3, 3}}, true},  // A1:B2, B2:C3
        {{{1, 1}, {2, 2}}, {{1, 3}, {2, 4}}, false}, // A1:B2, C1:D2
        {{{1, 1}, {2, 2}}, {{3, 1}, {4, 2}}, false}, // A1:B2, A3:B4
        {{{1, 1}, {5, 5}}, {{2, 2}, {3, 3}}, true},  // one inside the other
        {{{1, 2}, {5, 2}}, {{2, 1}, {2, 4}}, true},  // a cross
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.a.isCross(c.b), c.cross) << c.a.mergerCellInfo() << " " << c.b.mergerCellInfo();
        EXPECT_EQ(c.b.isCross(c.a), c.cross);
    }
}

} // namespace
