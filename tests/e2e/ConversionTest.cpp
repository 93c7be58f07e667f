// Whole conversions to xlsx and csv: through the driver in process and through
// the corvala command, read back by openpyxl, Python's csv reader, LibreOffice
// and the package checker; the acceptance corpus's must-pass tables; and real
// PDFs whose words must match pdftotext's.

#include "converter/QVPDFConverter.h"
#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Dispatch.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const std::string kSource = CORVALA_SOURCE_DIR;
const std::string kCorvala = std::string(CORVALA_BINARY_DIR) + "/bin/corvala";

struct EndReport : QVPDFConverterDelegate {
    bool ended = false;
    std::optional<QVError> error;
    std::vector<int64_t> failedPages;
    void convertPDFPageIndexFaildWithError(QVPDFConverter&, int64_t page, const QVError&) override {
        failedPages.push_back(page);
    }
    void didEndConversion(QVPDFConverter&, const std::optional<QVError>& e) override {
        error = e;
        ended = true;
    }
};

class Conversion : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fixtures::makeTestFolder(
            "e2e-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        // Work folders go below $TMPDIR: keep them inside the test's folder.
        const char* tmp = std::getenv("TMPDIR");
        savedTmpdir_ = tmp ? tmp : "";
        ::setenv("TMPDIR", folder_.c_str(), 1);
    }
    void TearDown() override { restoreTmpdir(); }

    /// Converts in process; the end report's error, if any.
    std::optional<QVError> convert(const std::string& pdf, const std::string& format,
                                   const std::string& output, QVPDFOptions options = {},
                                   std::vector<int64_t> pages = {1}) {
        EndReport report;
        QVPDFConverter converter;
        converter.setDelegate(&report);
        EXPECT_TRUE(converter.convertPDFAtPath(pdf, std::nullopt, pages, format, output, options));
        platform::MainQueue::shared().runUntil([&] { return report.ended; });
        EXPECT_TRUE(report.failedPages.empty());
        return report.error;
    }

    /// A price list: a header spanning two columns over H1 and H2, text,
    /// grouped numbers, currency and percentages, each cell at its place.
    std::string priceList(const std::vector<std::string>& values = {}) {
        fixtures::PdfBuilder b;
        const std::vector<std::string> cells =
            values.empty() ? std::vector<std::string>{"1,250", "$3,400.50", "12.5%"} : values;
        std::string content = "BT /F2 11 Tf 200 700 Td (Sales by half-year and product) Tj ET "
                              "BT /F1 10 Tf 60 670 Td (Product) Tj ET "
                              "BT /F1 10 Tf 60 650 Td (Lamps) Tj ET "
                              "BT /F1 10 Tf 60 630 Td (Chairs) Tj ET ";
        auto at = [](double x, double y, const std::string& text) {
            return "BT /F1 10 Tf " + std::to_string(x) + " " + std::to_string(y) + " Td (" + text +
                   ") Tj ET ";
        };
        content += at(200, 670, "H1") + at(300, 670, "H2") + at(400, 670, "Share");
        content += at(200, 650, cells[0]) + at(300, 650, cells[1]) + at(400, 650, cells[2]);
        content += at(200, 630, "980") + at(300, 630, "$120.00") + at(400, 630, "7%");
        fixtures::PageSpec spec;
        spec.content = content;
        spec.resources = "<< /Font << /F1 " + b.addStandardFont("Helvetica") + " /F2 " +
                         b.addStandardFont("Helvetica-Bold") + " >> >>";
        b.addPage(spec);
        return b.writeTo(folder_ + "/prices.pdf");
    }

    std::string folder_;
    std::string savedTmpdir_;
    void restoreTmpdir() {
        if (savedTmpdir_.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", savedTmpdir_.c_str(), 1);
    }
};

// Reads a workbook as "ref=value" lines, numbers marked with #, then the merged ranges.
const char* kDumpWorkbook = R"(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
for ws in wb.worksheets:
    for row in ws.iter_rows():
        for c in row:
            if c.value is None:
                continue
            if isinstance(c.value, (int, float)):
                v = c.value
                print("%s=#%s" % (c.coordinate, "%d" % v if float(v).is_integer() else repr(v)))
            else:
                print("%s=%s" % (c.coordinate, c.value))
    for r in sorted(str(m) for m in ws.merged_cells.ranges):
        print("merged " + r)
)";

TEST_F(Conversion, DriverWritesAWorkbookWithNumbersAndAMergedHeading) {
    const std::string out = folder_ + "/prices.xlsx";
    EXPECT_FALSE(convert(priceList(), "xlsx", out));
    EXPECT_TRUE(fixtures::checkPackage(out).ok()) << fixtures::checkPackage(out).output;
    auto dump = fixtures::runPython(kDumpWorkbook, {out});
    ASSERT_TRUE(dump.ok()) << dump.output;
    EXPECT_EQ(dump.output, "B1=Sales by half-year and product\n"
                           "A2=Product\nB2=H1\nC2=H2\nD2=Share\n"
                           "A3=Lamps\nB3=#1250\nC3=#3400.5\nD3=#0.125\n"
                           "A4=Chairs\nB4=#980\nC4=#120\nD4=#0.07\n"
                           "merged B1:C1\n");
}

TEST_F(Conversion, DriverWritesTabSeparatedPageFiles) {
    const std::string out = folder_ + "/prices.csv";
    EXPECT_FALSE(convert(priceList(), "csv", out));
    auto text = fixtures::runPython(
        "import sys; print(open(sys.argv[1], encoding='utf-16').read(), end='')",
        {out + "/Table 1.csv"});
    ASSERT_TRUE(text.ok()) << text.output;
    EXPECT_EQ(text.output, "\tSales by half-year and product\n"
                           "Product\tH1\tH2\tShare\n"
                           "Lamps\t\"1,250\"\t\"$3,400.50\"\t12.5%\n"
                           "Chairs\t980\t$120.00\t7%\n");
}

TEST_F(Conversion, TableRowsBesideABodyTextColumnKeepTheirCells) {
    // 10-point rows 12 points apart and, beside them, body text at a 13-point
    // leading whose lines fall between the rows: each row keeps its cells,
    // each number its own cell ("100" over "40" once read as 10040).
    fixtures::PdfBuilder b;
    std::string content;
    auto at = [&content](double x, double y, const std::string& text) {
        content += "BT /F1 10 Tf " + std::to_string(x) + " " + std::to_string(y) + " Td (" + text +
                   ") Tj ET ";
    };
    const char* rows[][3] = {
        {"Country", "Imports", "Exports"}, {"Spain", "100", "200"}, {"France", "40", "196"}};
    for (int k = 0; k < 3; ++k)
        for (int c = 0; c < 3; ++c)
            at(50 + 100 * c, 700 - 12 * k, rows[k][c]);
    for (int j = 0; j < 4; ++j)
        at(350, 706 - 13 * j, "Body text line " + std::to_string(j) + " beside the table");
    fixtures::PageSpec spec;
    spec.content = content;
    spec.resources = "<< /Font << /F1 " + b.addStandardFont("Helvetica") + " >> >>";
    b.addPage(spec);
    const std::string out = folder_ + "/beside.xlsx";
    EXPECT_FALSE(convert(b.writeTo(folder_ + "/beside.pdf"), "xlsx", out));
    auto dump = fixtures::runPython(kDumpWorkbook, {out});
    ASSERT_TRUE(dump.ok()) << dump.output;
    for (const char* cell : {"A1=Country\n", "B1=Imports\n", "C1=Exports\n", "A2=Spain\n",
                             "B2=#100\n", "C2=#200\n", "A3=France\n", "B3=#40\n", "C3=#196\n"})
        EXPECT_NE(dump.output.find(cell), std::string::npos) << cell << dump.output;
}

TEST_F(Conversion, GlyphsDrawnOutOfOrderJoinAlongTheLine) {
    // Right-aligned numbers drawn one glyph per string in a scrambled order, as
    // some report writers place them, plain and each glyph drawn twice 0.3
    // points aside (a faked bold): each number reads as printed, in a cell of
    // its own. "7,015" once read "7 0" (the comma, drawn first, taken for a
    // word space) and "308" left a stray "30" beside it.
    const struct {
        const char* text;
        double right;
        std::vector<int> order;
    } numbers[] = {{"12,840", 200, {3, 0, 5, 1, 4, 2}},
                   {"308", 250, {2, 0, 1}},
                   {"7,015", 300, {4, 1, 3, 0, 2}}};
    for (const double overprint : {0.0, 0.3}) {
        SCOPED_TRACE(overprint);
        fixtures::PdfBuilder b;
        std::string content = "BT /F1 10 Tf 50 700 Td (Texas) Tj ET ";
        for (const auto& n : numbers) {
            // Helvetica: digits 0.556 em, the comma 0.278 em.
            const std::string text = n.text;
            std::vector<double> at;
            double width = 0;
            for (char c : text) {
                at.push_back(width);
                width += c == ',' ? 2.78 : 5.56;
            }
            auto glyph = [&](size_t i, double x) {
                content += "BT /F1 10 Tf " + std::to_string(x) + " 700 Td (" + text.substr(i, 1) +
                           ") Tj ET ";
            };
            for (int i : n.order) {
                glyph(i, n.right - width + at[i]);
                if (overprint > 0)
                    glyph(i, n.right - width + at[i] + overprint);
            }
        }
        fixtures::PageSpec spec;
        spec.content = content;
        spec.resources = "<< /Font << /F1 " + b.addStandardFont("Helvetica") + " >> >>";
        b.addPage(spec);
        const std::string name = folder_ + (overprint > 0 ? "/overprinted" : "/glyphs");
        const std::string out = name + ".xlsx";
        EXPECT_FALSE(convert(b.writeTo(name + ".pdf"), "xlsx", out));
        auto dump = fixtures::runPython(kDumpWorkbook, {out});
        ASSERT_TRUE(dump.ok()) << dump.output;
        EXPECT_EQ(dump.output, "A1=Texas\nB1=#12840\nC1=#308\nD1=#7015\n");
    }
}

TEST_F(Conversion, ABoxDrawnAgainFarLaterInAnotherBlackReadsOnce) {
    // A box's two lines drawn glyph by glyph in the CMYK black, a dozen lines
    // of body text, then the box again 0.003 points aside (a producer that
    // draws a block twice). A rich black copy looks the same on the page and
    // reads once; a red copy is a text of its own and stays.
    const struct {
        const char* copyColour;
        size_t expectedBoxes;
    } cases[] = {{"0.1 0.1 0.12 rg", 1}, {"1 0 0 rg", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.copyColour);
        auto box = [](const std::string& colour, double x) {
            std::string content;
            for (const auto& [y, line] : {std::pair{700, "Boxed note"}, {686, "drawn twice"}}) {
                content += "BT " + colour + " /F1 12 Tf " + std::to_string(x) + " " +
                           std::to_string(y) + " Td ";
                for (const char* g = line; *g; ++g)
                    content += "(" + std::string(1, *g) + ") Tj ";
                content += "ET ";
            }
            return content;
        };
        std::string content = box("0 0 0 1 k", 72);
        for (int k = 0; k < 12; ++k)
            content += "BT 0 g /F1 10 Tf 72 " + std::to_string(640 - 14 * k) + " Td (Body line " +
                       std::to_string(k) + ") Tj ET ";
        content += box(c.copyColour, 72.003);
        fixtures::PdfBuilder b;
        fixtures::PageSpec spec;
        spec.content = content;
        spec.resources = "<< /Font << /F1 " + b.addStandardFont("Helvetica") + " >> >>";
        b.addPage(spec);
        const std::string name = folder_ + "/box" + std::to_string(c.expectedBoxes);
        const std::string pdf = b.writeTo(name + ".pdf");
        EXPECT_FALSE(convert(pdf, "xlsx", name + ".xlsx"));
        EXPECT_FALSE(convert(pdf, "csv", name + ".csv"));
        auto dump = fixtures::runPython(kDumpWorkbook, {name + ".xlsx"});
        ASSERT_TRUE(dump.ok()) << dump.output;
        auto csv = fixtures::runPython(
            "import sys; print(open(sys.argv[1], encoding='utf-16').read(), end='')",
            {name + ".csv/Table 1.csv"});
        ASSERT_TRUE(csv.ok()) << csv.output;
        for (const std::string& text : {dump.output, csv.output}) {
            auto count = [&text](const std::string& word) {
                size_t n = 0;
                for (size_t at = text.find(word); at != std::string::npos;
                     at = text.find(word, at + 1))
                    ++n;
                return n;
            };
            // Whole lines, not pieces: no copy loses its first glyphs alone.
            EXPECT_EQ(count("Boxed note"), c.expectedBoxes) << text;
            EXPECT_EQ(count("drawn twice"), c.expectedBoxes) << text;
            EXPECT_EQ(count("oxed"), c.expectedBoxes) << text;
            EXPECT_EQ(count("rawn"), c.expectedBoxes) << text;
            EXPECT_EQ(count("Body line 11"), 1u) << text;
        }
    }
}

TEST_F(Conversion, TheFileOptionsReachTheSpreadsheet) {
    // The thousands separator "." reads 1.250 and 3.400,50 as numbers; format
    // option 2 writes every cell's text as text.
    const std::string dotted = priceList({"1.250", "$3.400,50", "12,5%"});
    struct Case {
        uint64_t separator, formatOption;
        std::string expected;
    };
    for (const Case& c : {Case{1, 0, "B3=#1250\nC3=#3400.5\nD3=#0.125\n"},
                          Case{0, 2, "B3=1.250\nC3=$3.400,50\nD3=12,5%\n"}}) {
        QVPDFOptions options;
        options.excelOptions()->setThousandSepartor(c.separator);
        options.excelOptions()->setExcelFormatOption(c.formatOption);
        const std::string out = folder_ + "/dotted" + std::to_string(c.formatOption) + ".xlsx";
        EXPECT_FALSE(convert(dotted, "xlsx", out, options));
        auto dump = fixtures::runPython(kDumpWorkbook, {out});
        ASSERT_TRUE(dump.ok()) << dump.output;
        EXPECT_NE(dump.output.find(c.expected), std::string::npos) << dump.output;
    }
}

TEST_F(Conversion, AnOutputThatCannotBeWrittenEndsWithAnError) {
    // A save that fails must not look like success, in either format, and
    // leaves nothing under the output path.
    const std::string pdf = priceList();
    for (const std::string format : {"xlsx", "csv"}) {
        const std::string out = folder_ + "/missing-folder/prices." + format;
        std::optional<QVError> error = convert(pdf, format, out);
        ASSERT_TRUE(error) << format;
        EXPECT_EQ(error->code, 400) << format;
        EXPECT_FALSE(platform::pathExists(out)) << format;
    }
}

TEST_F(Conversion, TheSampleReportConvertsWithItsValuesAndMergedHeaders) {
    const std::string out = folder_ + "/out";
    ASSERT_TRUE(platform::createDirectories(out));
    auto run = fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert " +
                                    fixtures::shellQuote(kSource + "/resources/Print-Area.pdf") +
                                    " -o " + fixtures::shellQuote(out));
    ASSERT_TRUE(run.ok()) << run.output;
    const std::string book = out + "/Print-Area.xlsx";
    auto check = fixtures::checkPackage(book);
    EXPECT_TRUE(check.ok()) << check.output;

    auto dump = fixtures::runPython(kDumpWorkbook, {book});
    ASSERT_TRUE(dump.ok()) << dump.output;
    for (const char* expected :
         {"B1=Regional Sales Report 2026\n", "B3=Revenue\n", "E3=Orders placed\n",
          "A4=Region\nB4=H1\nC4=H2\nD4=Change\nE4=H1\nF4=H2\n",
          "A5=North\nB5=#1245300\nC5=#1389250\nD5=#0.116\nE5=#412\nF5=#447\n",
          "A7=East\nB7=#1530120\nC7=#1498760\nD7=#-0.02\n",
          "A11=Total\nB11=#7941200\nC11=#8674840\nD11=#0.092\nE11=#2524\nF11=#2688\n",
          "merged B3:C3\n", "merged E3:F3\n", "A2=Product\nB2=Units\n",
          "A3=Desk lamps\nB3=#18450\nC3=#24.9\nD3=#459405\nE3=#0.156\n"}) {
        EXPECT_NE(dump.output.find(expected), std::string::npos) << expected << dump.output;
    }

    // LibreOffice opens it and reads the same first sheet.
    const std::string profile = folder_ + "/lo-profile";
    auto lo = fixtures::runCommand("cd " + fixtures::shellQuote(out) +
                                   " && soffice -env:UserInstallation=file://" + profile +
                                   " --headless --convert-to csv Print-Area.xlsx");
    ASSERT_TRUE(lo.ok()) << lo.output;
    std::optional<std::string> csv = platform::readFile(out + "/Print-Area.csv");
    ASSERT_TRUE(csv);
    EXPECT_NE(csv->find("Region,H1,H2,Change,H1,H2\n"), std::string::npos) << *csv;
    EXPECT_NE(csv->find("North,1245300,1389250,11.6%,412,447\n"), std::string::npos) << *csv;
}

TEST_F(Conversion, AcceptanceCorpusMustPassTablesRoundTripExactly) {
    // Tables printed by LibreOffice and ReportLab come back cell for cell, in
    // xlsx and csv (the scored rest: scripts/acceptance).
    auto run = fixtures::runCommand(
        "/usr/bin/python3 " + fixtures::shellQuote(kSource + "/tests/e2e/acceptance.py") +
        " --must-pass --verbose --corvala " + fixtures::shellQuote(kCorvala) + " --work " +
        fixtures::shellQuote(std::string(CORVALA_BINARY_DIR) + "/e2e-must-pass"));
    EXPECT_TRUE(run.ok()) << run.output;
}

TEST_F(Conversion, RealPdfsKeepEveryWordPdftotextFinds) {
    const std::string corpus = kSource + "/../shared/corpus";
    if (!platform::isDirectory(corpus))
        GTEST_SKIP() << "no shared corpus at " << corpus;
    // Producers: a county payroll report generator, a school board's agenda,
    // an election bulletin, a court transcript, Word, LibreOffice Writer, pdfTeX,
    // LibreOffice 7.3, a federal gazette.
    const std::vector<std::string> files = {
        "pdfplumber-tests/150109DSP-Milw-505-90D.pdf",
        "pdfplumber-tests/issue-13-151201DSP-Fond-581-90D.pdf",
        "pdfplumber-tests/cupertino_usd_4-6-16.pdf",
        "pdfplumber-tests/la-precinct-bulletin-2014-p1.pdf",
        "pdfplumber-tests/scotus-transcript-p1.pdf",
        "pdfplumber-tests/issue-466-example.pdf",
        "py-pdf-sample-files/002-trivial-libre-office-writer/002-trivial-libre-office-writer.pdf",
        "py-pdf-sample-files/006-pdflatex-outline/pdflatex-outline.pdf",
        // Words set a point or two apart, and after punctuation, keep their spaces.
        "py-pdf-sample-files/004-pdflatex-4-pages/pdflatex-4-pages.pdf",
        "pdfplumber-tests/pdf_structure.pdf",
        "pdfplumber-tests/issue-1054-example.pdf",
    };
    for (const std::string& file : files) {
        const std::string pdf = corpus + "/" + file;
        const std::string stem = platform::splitExtension(platform::lastPathComponent(file)).first;
        for (const std::string format : {"xlsx", "csv", "docx"}) {
            SCOPED_TRACE(file + " " + format);
            const std::string out = folder_ + "/" + format;
            ASSERT_TRUE(platform::createDirectories(out));
            auto run = fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert -f " +
                                            format + " " + fixtures::shellQuote(pdf) + " -o " +
                                            fixtures::shellQuote(out));
            ASSERT_TRUE(run.ok()) << run.output;
            const std::string output = out + "/" + stem + "." + format;
            if (format != "csv") {
                auto check = fixtures::checkPackage(output);
                EXPECT_TRUE(check.ok()) << check.output;
            }
            auto words = fixtures::runCommand(
                "/usr/bin/python3 " + fixtures::shellQuote(kSource + "/tests/e2e/words.py") + " " +
                fixtures::shellQuote(pdf) + " " + fixtures::shellQuote(output));
            EXPECT_TRUE(words.ok()) << words.output;
        }
    }
}

} // namespace

namespace {

// A Word document prints in LibreOffice with the source's pages, page sizes
// and words: one column, two columns under a heading, super- and subscripts,
// bold, italic and bold-italic faces, an empty page, pages of three sizes, a
// CJK font named in GBK bytes and a character outside the BMP; the words of
// every page with text stand where they stood.
TEST(DocxConversion, PrintsWithTheSourcesPagesSizesAndWords) {
    const std::string folder = fixtures::makeTestFolder("docx-roundtrip");
    fixtures::PdfBuilder b;
    const std::string f1 = b.addStandardFont("Helvetica");
    const std::string f2 = b.addStandardFont("Helvetica-Bold");
    const std::string f3 = b.addStandardFont("Times-BoldItalic");
    const std::string f4 = b.addStandardFont("Helvetica-Oblique");
    // 宋体 in GBK bytes; two-byte codes 1-4 read 中文字体.
    const std::string gbkName = "/#CB#CE#CC#E5";
    const std::string cjkUnicode = b.addStream(
        "", "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
            "/CMapName /CJK def 1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
            "4 beginbfchar <0001> <4E2D> <0002> <6587> <0003> <5B57> <0004> <4F53> endbfchar\n"
            "endcmap CMapName currentdict /CMap defineresource pop end end\n");
    const std::string cidFont = b.addObject(
        "<< /Type /Font /Subtype /CIDFontType2 /BaseFont " + gbkName +
        " /CIDSystemInfo << /Registry (Adobe) /Ordering (GB1) /Supplement 2 >>"
        " /FontDescriptor << /Type /FontDescriptor /FontName " + gbkName +
        " /Flags 4 /FontBBox [0 -120 1000 880] /ItalicAngle 0 /Ascent 880 /Descent -120"
        " /CapHeight 700 /StemV 80 >> /DW 1000 >>");
    const std::string f5 = b.addObject("<< /Type /Font /Subtype /Type0 /BaseFont " + gbkName +
                                       " /Encoding /Identity-H /DescendantFonts [" + cidFont +
                                       "] /ToUnicode " + cjkUnicode + " >>");
    // Code A reads U+1F600, outside the BMP.
    const std::string emojiUnicode = b.addStream(
        "", "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
            "/CMapName /Emoji def 1 begincodespacerange <00> <FF> endcodespacerange\n"
            "1 beginbfchar <41> <D83DDE00> endbfchar\n"
            "endcmap CMapName currentdict /CMap defineresource pop end end\n");
    const std::string f6 = b.addObject("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica "
                                       "/Encoding /WinAnsiEncoding /ToUnicode " +
                                       emojiUnicode + " >>");
    const std::string resources = "<< /Font << /F1 " + f1 + " /F2 " + f2 + " /F3 " + f3 +
                                  " /F4 " + f4 + " /F5 " + f5 + " /F6 " + f6 + " >> >>";
    std::string columns = "BT /F2 16 Tf 72 740 Td (Two columns under a heading) Tj ET ";
    for (int k = 0; k < 8; ++k)
        columns += "BT /F1 10 Tf 72 " + std::to_string(700 - 14 * k) + " Td (left words " +
                   std::to_string(k) + ") Tj ET ";
    for (int k = 0; k < 8; ++k)
        columns += "BT /F3 10 Tf 330 " + std::to_string(700 - 14 * k) + " Td (right words " +
                   std::to_string(k) + ") Tj ET ";
    const std::pair<std::string, std::vector<double>> pages[] = {
        {"BT /F1 12 Tf 72 700 Td (One column of text) Tj 0 -16 Td (and a second line) Tj ET "
         "BT /F1 12 Tf 72 600 Td (E = mc) Tj ET BT /F1 7 Tf 114 605 Td (2) Tj ET "
         "BT /F1 12 Tf 72 560 Td (Water is H) Tj ET BT /F1 7 Tf 128 557 Td (2) Tj ET "
         "BT /F1 12 Tf 131.9 560 Td (O) Tj ET "
         "BT /F4 12 Tf 72 520 Td (Oblique words) Tj ET",
         {0, 0, 612, 792}},
        {columns, {0, 0, 595, 842}},
        {"", {0, 0, 612, 792}},
        {"BT /F1 10 Tf 20 100 Td (A small page) Tj ET", {0, 0, 300, 200}},
        {"BT /F5 12 Tf 72 700 Td <00010002> Tj ET BT /F5 12 Tf 99 700 Td <00030004> Tj ET "
         "BT /F1 12 Tf 72 660 Td (Smile) Tj ET BT /F6 12 Tf 105.3 660 Td (A) Tj ET",
         {0, 0, 612, 792}},
    };
    for (const auto& [content, box] : pages) {
        fixtures::PageSpec spec;
        spec.content = content;
        spec.mediaBox = box;
        spec.resources = resources;
        b.addPage(spec);
    }
    const std::string pdf = b.writeTo(folder + "/fixture.pdf");
    auto run = fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert -f docx " +
                                    fixtures::shellQuote(pdf) + " -o " + fixtures::shellQuote(folder));
    ASSERT_TRUE(run.ok()) << run.output;
    const std::string docx = folder + "/fixture.docx";
    auto check = fixtures::checkPackage(docx);
    EXPECT_TRUE(check.ok()) << check.output;
    auto printed = fixtures::runCommand(
        "/usr/bin/python3 " + fixtures::shellQuote(kSource + "/tests/e2e/docx_roundtrip.py") + " " +
        fixtures::shellQuote(pdf) + " " + fixtures::shellQuote(docx) + " " +
        fixtures::shellQuote(folder) + " --placed 1,2,4,5");
    EXPECT_TRUE(printed.ok()) << printed.output;
}

} // namespace
