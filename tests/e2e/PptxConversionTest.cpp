// A presentation prints in LibreOffice Impress with one slide per page, the
// source's words where the page has them and its drawings and pictures over
// the same regions (tests/e2e/pptx_roundtrip.py).

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kSource = CORVALA_SOURCE_DIR;
const std::string kCorvala = std::string(CORVALA_BINARY_DIR) + "/bin/corvala";

TEST(PptxConversion, PrintsWithTheSourcesWordsAndDrawingsInPlace) {
    const std::string folder = fixtures::makeTestFolder("pptx-roundtrip");
    fixtures::PdfBuilder b;
    const std::string f1 = b.addStandardFont("Helvetica");
    const std::string f2 = b.addStandardFont("Helvetica-Bold");
    const std::string image =
        b.addStream("<< /Type /XObject /Subtype /Image /Width 2 /Height 2 /ColorSpace /DeviceRGB "
                    "/BitsPerComponent 8 >>",
                    std::string("\xff\x00\x00\x00\x80\x00\x00\x00\xff\x40\x40\x40", 12));
    // A TeX title font: no space glyph, a width of almost an em for a
    // missing one (the space estimate), Times' widths for the title's letters.
    const std::pair<char, int> times[] = {
        {'-', 333}, {'C', 667}, {'I', 333}, {'L', 611}, {'S', 556}, {'T', 611}, {'d', 500},
        {'e', 444}, {'h', 500}, {'i', 278}, {'l', 278}, {'m', 778}, {'n', 500}, {'o', 500},
        {'p', 500}, {'r', 333}, {'s', 389}, {'t', 278}, {'u', 500}, {'w', 722}};
    auto timesWidth = [&](char c) {
        for (const auto& [ch, w] : times)
            if (ch == c)
                return w;
        return 500;
    };
    std::string widths;
    for (int c = 33; c <= 126; ++c)
        widths += std::to_string(timesWidth(static_cast<char>(c))) + " ";
    const std::string tex = b.addObject(
        "<< /Type /Font /Subtype /Type1 /BaseFont /CMR17 /FirstChar 33 /LastChar 126 /Widths [" +
        widths + "] /FontDescriptor << /Type /FontDescriptor /FontName /CMR17 /Flags 34 "
        "/FontBBox [-33 -250 945 749] /MissingWidth 950 /ItalicAngle 0 /Ascent 694 /Descent -194 "
        "/CapHeight 683 /StemV 53 >> >>");
    // Words set 0.3 em apart by the kerning of one TJ, with no space
    // between them, as TeX sets them.
    const std::string title =
        "BT /F4 20 Tf 100 700 Td [(Two-Column) -300 (Slides) -300 (with) -300 (Lorem) -300 "
        "(Ipsum)] TJ ET ";
    const std::string resources = "<< /Font << /F1 " + f1 + " /F2 " + f2 + " /F4 " + tex +
                                  " >> /XObject << /Im1 " + image + " >> >>";
    // A stroked polyline of 40 points and a stroked circle, alone on a page:
    // they must show as lines.
    std::string lines = "0 0 0.6 RG 2 w 60 300 m";
    for (int k = 1; k < 40; ++k)
        lines += " " + std::to_string(60 + 12 * k) + " " + std::to_string(k % 2 ? 330 : 300) + " l";
    lines += " S 1 0 0 RG 3 w 306 550 m";
    const double c = 0.5523 * 80;
    lines += " 386 " + std::to_string(550 + c) + " " + std::to_string(306 + c) + " 630 306 630 c";
    lines += " " + std::to_string(306 - c) + " 630 226 " + std::to_string(550 + c) + " 226 550 c";
    lines += " 226 " + std::to_string(550 - c) + " " + std::to_string(306 - c) + " 470 306 470 c";
    lines += " " + std::to_string(306 + c) + " 470 386 " + std::to_string(550 - c) + " 386 550 c S";
    const std::pair<std::string, std::vector<double>> pages[] = {
        {"BT /F2 18 Tf 72 720 Td (A slide from a page) Tj ET "
         "BT /F1 12 Tf 72 690 Td (Its first line of text) Tj 0 -16 Td (and a second one) Tj ET "
         "BT /F1 12 Tf 330 690 Td (a second column) Tj ET "
         "0.8 0.8 0.8 rg 72 400 200 120 re f "
         "q 120 0 0 90 330 420 cm /Im1 Do Q",
         {0, 0, 612, 792}},
        {"BT /F1 14 Tf 72 500 Td (A landscape page fitted) Tj ET 0 0 1 rg 400 100 300 200 re f",
         {0, 0, 842, 595}},
        {lines, {0, 0, 612, 792}},
        {"", {0, 0, 612, 792}},
        // The title's words a space apart, not glued; an indented line whose
        // second part stands three spaces on, where its spaces take it.
        {title + "BT /F1 12 Tf 72 650 Td (Items listed below) Tj ET "
                 "BT /F1 12 Tf 90 635 Td (Name) Tj ET BT /F1 12 Tf 131 635 Td (Value) Tj ET",
         {0, 0, 612, 792}},
    };
    for (const auto& [content, box] : pages) {
        fixtures::PageSpec spec;
        spec.content = content;
        spec.mediaBox = box;
        spec.resources = resources;
        b.addPage(spec);
    }
    const std::string pdf = b.writeTo(folder + "/deck.pdf");
    auto run =
        fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert -f pptx " +
                             fixtures::shellQuote(pdf) + " -o " + fixtures::shellQuote(folder));
    ASSERT_TRUE(run.ok()) << run.output;
    const std::string pptx = folder + "/deck.pptx";
    auto check = fixtures::checkPackage(pptx);
    EXPECT_TRUE(check.ok()) << check.output;
    auto printed = fixtures::runCommand(
        "/usr/bin/python3 " + fixtures::shellQuote(kSource + "/tests/e2e/pptx_roundtrip.py") + " " +
        fixtures::shellQuote(pdf) + " " + fixtures::shellQuote(pptx) + " " +
        fixtures::shellQuote(folder));
    EXPECT_TRUE(printed.ok()) << printed.output;
}

} // namespace
