// Whole conversions to the flowing-text outputs (txt, html, rtf) through the
// driver: which turned text is kept, reading order over columns and pages,
// upside-down text, overprinted text and blanks drawn under glyphs, the
// report of a page whose text was all left out, cancel and unwritable output
// folders.

#include "converter/QVPDFConverter.h"
#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "flow/QVFlowPDFExporter.h"
#include "platform/Dispatch.h"
#include "platform/Files.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <regex>
#include <sstream>

namespace {

std::string num(double v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 4);
    return std::string(buf, r.ptr);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A string at (x, y) turned `degrees` counter-clockwise on the PDF page;
// `mirror` flips it left to right.
std::string shown(double x, double y, double degrees, const std::string& text,
                  bool mirror = false) {
    const double t = degrees * std::numbers::pi / 180.0;
    const double a = std::cos(t) * (mirror ? -1 : 1), b = std::sin(t) * (mirror ? -1 : 1);
    return "BT /F1 12 Tf " + num(a) + " " + num(b) + " " + num(-std::sin(t)) + " " +
           num(std::cos(t)) + " " + num(x) + " " + num(y) + " Tm (" + text + ") Tj ET ";
}

struct Report : QVPDFConverterDelegate {
    bool ended = false;
    std::optional<QVError> error;
    std::vector<std::pair<int64_t, std::string>> failedPages, warnings;
    void convertPDFPageIndexFaildWithError(QVPDFConverter&, int64_t page,
                                           const QVError& e) override {
        failedPages.emplace_back(page, e.failureReason);
    }
    void convertPDFPageIndexWarning(QVPDFConverter&, int64_t page,
                                    const std::string& message) override {
        warnings.emplace_back(page, message);
    }
    void didEndConversion(QVPDFConverter&, const std::optional<QVError>& e) override {
        error = e;
        ended = true;
    }
};

class FlowConversion : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fixtures::makeTestFolder(
            "e2e-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        const char* tmp = std::getenv("TMPDIR");
        savedTmpdir_ = tmp ? tmp : "";
        ::setenv("TMPDIR", folder_.c_str(), 1);
    }
    void TearDown() override {
        if (savedTmpdir_.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", savedTmpdir_.c_str(), 1);
    }

    Report convert(const std::string& pdf, const std::string& format, const std::string& output,
                   std::vector<int64_t> pages) {
        Report report;
        QVPDFConverter converter;
        converter.setDelegate(&report);
        EXPECT_TRUE(converter.convertPDFAtPath(pdf, std::nullopt, pages, format, output, {}));
        platform::MainQueue::shared().runUntil([&] { return report.ended; });
        return report;
    }

    /// One page per entry of `contents`, Helvetica as /F1.
    std::string pdfOf(const std::string& name, const std::vector<fixtures::PageSpec>& pages) {
        fixtures::PdfBuilder b;
        const std::string font = b.addStandardFont("Helvetica");
        for (fixtures::PageSpec spec : pages) {
            spec.resources = "<< /Font << /F1 " + font + " >> >>";
            b.addPage(spec);
        }
        return b.writeTo(folder_ + "/" + name + ".pdf");
    }

    std::string folder_;
    std::string savedTmpdir_;
};

// Positions of `words` in `text`, in order; fails when one is missing or out of order.
void expectInOrder(const std::string& text, const std::vector<std::string>& words,
                   const std::string& what) {
    size_t at = 0;
    for (const std::string& w : words) {
        const size_t found = text.find(w, at);
        ASSERT_NE(found, std::string::npos) << what << ": \"" << w << "\" missing or out of "
                                            << "order in:\n"
                                            << text;
        at = found + w.size();
    }
}

} // namespace

TEST_F(FlowConversion, OnlyTextWithin5DegreesOfHorizontalIsKept) {
    // Angles counter-clockwise on the PDF page; the page shows them clockwise
    // as 360 - angle. Within 5 degrees either way is main text.
    struct Case {
        double degrees;
        bool mirror;
        const char* word;
        bool kept;
        // Drawn instead of the word alone, when given.
        const char* content = nullptr;
    };
    const std::vector<Case> cases = {
        {0, false, "Level", true},
        {3, false, "Tilted", true},
        {-3, false, "Sagging", true},
        {0.3, false, "Skewed", true},
        {5, false, "Five", false},
        {-5, false, "MinusFive", false},
        {90, false, "Upward", false},
        {270, false, "Downward", false},
        {45, false, "Diagonal", false},
        {180, false, "Upside", false},
        {176, false, "Overturned", false},
        {185, false, "Askew", false},
        {180, true, "Reflected", false},
        {0, true, "Mirrored", false},
        // A block of vertical text: a step of a million points along its
        // line (spaces for it are bounded), then a line across.
        {90, false, "Column", false,
         "BT /F1 12 Tf 0 1 -1 0 300 300 Tm (Column) Tj 1000000 0 Td (Far) Tj "
         "0 -14 Td (Column) Tj ET "},
    };
    for (size_t n = 0; n < cases.size(); ++n) {
        const Case& c = cases[n];
        fixtures::PageSpec spec;
        // Horizontal text before and after, so the page is never empty.
        spec.content = shown(72, 700, 0, "Before") +
                       (c.content ? c.content : shown(300, 400, c.degrees, c.word, c.mirror)) +
                       shown(72, 100, 0, "After");
        // Named apart from the word: the HTML title carries the file's name.
        const std::string name = "turned-" + std::to_string(n);
        const std::string pdf = pdfOf(name, {spec});
        for (const std::string format : {"txt", "html", "rtf"}) {
            const std::string out = folder_ + "/" + name + "." + format;
            Report r = convert(pdf, format, out, {1});
            ASSERT_FALSE(r.error) << c.word << " " << format << ": " << r.error->failureReason;
            const std::string text = readFile(out);
            expectInOrder(text, {"Before", "After"}, std::string(c.word) + " " + format);
            EXPECT_EQ(text.find(c.word) != std::string::npos, c.kept)
                << c.word << " at " << c.degrees << " in " << format << ":\n"
                << text;
        }
    }
}

TEST_F(FlowConversion, ASlightlySkewedPageIsNotEmpty) {
    // A scan skewed by -0.4 degrees: every string reads as turned 359.6.
    fixtures::PageSpec spec;
    spec.content = shown(72, 700, 0.4, "First line") + shown(72, 680, 0.4, "second line");
    const std::string out = folder_ + "/skewed.txt";
    Report r = convert(pdfOf("skewed", {spec}), "txt", out, {1});
    ASSERT_FALSE(r.error);
    EXPECT_TRUE(r.failedPages.empty());
    expectInOrder(readFile(out), {"First line", "second line"}, "skewed");
}

TEST_F(FlowConversion, ColumnsAndPagesComeInReadingOrder) {
    fixtures::PageSpec columns;
    // Drawn alternately from both columns, whose baselines do not line up;
    // read column by column.
    for (int i = 0; i < 3; ++i) {
        columns.content += shown(72, 700 - 14 * i, 0,
                                 "left" + std::to_string(i) + " a line of body text in the column");
        columns.content += shown(320, 693 - 17 * i, 0,
                                 "right" + std::to_string(i) + " more body text on the right side");
    }
    // Both columns on the same baselines, set with ordinary leading (their
    // glyph boxes do not touch from one line to the next): still read column
    // by column, not across.
    fixtures::PageSpec aligned;
    for (int i = 0; i < 3; ++i) {
        aligned.content += shown(72, 700 - 16 * i, 0, "west" + std::to_string(i) + " column text");
        aligned.content += shown(320, 700 - 16 * i, 0, "east" + std::to_string(i) + " column text");
    }
    // A superscript set after its base: in its line, not a line of its own.
    aligned.content += "BT /F1 12 Tf 1 0 0 1 72 500 Tm (m) Tj ET "
                       "BT /F1 7 Tf 1 0 0 1 82 504 Tm (2) Tj ET "
                       "BT /F1 12 Tf 1 0 0 1 94 500 Tm (of floor) Tj ET " +
                       shown(72, 484, 0, "next line");
    fixtures::PageSpec second, third;
    second.content = shown(72, 700, 0, "second page");
    third.content = shown(72, 700, 0, "third page");
    const std::string pdf = pdfOf("columns", {columns, aligned, second, third});
    for (const std::string format : {"txt", "html", "rtf"}) {
        const std::string out = folder_ + "/columns." + format;
        Report r = convert(pdf, format, out, {1, 2, 3, 4});
        ASSERT_FALSE(r.error) << format;
        expectInOrder(readFile(out),
                      {"left0", "left1", "left2", "right0", "right1", "right2", "west0", "west1",
                       "west2", "east0", "east1", "east2", "of floor", "next line", "second page",
                       "third page"},
                      format);
    }
    // In the plain text the superscript follows its base on the base's line.
    const std::string text = readFile(folder_ + "/columns.txt");
    EXPECT_NE(text.find("m2 of floor"), std::string::npos) << text;
}

TEST_F(FlowConversion, TablesHeadingsAndLongerColumnsReadInOrder) {
    const auto at = [](double x, double y, double size, const std::string& text) {
        return "BT /F1 " + num(size) + " Tf 1 0 0 1 " + num(x) + " " + num(y) + " Tm (" + text +
               ") Tj ET ";
    };
    // A table whose first column wraps its cells on two lines, centred on
    // the rows of three columns of numbers: the wrapped lines bridge the
    // gaps between the rows, yet the table reads row by row, cell by cell.
    fixtures::PageSpec table;
    for (int r = 0; r < 4; ++r) {
        const double base = 700 - 24 * r;
        const std::string n = std::to_string(r);
        table.content += at(72, base + 6, 10, "item" + n + " of the") +
                         at(72, base - 6, 10, "wrapped" + n + " cell");
        for (int c = 0; c < 3; ++c)
            table.content += at(250 + 80 * c, base, 10, "v" + n + std::to_string(c) + " 1.25");
    }
    // A heading just above two columns of ordinarily leaded lines and a note
    // just below them: the columns still read one after the other.
    fixtures::PageSpec headed;
    headed.content = at(72, 712, 10, "heading across both of the columns of this page here");
    for (int i = 0; i < 4; ++i) {
        headed.content += at(72, 700 - 12 * i, 10, "west" + std::to_string(i) + " column text");
        headed.content += at(320, 700 - 12 * i, 10, "east" + std::to_string(i) + " column text");
    }
    headed.content += at(
        72, 652, 10, "note across both of the columns of this page, as long as the heading above");
    // A left column longer than the right one, with a heading's gap in its
    // part below the right column's end: read whole before the right one.
    fixtures::PageSpec longer;
    for (int i = 0; i < 6; ++i)
        longer.content += at(72, 700 - 12 * i, 10, "upper" + std::to_string(i) + " left text");
    for (int i = 0; i < 3; ++i)
        longer.content += at(320, 700 - 12 * i, 10, "right" + std::to_string(i) + " text");
    for (int i = 0; i < 3; ++i)
        longer.content += at(72, 610 - 12 * i, 10, "lower" + std::to_string(i) + " left text");
    const std::string pdf = pdfOf("tables", {table, headed, longer});
    std::vector<std::string> order;
    for (int r = 0; r < 4; ++r) {
        const std::string n = std::to_string(r);
        for (const std::string w : {"item", "wrapped"})
            order.push_back(w + n);
        for (int c = 0; c < 3; ++c)
            order.push_back("v" + n + std::to_string(c));
    }
    for (const char* w : {"heading", "west0", "west3", "east0", "east3", "note", "upper0", "upper5",
                          "lower0", "lower2", "right0", "right2"})
        order.push_back(w);
    for (const std::string format : {"txt", "html", "rtf"}) {
        const std::string out = folder_ + "/tables." + format;
        Report r = convert(pdf, format, out, {1, 2, 3});
        ASSERT_FALSE(r.error) << format;
        expectInOrder(readFile(out), order, format);
    }
}

TEST_F(FlowConversion, StackedScriptsStayWithTheirBase) {
    // F with a subscript j and, over it, a superscript -1 set after the
    // letter's slant: one word on the base's line, not lines of their own.
    fixtures::PageSpec spec;
    spec.content = shown(72, 712, 0, "the inverse") +
                   "BT /F1 12 Tf 1 0 0 1 72 700 Tm (F) Tj ET "
                   "BT /F1 7 Tf 1 0 0 1 79.4 697 Tm (j) Tj ET "
                   "BT /F1 7 Tf 1 0 0 1 80.6 704.5 Tm (-1) Tj ET "
                   "BT /F1 12 Tf 1 0 0 1 95 700 Tm (maps back) Tj ET " +
                   shown(72, 688, 0, "next line") +
                   // A superscript beside a small raised sign with no letter
                   // under it: the superscript still joins its letter.
                   "BT /F1 12 Tf 1 0 0 1 72 660 Tm (a) Tj ET "
                   "BT /F1 7 Tf 1 0 0 1 78.7 664.5 Tm (2) Tj ET "
                   "BT /F1 12 Tf 1 0 0 1 90 660 Tm (squared) Tj ET "
                   "BT /F1 7 Tf 1 0 0 1 200 664.5 Tm (+) Tj ET " +
                   // A fraction set in the line: a small raised 1 a word
                   // space after the text, the slash over its end.
                   shown(72, 630, 0, "length") +
                   "BT /F1 7 Tf 1 0 0 1 108.3 632 Tm (1) Tj ET "
                   "BT /F1 12 Tf 1 0 0 1 111 630 Tm (/) Tj ET "
                   "BT /F1 7 Tf 1 0 0 1 114.3 630 Tm (n) Tj ET "
                   "BT /F1 12 Tf 1 0 0 1 120 630 Tm (so) Tj ET " +
                   shown(72, 606, 0, "last line");
    const std::string out = folder_ + "/stacked.txt";
    Report r = convert(pdfOf("stacked", {spec}), "txt", out, {1});
    ASSERT_FALSE(r.error);
    const std::string text = readFile(out);
    EXPECT_NE(text.find("Fj-1 maps back\n"), std::string::npos) << text;
    expectInOrder(text, {"the inverse", "Fj-1", "next line"}, "stacked");
    EXPECT_NE(text.find("a2 squared"), std::string::npos) << text;
    EXPECT_NE(text.find("length 1/n so\n"), std::string::npos) << text;
    expectInOrder(text, {"squared", "length 1/n so", "last line"}, "fraction");
}

TEST_F(FlowConversion, AFractionReadsNumeratorThenDenominator) {
    // Small fractions set in a line, each glyph drawn on its own as TeX
    // does: dy over du, their glyphs starting within a point of each other,
    // and b under a hat accent over t. The numerator reads whole before the
    // denominator, and the accent stays with its letter.
    const auto glyph = [](double x, double y, const char* text) {
        return "BT /F1 7 Tf 1 0 0 1 " + std::to_string(x) + " " + std::to_string(y) + " Tm (" +
               text + ") Tj ET ";
    };
    fixtures::PageSpec spec;
    spec.content = shown(72, 660, 0, "first line") + shown(72, 630, 0, "so that") +
                   glyph(111.2, 634.5, "d") + glyph(115.3, 634.5, "y") + glyph(111, 626, "d") +
                   glyph(115.1, 626, "u") + shown(121, 630, 0, "+") + glyph(131.2, 634.5, "b") +
                   glyph(132.5, 635.7, "^") + glyph(131, 626, "t") + shown(138, 630, 0, "holds") +
                   // b over a between brackets, further from the opening
                   // bracket than a script from its base, then squared.
                   shown(72, 600, 0, "then \\(") + glyph(104.3, 604.5, "b") +
                   glyph(103.9, 596, "a") + shown(109.5, 600, 0, "\\)") + glyph(113.5, 604.5, "2") +
                   shown(120, 600, 0, "< 1") + shown(72, 570, 0, "last line");
    const std::string out = folder_ + "/fraction.txt";
    Report r = convert(pdfOf("fraction", {spec}), "txt", out, {1});
    ASSERT_FALSE(r.error);
    const std::string text = readFile(out);
    // Each fraction reads in its line, where it stands.
    EXPECT_NE(text.find("so that dydu + b^t holds\n"), std::string::npos) << text;
    EXPECT_NE(text.find("then ( ba )2 < 1\n"), std::string::npos) << text;
    expectInOrder(text, {"first line", "so that", "then (", "last line"}, "fraction");
}

TEST_F(FlowConversion, ASmallGridReadsAcrossItsRows) {
    // A matrix in a formula: M = (p11 p12 / p21 p22) with its rows above and
    // below the formula's line; then two columns of running text on the same
    // two baselines, which still read column by column.
    fixtures::PageSpec spec;
    spec.content =
        shown(72, 700, 0, "Let") + shown(100, 680, 0, "M =") + shown(130, 686.8, 0, "p11") +
        shown(160, 686.8, 0, "p12") + shown(130, 673.2, 0, "p21") + shown(160, 673.2, 0, "p22") +
        shown(190, 680, 0, "be given.") + shown(72, 620, 0, "The left column starts here and") +
        shown(72, 606, 0, "ends on its second line.") +
        shown(320, 620, 0, "The right column comes after") +
        shown(320, 606, 0, "the left one, as a reader goes.") +
        // Labels wrapped over two lines side by side, with no
        // formula between their rows, read label by label.
        shown(100, 560, 0, "Quite") + shown(140, 560, 0, "Not") + shown(100, 546, 0, "rare") +
        shown(140, 546, 0, "seen");
    for (const char* format : {"txt", "html", "rtf"}) {
        const std::string out = folder_ + "/grid." + format;
        Report r = convert(pdfOf(std::string("grid-") + format, {spec}), format, out, {1});
        ASSERT_FALSE(r.error) << format;
        expectInOrder(readFile(out),
                      {"M =", "p11", "p12", "p21", "p22", "be given.", "starts here", "second line",
                       "right column", "reader goes", "Quite", "rare", "Not", "seen"},
                      format);
    }
}

TEST_F(FlowConversion, PageColumnsReadWholeThroughHeadingsLevelOnBothSides) {
    // Two columns whose headings have space above them at about the same
    // height (their lines not level, as glue set apart in each column
    // leaves them): the page falls into bands, yet the left column reads
    // to its end before the right one; the running head above them stays
    // one line. With seven sections the page has eight divs and the
    // columns run to its last one: the reading once looked one div past
    // the end of the page's list of them.
    for (const int sections : {2, 7}) {
        std::string content = shown(72, 740, 0, "12") + shown(470, 740, 0, "Running head");
        std::vector<std::string> order = {"12", "Running head"};
        const auto column = [&](double x, double top, const std::string& side) {
            double y = top;
            for (int section = 1; section <= sections; ++section) {
                const std::string heading = side + " heading " + std::to_string(section);
                content += shown(x, y, 0, heading);
                order.push_back(heading);
                for (int line = 1; line <= 3; ++line) {
                    const std::string text = side + " text " + std::to_string(section) + "." +
                                             std::to_string(line) + " of the column";
                    content += shown(x, y - 14.0 * line, 0, text);
                    order.push_back(text);
                }
                y -= 80;
            }
        };
        column(72, 700, "Left");
        column(320, 695, "Right");
        fixtures::PageSpec spec;
        spec.content = content;
        for (const char* format : {"txt", "html", "rtf"}) {
            const std::string name = "columns-" + std::to_string(sections) + "-" + format;
            const std::string out = folder_ + "/" + name + "." + format;
            Report r = convert(pdfOf(name, {spec}), format, out, {1});
            ASSERT_FALSE(r.error) << format;
            expectInOrder(readFile(out), order, name);
        }
    }
}

TEST_F(FlowConversion, AnOverlaySlashFollowsTheSignItIsDrawnOver) {
    // TeX draws "not equal" as a slash of no advance (negationslash, a
    // combining U+0338) and then "=" at the same place: the mark follows
    // its base, so the two read as one sign, in one word with no blank.
    fixtures::PdfBuilder b;
    const std::string text = b.addStandardFont("Helvetica");
    const std::string slash = b.addObject(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /FirstChar 65 /LastChar 65 "
        "/Widths [0] /Encoding << /Type /Encoding /Differences [65 /negationslash] >> >>");
    fixtures::PageSpec spec;
    spec.resources = "<< /Font << /F1 " + text + " /F2 " + slash + " >> >>";
    spec.content = "BT /F1 12 Tf 1 0 0 1 72 700 Tm (x) Tj ET "
                   "BT /F2 12 Tf 1 0 0 1 82 700 Tm (A) Tj ET "
                   "BT /F1 12 Tf 1 0 0 1 82 700 Tm (=) Tj ET "
                   "BT /F1 12 Tf 1 0 0 1 94 700 Tm (y) Tj ET ";
    b.addPage(spec);
    const std::string pdf = b.writeTo(folder_ + "/negation.pdf");
    const std::string out = folder_ + "/negation.txt";
    Report r = convert(pdf, "txt", out, {1});
    ASSERT_FALSE(r.error);
    EXPECT_NE(readFile(out).find("x =\xCC\xB8 y"), std::string::npos) << readFile(out);
}

TEST_F(FlowConversion, AnAccentSetOverALetterJoinsItAsACombiningMark) {
    // TeX sets \tilde{a} as a tilde glyph of its own over the letter (drawn
    // first, on the letter's baseline) and \hat{H} raised over a capital.
    // Each joins its letter; a tilde standing beside text, over nothing,
    // stays a sign of its own.
    fixtures::PdfBuilder b;
    const std::string text = b.addStandardFont("Helvetica");
    const std::string accents = b.addObject(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /FirstChar 65 /LastChar 66 "
        "/Widths [500 500] /Encoding << /Type /Encoding /Differences [65 /tilde /circumflex] "
        ">> >>");
    fixtures::PageSpec spec;
    spec.resources = "<< /Font << /F1 " + text + " /F2 " + accents + " >> >>";
    spec.content = "BT /F1 12 Tf 1 0 0 1 72 700 Tm (Sei ) Tj ET "
                   "BT /F2 12 Tf 1 0 0 1 93 700 Tm (A) Tj ET "
                   "BT /F1 12 Tf 1 0 0 1 92.68 700 Tm (a in ) Tj ET "
                   "BT /F2 12 Tf 1 0 0 1 115.9 703 Tm (B) Tj ET "
                   "BT /F1 12 Tf 1 0 0 1 115.36 700 Tm (H) Tj ET "
                   "BT /F1 12 Tf 1 0 0 1 72 680 Tm (approx) Tj ET "
                   "BT /F2 12 Tf 1 0 0 1 112 680 Tm (A) Tj ET "
                   "BT /F1 12 Tf 1 0 0 1 122 680 Tm (5) Tj ET ";
    b.addPage(spec);
    const std::string pdf = b.writeTo(folder_ + "/accents.pdf");
    const std::string out = folder_ + "/accents.txt";
    Report r = convert(pdf, "txt", out, {1});
    ASSERT_FALSE(r.error);
    const std::string got = readFile(out);
    // a + U+0303 and H + U+0302, in their places on the line.
    EXPECT_NE(got.find("Sei a\xCC\x83 in H\xCC\x82"), std::string::npos) << got;
    EXPECT_NE(got.find("approx \xCB\x9C 5"), std::string::npos) << got;
}

TEST_F(FlowConversion, AnUpsideDownPageReadsTurned) {
    // A page of nothing but upside-down text reads as its text reads;
    // beside upright text, upside-down text is slanted text to these
    // outputs and leaves no trace.
    const std::string lines =
        shown(72, 700, 0, "First line of the page") + shown(72, 686, 0, "second line");
    fixtures::PageSpec turned, mixed;
    turned.content = "q -1 0 0 -1 612 792 cm " + lines + "Q ";
    mixed.content = turned.content + shown(72, 400, 0, "Upright note");
    const std::string pdf = pdfOf("upside-down", {turned, mixed});
    for (const std::string format : {"txt", "html", "rtf"}) {
        const std::string out = folder_ + "/upside-down." + format;
        Report r = convert(pdf, format, out, {1, 2});
        ASSERT_FALSE(r.error) << format;
        EXPECT_TRUE(r.failedPages.empty()) << format;
        EXPECT_TRUE(r.warnings.empty()) << format;
        const std::string text = readFile(out);
        expectInOrder(text, {"First line of the page", "second line", "Upright note"}, format);
        EXPECT_EQ(text.find("second line", text.find("second line") + 1), std::string::npos)
            << format;
    }
}

TEST_F(FlowConversion, OverprintedTextAndBlanksUnderGlyphsReadOnce) {
    // A line drawn glyph by glyph, then three times more a quarter point
    // aside (fake bold), blanks included; and lines that begin with a blank
    // drawn under their first glyph, set a hair lower (as a producer does
    // that draws a blank before each line); and a box's lines drawn again
    // later in another black (a rich black over the CMYK one).
    fixtures::PageSpec page;
    for (int pass = 0; pass < 4; ++pass) {
        page.content += "BT /F1 12 Tf 1 0 0 1 " + num(72 + 0.24 * (pass % 2)) + " " +
                        num(700 + 0.24 * (pass / 2)) + " Tm";
        for (char c : std::string("Bold words on a line"))
            page.content += " (" + std::string(1, c) + ") Tj";
        page.content += " ET ";
    }
    page.content += shown(72, 680, 0, "Kurtwood");
    for (const char* word : {"Smith", "ideal"}) {
        const double y = word[0] == 'S' ? 666 : 652;
        page.content += "BT /F1 12 Tf 1 0 0 1 72 " + num(y - 0.01) +
                        " Tm ( ) Tj ET BT /F1 12 Tf 1 0 0 1 72 " + num(y) + " Tm (" +
                        std::string(1, word[0]) + ") Tj (" + (word + 1) + ") Tj ( follows) Tj ET ";
    }
    for (const char* black : {"0 0 0 1 k", "0.1 0.1 0.12 rg"})
        for (const char* line : {"Boxed note", "drawn twice"})
            page.content += std::string("BT ") + black + " /F1 12 Tf 1 0 0 1 " +
                            (black[2] == '0' ? "72" : "72.003") + " " +
                            (line[0] == 'B' ? "630" : "616") + " Tm (" + line + ") Tj ET ";
    const std::string pdf = pdfOf("overprint", {page});
    for (const std::string format : {"txt", "html", "rtf"}) {
        const std::string out = folder_ + "/overprint." + format;
        Report r = convert(pdf, format, out, {1});
        ASSERT_FALSE(r.error) << format;
        const std::string text = readFile(out);
        expectInOrder(text,
                      {"Bold words on a line", "Kurtwood", "Smith follows", "ideal follows",
                       "Boxed note", "drawn twice"},
                      format);
        EXPECT_EQ(text.find("words", text.find("words") + 1), std::string::npos) << text;
        EXPECT_EQ(text.find("note", text.find("note") + 1), std::string::npos) << text;
        EXPECT_EQ(text.find("twice", text.find("twice") + 1), std::string::npos) << text;
        EXPECT_EQ(text.find("BB"), std::string::npos) << text;
    }
    // The Word output reads the bold line once too.
    const std::string docx = folder_ + "/overprint.docx";
    Report r = convert(pdf, "docx", docx, {1});
    ASSERT_FALSE(r.error);
    auto read = fixtures::runPython(
        "import docx, sys\n"
        "print('|'.join(p.text.strip() for p in docx.Document(sys.argv[1]).paragraphs "
        "if p.text.strip()))",
        {docx});
    ASSERT_TRUE(read.ok()) << read.output;
    EXPECT_EQ(read.output.rfind("Bold words on a line|Kurtwood", 0), 0u) << read.output;
    EXPECT_EQ(read.output.find("note", read.output.find("note") + 1), std::string::npos)
        << read.output;
}

namespace {

// How the RTF set each text: the font table's entry and the bold and italic
// switches in force where it stands. Only what this writer writes is read.
struct RtfLook {
    std::string entry; // "\froman\fcharset0 Times New Roman"
    bool bold = false, italic = false;
};
std::map<std::string, RtfLook> rtfLooks(const std::string& rtf,
                                        const std::vector<std::string>& texts) {
    std::map<std::string, std::string> table;
    const std::regex entry(R"(\\f(\d+)(\\f[a-z]+\\fcharset0 [^;]*);)");
    const size_t tableEnd = rtf.find("}\n");
    for (std::sregex_iterator it(rtf.begin(), rtf.begin() + long(tableEnd), entry), end; it != end;
         ++it)
        table[(*it)[1]] = (*it)[2];
    std::map<std::string, RtfLook> out;
    for (const std::string& text : texts) {
        const size_t at = rtf.find(text, tableEnd);
        if (at == std::string::npos)
            continue;
        RtfLook look;
        std::string font;
        const std::regex word(R"(\\([a-z]+)(-?\d*))");
        for (std::sregex_iterator it(rtf.begin() + long(tableEnd), rtf.begin() + long(at), word),
             end;
             it != end; ++it) {
            const std::string name = (*it)[1], value = (*it)[2];
            if (name == "f")
                font = value;
            else if (name == "b")
                look.bold = value != "0";
            else if (name == "i")
                look.italic = value != "0";
        }
        look.entry = table[font];
        out[text] = look;
    }
    return out;
}

} // namespace

TEST_F(FlowConversion, FontNamesAreWrittenAsTheFamiliesReadersFind) {
    // PostScript and TeX names as families a browser or word processor
    // resolves, with their generic kind for a reader without them, and the
    // style a TeX face's letters give; a family no reader has becomes the
    // core family its name's words or its descriptor's flags call for.
    fixtures::PdfBuilder b;
    const auto simple = [&](const std::string& name, const std::string& more = "") {
        return b.addObject("<< /Type /Font /Subtype /Type1 /BaseFont /" + name +
                           " /Encoding /WinAnsiEncoding" + more + " >>");
    };
    const auto described = [&](const std::string& name, int flags) {
        return simple(name, " /FontDescriptor " +
                                b.addObject("<< /Type /FontDescriptor /FontName /" + name +
                                            " /Flags " + std::to_string(flags) +
                                            " /FontBBox [0 -200 1000 800] /ItalicAngle 0 /Ascent "
                                            "800 /Descent -200 /CapHeight 700 /StemV 80 >>"));
    };
    const struct {
        std::string font, text;
        const char* css; // the family list of its span's rule
        const char* rtf; // its font table entry
        bool bold, italic;
    } cases[] = {
        {b.addStandardFont("Helvetica"), "Standard sans", "'Arial', 'Nimbus Sans', sans-serif",
         "\\fswiss\\fcharset0 Arial", false, false},
        {b.addStandardFont("Times-Bold"), "Standard bold serif",
         "'Times New Roman', 'Nimbus Roman', serif", "\\froman\\fcharset0 Times New Roman", true,
         false},
        {b.addStandardFont("Courier-Oblique"), "Standard slanted mono",
         "'Courier New', 'Nimbus Mono PS', monospace", "\\fmodern\\fcharset0 Courier New", false,
         true},
        {simple("ABCDEF+ArialMT"), "Subset of a core font", "'Arial', 'Nimbus Sans', sans-serif",
         "\\fswiss\\fcharset0 Arial", false, false},
        {simple("ABCDEF+CMBX10"), "TeX bold extended", "'Times New Roman', 'Nimbus Roman', serif",
         "\\froman\\fcharset0 Times New Roman", true, false},
        {simple("SFTI1095"), "TeX text italic", "'Times New Roman', 'Nimbus Roman', serif",
         "\\froman\\fcharset0 Times New Roman", false, true},
        {simple("CMTT10"), "TeX typewriter", "'Courier New', 'Nimbus Mono PS', monospace",
         "\\fmodern\\fcharset0 Courier New", false, false},
        // Unknown families: the core family of their words or their
        // descriptor's flags (a symbol font's serif flag included, as its
        // text is written as Unicode).
        {simple("QWZFiraSans-Book"), "Unknown sans", "'Arial', 'Nimbus Sans', sans-serif",
         "\\fswiss\\fcharset0 Arial", false, false},
        {described("QWZTextface-Regular", 34), "Unknown serif",
         "'Times New Roman', 'Nimbus Roman', serif", "\\froman\\fcharset0 Times New Roman", false,
         false},
        {described("QWZPictos", 6), "Unknown symbols", "'Times New Roman', 'Nimbus Roman', serif",
         "\\froman\\fcharset0 Times New Roman", false, false},
        {described("QWZMono-Bold", 33), "Unknown bold mono",
         "'Courier New', 'Nimbus Mono PS', monospace", "\\fmodern\\fcharset0 Courier New", true,
         false},
    };
    fixtures::PageSpec page;
    std::string resources;
    std::vector<std::string> texts;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string name = "/F" + std::to_string(i + 1);
        resources += " " + name + " " + cases[i].font;
        page.content += "BT " + name + " 12 Tf 72 " + num(700.0 - 30.0 * double(i)) + " Td (" +
                        cases[i].text + ") Tj ET ";
        texts.push_back(cases[i].text);
    }
    page.resources = "<< /Font <<" + resources + " >> >>";
    b.addPage(page);
    const std::string pdf = b.writeTo(folder_ + "/fonts.pdf");

    ASSERT_FALSE(convert(pdf, "html", folder_ + "/fonts.html", {1}).error);
    const std::string html = readFile(folder_ + "/fonts.html");
    ASSERT_FALSE(convert(pdf, "rtf", folder_ + "/fonts.rtf", {1}).error);
    const std::string rtf = readFile(folder_ + "/fonts.rtf");
    const std::map<std::string, RtfLook> looks = rtfLooks(rtf, texts);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        // <span class="sN">, the style tags, the text.
        std::smatch m;
        ASSERT_TRUE(std::regex_search(html, m,
                                      std::regex("<span class=\"(s\\d+)\">((?:<[bi]>)*)" + c.text)))
            << html;
        EXPECT_NE(html.find("span." + m[1].str() + " { font: 14px " + c.css + "; color:"),
                  std::string::npos)
            << html;
        EXPECT_EQ(m[2].str().find("<b>") != std::string::npos, c.bold);
        EXPECT_EQ(m[2].str().find("<i>") != std::string::npos, c.italic);
        ASSERT_TRUE(looks.count(c.text)) << rtf;
        const RtfLook& look = looks.at(c.text);
        EXPECT_EQ(look.entry, c.rtf) << rtf;
        EXPECT_EQ(look.bold, c.bold) << rtf;
        EXPECT_EQ(look.italic, c.italic) << rtf;
    }
}

TEST_F(FlowConversion, APageWhoseTextWasAllLeftOutIsReported) {
    // Page 2 is turned by /Rotate 90: its text stands vertical on the shown
    // page, all of it, and reads as it runs. Page 3 holds text running two
    // ways, none level: it is left out, and said so. Page 4 has no text.
    fixtures::PageSpec upright, turned, twoWays, blank;
    upright.content = shown(72, 700, 0, "upright page");
    turned.content = shown(72, 700, 0, "turned page");
    turned.rotate = 90;
    twoWays.content = shown(300, 300, 90, "Upward") + shown(340, 500, 270, "Downward");
    blank.content = "0 0 m 100 100 l S";
    const std::string pdf = pdfOf("rotate", {upright, turned, twoWays, blank});
    const std::string out = folder_ + "/rotate.txt";
    Report r = convert(pdf, "txt", out, {1, 2, 3, 4});
    ASSERT_FALSE(r.error);
    EXPECT_TRUE(r.failedPages.empty());
    ASSERT_EQ(r.warnings.size(), 2u);
    EXPECT_EQ(r.warnings[0].first, 3);
    EXPECT_NE(r.warnings[0].second.find("vertical"), std::string::npos);
    EXPECT_EQ(r.warnings[1],
              (std::pair<int64_t, std::string>{4, "page 4 has no text; it may be a scanned image"}));
    const std::string text = readFile(out);
    expectInOrder(text, {"upright page", "turned page"}, "rotate");
    EXPECT_EQ(text.find("Upward"), std::string::npos);

    // A document of such a page only converts: empty, with the warning.
    const std::string only = folder_ + "/only-two-ways.txt";
    Report alone = convert(pdfOf("only-two-ways", {twoWays}), "txt", only, {1});
    ASSERT_FALSE(alone.error);
    ASSERT_EQ(alone.warnings.size(), 1u);
    EXPECT_TRUE(platform::pathExists(only));
}

TEST_F(FlowConversion, ACancelLeavesNoFileUnderTheOutputName) {
    // The driver's cancel: pages converted, then cleanConvertPDF instead of
    // the end, and the exporter released.
    fixtures::PageSpec page;
    page.content = shown(72, 700, 0, "some text");
    const std::string pdf = pdfOf("cancel", {page, page, page});
    for (const std::string format : {"txt", "html", "rtf"}) {
        const std::string out = folder_ + "/cancelled." + format;
        {
            auto exporter = QVPDFConverter::exporterForDocType(format, {});
            ASSERT_TRUE(exporter) << format;
            auto document = platform::PdfDocument::open(pdf);
            ASSERT_TRUE(document);
            exporter->setNumberOfPagesToConvert(3);
            exporter->begainConvertPDF(out);
            for (size_t p = 1; p <= 2; ++p) {
                auto pdfPage = document->page(p);
                EXPECT_TRUE(exporter->convertPDFPage(pdfPage.get())) << format;
            }
            exporter->cleanConvertPDF();
        }
        EXPECT_FALSE(platform::pathExists(out)) << format;
        // Nor under a temporary name beside it.
        for (const auto& entry : std::filesystem::directory_iterator(folder_))
            EXPECT_EQ(entry.path().filename().string().find("cancelled"), std::string::npos)
                << entry.path();
    }
}

TEST_F(FlowConversion, AnUnwritableOutputFolderEndsWithAnError) {
    fixtures::PageSpec page;
    page.content = shown(72, 700, 0, "text");
    const std::string pdf = pdfOf("unwritable", {page});
    // A folder that does not exist, and a "folder" that is a file.
    for (const std::string& folder : {folder_ + "/missing", folder_ + "/unwritable.pdf"}) {
        for (const std::string format : {"txt", "html", "rtf"}) {
            const std::string out = folder + "/out." + format;
            Report r = convert(pdf, format, out, {1});
            ASSERT_TRUE(r.error) << out;
            EXPECT_EQ(r.error->code, 400) << out;
            EXPECT_FALSE(platform::pathExists(out)) << out;
        }
    }
}
