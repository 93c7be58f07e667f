// Whole workbooks and tab-separated page files made by the workbook writer
// with the real page models, read back by the package checker, openpyxl,
// Python's csv reader and LibreOffice. Most pages hold runs placed by hand,
// so they are laid out as placed (no table analysis); the standard factory
// itself is used where the analysis gives the same grid.

#include "excel/QVExcelPageFixture.h"

#include "excel/sheet/QVExcelAIOSWriter.h"
#include "excel/sheet/QVExcelPage.h"
#include "excel/sheet/QVExcelStandardPageFactory.h"
#include "excel/workbook/QVExcelWriter.h"
#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace excelfixtures;

using Pages = std::vector<std::vector<RunSpec>>;

/// A page whose runs carry their grid positions already.
class PlacedPage : public QVExcelPage {
public:
    using QVExcelPage::QVExcelPage;
    void creatSheet() override { layOutSheet(); }
    std::optional<std::u16string> creatCSV() override { return csvText(); }
};

class PlacedPageFactory : public QVExcelStandardPageFactory {
public:
    std::shared_ptr<QVExcelSheetPage> makePage(uint64_t pageNumber,
                                               const std::string& rootFolder) override {
        return std::make_shared<PlacedPage>(pageNumber, rootFolder);
    }
};

struct Options {
    uint64_t formatOption = 0;
    bool allInOneSheet = false;
    bool addToRow = false;
};

class QVExcelStandardPageFactoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fixtures::makeTestFolder(
            "pagefactory-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        // Work folders go below $TMPDIR: keep them inside the test's folder.
        const char* home = std::getenv("TMPDIR");
        savedHome_ = home ? home : "";
        ::setenv("TMPDIR", folder_.c_str(), 1);
        fixtures::PdfBuilder b;
        b.addTextPage({{72, 720, 12, "x"}});
        document_ = platform::PdfDocument::openFromMemory(b.build(), "doc.pdf");
        QVExcelManager::destory();
    }
    void TearDown() override {
        ::setenv("TMPDIR", savedHome_.c_str(), 1);
        QVExcelManager::destory();
    }

    /// Converts one document the way the exporter drives the writer: the
    /// runs of each page go into the writer's current page.
    std::string convert(const std::string& name, QVExcelWriter::Format format, const Pages& pages,
                        Options o = {}, bool placed = true) {
        auto options = std::make_shared<QVExcelOptions>();
        options->setExcelFormatOption(o.formatOption);
        options->setAllInOneSheet(o.allInOneSheet);
        options->setAiosAddToRow(o.addToRow);
        QVExcelManager::sharedInstance()->setOptions(options);
        QVExcelManager::reset();
        const std::string output = folder_ + "/" + name;
        std::shared_ptr<QVExcelPageFactory> factory =
            placed ? std::make_shared<PlacedPageFactory>()
                   : std::make_shared<QVExcelStandardPageFactory>();
        QVExcelWriter writer(output, int64_t(pages.size()), format, factory);
        writer.setClock([] { return std::chrono::system_clock::from_time_t(1709647629); });
        writer.begainWriteDocument();
        for (const auto& runs : pages) {
            writer.begainWritePage({612, 792});
            auto page = std::dynamic_pointer_cast<QVExcelPage>(writer.currentPage());
            EXPECT_TRUE(page);
            if (page)
                addRuns(*page, runs);
            writer.endWritePage();
        }
        EXPECT_TRUE(writer.packetExcelFile(document_.get())) << writer.failureReason();
        QVExcelManager::destory();
        return output;
    }

    static void expectSound(const std::string& book) {
        auto check = fixtures::checkPackage(book);
        EXPECT_TRUE(check.ok()) << check.output;
    }

    /// openpyxl's view of every sheet: "Sheet 1!A1=value(type)[format]" lines,
    /// then the merged ranges.
    static std::string read(const std::string& book) {
        auto r = fixtures::runPython(R"PY(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
for ws in wb:
    for row in ws.iter_rows():
        for c in row:
            if c.value is None:
                continue
            fmt = '' if c.number_format == 'General' else '[' + c.number_format + ']'
            print('%s!%s=%r%s' % (ws.title, c.coordinate, c.value, fmt))
    for m in sorted(str(m) for m in ws.merged_cells.ranges):
        print('%s!merge %s' % (ws.title, m))
)PY",
                                     {book});
        EXPECT_TRUE(r.ok()) << r.output;
        return r.output;
    }

    std::string folder_;
    std::string savedHome_;
    std::unique_ptr<platform::PdfDocument> document_;
};

const Pages kReport = {
    {{.text = u"Quarterly report", .columnLength = 1, .size = 16.0, .bold = true},
     {.text = u"Region", .row = 2},
     {.text = u"Revenue", .row = 2, .column = 2},
     {.text = u"North", .row = 3},
     {.text = u"1,234.50", .row = 3, .column = 2},
     {.text = u"South", .row = 4},
     {.text = u"(12)", .row = 4, .column = 2},
     {.text = u"Total", .row = 5, .color = 0xc00000},
     {.text = u"sum", .row = 5},
     {.text = u"12.5%", .row = 5, .column = 2}},
    {{.text = u"Notes"},
     {.text = u"$1,000", .column = 3},
     {.text = u"007", .row = 2},
     {.text = u"5 \u20AC", .row = 2, .column = 3},
     {.text = u"\u00A5300", .row = 3, .column = 3}},
};

TEST_F(QVExcelStandardPageFactoryTest, PagesBecomeASoundWorkbook) {
    const std::string book = convert("Report.xlsx", QVExcelWriter::Format::Xlsx, kReport);
    expectSound(book);
    EXPECT_EQ(read(book), "Sheet 1!A1='Quarterly report'\n"
                          "Sheet 1!A2='Region'\n"
                          "Sheet 1!B2='Revenue'\n"
                          "Sheet 1!A3='North'\n"
                          "Sheet 1!B3=1234.5[#,##0.00]\n"
                          "Sheet 1!A4='South'\n"
                          "Sheet 1!B4=-12[0;(0)]\n"
                          "Sheet 1!A5='Total sum'\n"
                          "Sheet 1!B5=0.125[0.0%]\n"
                          "Sheet 1!merge A1:B1\n"
                          "Sheet 2!A1='Notes'\n"
                          "Sheet 2!C1=1000[$#,##0]\n"
                          "Sheet 2!A2='007'\n"
                          "Sheet 2!C2=5[#,##0\\ \u20AC]\n"
                          "Sheet 2!C3=300[\u00A5#,##0]\n");
}

TEST_F(QVExcelStandardPageFactoryTest, LibreOfficeReadsTheValues) {
    const std::string book = convert("Report.xlsx", QVExcelWriter::Format::Xlsx, kReport);
    const std::string out = folder_ + "/lo";
    auto lo = fixtures::runCommand(
        "cd " + fixtures::shellQuote(folder_) + " && soffice --headless " +
        "-env:UserInstallation=file://" + folder_ + "/lo-profile " +
        "--convert-to 'csv:Text - txt - csv "
        "(StarCalc):44,34,76,1,,0,false,true,true,false,false,-1' " +
        "--outdir " + fixtures::shellQuote(out) + " " + fixtures::shellQuote(book));
    ASSERT_TRUE(lo.ok()) << lo.output;
    EXPECT_EQ(platform::readFile(out + "/Report-Sheet 1.csv").value_or("missing"),
              "Quarterly report,\nRegion,Revenue\nNorth,\"1,234.50\"\nSouth,(12)\n"
              "Total sum,12.5%\n");
    EXPECT_EQ(platform::readFile(out + "/Report-Sheet 2.csv").value_or("missing"),
              "Notes,,\"$1,000\"\n007,,5 \u20AC\n,,\u00A5"
              "300\n");
}

TEST_F(QVExcelStandardPageFactoryTest, AllPagesInOneSheet) {
    // Page 1 has a gap at row 3 (only blank text) and, with merging on, a
    // range reaching into column 3; page 2 is a plain 2 x 2 grid.
    const Pages pages = {
        {{.text = u"a", .columnLength = 2}, {.text = u" ", .row = 3}, {.text = u"b", .row = 4}},
        {{.text = u"c"}, {.text = u"d", .column = 2}, {.text = u"e", .row = 2}},
    };
    struct Case {
        Options options;
        const char* cells;
    };
    const Case cases[] = {
        // Stacked, merging on: page 2 starts below row 4.
        {{0, true, true}, "A1='a'\nA4='b'\nA5='c'\nB5='d'\nA6='e'\nmerge A1:C1\n"},
        // Stacked, merging off: rows closed up, page 2 below row 2.
        {{1, true, true}, "A1='a'\nA2='b'\nA3='c'\nB3='d'\nA4='e'\n"},
        // Side by side, merging on: page 2 starts right of the range's column 3.
        {{0, true, false}, "A1='a'\nD1='c'\nE1='d'\nD2='e'\nA4='b'\nmerge A1:C1\n"},
        // Side by side, merging off: page 2 starts at column 2.
        {{1, true, false}, "A1='a'\nB1='c'\nC1='d'\nA2='b'\nB2='e'\n"},
    };
    for (const auto& c : cases) {
        const std::string book = convert("One.xlsx", QVExcelWriter::Format::Xlsx, pages, c.options);
        expectSound(book);
        std::string cells = read(book);
        std::string expected;
        for (std::string_view rest = c.cells; !rest.empty();) {
            size_t end = rest.find('\n');
            expected += "Sheet 1!" + std::string(rest.substr(0, end + 1));
            rest.remove_prefix(end + 1);
        }
        EXPECT_EQ(cells, expected) << c.options.formatOption << " " << c.options.addToRow;
    }
}

TEST_F(QVExcelStandardPageFactoryTest, GridBeyondExcelsColumnsGoesOnInASecondSheet) {
    Pages pages(2);
    for (auto& page : pages)
        for (uint64_t c = 1; c <= 8200; ++c)
            page.push_back({.text = u"7", .column = c});
    const std::string book =
        convert("Wide.xlsx", QVExcelWriter::Format::Xlsx, pages, {1, true, false}, false);
    expectSound(book);
    auto r = fixtures::runPython(R"PY(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
print(wb.sheetnames, [ws.max_column for ws in wb])
)PY",
                                 {book});
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(r.output, "['Sheet 1', 'Sheet 2'] [16384, 16]\n");
}

TEST_F(QVExcelStandardPageFactoryTest, DocumentsOneAfterTheOtherShareNothing) {
    const std::string first =
        convert("First.xlsx", QVExcelWriter::Format::Xlsx,
                {{{.text = u"alpha", .font = "FirstFont"}, {.text = u"1,234.567", .column = 2}}});
    const std::string second = convert("Second.xlsx", QVExcelWriter::Format::Xlsx,
                                       {{{.text = u"beta", .font = "SecondFont"}}});
    expectSound(first);
    expectSound(second);
    auto r = fixtures::runPython(R"PY(
import sys, zipfile
for book in sys.argv[1:]:
    z = zipfile.ZipFile(book)
    styles = z.read('xl/styles.xml').decode()
    sheet = z.read('xl/worksheets/sheet1.xml').decode()
    print('FirstFont' in styles, 'SecondFont' in styles, '#,##0.000' in styles,
          sheet.count('<v>0</v>'), z.read('xl/sharedStrings.xml').decode().count('<si>'))
)PY",
                                 {first, second});
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(r.output, "True False True 1 1\nFalse True False 1 1\n");
}

TEST_F(QVExcelStandardPageFactoryTest, TabSeparatedPageFiles) {
    const Pages pages = {
        {{.text = u"Name"},
         {.text = u"1,234.50", .column = 3},
         {.text = u"say \"hi\"", .row = 2, .column = 2},
         {.text = u"a\tb", .row = 3},
         {.text = u"\u6771\u4EAC", .row = 3, .column = 2},
         {.text = u"\u90FD", .row = 3, .column = 2}},
        {{.text = u"   "}},
        {{.text = u"x", .column = 2}},
    };
    const std::string out = convert("Pages", QVExcelWriter::Format::Csv, pages);
    EXPECT_TRUE(platform::pathExists(out + "/Table 1.csv"));
    EXPECT_FALSE(platform::pathExists(out + "/Table 2.csv"));
    auto r = fixtures::runPython(R"PY(
import sys, csv
for path in sys.argv[1:]:
    raw = open(path, 'rb').read()
    print(raw[:2] == b'\xff\xfe', list(csv.reader(raw[2:].decode('utf-16-le').split('\n')[:-1], delimiter='\t')))
)PY",
                                 {out + "/Table 1.csv", out + "/Table 3.csv"});
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(r.output, "True [['Name', '', '1,234.50'], ['', 'say \"hi\"'], ['a\\tb', "
                        "'\xE6\x9D\xB1\xE4\xBA\xAC\xE9\x83\xBD']]\n"
                        "True [['', 'x']]\n");
}

} // namespace
