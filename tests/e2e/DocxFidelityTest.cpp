// Word documents printed by LibreOffice against their source, for the faults
// a page's layout can make: lines shrunk into a neighbour as scripts, lines
// set closer than their glyph boxes pushed down the page, parts of a line
// far apart drifting with a reader's space width.

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kCorvala = std::string(CORVALA_BINARY_DIR) + "/bin/corvala";
const std::string kSource = CORVALA_SOURCE_DIR;

std::string show(const std::string& font, double size, double x, double y,
                 const std::string& text) {
    return "BT /" + font + " " + std::to_string(size) + " Tf " + std::to_string(x) + " " +
           std::to_string(y) + " Td (" + text + ") Tj ET ";
}

/// Converts `pdf` to a Word document and prints it with LibreOffice: the pages,
/// the words and, on the pages named, every word's place must be the source's.
void expectPrintedLikeTheSource(const std::string& folder, const std::string& pdf,
                                const std::string& placedPages) {
    auto run = fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert -f docx " +
                                    fixtures::shellQuote(pdf) + " -o " + fixtures::shellQuote(folder));
    ASSERT_TRUE(run.ok()) << run.output;
    const std::string docx = folder + "/" + platform::lastPathComponent(pdf);
    const std::string path = docx.substr(0, docx.size() - 4) + ".docx";
    auto printed = fixtures::runCommand(
        "/usr/bin/python3 " + fixtures::shellQuote(kSource + "/tests/e2e/docx_roundtrip.py") + " " +
        fixtures::shellQuote(pdf) + " " + fixtures::shellQuote(path) + " " +
        fixtures::shellQuote(folder) + " --placed " + placedPages);
    EXPECT_TRUE(printed.ok()) << printed.output;
}

// A 9 pt line set with its baseline 5 pt under a 12 pt heading's, a true x
// squared, and a page of lines set closer than their glyph boxes are high;
// rows whose parts stand far apart in a font no reader has, and rows of
// cells padded with blanks that the next cell is drawn over: every word
// prints on its own line where it stood, none shrunk into another.
TEST(DocxFidelity, LinesCloseTogetherPrintWholeWhereTheyStood) {
    const std::string folder = fixtures::makeTestFolder("e2e-docx-fidelity-lines");
    fixtures::PdfBuilder b;
    const std::string regular = b.addStandardFont("Helvetica");
    const std::string bold = b.addStandardFont("Helvetica-Bold");
    std::string content = show("F2", 12, 72, 720, "A heading in twelve points") +
                          show("F1", 9, 72, 715, "and a whole line of smaller text set close under it") +
                          show("F1", 12, 72, 670, "so that x") + show("F1", 7, 117.4, 676, "2") +
                          show("F1", 12, 121.3, 670, "+ y = 1 holds");
    for (int k = 0; k < 40; ++k)
        content += show("F1", 10, 72, 640 - 10.5 * k,
                        "line " + std::to_string(k + 1) + " of a page set with a tight leading");
    // A font no reader has, whose space is 0.4 em: rows of a name, a count
    // far to its right and a party.
    std::string widths;
    for (int c = 32; c <= 126; ++c)
        widths += c == 32 ? "400 " : "500 ";
    const std::string odd = b.addObject(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Melior /FirstChar 32 /LastChar 126 /Widths [" +
        widths + "] /Encoding /WinAnsiEncoding /FontDescriptor << /Type /FontDescriptor "
        "/FontName /Melior /Flags 34 /FontBBox [-100 -250 1000 900] /ItalicAngle 0 /Ascent 750 "
        "/Descent -250 /CapHeight 700 /StemV 80 >> >>");
    std::string rows;
    // One word a name: the reader's face sets the letters of a name in
    // widths of its own, which no layout can keep.
    const char* names[] = {"GOVERNOR", "BROWN", "KASHKARI", "NEWSOM", "HARRIS"};
    for (int k = 0; k < 5; ++k) {
        rows += show("F3", 10, 72, 700 - 14 * k, names[k]);
        rows += show("F3", 10, 300, 700 - 14 * k, std::to_string(247 + 31 * k));
        rows += show("F3", 10, 400, 700 - 14 * k, "REP");
    }
    // Rows of a report whose cells are padded with blanks, each cell drawn
    // over the blanks of the one before, the rows' cells at places of their
    // own (rows, not columns): the cells stand at their places, not pushed
    // along by the blanks.
    std::string padded;
    // A date and its padding, drawn a piece at a time as the generator does.
    auto field = [&](double x, double y, const std::string& date) {
        std::string out = show("F1", 10, x, y, date);
        for (int k = 0; k < 10; ++k)
            out += show("F1", 10, x + 50 + 5.56 * k, y, "  ");
        return out;
    };
    const char* companies[] = {"Maxim Integrated Product", "Leidos", "Alphatec Spine"};
    for (int k = 0; k < 3; ++k) {
        const double y = 700 - 40 * k, step = 20 * k;
        padded += field(72, y, "06/2" + std::to_string(k) + "/2015");
        padded += field(150 + step, y, "09/0" + std::to_string(k + 1) + "/2016");
        padded += show("F1", 10, 240 + step, y, "07/01/2015");
        padded += show("F1", 10, 320 + step, y, companies[k]);
        padded += show("F1", 10, 480, y, std::to_string(150 - 20 * k));
    }
    const std::string resources =
        "<< /Font << /F1 " + regular + " /F2 " + bold + " /F3 " + odd + " >> >>";
    for (const std::string& c : {content, rows, padded}) {
        fixtures::PageSpec page;
        page.content = c;
        page.resources = resources;
        b.addPage(page);
    }
    expectPrintedLikeTheSource(folder, b.writeTo(folder + "/lines.pdf"), "1,2,3");
}

// Pages of a mathematics script whose lines hold scripts and signs of a math
// font with a box running almost an em below the baseline: each prints on
// one page. The deep box let a line reach through the scripts into the next,
// and the parts of both, read as one line left to right, stood one under
// another down the page.
TEST(DocxFidelity, LinesBesideDeepMathSignsStayOnTheirPage) {
    std::string corpus;
    for (const char* up : {"/../shared/corpus", "/../../shared/corpus"})
        if (platform::isDirectory(kSource + up))
            corpus = kSource + up;
    const std::string pdf = corpus + "/py-pdf-sample-files/009-pdflatex-geotopo/GeoTopo-komprimiert.pdf";
    if (corpus.empty() || !platform::pathExists(pdf))
        GTEST_SKIP() << "no shared corpus beside the source";
    const std::string folder = fixtures::makeTestFolder("e2e-docx-fidelity-math");
    auto run = fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert -f docx -p 14,19 " +
                                    fixtures::shellQuote(pdf) + " -o " + fixtures::shellQuote(folder));
    ASSERT_TRUE(run.ok()) << run.output;
    auto printed = fixtures::runCommand(
        "cd " + fixtures::shellQuote(kSource + "/tests/e2e") +
        " && /usr/bin/python3 -B -c 'import sys, docx_print; "
        "p = docx_print.print_with_libreoffice([sys.argv[1]], sys.argv[2])[0]; "
        "print(len(docx_print.pages(p)) if p else 0)' " +
        fixtures::shellQuote(folder + "/GeoTopo-komprimiert.docx") + " " + fixtures::shellQuote(folder));
    ASSERT_TRUE(printed.ok()) << printed.output;
    EXPECT_EQ(printed.output, "2\n");
}

} // namespace

// Pages whose first line stands at the top of its box and whose page number
// is set on the page's foot, its descent reaching past it: each prints on a
// page of its own. The first line, as high as its font, stood the page's
// text lower than its box, and the page number, pushed past the foot, took
// a page of its own after every page.
TEST(DocxFidelity, PageNumbersOnThePageFootStayOnTheirPage) {
    const std::string folder = fixtures::makeTestFolder("e2e-docx-fidelity-foot");
    fixtures::PdfBuilder b;
    const std::string regular = b.addStandardFont("Times-Roman");
    const std::string resources = "<< /Font << /F1 " + regular + " >> >>";
    for (int p = 1; p <= 2; ++p) {
        std::string content;
        for (int k = 0; k < 30; ++k)
            content += show("F1", 10, 72, 755 - 12 * k,
                            "page " + std::to_string(p) + " line " + std::to_string(k + 1) +
                                " of a report filled to its foot");
        // The number's baseline 1.5 pt over the foot, its descent 2 pt.
        content += show("F1", 10, 303, 1.5, std::to_string(p));
        fixtures::PageSpec page;
        page.content = content;
        page.resources = resources;
        b.addPage(page);
    }
    expectPrintedLikeTheSource(folder, b.writeTo(folder + "/foot.pdf"), "1,2");
}
