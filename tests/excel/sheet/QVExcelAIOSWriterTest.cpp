// All pages in one worksheet: stacking and side by side, with merging on
// and off, and the sheet that results.

#include "excel/QVExcelPageFixture.h"

#include "excel/sheet/QVExcelAIOSWriter.h"
#include "excel/sheet/QVExcelPage.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace excelfixtures;

struct PageSpec {
    std::vector<RunSpec> runs;
};

/// Lays out the pages in order and collects them; returns the pages (which
/// must outlive the writer's use of their objects).
std::vector<std::unique_ptr<QVExcelPage>> collect(QVExcelAIOSWriter& writer,
                                                  const std::string& folder,
                                                  const std::vector<PageSpec>& pages, bool toRow) {
    std::vector<std::unique_ptr<QVExcelPage>> made;
    for (size_t k = 0; k < pages.size(); ++k) {
        auto page = std::make_unique<QVExcelPage>(k + 1, folder);
        addRuns(*page, pages[k].runs);
        page->layOutSheet();
        if (toRow)
            writer.collectPageXMLToRow(*page);
        else
            writer.collectPageXMLToColumn(*page);
        made.push_back(std::move(page));
    }
    return made;
}

/// cell name -> shared-string index or number, over the collected rows.
std::map<std::string, std::string> cellsOf(const QVExcelAIOSWriter& writer) {
    std::map<std::string, std::string> cells;
    for (const auto& row : writer.sheetRows())
        for (const auto& cell : row->cells()) {
            EXPECT_EQ(cell->rowIndex(), row->rowIndex());
            cells[cellName(*cell)] = cell->cellValue().value_or("?");
        }
    return cells;
}

std::vector<std::string> rangesOf(const QVExcelAIOSWriter& writer) {
    std::vector<std::string> refs;
    for (const auto& range : writer.mergeCells())
        refs.push_back(range.mergerCellInfo());
    return refs;
}

std::map<uint64_t, double> columnWidths(const QVExcelAIOSWriter& writer) {
    std::map<uint64_t, double> widths;
    for (const auto& column : writer.columns())
        widths[column->columnIndex()] = column->frame().size.width;
    return widths;
}

TEST(QVExcelAIOSWriterTest, StackedPages) {
    for (uint64_t option : {0, 1}) {
        ManagerScope scope(option, 0, true, true);
        const std::string folder = makeWorkFolder("stack");
        QVExcelAIOSWriter writer(folder);
        auto pages =
            collect(writer, folder,
                    {{{{.text = u"a1"}, {.text = u"a2", .row = 2}, {.text = u"a3", .row = 3}}},
                     {{{.text = u"b1", .columnLength = 1, .width = 30.0},
                       {.text = u"b2", .row = 2},
                       {.text = u"b2c", .row = 2, .column = 2, .width = 50.0}}}},
                    true);
        EXPECT_EQ(
            cellsOf(writer),
            (std::map<std::string, std::string>{
                {"A1", "0"}, {"A2", "1"}, {"A3", "2"}, {"A4", "3"}, {"A5", "4"}, {"B5", "5"}}))
            << option;
        if (option == 0) {
            EXPECT_EQ(rangesOf(writer), std::vector<std::string>{"A4:B4"});
        }
        // One column 1, as wide as the wider page's.
        auto widths = columnWidths(writer);
        EXPECT_EQ(widths.size(), 2u);
        EXPECT_EQ(widths[1], 40.0);
        EXPECT_EQ(widths[2], 50.0);
    }
}

TEST(QVExcelAIOSWriterTest, StackingWithMergingShiftsPastGapsAndRanges) {
    ManagerScope scope(0, 0, true, true);
    const std::string folder = makeWorkFolder("stackgaps");
    QVExcelAIOSWriter writer(folder);
    // Page 1: rows 1 and 3 (row 2 only blank); a range from row 3 down to row 5.
    auto pages = collect(
        writer, folder,
        {{{{.text = u"a"}, {.text = u"  ", .row = 2}, {.text = u"b", .row = 3, .rowLength = 2}}},
         {{{.text = u"c"}, {.text = u"d", .row = 2}}}},
        true);
    EXPECT_EQ(cellsOf(writer), (std::map<std::string, std::string>{
                                   {"A1", "0"}, {"A3", "1"}, {"A6", "2"}, {"A7", "3"}}));
    EXPECT_EQ(rangesOf(writer), std::vector<std::string>{"A3:A5"});
}

TEST(QVExcelAIOSWriterTest, PagesSideBySide) {
    ManagerScope scope(1, 0, true, false);
    const std::string folder = makeWorkFolder("side");
    QVExcelAIOSWriter writer(folder);
    auto pages = collect(writer, folder,
                         {{{{.text = u"a", .height = 30.0}, {.text = u"b", .column = 2}}},
                          {{{.text = u"c", .height = 50.0},
                            {.text = u"d", .column = 3},
                            {.text = u"e", .row = 2, .column = 2},
                            {.text = u"f", .row = 3}}}},
                         false);
    EXPECT_EQ(cellsOf(writer),
              (std::map<std::string, std::string>{
                  {"A1", "0"}, {"B1", "1"}, {"C1", "2"}, {"E1", "3"}, {"D2", "4"}, {"C3", "5"}}));
    // Row 1 is shared: page 1's cells, then page 2's, as tall as the taller.
    ASSERT_GE(writer.sheetRows().size(), 1u);
    const auto& first = writer.sheetRows()[0];
    EXPECT_EQ(first->rowIndex(), 1u);
    EXPECT_EQ(first->cells().size(), 4u);
    EXPECT_EQ(first->frame().size.height, 50.0);
    EXPECT_EQ(writer.sheetRows().size(), 3u);
    EXPECT_EQ(columnWidths(writer).size(), 5u);
}

TEST(QVExcelAIOSWriterTest, SideBySideWithMergingShiftsPastRanges) {
    ManagerScope scope(0, 0, true, false);
    const std::string folder = makeWorkFolder("sidegaps");
    QVExcelAIOSWriter writer(folder);
    // Page 1 has rows 1 and 3 only and a range reaching into column 3; page 2
    // has rows 1 and 2, so its row 2 is new and stands between 1 and 3.
    auto pages = collect(writer, folder,
                         {{{{.text = u"a", .columnLength = 2}, {.text = u"b", .row = 3}}},
                          {{{.text = u"c"}, {.text = u"d", .row = 2}}}},
                         false);
    EXPECT_EQ(cellsOf(writer), (std::map<std::string, std::string>{
                                   {"A1", "0"}, {"A3", "1"}, {"D1", "2"}, {"D2", "3"}}));
    EXPECT_EQ(rangesOf(writer), std::vector<std::string>{"A1:C1"});

    auto written = writer.writeSheetXML(true);
    ASSERT_EQ(written, std::vector<std::string>{folder + "/xl/worksheets/sheet1.xml"});
    std::vector<uint64_t> rows;
    for (const auto& row : writer.sheetRows())
        rows.push_back(row->rowIndex());
    EXPECT_EQ(rows, (std::vector<uint64_t>{1, 2, 3}));
    const std::string xml = platform::readFile(written[0]).value_or("");
    EXPECT_LT(xml.find("<row r=\"2\""), xml.find("<row r=\"3\"")) << xml;
    EXPECT_LT(xml.find("<col min=\"1\""), xml.find("<col min=\"4\"")) << xml;
    EXPECT_NE(xml.find("tabSelected=\"1\""), std::string::npos);
}

TEST(QVExcelAIOSWriterTest, EmptyPagesLeaveAnEmptySheet) {
    ManagerScope scope(0, 0, true, true);
    const std::string folder = makeWorkFolder("aiosempty");
    QVExcelAIOSWriter writer(folder);
    auto pages = collect(writer, folder, {{{{.text = u" "}}}, {}}, true);
    EXPECT_TRUE(writer.sheetRows().empty());
    EXPECT_EQ(writer.sheetCount(), 1u);
    auto written = writer.writeSheetXML(true);
    ASSERT_EQ(written.size(), 1u);
    const std::string xml = platform::readFile(written[0]).value_or("");
    EXPECT_NE(xml.find("<sheetData/>"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("<cols"), std::string::npos);
    EXPECT_EQ(xml.find("<mergeCells"), std::string::npos);
}

TEST(QVExcelAIOSWriterTest, ColumnsBeyondExcelsLimitGoToAFurtherSheet) {
    ManagerScope scope(1, 0, true, false);
    const std::string folder = makeWorkFolder("aioslimit");
    QVExcelAIOSWriter writer(folder);
    // Two pages of 9,000 columns each, side by side: 18,000 columns.
    std::vector<PageSpec> pages(2);
    for (auto& page : pages)
        for (uint64_t c = 1; c <= 9000; ++c)
            page.runs.push_back({.text = u"v", .column = c});
    auto made = collect(writer, folder, pages, false);
    EXPECT_EQ(writer.sheetCount(), 2u);
    auto written = writer.writeSheetXML(true);
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[1], folder + "/xl/worksheets/sheet2.xml");
    const std::string first = platform::readFile(written[0]).value_or("");
    const std::string second = platform::readFile(written[1]).value_or("");
    EXPECT_NE(first.find("<c r=\"XFD1\""), std::string::npos);
    EXPECT_EQ(first.find("<c r=\"XFE1\""), std::string::npos);
    EXPECT_NE(second.find("<c r=\"A1\""), std::string::npos);
    EXPECT_NE(second.find("<c r=\"BJD1\""), std::string::npos); // column 18,000 - 16,384 = 1,616
    EXPECT_EQ(second.find("tabSelected"), std::string::npos);
}

TEST(QVExcelAIOSWriterTest, RowsBeyondTheLimitGoToAFurtherSheet) {
    ManagerScope scope(0, 0, true, true);
    const std::string folder = makeWorkFolder("aiosrows");
    QVExcelAIOSWriter writer(folder);
    writer.setSheetLimits(4, 16384);
    auto pages = collect(writer, folder,
                         {{{{.text = u"a"}, {.text = u"b", .row = 2}, {.text = u"c", .row = 3}}},
                          {{{.text = u"d", .rowLength = 1}, {.text = u"e", .row = 3}}}},
                         true);
    // d stands in row 4 with a range down to row 5, which is cut at the sheet's end.
    EXPECT_EQ(writer.sheetCount(), 2u);
    auto written = writer.writeSheetXML(true);
    ASSERT_EQ(written.size(), 2u);
    const std::string first = platform::readFile(written[0]).value_or("");
    const std::string second = platform::readFile(written[1]).value_or("");
    EXPECT_NE(first.find("<c r=\"A4\""), std::string::npos) << first;
    EXPECT_EQ(first.find("mergeCell"), std::string::npos) << first;
    EXPECT_NE(second.find("<c r=\"A2\""), std::string::npos) << second; // e: row 6
}

} // namespace
