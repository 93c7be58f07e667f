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
    const std::string resources =
        "<< /Font << /F1 " + f1 + " /F2 " + f2 + " >> /XObject << /Im1 " + image + " >> >>";
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
