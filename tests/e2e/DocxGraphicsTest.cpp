// What a Word document or a presentation carries besides flowing text, each on a PDF built for
// one feature: vertical text boxes, slanted and mirrored text on paths,
// pictures (turned, mirrored, clipped, JPEG 2000, raw samples), painted paths
// (a stroked rectangle, a dashed line, a mirrored line) and the stacking of a
// picture between text painted before and after it. Each converted document
// passes the package checker and opens in python-docx (a presentation in its
// OPC loader); LibreOffice prints it,
// and docx_graphics.py compares the printed words' places and the drawn
// region of each graphic with the source (pdftoppm at 50 dpi), keeping a
// side-by-side picture of source and print in the build tree.

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"
#include "platform/image/ImageFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string kSource = CORVALA_SOURCE_DIR;
const std::string kCorvala = std::string(CORVALA_BINARY_DIR) + "/bin/corvala";

// 64 x 32 pixels: the left half red, the right half blue, the top quarter
// green, so turns and mirrors show.
platform::RasterImage testImage() {
    auto image = platform::RasterImage::make(64, 32, platform::RasterImage::Format::RGB);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            uint8_t* p = image.row(y) + x * 3;
            const bool top = y < 8, left = x < 32;
            p[0] = top ? 0 : left ? 230 : 20;
            p[1] = top ? 200 : 20;
            p[2] = top ? 0 : left ? 20 : 230;
        }
    return image;
}

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

// "a b c d e f cm" of a turn by `degrees` about the origin after `m`.
std::string turned(double degrees) {
    const double r = degrees * M_PI / 180.0;
    return number(std::cos(r)) + " " + number(std::sin(r)) + " " + number(-std::sin(r)) + " " +
           number(std::cos(r));
}

struct Case {
    std::string name;
    /// The printed words stand where the source's do (text that LibreOffice
    /// prints as outlines, text paths among them, is compared as a region).
    bool words;
    std::string content;
    /// Region of the graphic in display points (x0 y0 x1 y1); empty: words only.
    std::vector<double> region;
    /// Largest mean difference of the region's grey levels (0..255).
    double threshold = 0;
    int rotate = 0;
};

// Converts every case to `format` (docx or pptx) and has docx_graphics.py
// compare the prints with the sources.
void printsWhereTheSourceHas(const std::string& format) {
    // Kept in the build tree: side-by-side/NAME.png shows source | print.
    const std::string folder = std::string(CORVALA_BINARY_DIR) + "/" + format + "-graphics";
    platform::removeAll(folder);
    ASSERT_TRUE(platform::createDirectories(folder));
    const platform::RasterImage pixels = testImage();
    const auto jpx = platform::encodeImage(pixels, platform::ImageFileType::JPEG2000, 72, 72, 1);
    ASSERT_TRUE(jpx);

    const std::string words = "BT /F1 14 Tf ";
    // A plotted surface of 200 x 150 points from (100, 400): columns x rows
    // cells, each filled and outlined on its own in a shade of its own, and a
    // curve of separate strokes over it.
    auto surface = [](int columns, int rows, int strokes, const char* paint) {
        std::string c;
        const double w = 200.0 / columns, h = 150.0 / rows;
        for (int i = 0; i < columns; ++i)
            for (int j = 0; j < rows; ++j)
                c += number(0.3 + 0.6 * i / columns) + " " + number(0.2 + 0.6 * j / rows) +
                     " 0.5 rg " + number(100 + i * w) + " " + number(400 + j * h) + " " +
                     number(w) + " " + number(h) + " re " + paint + " ";
        c += "1 0 0 RG 1.5 w ";
        for (int k = 0; k < strokes; ++k) {
            const double t0 = double(k) / strokes, t1 = double(k + 1) / strokes;
            c += number(100 + 200 * t0) + " " + number(400 + 150 * t0 * t0) + " m " +
                 number(100 + 200 * t1) + " " + number(400 + 150 * t1 * t1) + " l S ";
        }
        return c;
    };
    const Case cases[] = {
        // Three lines reading down the page, each to the left of the one before.
        {"text-90",
         true,
         "BT /F1 14 Tf 0 -1 1 0 300 700 Tm (First line reads down) Tj ET "
         "BT /F1 14 Tf 0 -1 1 0 282 700 Tm (second line to its left) Tj ET "
         "BT /F1 14 Tf 0 -1 1 0 264 700 Tm (third line further left) Tj ET",
         {}},
        {"text-270",
         true,
         "BT /F1 14 Tf 0 1 -1 0 300 300 Tm (First line reads up) Tj ET "
         "BT /F1 14 Tf 0 1 -1 0 318 300 Tm (second line to its right) Tj ET "
         "BT /F1 14 Tf 0 1 -1 0 336 300 Tm (third line further right) Tj ET",
         {}},
        // Words drawn one by one along a line at 30 degrees.
        {"text-30",
         false,
         "BT /F1 16 Tf " + turned(30) + " 100 400 Tm (Slanted) Tj ET BT /F1 16 Tf " + turned(30) +
             " " + number(100 + 75 * std::cos(M_PI / 6)) + " " +
             number(400 + 75 * std::sin(M_PI / 6)) + " Tm (words) Tj ET BT /F1 16 Tf " +
             turned(30) + " " + number(100 + 130 * std::cos(M_PI / 6)) + " " +
             number(400 + 130 * std::sin(M_PI / 6)) + " Tm (together) Tj ET",
         {80, 260, 300, 400},
         12},
        {"text-mirrored",
         false,
         "BT /F1 20 Tf -1 0 0 1 400 500 Tm (Mirrored text) Tj ET",
         {240, 260, 420, 310},
         30},
        {"image-upright", false, "q 200 0 0 100 100 500 cm /Im1 Do Q", {90, 182, 310, 302}, 8},
        {"image-turned-90", false, "q 0 -200 100 0 200 600 cm /Im1 Do Q", {190, 182, 310, 412}, 8},
        {"image-mirrored", false, "q 200 0 0 -100 100 600 cm /Im1 Do Q", {90, 182, 310, 302}, 8},
        {"image-mirrored-turned-30",
         false,
         "q 1 0 0 1 250 450 cm " + turned(30) + " 0 0 cm 200 0 0 -100 -100 50 cm /Im1 Do Q",
         {120, 240, 380, 460},
         8},
        {"image-half-clipped",
         false,
         "q 100 500 100 100 re W n 200 0 0 100 100 500 cm /Im1 Do Q",
         {90, 182, 310, 302},
         8},
        {"image-clipped-away",
         false,
         "q 400 100 50 50 re W n 200 0 0 100 100 500 cm /Im1 Do Q",
         {90, 182, 310, 302},
         5},
        {"image-clipped-turned-page",
         false,
         "q 100 500 100 100 re W n 200 0 0 100 100 500 cm /Im1 Do Q",
         {182, 90, 302, 310},
         8,
         90},
        {"image-clipped-past-edge",
         false,
         "q 550 450 300 200 re W n 200 0 0 100 500 500 cm /Im1 Do Q",
         {490, 182, 612, 302},
         8},
        {"image-jpeg2000", false, "q 200 0 0 100 100 500 cm /Im2 Do Q", {90, 182, 310, 302}, 8},
        {"image-raw-gray", false, "q 200 0 0 100 100 500 cm /Im3 Do Q", {90, 182, 310, 302}, 8},
        {"path-stroked-rectangle",
         false,
         "4 w 0 0 1 RG 100 500 200 100 re S",
         {90, 182, 310, 302},
         5},
        {"path-dashed-line",
         false,
         "2 w [6 3 1 3] 0 d 100 600 m 400 600 l S",
         {90, 182, 410, 202},
         12},
        {"path-mirrored-line",
         false,
         "q -1 0 0 1 612 0 cm 3 w 1 0 0 RG 100 500 m 300 650 l S Q",
         {302, 132, 522, 302},
         5},
        // Hundreds of paths, partly under text painted after them: shapes
        // of a group, and, beyond what a reader lays out quickly, a picture.
        {"paths-surface",
         false,
         surface(12, 10, 100, "B") + "0 g " + words + "110 420 Td (Over the surface) Tj ET",
         {90, 232, 310, 402},
         8},
        // (Cells only filled: at the 50 dpi of the comparison, a grid of
        // outlines a pixel apart averages lighter in a picture than drawn.)
        {"paths-surface-dense",
         false,
         surface(40, 30, 1000, "f") + "0 g " + words + "110 420 Td (Over the surface) Tj ET",
         {90, 232, 310, 402},
         8},
        // The upper picture covers text painted before it, the lower one lies
        // under text painted after it.
        {"image-stacking",
         false,
         words +
             "110 640 Td (Hidden under the picture) Tj ET "
             "q 200 0 0 100 100 600 cm /Im1 Do Q "
             "q 200 0 0 100 100 300 cm /Im1 Do Q " +
             words + "110 340 Td (Over the picture) Tj ET",
         {90, 82, 310, 502},
         5},
    };

    std::string manifest;
    for (const Case& c : cases) {
        fixtures::PdfBuilder b;
        const std::string font = b.addStandardFont("Helvetica");
        const std::string raw(reinterpret_cast<const char*>(pixels.pixels.data()),
                              pixels.pixels.size());
        const std::string im1 = b.addStream(
            "<< /Type /XObject /Subtype /Image /Width 64 /Height 32 /ColorSpace /DeviceRGB "
            "/BitsPerComponent 8 >>",
            raw);
        const std::string im2 = b.addStream(
            "<< /Type /XObject /Subtype /Image /Width 64 /Height 32 /Filter /JPXDecode >>", *jpx);
        // 4-bit grey samples: a ramp left to right, darker at the top.
        std::string gray;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; x += 2) {
                const int a = std::min(15, x / 4 + (y < 8 ? 0 : 2)),
                          bb = std::min(15, (x + 1) / 4 + (y < 8 ? 0 : 2));
                gray.push_back(static_cast<char>((a << 4) | bb));
            }
        const std::string im3 = b.addStream(
            "<< /Type /XObject /Subtype /Image /Width 64 /Height 32 /ColorSpace /DeviceGray "
            "/BitsPerComponent 4 >>",
            gray);
        fixtures::PageSpec spec;
        spec.content = c.content;
        if (c.rotate)
            spec.rotate = c.rotate;
        spec.resources = "<< /Font << /F1 " + font + " >> /XObject << /Im1 " + im1 + " /Im2 " +
                         im2 + " /Im3 " + im3 + " >> >>";
        b.addPage(spec);
        const std::string pdf = b.writeTo(folder + "/" + c.name + ".pdf");
        auto run =
            fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert -f " + format + " " +
                                 fixtures::shellQuote(pdf) + " -o " + fixtures::shellQuote(folder));
        ASSERT_TRUE(run.ok()) << c.name << ": " << run.output;
        auto check = fixtures::checkPackage(folder + "/" + c.name + "." + format);
        EXPECT_TRUE(check.ok()) << c.name << ": " << check.output;
        manifest += c.name + (c.words ? " words" : " shapes");
        if (!c.region.empty()) {
            for (double v : c.region)
                manifest += " " + number(v);
            manifest += " " + number(c.threshold);
        }
        manifest += "\n";
    }
    std::ofstream(folder + "/cases.txt") << manifest;
    auto compared = fixtures::runCommand(
        "/usr/bin/python3 " + fixtures::shellQuote(kSource + "/tests/e2e/docx_graphics.py") + " " +
        fixtures::shellQuote(folder) + " " + format);
    EXPECT_TRUE(compared.ok()) << compared.output;
}

TEST(DocxGraphics, PrintsWordsAndGraphicsWhereTheSourceHasThem) {
    printsWhereTheSourceHas("docx");
}

TEST(PptxGraphics, PrintsWordsAndGraphicsWhereTheSourceHasThem) {
    printsWhereTheSourceHas("pptx");
}

} // namespace
