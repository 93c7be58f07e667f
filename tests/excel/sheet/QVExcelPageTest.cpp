// Laying out one page as a worksheet and as tab-separated text, from runs
// that already carry their grid position.

#include "excel/QVExcelPageFixture.h"

#include "excel/sheet/QVExcelPage.h"
#include "writer/XMLFileWriter.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace excelfixtures;

/// cell name -> value ("s:<index>" for text, "n:<value>" for numbers).
std::map<std::string, std::string> cellsOf(QVExcelPage& page) {
    std::map<std::string, std::string> cells;
    for (const auto& row : page.sheetRows())
        for (const auto& cell : row->cells())
            cells[cellName(*cell)] = cell->dataType() + ":" + cell->cellValue().value_or("?");
    return cells;
}

std::vector<std::string> rangesOf(QVExcelPage& page) {
    std::vector<std::string> refs;
    for (const auto& range : page.mergeCells())
        refs.push_back(range.mergerCellInfo());
    return refs;
}

std::string readFile(const std::string& path) {
    return platform::readFile(path).value_or("");
}

TEST(QVExcelPageTest, CellsValuesAndSharedStringIndexes) {
    struct Case {
        const char* what;
        uint64_t option;
        std::vector<RunSpec> runs;
        std::map<std::string, std::string> cells;
        std::vector<std::u16string> sharedStrings;
    };
    const Case cases[] = {
        {"text and numbers",
         0,
         {{.text = u"Name"},
          {.text = u"1,234.50", .column = 2},
          {.text = u"Total", .row = 2},
          {.text = u"(12)", .row = 2, .column = 2}},
         {{"A1", "s:0"}, {"B1", "n:1234.50"}, {"A2", "s:1"}, {"B2", "n:-12"}},
         {u"Name", u"Total"}},
        {"a number split over two runs stays text",
         0,
         {{.text = u"12"}, {.text = u"34"}},
         {{"A1", "s:0"}},
         {u"12 34"}},
        {"no numbers with format option 2", 2, {{.text = u"42"}}, {{"A1", "s:0"}}, {u"42"}},
        {"blank runs make no cell",
         0,
         {{.text = u"   "}, {.text = u"", .column = 2}, {.text = u"x", .row = 2}},
         {{"A2", "s:0"}},
         {u"x"}},
        {"blanks beside a cell's text and at its edges are no part of it",
         0,
         {{.text = u" a "}, {.text = u" "}, {.text = u"12 ", .row = 2}, {.text = u"  ", .row = 2}},
         {{"A1", "s:0"}, {"A2", "n:12"}},
         {u"a"}},
        {"runs without a grid position take no part",
         0,
         {{.text = u"lost", .row = 0, .column = 0}, {.text = u"kept"}},
         {{"A1", "s:0"}},
         {u"kept"}},
        {"thousands separator from the options",
         1,
         {{.text = u"1.234,5"}},
         {{"A1", "s:0"}},
         {u"1.234,5"}},
    };
    for (const auto& c : cases) {
        ManagerScope scope(c.option);
        QVExcelPage page(1, makeWorkFolder("cells"));
        addRuns(page, c.runs);
        page.layOutSheet();
        EXPECT_EQ(cellsOf(page), c.cells) << c.what;
        std::vector<std::u16string> strings;
        for (const auto& item : page.stringItems())
            strings.push_back(item->content());
        EXPECT_EQ(strings, c.sharedStrings) << c.what;
        EXPECT_EQ(scope.manager().amountOfStringItems(), c.sharedStrings.size()) << c.what;
    }
}

TEST(QVExcelPageTest, DotSeparatorDocumentReadsDotGroupedNumbers) {
    ManagerScope scope(0, 1);
    QVExcelPage page(1, makeWorkFolder("dot"));
    addRuns(page, {{.text = u"1.234,5"}});
    page.layOutSheet();
    EXPECT_EQ(cellsOf(page), (std::map<std::string, std::string>{{"A1", "n:1234.5"}}));
}

TEST(QVExcelPageTest, SharedStringIndexesRunOnAcrossPages) {
    ManagerScope scope;
    QVExcelPage first(1, makeWorkFolder("pages"));
    addRuns(first, {{.text = u"a"}, {.text = u"5", .column = 2}, {.text = u"b", .row = 2}});
    first.layOutSheet();
    QVExcelPage second(2, makeWorkFolder("pages"));
    addRuns(second, {{.text = u"c"}});
    second.layOutSheet();
    EXPECT_EQ(cellsOf(first),
              (std::map<std::string, std::string>{{"A1", "s:0"}, {"B1", "n:5"}, {"A2", "s:1"}}));
    EXPECT_EQ(cellsOf(second), (std::map<std::string, std::string>{{"A1", "s:2"}}));
}

TEST(QVExcelPageTest, RowAndColumnNumbersKeepGapsOnlyWhenMerging) {
    for (uint64_t option : {0, 1}) {
        ManagerScope scope(option);
        QVExcelPage page(1, makeWorkFolder("gaps"));
        addRuns(page, {{.text = u"r1"},
                       {.text = u"r2", .row = 2},
                       {.text = u"  ", .row = 3},
                       {.text = u"r4", .row = 4, .column = 3}});
        page.layOutSheet();
        const std::map<std::string, std::string> merged{
            {"A1", "s:0"}, {"A2", "s:1"}, {"C4", "s:2"}};
        const std::map<std::string, std::string> closed{
            {"A1", "s:0"}, {"A2", "s:1"}, {"B3", "s:2"}};
        EXPECT_EQ(cellsOf(page), option == 0 ? merged : closed);
    }
}

TEST(QVExcelPageTest, MergedRangesNeverOverlapNorCoverValues) {
    struct Case {
        const char* what;
        std::vector<RunSpec> runs;
        std::vector<std::string> ranges;
    };
    const Case cases[] = {
        {"one spanning item",
         {{.text = u"x", .row = 2, .column = 2, .rowLength = 1, .columnLength = 1}},
         {"B2:C3"}},
        {"a value in the span's row stops it",
         {{.text = u"a", .columnLength = 3}, {.text = u"b", .column = 3}},
         {"A1:B1"}},
        {"a value right next to it removes the span",
         {{.text = u"a", .columnLength = 2}, {.text = u"b", .column = 2}},
         {}},
        {"a value below limits the rows",
         {{.text = u"a", .rowLength = 2, .columnLength = 1}, {.text = u"b", .row = 3, .column = 2}},
         {"A1:B2"}},
        {"a value inside the rectangle keeps the first row",
         {{.text = u"a", .rowLength = 1, .columnLength = 1}, {.text = u"b", .row = 2, .column = 2}},
         {"A1:B1"}},
        {"a later range stops before an earlier one",
         {{.text = u"a", .row = 1, .column = 2, .rowLength = 2},
          {.text = u"b", .row = 2, .column = 1, .columnLength = 2}},
         {"B1:B3"}},
        {"diagonal neighbours keep both ranges",
         {{.text = u"a", .rowLength = 1, .columnLength = 1},
          {.text = u"b", .row = 3, .column = 3, .rowLength = 1, .columnLength = 1}},
         {"A1:B2", "C3:D4"}},
    };
    for (const auto& c : cases) {
        ManagerScope scope(0);
        QVExcelPage page(1, makeWorkFolder("merge"));
        addRuns(page, c.runs);
        page.layOutSheet();
        EXPECT_EQ(rangesOf(page), c.ranges) << c.what;
        // The item's spans follow its range.
        const auto& first = page.sheetRows().front()->cells().front()->stringItem();
        if (c.ranges.empty()) {
            EXPECT_EQ(first->columnLength() + first->rowLength(), 0u) << c.what;
        }
    }
    // Without merging there are no ranges at all.
    ManagerScope scope(1);
    QVExcelPage page(1, makeWorkFolder("merge"));
    addRuns(page, {{.text = u"x", .rowLength = 1, .columnLength = 1}});
    page.layOutSheet();
    EXPECT_TRUE(page.mergeCells().empty());
}

TEST(QVExcelPageTest, CellsOfARowStandInColumnOrder) {
    ManagerScope scope;
    QVExcelPage page(1, makeWorkFolder("order"));
    addRuns(
        page,
        {{.text = u"c", .column = 3}, {.text = u"a", .column = 1}, {.text = u"b", .column = 2}});
    page.layOutSheet();
    ASSERT_EQ(page.sheetRows().size(), 1u);
    std::vector<std::string> names;
    for (const auto& cell : page.sheetRows()[0]->cells())
        names.push_back(cellName(*cell));
    EXPECT_EQ(names, (std::vector<std::string>{"A1", "B1", "C1"}));
    // Shared strings keep the items' order.
    EXPECT_EQ(page.stringItems().front()->content(), u"c");
}

TEST(QVExcelPageTest, RowHeightsAndColumnWidths) {
    struct Case {
        const char* what;
        uint64_t option;
        std::vector<RunSpec> runs;
        std::vector<std::string> heights; // per row
        std::vector<std::string> widths;  // per column
    };
    const Case cases[] = {
        {"10 high and 60 wide",
         0,
         {{.text = u"a", .width = 60.0, .height = 10.0}},
         {"14.85"},
         {"22"}},
        {"default row height",
         1,
         {{.text = u"a", .width = 60.0, .height = 10.0}},
         {"13.5"},
         {"22"}},
        {"20 high, narrow", 0, {{.text = u"a", .width = 5.0, .height = 20.0}}, {"22.00"}, {"7"}},
        {"large text narrows unmerged columns",
         1,
         {{.text = u"a", .size = 24.0, .width = 120.0}},
         {"13.5"},
         {"22"}}, // 120 * 12/24 = 60
        {"never below 20 points after narrowing",
         1,
         {{.text = u"a", .size = 48.0, .width = 60.0}},
         {"13.5"},
         {"7"}},
        {"all items of a row and a column span",
         0,
         {{.text = u"a", .rowLength = 1, .columnLength = 1, .width = 300.0, .height = 100.0}},
         {"14.85"},
         {"7"}},
        {"tall rows are kept within Excel's limit",
         0,
         {{.text = u"a", .height = 1000.0}},
         {"409.00"},
         {"15"}},
        {"wide columns are kept within Excel's limit",
         0,
         {{.text = u"a", .width = 5000.0}},
         {"14.85"},
         {"255"}},
    };
    for (const auto& c : cases) {
        ManagerScope scope(c.option);
        QVExcelPage page(1, makeWorkFolder("sizes"));
        addRuns(page, c.runs);
        page.layOutSheet();
        std::vector<std::string> heights, widths;
        for (const auto& row : page.sheetRows())
            heights.push_back(row->heightText(scope.manager().isNeedDefaultRowHeight()));
        for (const auto& column : page.columns())
            widths.push_back(column->widthText());
        EXPECT_EQ(heights, c.heights) << c.what;
        EXPECT_EQ(widths, c.widths) << c.what;
    }
}

TEST(QVExcelPageTest, WorksheetPartLayout) {
    ManagerScope scope(0);
    const std::string folder = makeWorkFolder("sheetxml");
    QVExcelPage page(1, folder);
    addRuns(page, {{.text = u"Title", .columnLength = 1, .width = 140.0, .height = 10.0},
                   {.text = u"7", .row = 2, .column = 2, .width = 20.0, .height = 10.0}});
    page.layOutSheet();
    auto written = page.writeSheetXML(true);
    ASSERT_EQ(written, std::vector<std::string>{folder + "/xl/worksheets/sheet1.xml"});
    const std::string xml = readFile(written[0]);
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
        "<worksheet "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">\n"
        "\t<sheetViews>\n"
        "\t\t<sheetView tabSelected=\"1\" workbookViewId=\"0\">\n"
        "\t\t\t<selection activeCell=\"A1\" sqref=\"A1\"/>\n"
        "\t\t</sheetView>\n"
        "\t</sheetViews>\n"
        "\t<sheetFormatPr defaultRowHeight=\"18.000000\" defaultColWidth=\"15.000000\"/>\n"
        "\t<cols>\n"
        "\t\t<col min=\"1\" max=\"1\" width=\"7\" customWidth=\"1\"/>\n"
        "\t\t<col min=\"2\" max=\"2\" width=\"7\" customWidth=\"1\"/>\n"
        "\t</cols>\n"
        "\t<sheetData>\n"
        "\t\t<row r=\"1\" spans=\"1:1\" ht=\"14.85\" customHeight=\"1\">\n"
        "\t\t\t<c r=\"A1\" s=\"1\" t=\"s\">\n"
        "\t\t\t\t<v>0</v>\n"
        "\t\t\t</c>\n"
        "\t\t</row>\n"
        "\t\t<row r=\"2\" spans=\"1:1\" ht=\"14.85\" customHeight=\"1\">\n"
        "\t\t\t<c r=\"B2\" s=\"1\" t=\"n\">\n"
        "\t\t\t\t<v>7</v>\n"
        "\t\t\t</c>\n"
        "\t\t</row>\n"
        "\t</sheetData>\n"
        "\t<mergeCells>\n"
        "\t\t<mergeCell ref=\"A1:B1\"/>\n"
        "\t</mergeCells>\n"
        "\t<pageMargins left=\"0\" right=\"0\" top=\"0\" bottom=\"0\" header=\"0\" "
        "footer=\"0\"></pageMargins>\n"
        "</worksheet>";
    EXPECT_EQ(xml, expected);

    // Only the workbook's first sheet is the selected tab.
    QVExcelPage second(2, folder);
    addRuns(second, {{.text = u"x"}});
    second.layOutSheet();
    ASSERT_EQ(second.writeSheetXML(false).size(), 1u);
    EXPECT_EQ(readFile(folder + "/xl/worksheets/sheet2.xml").find("tabSelected"),
              std::string::npos);
}

TEST(QVExcelPageTest, EmptyPageHasAnEmptySheet) {
    ManagerScope scope;
    const std::string folder = makeWorkFolder("emptysheet");
    QVExcelPage page(1, folder);
    addRuns(page, {{.text = u"   "}});
    page.layOutSheet();
    EXPECT_TRUE(page.stringItems().empty());
    ASSERT_EQ(page.writeSheetXML(true).size(), 1u);
    const std::string xml = readFile(page.sheetXMLPath());
    EXPECT_NE(xml.find("<sheetData/>"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("<cols"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("<mergeCells"), std::string::npos) << xml;
    EXPECT_FALSE(page.csvText());
}

TEST(QVExcelPageTest, NoWorksheetWithoutItsFolder) {
    ManagerScope scope;
    // A work folder of another kind gets no xl folders, so nothing can be written.
    const std::string folder = fixtures::makeTestFolder("nofolder") + "/book.csv";
    QVExcelPage page(1, folder);
    addRuns(page, {{.text = u"x"}});
    page.layOutSheet();
    EXPECT_TRUE(page.writeSheetXML(true).empty());
    EXPECT_FALSE(platform::pathExists(folder + "/xl"));
}

TEST(QVExcelPageTest, GridBeyondTheLimitsGoesOnInFurtherParts) {
    ManagerScope scope(0);
    const std::string folder = makeWorkFolder("limits");
    QVExcelPage page(3, folder);
    page.setSheetLimits(2, 2);
    addRuns(page, {{.text = u"a"},
                   {.text = u"b", .column = 3, .columnLength = 1},
                   {.text = u"c", .row = 3, .column = 2, .rowLength = 1}});
    page.layOutSheet();
    EXPECT_EQ(page.sheetCount(), 3u);
    auto written = page.writeSheetXML(true);
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[0], folder + "/xl/worksheets/sheet3.xml");
    EXPECT_EQ(written[1], folder + "/xl/worksheets/sheet3_2.xml");
    EXPECT_EQ(written[2], folder + "/xl/worksheets/sheet3_3.xml");
    std::string first = readFile(written[0]);
    std::string second = readFile(written[1]);
    std::string third = readFile(written[2]);
    EXPECT_NE(first.find("<c r=\"A1\""), std::string::npos) << first;
    EXPECT_EQ(first.find("mergeCell"), std::string::npos) << first;
    // b: row 1, column 3 -> second block of columns, A1, its range B1 cut at the edge.
    EXPECT_NE(second.find("<c r=\"A1\""), std::string::npos) << second;
    EXPECT_NE(second.find("<mergeCell ref=\"A1:B1\"/>"), std::string::npos) << second;
    // c: row 3, column 2 -> second block of rows, B1, range B1:B2.
    EXPECT_NE(third.find("<c r=\"B1\""), std::string::npos) << third;
    EXPECT_NE(third.find("<mergeCell ref=\"B1:B2\"/>"), std::string::npos) << third;
}

TEST(QVExcelPageTest, TabSeparatedText) {
    struct Case {
        const char* what;
        std::vector<RunSpec> runs;
        std::u16string text;
    };
    const Case cases[] = {
        {"cells placed by column",
         {{.text = u"Name"}, {.text = u"42", .column = 3}},
         u"Name\t\t42\n"},
        {"a row starting in column 2", {{.text = u"x", .column = 2}}, u"\tx\n"},
        {"a blank row stays an empty line",
         {{.text = u"a"}, {.text = u"  ", .row = 2}, {.text = u"b", .row = 3}},
         u"a\n\nb\n"},
        {"cells out of column order are separated",
         {{.text = u"b", .column = 2}, {.text = u"a", .column = 1}},
         u"a\tb\n"},
        {"comma", {{.text = u"1,234.50"}}, u"\"1,234.50\"\n"},
        {"semicolon", {{.text = u"a;b"}}, u"\"a;b\"\n"},
        {"quotation mark", {{.text = u"say \"hi\""}}, u"\"say \"\"hi\"\"\"\n"},
        {"comma and quotation mark", {{.text = u"a,\"b\""}}, u"\"a,\"\"b\"\"\"\n"},
        {"tab", {{.text = u"a\tb"}}, u"\"a\tb\"\n"},
        {"line feed", {{.text = u"a\nb"}}, u"\"a\nb\"\n"},
        {"carriage return", {{.text = u"a\rb"}}, u"\"a\rb\"\n"},
        {"runs of one cell keep their words apart",
         {{.text = u"Total"}, {.text = u"Amount"}},
         u"Total Amount\n"},
        {"numbers keep their page text", {{.text = u"12.50"}}, u"12.50\n"},
    };
    for (const auto& c : cases) {
        ManagerScope scope;
        QVExcelPage page(1, fixtures::makeTestFolder("csv") + "/out");
        addRuns(page, c.runs);
        auto text = page.csvText(); // the runs carry their grid positions already
        ASSERT_TRUE(text) << c.what;
        EXPECT_EQ(*text, c.text) << c.what;
        EXPECT_TRUE(page.stringItems().empty()) << c.what;
    }
}

TEST(QVExcelPageTest, ContainString) {
    EXPECT_TRUE(QVExcelPage::string(u"Table 3", u"e 3"));
    EXPECT_FALSE(QVExcelPage::string(u"Table", u"table"));
}

} // namespace
