// Capture of the spreadsheet exporter on PDFs built in the test: which shown
// strings become runs, where they lie in display space, how pieces on one
// baseline join, the run properties and the fonts and fills registered in the
// document's styles. The runs are recorded as the page hands them to the
// table analysis.

#include "excel/QVExcelPDFExporter.h"
#include "excel/QVExcelManager.h"
#include "excel/sheet/QVExcelPage.h"
#include "excel/sheet/QVExcelStandardPageFactory.h"
#include "excel/workbook/QVExcelStyle.h"
#include "fixtures/PdfBuilder.h"
#include "pdf/colour/QVPDFDeviceCMYKColorSpace.h"
#include "platform/NumberFormat.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

struct Captured {
    std::string text;
    QVPDF_CTMInfo g;
    double width = 0;
    uint64_t drawIndex = 0;
    QVExcelRunTextProperty rPr;
};
using CapturedPages = std::vector<std::vector<Captured>>;

std::string utf8(const std::u16string& s) {
    std::string out;
    for (char16_t c : s)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

/// A page model that records its runs as capture left them, before the analysis.
class RecordingPage : public QVExcelPage {
public:
    RecordingPage(uint64_t n, const std::string& folder, CapturedPages& out)
        : QVExcelPage(n, folder), out_(out) {}
    void creatSheet() override {
        record();
        QVExcelPage::creatSheet();
    }
    std::optional<std::u16string> creatCSV() override {
        record();
        return QVExcelPage::creatCSV();
    }

private:
    void record() {
        std::vector<Captured> runs;
        for (const auto& r : allRunTextArray())
            runs.push_back(
                {utf8(r->text()), r->ctmInfo(), r->textWidth(), r->drawIndex(), r->rPr()});
        out_.push_back(std::move(runs));
    }
    CapturedPages& out_;
};

class RecordingFactory : public QVExcelStandardPageFactory {
public:
    CapturedPages pages;
    std::shared_ptr<QVExcelSheetPage> makePage(uint64_t n, const std::string& folder) override {
        return std::make_shared<RecordingPage>(n, folder, pages);
    }
};

struct Result {
    CapturedPages pages;
    std::shared_ptr<QVExcelStyle> style;
    bool saved = false;
};

// PDF syntax has no exponents: nine decimals are plenty.
std::string num(double v) {
    return platform::formatFixed(v, 9);
}

class QVExcelPDFExporterTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fixtures::makeTestFolder(
            "excel-exporter-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        // Work folders go below $TMPDIR: keep them inside the test's folder.
        const char* home = std::getenv("TMPDIR");
        savedHome_ = home ? home : "";
        ::setenv("TMPDIR", folder_.c_str(), 1);
    }
    void TearDown() override {
        ::setenv("TMPDIR", savedHome_.c_str(), 1);
        QVExcelManager::destory();
    }

    /// A PDF of pages with Helvetica as /F1, Helvetica-Bold as /F2 and
    /// Times-Italic as /F3, each page's content as given.
    std::string pdf(const std::vector<std::string>& contents) {
        fixtures::PdfBuilder b;
        std::string f1 = b.addStandardFont("Helvetica");
        std::string f2 = b.addStandardFont("Helvetica-Bold");
        std::string f3 = b.addStandardFont("Times-Italic");
        for (const std::string& c : contents) {
            fixtures::PageSpec spec;
            spec.content = c;
            spec.resources = "<< /Font << /F1 " + f1 + " /F2 " + f2 + " /F3 " + f3 + " >> >>";
            b.addPage(spec);
        }
        return b.writeTo(folder_ + "/in" + std::to_string(++count_) + ".pdf");
    }

    Result capture(const std::string& path, QVExcelOptions options = {},
                   const std::string& format = "xlsx") {
        auto doc = platform::PdfDocument::open(path);
        EXPECT_TRUE(doc);
        Result result;
        if (!doc)
            return result;
        QVExcelManager::sharedInstance()->setOptions(std::make_shared<QVExcelOptions>(options));
        auto factory = std::make_shared<RecordingFactory>();
        {
            QVExcelPDFExporter exporter(format, factory);
            exporter.setNumberOfPagesToConvert(static_cast<int64_t>(doc->pageCount()));
            exporter.begainConvertPDF(folder_ + "/out" + std::to_string(count_) + "." + format);
            for (size_t p = 1; p <= doc->pageCount(); ++p) {
                auto page = doc->page(p);
                EXPECT_TRUE(exporter.convertPDFPage(page.get()));
            }
            result.style = QVExcelManager::sharedInstance()->excelStyle();
            result.saved = exporter.endConvertPDF(*doc);
        }
        result.pages = factory->pages;
        return result;
    }

    /// The texts of the runs of a one-page capture.
    std::vector<std::string> texts(const std::string& content, QVExcelOptions options = {}) {
        Result r = capture(pdf({content}), options);
        std::vector<std::string> out;
        if (r.pages.size() == 1)
            for (const Captured& c : r.pages[0])
                out.push_back(c.text);
        return out;
    }

    std::string folder_;
    std::string savedHome_;
    int count_ = 0;
};

using Texts = std::vector<std::string>;

TEST_F(QVExcelPDFExporterTest, BlanksAreNeverRunsOfTheirOwn) {
    // Blanks join the run whose end they touch, so a word touching their end
    // joins too; blanks touching no run are dropped. Blanks wider than 0.8 em
    // after a word (Helvetica's space is 0.278 em) are a field padded to its
    // column: cut off, and nothing joins the word across them.
    const struct {
        const char* content;
        Texts runs;
    } cases[] = {
        {"( ) Tj (A) Tj ( ) Tj", {"A "}},
        {"(\\t) Tj 0 -40 Td (B) Tj 200 0 Td ( ) Tj", {"B"}},
        {"(  ) Tj", {}},
        {"(Total) Tj ( ) Tj ( ) Tj (Amount) Tj", {"Total  Amount"}},
        {"(06/30/2015) Tj ( ) Tj ( ) Tj ( ) Tj ( ) Tj ( ) Tj (x) Tj", {"06/30/2015", "x"}},
        {"(7) Tj (   ) Tj", {"7"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        EXPECT_EQ(texts(std::string("BT /F1 12 Tf 100 700 Td ") + c.content + " ET"), c.runs);
    }
}

TEST_F(QVExcelPDFExporterTest, AWordDrawnAgainOverItselfIsOneRun) {
    // Drawn twice a fraction of a point aside to look bold, whole or glyph by
    // glyph: one run. The same text a little further away is text of its own.
    const struct {
        const char* content;
        Texts runs;
    } cases[] = {
        {"BT /F1 12 Tf 100 700 Td (Total) Tj ET BT /F1 12 Tf 100.3 700 Td (Total) Tj ET",
         {"Total"}},
        {"BT /F1 12 Tf 100 700 Td [(To) (tal)] TJ ET BT /F1 12 Tf 99.7 700.2 Td [(To) (tal)] TJ ET "
         "BT /F1 12 Tf 200 700 Td (x) Tj ET",
         {"Total", "x"}},
        {"BT /F1 12 Tf 100 700 Td (0) Tj ET BT /F1 12 Tf 102 700 Td (0) Tj ET", {"0", "0"}},
        // "308" glyph by glyph from the right, each glyph twice: no copy joins the
        // next glyph ("3" "30" "0"); the table analysis joins "30" and "8".
        {"BT /F1 12 Tf 113.344 700 Td (8) Tj ET BT /F1 12 Tf 113.644 700 Td (8) Tj ET "
         "BT /F1 12 Tf 100 700 Td (3) Tj ET BT /F1 12 Tf 100.3 700 Td (3) Tj ET "
         "BT /F1 12 Tf 106.672 700 Td (0) Tj ET BT /F1 12 Tf 106.972 700 Td (0) Tj ET",
         {"8", "30"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        EXPECT_EQ(texts(c.content), c.runs);
    }
}

TEST_F(QVExcelPDFExporterTest, ALargeInitialLetterJoinsItsWord) {
    // Helvetica's T is 0.611 em: at 36 points it ends at x 122.
    const struct {
        const char* content;
        Texts runs;
    } cases[] = {
        {"BT /F1 36 Tf 100 700 Td (T) Tj ET BT /F1 10 Tf 123 720 Td (he quick fox) Tj ET",
         {"The quick fox"}},
        {"BT /F1 36 Tf 100 700 Td (T) Tj ET BT /F1 10 Tf 122 700 Td (he raised cap) Tj ET",
         {"The raised cap"}},
        {"BT /F1 36 Tf 100 700 Td (T) Tj ET BT /F1 10 Tf 140 720 Td (far away) Tj ET",
         {"T", "far away"}},
        {"BT /F1 36 Tf 100 700 Td (7) Tj ET BT /F1 10 Tf 121 720 Td (items) Tj ET", {"7", "items"}},
        {"BT /F1 36 Tf 100 700 Td (E) Tj ET BT /F1 10 Tf 125 720 Td (18) Tj ET", {"E", "18"}},
        {"BT /F1 12 Tf 100 700 Td (T) Tj ET BT /F1 10 Tf 107.4 700 Td (wo) Tj ET", {"T", "wo"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        EXPECT_EQ(texts(c.content), c.runs);
    }
}

TEST_F(QVExcelPDFExporterTest, LigaturesReachTheCellsAsTheirLetters) {
    // The fi and fl glyphs (U+FB01, U+FB02): a cell must read and search as
    // plain letters.
    fixtures::PdfBuilder b;
    std::string font = b.addObject("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica "
                                   "/Encoding << /Differences [1 /fi /fl] >> >>");
    fixtures::PageSpec spec;
    spec.content = "BT /F1 12 Tf 100 700 Td (con\\002icting \\001les) Tj ET";
    spec.resources = "<< /Font << /F1 " + font + " >> >>";
    b.addPage(spec);
    Result r = capture(b.writeTo(folder_ + "/ligatures.pdf"));
    ASSERT_EQ(r.pages.size(), 1u);
    ASSERT_EQ(r.pages[0].size(), 1u);
    EXPECT_EQ(r.pages[0][0].text, "conflicting files");
}

TEST_F(QVExcelPDFExporterTest, OnlyUprightHorizontalTextIsKept) {
    struct Case {
        double degrees; // clockwise on the displayed page
        bool mirrored;
        bool kept;
    };
    // Mended: text turned slightly anticlockwise (355 to 360 degrees in the
    // record's clockwise convention) is kept like text turned slightly
    // clockwise; the rows 356, 358 and 359.6 (stored as 360) differ from the
    // capture that keeps only angles below 5.
    const std::vector<Case> cases = {
        {0, false, true},   {3, false, true},    {4.4, false, true},   {5, false, false},
        {90, false, false}, {180, false, false}, {270, false, false},  {355, false, false},
        {356, false, true}, {358, false, true},  {359.6, false, true}, {0, true, false},
        {180, true, false},
    };
    std::vector<std::string> pages;
    for (const Case& c : cases) {
        // Clockwise on the displayed page is clockwise in PDF space seen from
        // above: a negative angle there. A level word first, so that no page
        // is all turned text (such a page is read turned).
        const double a = -c.degrees * M_PI / 180;
        const double sx = c.mirrored ? -1 : 1;
        pages.push_back("BT /F1 12 Tf 72 100 Td (Level) Tj ET BT /F1 12 Tf " +
                        num(sx * std::cos(a)) + " " + num(sx * std::sin(a)) + " " +
                        num(-std::sin(a)) + " " + num(std::cos(a)) + " 300 400 Tm (Turned) Tj ET");
    }
    Result r = capture(pdf(pages));
    ASSERT_EQ(r.pages.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("degrees " + num(cases[i].degrees) + (cases[i].mirrored ? " mirrored" : ""));
        ASSERT_EQ(r.pages[i].size(), cases[i].kept ? 2u : 1u);
        EXPECT_EQ(r.pages[i][0].text, "Level");
        if (cases[i].kept) {
            EXPECT_EQ(r.pages[i][1].text, "Turned");
            EXPECT_EQ(r.pages[i][1].g.rotation, 0.0f);
            EXPECT_NEAR(r.pages[i][1].g.yBase, 392, 0.5);
        }
    }
}

TEST_F(QVExcelPDFExporterTest, PiecesOnOneBaselineJoinWhenTheyTouchOrAreOneSpaceApart) {
    // "Total" in Helvetica 12 is 26.676 wide; a space is 3.336.
    const double total = 26.676, space = 3.336;
    struct Case {
        std::string name;
        double dx, dy;
        std::string second; // font and size of the second piece
        std::string colour;
        Texts expected;
    };
    const std::vector<Case> cases = {
        {"touching", 0, 0, "/F1 12", "", {"TotalAmount"}},
        {"overlapping by 0.9", -0.9, 0, "/F1 12", "", {"TotalAmount"}},
        {"0.9 apart", 0.9, 0, "/F1 12", "", {"TotalAmount"}},
        {"1.5 apart", 1.5, 0, "/F1 12", "", {"Total", "Amount"}},
        {"one space apart", space, 0, "/F1 12", "", {"Total Amount"}},
        {"a space and 0.9", space + 0.9, 0, "/F1 12", "", {"Total Amount"}},
        {"a space and 1.2", space + 1.2, 0, "/F1 12", "", {"Total", "Amount"}},
        {"baseline 0.9 higher", 0, 0.9, "/F1 12", "", {"TotalAmount"}},
        {"baseline 1.0 higher", 0, 1.0, "/F1 12", "", {"Total", "Amount"}},
        {"another size", 0, 0, "/F1 13", "", {"Total", "Amount"}},
        {"another colour", 0, 0, "/F1 12", "1 0 0 rg", {"Total", "Amount"}},
        // Bold and italic take no part: the bold face of one family joins.
        {"bold face of the family", 0, 0, "/F2 12", "", {"TotalAmount"}},
        {"another family", 0, 0, "/F3 12", "", {"Total", "Amount"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string content = "BT /F1 12 Tf 100 700 Td (Total) Tj ET " + c.colour + " BT " +
                                    c.second + " Tf " + num(100 + total + c.dx) + " " +
                                    num(700 + c.dy) + " Td (Amount) Tj ET";
        EXPECT_EQ(texts(content), c.expected);
    }
}

TEST_F(QVExcelPDFExporterTest, LeaderDotsSpacedOnThePageKeepTheirSpaces) {
    // Dots drawn one at a time after "Intro " (Helvetica 12: 27.348 wide, a
    // dot 3.336), one every `step` points, then a page number. Up to an em
    // apart they are one leader with a space for each gap; touching they stay
    // dots without blanks; other text keeps its gaps.
    const struct {
        double step;
        const char* dot;
        Texts runs;
    } cases[] = {
        {3.336, ".", {"Intro ....", "4"}},
        {5.0, ".", {"Intro . . . .", "4"}},  // 1.7 apart: the table analysis once ran them on
        {12.0, ".", {"Intro . . . .", "4"}}, // 8.7 apart: once a cell per dot
        {20.0, ".", {"Intro .", ".", ".", ".", "4"}},
        {12.0, "x", {"Intro x", "x", "x", "x", "4"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        std::string content = "BT /F1 12 Tf 100 700 Td (Intro ) Tj ET";
        for (int i = 0; i < 4; ++i)
            content +=
                " BT /F1 12 Tf " + num(127.348 + c.step * i) + " 700 Td (" + c.dot + ") Tj ET";
        content += " BT /F1 12 Tf 340 700 Td (4) Tj ET";
        EXPECT_EQ(texts(content), c.runs);
    }
}

TEST_F(QVExcelPDFExporterTest, JoinedRunKeepsItsStartAndSumsItsWidths) {
    // "Amount" is 41.352 wide; the spaced join adds one space width (3.336);
    // Helvetica's descent is 0.207 of the em.
    Result r = capture(
        pdf({"BT /F1 12 Tf 100 700 Td (Total) Tj ET BT /F1 12 Tf 130.012 700 Td (Amount) Tj ET"}));
    ASSERT_EQ(r.pages.size(), 1u);
    ASSERT_EQ(r.pages[0].size(), 1u);
    const Captured& run = r.pages[0][0];
    EXPECT_EQ(run.text, "Total Amount");
    EXPECT_NEAR(run.width, 26.676 + 3.336 + 41.352, 1e-6);
    EXPECT_NEAR(run.g.xLeft, 100, 1e-6);
    EXPECT_NEAR(run.g.xRight, 130.012 + 41.352, 1e-6);
    EXPECT_NEAR(run.g.yBase, 92, 1e-6);
    EXPECT_NEAR(run.g.yTop, 80, 1e-6);
    EXPECT_NEAR(run.g.yBottom, 92 + 0.207 * 12, 1e-6);
    EXPECT_EQ(run.drawIndex, 0u);
}

TEST_F(QVExcelPDFExporterTest, DrawIndexesRunOnAcrossPagesAndJoinsUseUpTheirNumber) {
    Result r = capture(pdf({"BT /F1 12 Tf 100 700 Td (A) Tj (B) Tj 0 -50 Td (C) Tj ET",
                            "BT /F1 12 Tf 100 700 Td (D) Tj ET"}));
    ASSERT_EQ(r.pages.size(), 2u);
    ASSERT_EQ(r.pages[0].size(), 2u);
    EXPECT_EQ(r.pages[0][0].text, "AB");
    EXPECT_EQ(r.pages[0][0].drawIndex, 0u);
    EXPECT_EQ(r.pages[0][1].drawIndex, 2u);
    ASSERT_EQ(r.pages[1].size(), 1u);
    EXPECT_EQ(r.pages[1][0].drawIndex, 3u);
}

TEST_F(QVExcelPDFExporterTest, RunPropertiesComeFromTheFontSizeAndFillColour) {
    struct Case {
        std::string content;
        uint64_t formatOption;
        double size;
        std::string font;
        bool bold, italic;
        uint32_t rgb;
    };
    // Mended: CMYK text keeps its hue instead of turning black: its colour is
    // what the colour space makes of it.
    QVPDFColor yellowInk;
    yellowInk.c[2] = 255;
    const QVPDFRGB y = QVPDFDeviceCMYKColorSpace::shared()->getRGB(yellowInk);
    const uint32_t yellow = static_cast<uint32_t>(y.r << 16 | y.g << 8 | y.b);
    ASSERT_GT(y.r, 200);
    ASSERT_LT(y.b, 50);
    const std::vector<Case> cases = {
        {"BT /F1 14 Tf 100 700 Td (x) Tj ET", 0, 14, "Helvetica", false, false, 0x000000},
        {"BT /F2 11 Tf 100 700 Td (x) Tj ET", 0, 11, "Helvetica-Bold", true, false, 0x000000},
        {"BT /F3 11 Tf 100 700 Td (x) Tj ET", 0, 11, "Times-Italic", false, true, 0x000000},
        // Scaled by the CTM: the size seen on the page.
        {"2 0 0 2 0 0 cm BT /F1 9 Tf 50 350 Td (x) Tj ET", 0, 18, "Helvetica", false, false, 0},
        // Mended: small print keeps its size unless the layout asks for the default size.
        {"BT /F1 8 Tf 100 700 Td (x) Tj ET", 0, 8, "Helvetica", false, false, 0x000000},
        {"BT /F1 6 Tf 100 700 Td (x) Tj ET", 0, 6, "Helvetica", false, false, 0x000000},
        {"BT /F1 8 Tf 100 700 Td (x) Tj ET", 1, 10, "Helvetica", false, false, 0x000000},
        {"1 0 0 rg BT /F1 12 Tf 100 700 Td (x) Tj ET", 0, 12, "Helvetica", false, false, 0xff0000},
        {"0.5 g BT /F1 12 Tf 100 700 Td (x) Tj ET", 0, 12, "Helvetica", false, false, 0x7f7f7f},
        {"0 0 1 0 k BT /F1 12 Tf 100 700 Td (x) Tj ET", 0, 12, "Helvetica", false, false, yellow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        QVExcelOptions options;
        options.setExcelFormatOption(c.formatOption);
        Result r = capture(pdf({c.content}), options);
        ASSERT_EQ(r.pages.size(), 1u);
        ASSERT_EQ(r.pages[0].size(), 1u);
        const QVExcelRunTextProperty& p = r.pages[0][0].rPr;
        EXPECT_EQ(p.sz(), c.size);
        EXPECT_EQ(p.rFont(), c.font);
        EXPECT_TRUE(p.family().has_value());
        EXPECT_EQ(p.b(), c.bold);
        EXPECT_EQ(p.i(), c.italic);
        EXPECT_EQ(p.rgbColor(), c.rgb);
        // Every run's font is in the document's styles with its colour.
        ASSERT_TRUE(r.style);
        bool registered = false;
        for (const auto& f : r.style->fontsArr())
            registered |= f->font().name == c.font && f->font().sz == c.size &&
                          f->font().b == c.bold && f->font().i == c.italic &&
                          f->rgbColor() == c.rgb;
        EXPECT_TRUE(registered);
    }
}

TEST_F(QVExcelPDFExporterTest, RunsWithoutFiniteGeometryOrFarOffThePageAreDropped) {
    // Mended: a degenerate matrix gives coordinates that are not numbers, and
    // a wild one puts text light-years off the page; neither reaches the
    // analysis, whose orderings need numbers. Text reaching onto the page
    // from beside it stays; text wholly beside it is seen by no reader of
    // the page and is left out like the far text.
    // Each scale is a real PDF allows (1e38); nine of them overflow a double.
    const std::string huge = "1" + std::string(38, '0');
    std::string scales;
    for (int i = 0; i < 9; ++i)
        scales += huge + " 0 0 " + huge + " 0 0 cm ";
    const std::string content = "q " + scales +
                                "BT /F1 12 Tf 1 0 0 1 0 0 Tm (Overflow) Tj ET Q "
                                "BT /F1 12 Tf 1000000 700 Td (Far) Tj ET "
                                "BT /F1 12 Tf -20 700 Td (Near) Tj ET "
                                "BT /F1 12 Tf -40 680 Td (Beside) Tj ET "
                                "BT /F1 12 Tf 100 600 Td (Kept) Tj ET";
    Result r = capture(pdf({content}));
    ASSERT_EQ(r.pages.size(), 1u);
    std::vector<std::string> got;
    for (const Captured& c : r.pages[0])
        got.push_back(c.text);
    EXPECT_EQ(got, (Texts{"Near", "Kept"}));
    EXPECT_TRUE(r.saved);
}

TEST_F(QVExcelPDFExporterTest, FilledAreasBecomeCellFillsOnlyWhenAsked) {
    const std::string content = "1 0 0 rg 100 100 2 2 re f "    // 2 by 2: kept
                                "0 0 1 rg 100 200 1.9 50 re f " // too narrow
                                "0 0 0 rg 100 300 50 50 re f "  // black
                                "0 1 0 RG 300 300 50 50 re S "  // stroked only
                                "0 1 0 rg 300 400 60 20 re B";  // filled and stroked
    const size_t defaults = QVExcelStyle::defaultFills().size();
    struct Case {
        bool paths, fills;
        size_t added;
    };
    for (const Case c :
         {Case{false, false, 0}, Case{true, false, 0}, Case{false, true, 0}, Case{true, true, 2}}) {
        SCOPED_TRACE(std::to_string(c.paths) + std::to_string(c.fills));
        QVExcelOptions options;
        options.setCollectCGPaths(c.paths);
        options.setCollectFills(c.fills);
        Result r = capture(pdf({content}), options);
        ASSERT_TRUE(r.style);
        ASSERT_EQ(r.style->fillsArr().size(), defaults + c.added);
        if (c.added == 2) {
            const QVExcelStyleFill& red = *r.style->fillsArr()[defaults];
            EXPECT_EQ(red.rect(), (platform::Rect{{100, 690}, {2, 2}}));
            EXPECT_EQ(red.fgRGBColor(), 0xff0000u);
            const QVExcelStyleFill& green = *r.style->fillsArr()[defaults + 1];
            EXPECT_EQ(green.rect(), (platform::Rect{{300, 372}, {60, 20}}));
        }
    }
}

TEST_F(QVExcelPDFExporterTest, MissingPageIsRefusedAndStartsNoPage) {
    QVExcelManager::sharedInstance()->setOptions(std::make_shared<QVExcelOptions>());
    QVExcelPDFExporter exporter("xlsx");
    exporter.setNumberOfPagesToConvert(1);
    exporter.begainConvertPDF(folder_ + "/none.xlsx");
    EXPECT_FALSE(exporter.convertPDFPage(nullptr));
    ASSERT_TRUE(exporter.pdfConverter());
    EXPECT_EQ(exporter.pdfConverter()->currentPageIndex(), 0u);
    EXPECT_FALSE(exporter.pdfConverter()->currentPage());
}

TEST_F(QVExcelPDFExporterTest, RunsLieInTheDisplaySpaceOfRotatedAndShiftedPages) {
    // The same glyph on a page turned by /Rotate and on one whose media box
    // does not start at the origin lands where the page shows it.
    fixtures::PdfBuilder b;
    std::string f1 = b.addStandardFont("Helvetica");
    fixtures::PageSpec turned;
    turned.content = "BT /F1 12 Tf 0 1 -1 0 500 100 Tm (Up) Tj ET";
    turned.mediaBox = {0, 0, 612, 792};
    turned.rotate = 90;
    turned.resources = "<< /Font << /F1 " + f1 + " >> >>";
    b.addPage(turned);
    fixtures::PageSpec shifted;
    shifted.content = "BT /F1 12 Tf 150 250 Td (Here) Tj ET";
    shifted.mediaBox = {50, 50, 350, 350};
    shifted.resources = turned.resources;
    b.addPage(shifted);
    // Level text on a page stored turned: all of it runs downward as
    // shown, so the page is read as its text reads, in the unturned frame.
    fixtures::PageSpec stored;
    stored.content = "BT /F1 12 Tf 150 250 Td (Across) Tj ET";
    stored.rotate = 90;
    stored.resources = turned.resources;
    b.addPage(stored);
    Result r = capture(b.writeTo(folder_ + "/pages.pdf"));
    ASSERT_EQ(r.pages.size(), 3u);
    // /Rotate 90 shows PDF (x, y) at (y, x): text that reads upward in PDF
    // space reads left to right on the displayed page.
    ASSERT_EQ(r.pages[0].size(), 1u);
    EXPECT_NEAR(r.pages[0][0].g.xLeft, 100, 1e-6);
    EXPECT_NEAR(r.pages[0][0].g.yBase, 500, 1e-6);
    ASSERT_EQ(r.pages[1].size(), 1u);
    EXPECT_NEAR(r.pages[1][0].g.xLeft, 100, 1e-6);
    EXPECT_NEAR(r.pages[1][0].g.yBase, 100, 1e-6);
    ASSERT_EQ(r.pages[2].size(), 1u);
    EXPECT_NEAR(r.pages[2][0].g.xLeft, 150, 1e-6);
    EXPECT_NEAR(r.pages[2][0].g.yBase, 542, 1e-6);
}

} // namespace
