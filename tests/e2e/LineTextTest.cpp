// The text of a line as the whole conversion writes it: numbers set inside
// CJK text stay in its cell, blanks that pad a cell under the next cell's
// glyphs do not tear its digits apart, runs of spaces stay in HTML, text off
// the page is left out, and the private-use signs of symbol fonts read as
// their Unicode signs.

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"

#include <gtest/gtest.h>

#include <charconv>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

const std::string kCorvala = std::string(CORVALA_BINARY_DIR) + "/bin/corvala";

std::string num(double v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
    return std::string(buf, r.ptr);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Converts `pdf` (named name.pdf in folder) to `format`; the output's path.
std::string convert(const std::string& folder, const std::string& name, const std::string& format) {
    auto run = fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert -f " + format + " " +
                                    fixtures::shellQuote(folder + "/" + name + ".pdf") + " -o " +
                                    fixtures::shellQuote(folder));
    EXPECT_TRUE(run.ok()) << run.output;
    return folder + "/" + name + "." + format;
}

// The first page of a csv output as UTF-8.
std::string csvPage(const std::string& csvFolder) {
    auto text = fixtures::runPython(
        "import sys; print(open(sys.argv[1], encoding='utf-16').read(), end='')",
        {csvFolder + "/Table 1.csv"});
    EXPECT_TRUE(text.ok()) << text.output;
    return text.output;
}

// Text of an HTML page without its tags.
std::string htmlText(const std::string& html) {
    return std::regex_replace(html, std::regex("<[^>]*>"), "");
}

// ---------------------------------------------------------------------------

// A CJK font of two-byte codes 1..4 (前 名 东 年, 1 em wide each) without a
// program, and Helvetica for the digits and Latin words.
struct CjkFixture {
    fixtures::PdfBuilder b;
    std::string resources;
    CjkFixture() {
        const std::string unicode = b.addStream(
            "", "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
                "/CMapName /CJK def 1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
                "4 beginbfchar <0001> <524D> <0002> <540D> <0003> <4E1C> <0004> <5E74> endbfchar\n"
                "endcmap CMapName currentdict /CMap defineresource pop end end\n");
        const std::string cid = b.addObject(
            "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /SimSun"
            " /CIDSystemInfo << /Registry (Adobe) /Ordering (GB1) /Supplement 2 >>"
            " /FontDescriptor << /Type /FontDescriptor /FontName /SimSun /Flags 4"
            " /FontBBox [0 -120 1000 880] /ItalicAngle 0 /Ascent 880 /Descent -120"
            " /CapHeight 700 /StemV 80 >> /DW 1000 >>");
        const std::string cjk = b.addObject(
            "<< /Type /Font /Subtype /Type0 /BaseFont /SimSun /Encoding /Identity-H"
            " /DescendantFonts [" + cid + "] /ToUnicode " + unicode + " >>");
        resources = "<< /Font << /C " + cjk + " /F1 " + b.addStandardFont("Helvetica") + " >> >>";
    }
};

// A line of pieces, each at its x on one baseline at 9 pt: CJK codes or
// Helvetica text.
struct Piece {
    double x;
    std::string cjkCodes; // hex codes, or empty for `latin`
    std::string latin;
};

std::string lineOf(const std::vector<Piece>& pieces, double y) {
    std::string content;
    for (const Piece& p : pieces)
        content += p.cjkCodes.empty()
                       ? "BT /F1 9 Tf " + num(p.x) + " " + num(y) + " Td (" + p.latin + ") Tj ET "
                       : "BT /C 9 Tf " + num(p.x) + " " + num(y) + " Td <" + p.cjkCodes + "> Tj ET ";
    return content;
}

TEST(LineText, ANumberInsideCjkTextStaysInItsCell) {
    // "10" is 10.008 pt wide in 9 pt Helvetica; a CJK character 9 pt. Word
    // spaces digits off CJK by about a quarter em (2.3 pt at 9 pt).
    const struct {
        const char* name;
        std::vector<Piece> pieces;
        const char* cells; // the csv line
    } cases[] = {
        {"number between ideographs, quarter-em gaps",
         {{72, "0001", ""}, {83.3, "", "10"}, {95.8, "0002", ""}},
         "\xE5\x89\x8D" "10" "\xE5\x90\x8D"},
        {"year between ideographs",
         {{72, "0003", ""}, {83.28, "", "2018"}, {105.6, "0004", ""}},
         "\xE4\xB8\x9C" "2018" "\xE5\xB9\xB4"},
        {"number set a whole em away is a cell of its own",
         {{72, "0001", ""}, {90, "", "10"}, {109, "0002", ""}},
         "\xE5\x89\x8D\t10\t\xE5\x90\x8D"},
        {"a number after a Latin word keeps its space",
         {{72, "", "Page"}, {95.3, "", "10"}},
         "Page 10"},
    };
    const std::string folder = fixtures::makeTestFolder("e2e-cjk-number");
    int k = 0;
    for (const auto& c : cases) {
        CjkFixture one;
        fixtures::PageSpec page;
        page.mediaBox = {0, 0, 300, 100};
        page.resources = one.resources;
        page.content = lineOf(c.pieces, 50);
        one.b.addPage(page);
        const std::string name = "cjk" + std::to_string(k++);
        one.b.writeTo(folder + "/" + name + ".pdf");
        EXPECT_EQ(csvPage(convert(folder, name, "csv")), std::string(c.cells) + "\n") << c.name;
        // The workbook's cells come from the same analysis.
        auto cells = fixtures::runPython(
            "import sys, openpyxl\n"
            "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
            "print('\\t'.join(str(c.value) for row in ws.iter_rows() for c in row"
            " if c.value is not None))",
            {convert(folder, name, "xlsx")});
        ASSERT_TRUE(cells.ok()) << cells.output;
        EXPECT_EQ(cells.output, std::string(c.cells) + "\n") << c.name;
    }
}

// ---------------------------------------------------------------------------

// A report that draws each cell's digits one by one and pads the cell with
// pairs of blanks that reach under the next cell's date, the next cell
// drawn after them (as a report generator's fixed-width fields do).
TEST(LineText, BlanksPaddingACellUnderTheNextDoNotTearItsDigits) {
    const std::string folder = fixtures::makeTestFolder("e2e-padding-blanks");
    fixtures::PdfBuilder b;
    const std::string font = b.addStandardFont("Helvetica");
    const double step = 5.763; // one digit at 10.44 pt
    std::string content;
    auto cell = [&](double x, const std::string& date, int blanks) {
        for (char c : date) {
            content += "BT /F1 10.44 Tf " + num(x) + " 700 Td (" + std::string(1, c) + ") Tj ET ";
            x += c == '/' ? 2.9 : step;
        }
        for (int k = 0; k < blanks; ++k, x += step)
            content += "BT /F1 10.44 Tf " + num(x) + " 700 Td (  ) Tj ET ";
    };
    cell(30.48, "06/22/2015", 10);
    cell(97.8, "03/25/2016", 10);
    cell(165.14, "07/01/2015", 0);
    fixtures::PageSpec page;
    page.content = content + "BT /F1 10.44 Tf 30.48 680 Td (Next line) Tj ET";
    page.resources = "<< /Font << /F1 " + font + " >> >>";
    b.addPage(page);
    b.writeTo(folder + "/report.pdf");
    const std::regex dates("06/22/2015\\s+03/25/2016\\s+07/01/2015");
    for (const char* format : {"txt", "html", "rtf"}) {
        std::string text = readFile(convert(folder, "report", format));
        if (std::string(format) == "html")
            text = htmlText(text);
        EXPECT_TRUE(std::regex_search(text, dates)) << format << ":\n" << text;
    }
    // The peer reads the same line.
    auto peer = fixtures::runCommand("pdftotext -layout " +
                                     fixtures::shellQuote(folder + "/report.pdf") + " -");
    ASSERT_TRUE(peer.ok()) << peer.output;
    EXPECT_TRUE(std::regex_search(peer.output, dates)) << peer.output;
}

// ---------------------------------------------------------------------------

// The paragraph class of the HTML paragraph holding `words`, and that
// class's rule.
std::string ruleOfParagraphHolding(const std::string& html, const std::string& words) {
    const size_t at = html.find(words);
    if (at == std::string::npos)
        return "(no " + words + ")";
    const size_t p = html.rfind("<p class=\"", at);
    if (p == std::string::npos)
        return "(no paragraph)";
    const size_t start = p + 10, end = html.find('"', start);
    const std::string cls = html.substr(start, end - start);
    const size_t rule = html.find("p." + cls + " {");
    if (rule == std::string::npos)
        return "(no rule for " + cls + ")";
    return html.substr(rule, html.find('}', rule) - rule + 1);
}

TEST(LineText, HtmlKeepsTheRunsOfSpacesThatAlignALine) {
    const std::string folder = fixtures::makeTestFolder("e2e-html-spaces");
    fixtures::PdfBuilder b;
    const std::string courier = b.addStandardFont("Courier");
    fixtures::PageSpec page;
    // A transcript's numbered lines aligned with spaces, a line whose two
    // parts stand far apart, and a line of single spaces.
    page.content = "BT /F1 12 Tf 72 700 Td (1      IN THE SUPREME COURT) Tj ET "
                   "BT /F1 12 Tf 72 680 Td (5              Petitioner) Tj ET "
                   "BT /F1 12 Tf 72 660 Td (WARDEN,) Tj ET BT /F1 12 Tf 300 660 Td (:) Tj ET "
                   "BT /F1 12 Tf 72 640 Td (one plain line) Tj ET";
    page.resources = "<< /Font << /F1 " + courier + " >> >>";
    b.addPage(page);
    b.writeTo(folder + "/transcript.pdf");
    const std::string html = readFile(convert(folder, "transcript", "html"));
    const struct {
        const char* words;
        bool keeps;
    } cases[] = {
        {"IN THE SUPREME COURT", true},
        {"Petitioner", true},
        {"WARDEN,", true},
        {"one plain line", false},
    };
    for (const auto& c : cases) {
        const std::string rule = ruleOfParagraphHolding(html, c.words);
        EXPECT_EQ(rule.find("white-space: pre-wrap") != std::string::npos, c.keeps)
            << c.words << ": " << rule << "\n" << html;
    }
}

// ---------------------------------------------------------------------------

TEST(LineText, TextWhollyOffThePageIsLeftOut) {
    const std::string folder = fixtures::makeTestFolder("e2e-off-page");
    fixtures::PdfBuilder b;
    const std::string font = b.addStandardFont("Helvetica");
    fixtures::PageSpec page;
    page.mediaBox = {0, 0, 200, 100};
    // Above the page, right of it, below it; one string that starts left of
    // the page and reaches onto it, and one inside.
    page.content = "BT /F1 12 Tf 0 112 Td (Aboveword) Tj ET "
                   "BT /F1 12 Tf 220 50 Td (Rightword) Tj ET "
                   "BT /F1 12 Tf 10 -30 Td (Belowword) Tj ET "
                   "BT /F1 12 Tf -30 70 Td (Straddling words) Tj ET "
                   "BT /F1 12 Tf 20 40 Td (Inside words) Tj ET";
    page.resources = "<< /Font << /F1 " + font + " >> >>";
    b.addPage(page);
    b.writeTo(folder + "/page.pdf");
    auto peer = fixtures::runCommand("pdftotext " + fixtures::shellQuote(folder + "/page.pdf") + " -");
    ASSERT_TRUE(peer.ok());
    for (const char* format : {"txt", "html", "rtf", "csv", "docx", "pptx"}) {
        const std::string out = convert(folder, "page", format);
        std::string text;
        if (std::string(format) == "csv")
            text = csvPage(out);
        else if (std::string(format) == "docx")
            text = fixtures::runCommand("unzip -p " + fixtures::shellQuote(out) +
                                        " word/document.xml").output;
        else if (std::string(format) == "pptx")
            text = fixtures::runCommand("unzip -p " + fixtures::shellQuote(out) +
                                        " ppt/slides/slide1.xml").output;
        else
            text = readFile(out);
        for (const char* gone : {"Aboveword", "Rightword", "Belowword"}) {
            EXPECT_EQ(text.find(gone), std::string::npos) << format << ": " << gone;
            EXPECT_EQ(peer.output.find(gone), std::string::npos) << "pdftotext: " << gone;
        }
        EXPECT_NE(text.find("Inside"), std::string::npos) << format;
        EXPECT_NE(text.find("Straddling"), std::string::npos) << format;
    }
}

// ---------------------------------------------------------------------------

TEST(LineText, SymbolFontPrivateUseCharactersReadAsTheirSigns) {
    const std::string folder = fixtures::makeTestFolder("e2e-symbol-signs");
    fixtures::PdfBuilder b;
    // Simple fonts whose /ToUnicode gives code plus U+F000, as Word writes
    // its bullets and check marks.
    auto symbolFont = [&](const std::string& name, int code) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", code);
        const std::string unicode = b.addStream(
            "", "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
                "/CMapName /Sym def 1 begincodespacerange <00> <FF> endcodespacerange\n"
                "1 beginbfchar <" + std::string(hex) + "> <F0" + hex + "> endbfchar\n"
                "endcmap CMapName currentdict /CMap defineresource pop end end\n");
        return b.addObject("<< /Type /Font /Subtype /TrueType /BaseFont /" + name +
                           " /FirstChar " + std::to_string(code) + " /LastChar " +
                           std::to_string(code) + " /Widths [800] /FontDescriptor << /Type "
                           "/FontDescriptor /FontName /" + name + " /Flags 4 /FontBBox [0 -200 1000 "
                           "900] /ItalicAngle 0 /Ascent 900 /Descent -200 /CapHeight 700 /StemV 80 "
                           ">> /ToUnicode " + unicode + " >>");
    };
    const struct {
        const char* font;
        int code;
        const char* reads; // UTF-8
    } cases[] = {
        {"ABCDEF+Wingdings-Regular", 0xFC, "\xE2\x9C\x93"}, // check mark
        {"Wingdings", 0xA7, "\xE2\x96\xAA"},                // small black square
        {"SymbolMT", 0xB7, "\xE2\x80\xA2"},                 // bullet
        {"Symbol", 0x61, "\xCE\xB1"},                       // alpha
        {"Wingdings2", 0xFC, "\xEF\x83\xBC"},               // another set: kept
        {"Helvetica", 0xFC, "\xEF\x83\xBC"},                // no symbol font: kept
    };
    std::string content, fonts;
    double y = 700;
    int k = 0;
    for (const auto& c : cases) {
        const std::string ref = symbolFont(c.font, c.code);
        fonts += " /S" + std::to_string(k) + " " + ref;
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", c.code);
        content += "BT /S" + std::to_string(k) + " 12 Tf 72 " + num(y) + " Td <" + hex +
                   "> Tj ET BT /F1 12 Tf 90 " + num(y) + " Td (item" + std::to_string(k) +
                   ") Tj ET ";
        y -= 20;
        ++k;
    }
    fixtures::PageSpec page;
    page.content = content;
    page.resources = "<< /Font << /F1 " + b.addStandardFont("Helvetica") + fonts + " >> >>";
    b.addPage(page);
    b.writeTo(folder + "/signs.pdf");
    const std::string text = readFile(convert(folder, "signs", "txt"));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string item = "item" + std::to_string(i);
        const size_t at = text.find(item);
        ASSERT_NE(at, std::string::npos) << item << "\n" << text;
        const size_t lineStart = text.rfind('\n', at) + 1;
        EXPECT_NE(text.substr(lineStart, at - lineStart).find(cases[i].reads), std::string::npos)
            << cases[i].font << ": " << text.substr(lineStart, at - lineStart + item.size());
    }
}

} // namespace
