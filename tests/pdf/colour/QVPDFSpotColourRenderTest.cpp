// End to end: colours set in Separation, DeviceN, Indexed, Lab and ICC-based
// spaces of a real file convert to the RGB that poppler paints them with
// (pdftoppm as the oracle), or, where this system's rule differs from
// poppler's, to the rule's own worked values; and text shown in such colours
// reaches the interpreter's reports with that RGB as its fill colour.
#include "pdf/InterpreterHarness.h"
#include "pdf/QVPDFResourceCache.h"
#include "pdf/colour/QVPDFColorSpaceCollection.h"
#include "pdf/content/QVPDFRenderState.h"
#include "platform/pdf/PdfDocument.h"

#include "fixtures/PdfBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

/// A binary PPM (P6, maxval 255) as pdftoppm writes it.
struct Pixmap {
    int width = 0, height = 0;
    std::string pixels;
    QVPDFRGB at(int x, int y) const {
        size_t i =
            (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
        auto byte = [&](size_t k) {
            return static_cast<int32_t>(static_cast<unsigned char>(pixels[k]));
        };
        return {byte(i), byte(i + 1), byte(i + 2)};
    }
};

std::optional<Pixmap> readPpm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    Pixmap p;
    if (!(in >> magic >> p.width >> p.height >> maxval) || magic != "P6" || maxval != 255)
        return std::nullopt;
    in.get(); // the one white-space byte before the samples
    p.pixels.assign(std::istreambuf_iterator<char>(in), {});
    if (p.pixels.size() < static_cast<size_t>(p.width) * static_cast<size_t>(p.height) * 3)
        return std::nullopt;
    return p;
}

struct Swatch {
    std::string label;
    std::string space;            ///< colour-space definition (PDF source)
    std::vector<double> operands; ///< the scn operands
    /// Set when poppler's conversion differs from this system's rule: the
    /// rule's value, which is then checked instead of poppler's pixel.
    std::optional<QVPDFRGB> ruleValue = std::nullopt;
};

std::string operandText(const std::vector<double>& operands) {
    std::ostringstream s;
    for (double v : operands)
        s << v << " ";
    return s.str();
}

constexpr double kSide = 90, kStep = 110, kPageHeight = 792;
constexpr int kDpi = 10;
/// poppler rounds where this system truncates, and its CMYK blend table
/// differs in the fourth decimal: a few levels apart at most.
constexpr int kTolerance = 3;

} // namespace

TEST(QVPDFSpotColourRender, ColourSpacesConvertAsPopplerPaints) {
    if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";

    fixtures::PdfBuilder b;
    const std::string tintToCMYK = b.addObject(
        "<< /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [0.1 0.6 0.9 0.05] /N 1 >>");
    const std::string calcToRGB =
        b.addStream("<< /FunctionType 4 /Domain [0 1] /Range [0 1 0 1 0 1] >>",
                    "{ dup 0.5 gt { 1 exch sub 0.2 exch } { 0.8 mul 0.3 } ifelse 0.6 }");
    const std::string calcDeviceN =
        b.addStream("<< /FunctionType 4 /Domain [0 1 0 1] /Range [0 1 0 1 0 1 0 1] >>",
                    "{ 2 copy add 2 div 0 }");
    const std::string expDeviceN =
        b.addObject("<< /FunctionType 2 /Domain [0 1] /C0 [1 1 1] /C1 [0.2 0.4 0.8] /N 2 >>");
    const std::string stitched = b.addObject(
        "<< /FunctionType 3 /Domain [0 1] /Functions [<< /FunctionType 2 /Domain [0 1] /C0 "
        "[1 0 0] /C1 [0 1 0] /N 1 >> << /FunctionType 2 /Domain [0 1] /C0 [0 1 0] /C1 [0 0 1] "
        "/N 1 >>] /Bounds [0.5] /Encode [0 1 0 1] >>");
    const std::string sampled = b.addStream(
        "<< /FunctionType 0 /Domain [0 1] /Range [0 1 0 1 0 1] /Size [3] /BitsPerSample 8 >>",
        std::string("\xFF\xFF\xFF\xFF\x80\x00\x20\x40\x60", 9));
    const std::string junkProfile = b.addStream("<< /N 3 /Alternate /DeviceRGB >>", "no profile");
    const std::string palette = b.addStream("<< >>", std::string("\x10\x80\xF0\xC0\x20\x40", 6));

    std::vector<Swatch> swatches = {
        {"Separation, type 2 to CMYK",
         "[/Separation /Pantone#20151 /DeviceCMYK " + tintToCMYK + "]",
         {1}},
        {"Separation, type 2, light tint",
         "[/Separation /Pantone#20151 /DeviceCMYK " + tintToCMYK + "]",
         {0.35}},
        {"Separation, type 4 ifelse, then",
         "[/Separation /Spot /DeviceRGB " + calcToRGB + "]",
         {0.9}},
        {"Separation, type 4 ifelse, else",
         "[/Separation /Spot /DeviceRGB " + calcToRGB + "]",
         {0.25}},
        {"Separation, stitched", "[/Separation /Spot /DeviceRGB " + stitched + "]", {0.7}},
        {"Separation, sampled", "[/Separation /Spot /DeviceRGB " + sampled + "]", {0.75}},
        {"DeviceN, type 4 to CMYK",
         "[/DeviceN [/Cyan /Spot] /DeviceCMYK " + calcDeviceN + "]",
         {0.6, 0.2}},
        {"DeviceN, one colorant, type 2 to RGB",
         "[/DeviceN [/Spot] /DeviceRGB " + expDeviceN + "]",
         {0.5}},
        {"Indexed RGB", "[/Indexed /DeviceRGB 1 " + palette + "]", {1}},
        {"Indexed RGB, index 0", "[/Indexed /DeviceRGB 1 " + palette + "]", {0}},
        {"ICC-based, unreadable profile", "[/ICCBased " + junkProfile + "]", {0.2, 0.5, 0.8}},
        {"device CMYK", "/DeviceCMYK", {0.1, 0.7, 0.2, 0.1}},
        // The Lab rule takes a square root for the display gamma where poppler
        // converts through a colour-managed sRGB profile; its worked values stand.
        {"Lab L 100", "[/Lab << /WhitePoint [1 1 1] >>]", {100, 0, 0}, QVPDFRGB{255, 255, 255}},
        {"Lab L 50", "[/Lab << /WhitePoint [1 1 1] >>]", {50, 0, 0}, QVPDFRGB{109, 109, 109}},
        {"Lab L 0", "[/Lab << /WhitePoint [1 1 1] >>]", {0, 0, 0}, QVPDFRGB{0, 0, 0}},
    };

    std::string colourSpaces = "<< ", content;
    for (size_t i = 0; i < swatches.size(); ++i) {
        colourSpaces += "/CS" + std::to_string(i) + " " + swatches[i].space + " ";
        double x = 20 + static_cast<double>(i % 5) * kStep,
               y = 20 + static_cast<double>(i / 5) * kStep;
        std::ostringstream s;
        s << "q /CS" << i << " cs " << operandText(swatches[i].operands) << "scn " << x << " " << y
          << " " << kSide << " " << kSide << " re f Q\n";
        content += s.str();
    }
    colourSpaces += ">>";
    fixtures::PageSpec page;
    page.content = content;
    page.resources = "<< /ColorSpace " + colourSpaces + " >>";
    b.addPage(page);

    const std::string folder = fixtures::makeTestFolder("spot-colours");
    const std::string pdf = b.writeTo(folder + "/swatches.pdf");
    ASSERT_EQ(std::system(("pdftoppm -r " + std::to_string(kDpi) + " -singlefile " + pdf + " " +
                           folder + "/render >/dev/null 2>&1")
                              .c_str()),
              0);
    std::optional<Pixmap> rendered = readPpm(folder + "/render.ppm");
    ASSERT_TRUE(rendered);

    auto document = platform::PdfDocument::open(pdf);
    ASSERT_TRUE(document);
    QVPDFResourceCache cache;
    QVPDFColorSpaceCollection collection(
        document->page(1)->dictionary().get("Resources").getDictionary("ColorSpace"), cache);

    for (size_t i = 0; i < swatches.size(); ++i) {
        const Swatch& swatch = swatches[i];
        SCOPED_TRACE(swatch.label);
        auto space = collection.colorSpaceNamed("CS" + std::to_string(i));
        ASSERT_TRUE(space);
        QVPDFColor color;
        for (size_t k = 0; k < swatch.operands.size(); ++k)
            color.c[k] = QVPDF_ColorComponentFromOperand(swatch.operands[k]);
        QVPDFRGB ours = space->getRGB(color);
        if (swatch.ruleValue) {
            EXPECT_EQ(ours.r, swatch.ruleValue->r);
            EXPECT_EQ(ours.g, swatch.ruleValue->g);
            EXPECT_EQ(ours.b, swatch.ruleValue->b);
            continue;
        }
        double cx = 20 + static_cast<double>(i % 5) * kStep + kSide / 2;
        double cy = 20 + static_cast<double>(i / 5) * kStep + kSide / 2;
        QVPDFRGB poppler = rendered->at(static_cast<int>(cx * kDpi / 72),
                                        static_cast<int>((kPageHeight - cy) * kDpi / 72));
        EXPECT_NEAR(ours.r, poppler.r, kTolerance)
            << "poppler " << poppler.r << " " << poppler.g << " " << poppler.b;
        EXPECT_NEAR(ours.g, poppler.g, kTolerance);
        EXPECT_NEAR(ours.b, poppler.b, kTolerance);
        // Every swatch is a real colour, not the black of a failed conversion.
        EXPECT_GT(ours.r + ours.g + ours.b, 0);
    }
}

TEST(QVPDFSpotColourRender, TextInSpotColoursIsReportedWithItsRGB) {
    auto resources = [](fixtures::PdfBuilder& b) {
        std::string font = b.addStandardFont("Helvetica");
        std::string toRGB =
            b.addObject("<< /FunctionType 2 /Domain [0 1] /C0 [1 1 1] /C1 [0.8 0.2 0.4] /N 1 >>");
        std::string squared =
            b.addObject("<< /FunctionType 2 /Domain [0 1] /C0 [1 1 1] /C1 [0.2 0.4 0.8] /N 2 >>");
        std::string toCMYK =
            b.addStream("<< /FunctionType 4 /Domain [0 1] /Range [0 1 0 1 0 1 0 1] >>",
                        "{ dup 0.1 mul exch dup 0.6 mul exch dup 0.9 mul exch 0.05 mul }");
        std::string threeInks =
            b.addStream("<< /FunctionType 4 /Domain [0 1 0 1 0 1] /Range [0 1 0 1 0 1] >>",
                        "{ 0.5 mul 1 exch sub 3 1 roll 1 exch sub 3 1 roll 1 exch sub 3 1 roll }");
        std::string profile = b.addStream("<< /N 3 >>", "profile");
        return "<< /Font << /F1 " + font + " >> /ColorSpace << /Sep2 [/Separation /Rubine " +
               "/DeviceRGB " + toRGB + "] /Sep4 [/Separation /Orange /DeviceCMYK " + toCMYK +
               "] /DN4 [/DeviceN [/Cyan /Magenta /Spot] /DeviceRGB " + threeInks +
               "] /DN2 [/DeviceN [/Spot] /DeviceRGB " + squared + "] /Cs1 [/ICCBased " + profile +
               "] /Pal [/Indexed /DeviceRGB 1 <102030A0B0C0>] >> >>";
    };
    struct Case {
        const char* label;
        std::string content;
        QVPDFColor color; ///< the fill colour as the state holds it
        QVPDFRGB rgb;
    };
    auto components = [](std::initializer_list<int32_t> v) {
        QVPDFColor c;
        size_t i = 0;
        for (int32_t x : v)
            c.c[i++] = x;
        return c;
    };
    const Case cases[] = {
        // 1 + (0.2 - 1) x 1 is 0.19999999999999996 in doubles: still 51, not 50.
        {"Separation, type 2", "/Sep2 cs 1 scn", components({255}), {204, 51, 102}},
        {"Separation, type 4 to CMYK", "/Sep4 cs 1 scn", components({255}), {214, 106, 40}},
        {"Separation, type 4, half tint", "/Sep4 cs 0.5 scn", components({127}), {233, 172, 125}},
        {"DeviceN, type 4, three inks",
         "/DN4 cs 0.2 0.6 1 scn",
         components({51, 153, 255}),
         {204, 102, 127}},
        {"DeviceN, type 2", "/DN2 cs 0.75 scn", components({191}), {140, 169, 226}},
        {"an ICC-based space by name",
         "/Cs1 cs 0.2 0.4 0.6 sc",
         components({51, 102, 153}),
         {51, 102, 153}},
        {"Indexed", "/Pal cs 1 sc", components({255}), {160, 176, 192}},
        {"the default colour of a Separation space", "/Sep2 cs", components({0}), {255, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        harness::Recorder recorder;
        std::vector<QVPDFRGB> reported;
        std::vector<QVPDFColor> colors;
        recorder.onReport = [&](QVPDFConentParser& p) {
            reported.push_back(p.currentRenderingState()->currentFillRGBColor());
            colors.push_back(p.currentRenderingState()->fillColor());
        };
        harness::run("BT /F1 12 Tf 72 700 Td " + c.content + " (Spot) Tj ET", resources, nullptr,
                     &recorder);
        ASSERT_EQ(reported.size(), 1u);
        EXPECT_EQ(colors[0], c.color);
        EXPECT_EQ(reported[0].r, c.rgb.r);
        EXPECT_EQ(reported[0].g, c.rgb.g);
        EXPECT_EQ(reported[0].b, c.rgb.b);
    }
}

TEST(QVPDFSpotColourRender, LibreOfficeTextColoursReachTheReports) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "LibreOffice is not installed";
    const std::string folder = fixtures::makeTestFolder("libreoffice-colours");
    {
        std::ofstream fods(folder + "/coloured.fods");
        fods << R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:automatic-styles>
  <style:style style:name="red" style:family="table-cell"><style:text-properties fo:color="#ff0000"/></style:style>
  <style:style style:name="steel" style:family="table-cell"><style:text-properties fo:color="#336699"/></style:style>
  <style:style style:name="green" style:family="table-cell"><style:text-properties fo:color="#00a050"/></style:style>
 </office:automatic-styles>
 <office:body><office:spreadsheet><table:table table:name="Sheet1">
  <table:table-row><table:table-cell table:style-name="red" office:value-type="string"><text:p>Red</text:p></table:table-cell></table:table-row>
  <table:table-row><table:table-cell table:style-name="steel" office:value-type="string"><text:p>Steel</text:p></table:table-cell></table:table-row>
  <table:table-row><table:table-cell table:style-name="green" office:value-type="string"><text:p>Green</text:p></table:table-cell></table:table-row>
  <table:table-row><table:table-cell office:value-type="string"><text:p>Black</text:p></table:table-cell></table:table-row>
 </table:table></office:spreadsheet></office:body></office:document>
)";
    }
    // A profile of its own, so parallel tests do not share LibreOffice's.
    const std::string command = "soffice -env:UserInstallation=file://" + folder +
                                "/profile --headless --convert-to pdf --outdir " + folder + " " +
                                folder + "/coloured.fods >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto document = platform::PdfDocument::open(folder + "/coloured.pdf");
    ASSERT_TRUE(document);
    auto page = document->page(1);
    ASSERT_TRUE(page);

    // The pieces of a TJ are reported one by one: joined per baseline.
    harness::Recorder recorder;
    std::map<double, std::pair<std::string, std::vector<QVPDFRGB>>> lines;
    recorder.onReport = [&](QVPDFConentParser& p) {
        const std::string& event = recorder.events.back();
        if (event.rfind("text ", 0) != 0)
            return;
        auto& line = lines[p.currentRenderingState()->textMatrix().ty];
        line.first += event.substr(5, event.find(" adv ") - 5);
        line.second.push_back(p.currentRenderingState()->currentFillRGBColor());
    };
    QVPDFConentParser parser(page->dictionary(), std::make_shared<platform::PdfContentStream>(
                                                     page->documentImpl(), page->contentData()));
    parser.setDelegate(&recorder);
    parser.setRenderingStateStack(std::make_shared<RenderingStateStack>());
    parser.startParser();

    // LibreOffice writes the colours as DeviceRGB fractions with ten digits:
    // 0 0.6274509803 0.3137254901 rg for #00A050, which must come back as 160, 80.
    const std::map<std::string, QVPDFRGB> expected = {{"Red", {255, 0, 0}},
                                                      {"Steel", {51, 102, 153}},
                                                      {"Green", {0, 160, 80}},
                                                      {"Black", {0, 0, 0}}};
    size_t found = 0;
    for (const auto& [baseline, line] : lines) {
        auto it = expected.find(line.first);
        if (it == expected.end())
            continue; // the page header and footer
        SCOPED_TRACE(line.first);
        ++found;
        for (const QVPDFRGB& rgb : line.second) {
            EXPECT_EQ(rgb.r, it->second.r);
            EXPECT_EQ(rgb.g, it->second.g);
            EXPECT_EQ(rgb.b, it->second.b);
        }
    }
    EXPECT_EQ(found, expected.size());
}
