// Image streams to pixels: sample depths, colour spaces, decode arrays and
// masks, each compared exactly with the pixels they must give.
#include "pdf/ImageTestSupport.h"

#include "pdf/QVPDFUtilities.h"
#include "platform/image/JpegCodec.h"

#include <gtest/gtest.h>

using platform::RasterImage;
using F = RasterImage::Format;
using namespace imagetest;

namespace {

struct PixelCase {
    const char* name;
    std::function<std::string(fixtures::PdfBuilder&)> make;
    RasterImage expected;
    int tolerance = 0;
    QVPDFRGB stencilColor{};
};

std::string dict(const std::string& entries) {
    return "<< /Type /XObject /Subtype /Image " + entries + " >>";
}

std::vector<PixelCase> pixelCases() {
    std::vector<PixelCase> cases;
    // Gray at each depth; rows of 10 one-bit samples take two bytes each.
    cases.push_back({"gray 1 bpc, padded rows",
                     stream(dict("/Width 10 /Height 2 /BitsPerComponent 1 /ColorSpace /DeviceGray"),
                            bytes({0b10110011, 0b01000000, 0b00001111, 0b11111111})),
                     image(10, 2, F::Gray, {255, 0, 255, 255, 0,   0,   255, 255, 0,   255,
                                            0,   0, 0,   0,   255, 255, 255, 255, 255, 255})});
    cases.push_back({"gray 2 bpc",
                     stream(dict("/Width 5 /Height 1 /BitsPerComponent 2 /ColorSpace /DeviceGray"),
                            bytes({0b00011011, 0b10000000})),
                     image(5, 1, F::Gray, {0, 85, 170, 255, 170})});
    cases.push_back({"gray 4 bpc",
                     stream(dict("/Width 3 /Height 1 /BitsPerComponent 4 /ColorSpace /DeviceGray"),
                            bytes({0x05, 0xF0})),
                     image(3, 1, F::Gray, {0, 85, 255})});
    cases.push_back({"gray 8 bpc",
                     stream(dict("/Width 2 /Height 2 /BitsPerComponent 8 /ColorSpace /G"),
                            bytes({0, 1, 128, 255})),
                     image(2, 2, F::Gray, {0, 1, 128, 255})});
    cases.push_back({"gray 16 bpc",
                     stream(dict("/Width 3 /Height 1 /BitsPerComponent 16 /ColorSpace /DeviceGray"),
                            bytes({0, 0, 0x80, 0x80, 0xFF, 0xFF})),
                     image(3, 1, F::Gray, {0, 128, 255})});
    cases.push_back({"RGB 8 bpc",
                     stream(dict("/Width 2 /Height 1 /BitsPerComponent 8 /ColorSpace /DeviceRGB"),
                            bytes({255, 0, 0, 10, 20, 30})),
                     image(2, 1, F::RGB, {255, 0, 0, 10, 20, 30})});
    cases.push_back({"RGB 16 bpc",
                     stream(dict("/Width 1 /Height 1 /BitsPerComponent 16 /ColorSpace /DeviceRGB"),
                            bytes({0xFF, 0xFF, 0x80, 0x80, 0, 0})),
                     image(1, 1, F::RGB, {255, 128, 0})});
    // The printed-ink corners of the interpreter's CMYK conversion.
    cases.push_back({"CMYK",
                     stream(dict("/Width 3 /Height 1 /BitsPerComponent 8 /ColorSpace /DeviceCMYK"),
                            bytes({0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 255})),
                     image(3, 1, F::RGB, {255, 255, 255, 0, 172, 239, 35, 31, 32})});
    cases.push_back({"Indexed hival 1 over RGB, 1 bpc",
                     stream(dict("/Width 3 /Height 1 /BitsPerComponent 1 "
                                 "/ColorSpace [/Indexed /DeviceRGB 1 <FF0000 00FF00>]"),
                            bytes({0b01000000})),
                     image(3, 1, F::RGB, {255, 0, 0, 0, 255, 0, 255, 0, 0})});
    cases.push_back({"Indexed hival 15 over gray, 4 bpc, table as a stream",
                     [](fixtures::PdfBuilder& b) {
                         std::string table;
                         for (int i = 0; i < 16; ++i)
                             table.push_back(char(i * 16));
                         std::string lookup = b.addStream("<< >>", table);
                         return b.addStream(dict("/Width 2 /Height 1 /BitsPerComponent 4 "
                                                 "/ColorSpace [/I /G 15 " +
                                                 lookup + "]"),
                                            bytes({0x1F}));
                     },
                     image(2, 1, F::Gray, {16, 240})});
    cases.push_back({"Indexed hival 255, 8 bpc",
                     [](fixtures::PdfBuilder& b) {
                         std::string table;
                         for (int i = 0; i < 256; ++i)
                             table += {char(i), char(255 - i), char(7)};
                         std::string lookup = b.addStream("<< >>", table);
                         return b.addStream(dict("/Width 2 /Height 1 /BitsPerComponent 8 "
                                                 "/ColorSpace [/Indexed /DeviceRGB 255 " +
                                                 lookup + "]"),
                                            bytes({3, 255}));
                     },
                     image(2, 1, F::RGB, {3, 252, 7, 255, 0, 7})});
    // Entries beyond a short table are black, never bytes past its end.
    cases.push_back({"Indexed with a short table",
                     stream(dict("/Width 3 /Height 1 /BitsPerComponent 8 "
                                 "/ColorSpace [/Indexed /DeviceRGB 3 <FFFFFF 0000>]"),
                            bytes({0, 1, 3})),
                     image(3, 1, F::RGB, {255, 255, 255, 0, 0, 0, 0, 0, 0})});
    // L = sample, a and b = sample - 128 by the decode array; white point 1 1 1.
    cases.push_back({"Lab",
                     stream(dict("/Width 3 /Height 1 /BitsPerComponent 8 "
                                 "/ColorSpace [/Lab << /WhitePoint [1 1 1] >>] "
                                 "/Decode [0 255 -128 127 -128 127]"),
                            bytes({100, 128, 128, 50, 128, 128, 0, 128, 128})),
                     image(3, 1, F::RGB, {255, 255, 255, 109, 109, 109, 0, 0, 0})});
    for (int n : {1, 3, 4}) {
        std::string data = n == 1   ? bytes({200})
                           : n == 3 ? bytes({1, 2, 3})
                                    : bytes({0, 0, 0, 255});
        RasterImage expected = n == 1   ? image(1, 1, F::Gray, {200})
                               : n == 3 ? image(1, 1, F::RGB, {1, 2, 3})
                                        : image(1, 1, F::RGB, {35, 31, 32});
        cases.push_back({n == 1   ? "ICCBased N 1"
                         : n == 3 ? "ICCBased N 3"
                                  : "ICCBased N 4",
                         [n, data](fixtures::PdfBuilder& b) {
                             std::string icc =
                                 b.addStream("<< /N " + std::to_string(n) + " >>", "not a profile");
                             return b.addStream(dict("/Width 1 /Height 1 /BitsPerComponent 8 "
                                                     "/ColorSpace [/ICCBased " +
                                                     icc + "]"),
                                                data);
                         },
                         expected});
    }
    cases.push_back({"Separation through its tint transform",
                     stream(dict("/Width 3 /Height 1 /BitsPerComponent 8 /ColorSpace "
                                 "[/Separation /Spot /DeviceCMYK << /FunctionType 2 /Domain [0 1] "
                                 "/C0 [0 0 0 0] /C1 [1 0 0 0] /N 1 >>]"),
                            bytes({0, 255, 0})),
                     image(3, 1, F::RGB, {255, 255, 255, 0, 172, 239, 255, 255, 255})});
    cases.push_back({"DeviceN with a named alternate",
                     [](fixtures::PdfBuilder& b) {
                         std::string fn = b.addStream(
                             "<< /FunctionType 4 /Domain [0 1 0 1] /Range [0 1 0 1 0 1] >>",
                             "{ 0 }");
                         return b.addStream(dict("/Width 2 /Height 1 /BitsPerComponent 8 "
                                                 "/ColorSpace [/DeviceN [/A /B] /DeviceRGB " +
                                                 fn + "]"),
                                            bytes({255, 0, 0, 255}));
                     },
                     image(2, 1, F::RGB, {255, 0, 0, 0, 255, 0})});
    cases.push_back({"Decode [1 0] inverts one-bit gray",
                     stream(dict("/Width 4 /Height 1 /BitsPerComponent 1 /ColorSpace /DeviceGray "
                                 "/Decode [1 0]"),
                            bytes({0b10100000})),
                     image(4, 1, F::Gray, {0, 255, 0, 255})});
    // A 2 x 1 image under a 4 x 2 soft mask: both over 4 x 2, nearest sample.
    cases.push_back(
        {"SMask at another resolution",
         [](fixtures::PdfBuilder& b) {
             std::string smask =
                 b.addStream(dict("/Width 4 /Height 2 /BitsPerComponent 8 /ColorSpace /DeviceGray"),
                             bytes({0, 64, 128, 255, 255, 255, 0, 0}));
             return b.addStream(dict("/Width 2 /Height 1 /BitsPerComponent 8 "
                                     "/ColorSpace /DeviceRGB /SMask " +
                                     smask),
                                bytes({255, 0, 0, 0, 0, 255}));
         },
         image(4, 2, F::RGBA, {255, 0, 0, 0,   255, 0, 0, 64,  0, 0, 255, 128, 0, 0, 255, 255,
                               255, 0, 0, 255, 255, 0, 0, 255, 0, 0, 255, 0,   0, 0, 255, 0})});
    cases.push_back({"colour-key Mask makes white transparent",
                     stream(dict("/Width 2 /Height 1 /BitsPerComponent 8 /ColorSpace /DeviceRGB "
                                 "/Mask [250 255 250 255 250 255]"),
                            bytes({255, 255, 255, 255, 255, 0})),
                     image(2, 1, F::RGBA, {255, 255, 255, 0, 255, 255, 0, 255})});
    cases.push_back({"explicit Mask stream (a stencil: 1 hides)",
                     [](fixtures::PdfBuilder& b) {
                         std::string mask = b.addStream(dict("/Width 2 /Height 1 /ImageMask true"),
                                                        bytes({0b01000000}));
                         return b.addStream(dict("/Width 2 /Height 1 /BitsPerComponent 8 "
                                                 "/ColorSpace /DeviceGray /Mask " +
                                                 mask),
                                            bytes({10, 20}));
                     },
                     image(2, 1, F::GrayAlpha, {10, 255, 20, 0})});
    cases.push_back({"stencil ImageMask painted in the fill colour",
                     stream(dict("/Width 3 /Height 1 /ImageMask true"), bytes({0b01000000})),
                     image(3, 1, F::RGBA, {10, 20, 30, 255, 10, 20, 30, 0, 10, 20, 30, 255}), 0,
                     QVPDFRGB{10, 20, 30}});
    cases.push_back(
        {"stencil with Decode [1 0]",
         stream(dict("/Width 2 /Height 1 /ImageMask true /Decode [1 0]"), bytes({0b01000000})),
         image(2, 1, F::RGBA, {0, 0, 0, 0, 0, 0, 0, 255})});
    // Rows the data does not reach read as zero samples.
    cases.push_back(
        {"data shorter than its rows",
         stream(dict("/Width 2 /Height 2 /BitsPerComponent 8 /ColorSpace /DeviceGray"), bytes({9})),
         image(2, 2, F::Gray, {9, 0, 0, 0})});
    {
        RasterImage rgb = image(8, 8, F::RGB, std::vector<uint8_t>(8 * 8 * 3, 0));
        for (size_t i = 0; i < rgb.pixels.size(); i += 3)
            rgb.pixels[i] = 200, rgb.pixels[i + 1] = 100, rgb.pixels[i + 2] = 50;
        std::string jpeg = *platform::encodeJpeg(rgb, 0.95);
        cases.push_back(
            {"DCT RGB",
             stream(dict("/Width 8 /Height 8 /BitsPerComponent 8 /ColorSpace /DeviceRGB "
                         "/Filter /DCTDecode"),
                    jpeg),
             rgb, 2});
        // Flate in front of DCT: the generic filter is undone, the codec kept.
        cases.push_back(
            {"Flate then DCT",
             stream(dict("/Width 8 /Height 8 /BitsPerComponent 8 /ColorSpace /DeviceRGB "
                         "/Filter [/FlateDecode /DCTDecode]"),
                    fixtures::flateEncode(jpeg)),
             rgb, 2});
    }
    return cases;
}

TEST(QVPDFUtilitiesImage, SamplesColourSpacesAndMasksGiveTheExpectedPixels) {
    for (const PixelCase& c : pixelCases()) {
        SCOPED_TRACE(c.name);
        ImagePdf pdf = makeImagePdf({{"Im0", c.make}});
        ASSERT_TRUE(pdf.document);
        auto decoded =
            QVPDFUtilities::decodePDFImage(pdf.image("Im0"), std::nullopt, c.stencilColor);
        ASSERT_TRUE(decoded);
        int diff = maxDifference(*decoded, c.expected);
        EXPECT_GE(diff, 0) << decoded->width << "x" << decoded->height << " format "
                           << int(decoded->format);
        EXPECT_LE(diff, c.tolerance);
        if (diff > c.tolerance) {
            std::string got;
            for (uint8_t v : decoded->pixels)
                got += std::to_string(v) + " ";
            ADD_FAILURE() << "pixels: " << got;
        }
    }
}

// An image whose colour space cannot be built, or whose geometry is absurd,
// is skipped: never read as RGB past its data.
TEST(QVPDFUtilitiesImage, UnknowableImagesAreSkipped) {
    struct Case {
        const char* name;
        std::string dict;
        std::string data;
    } cases[] = {
        {"unknown colour-space name",
         dict("/Width 4 /Height 1 /BitsPerComponent 8 /ColorSpace /CS0"), bytes({1, 2, 3, 4})},
        {"no colour space", dict("/Width 4 /Height 1 /BitsPerComponent 8"), bytes({1, 2, 3, 4})},
        {"ICC with 2 components and no alternate", "", ""},
        {"100000 x 100000", dict("/Width 100000 /Height 100000 /BitsPerComponent 8 /ColorSpace /G"),
         bytes({1})},
        {"negative width", dict("/Width -3 /Height 1 /BitsPerComponent 8 /ColorSpace /G"),
         bytes({1})},
        {"bits per component 3", dict("/Width 1 /Height 1 /BitsPerComponent 3 /ColorSpace /G"),
         bytes({1})},
        {"unknown filter",
         dict("/Width 1 /Height 1 /BitsPerComponent 8 /ColorSpace /G /Filter /NoSuchDecode"),
         bytes({1})},
        {"damaged JPEG",
         dict("/Width 8 /Height 8 /BitsPerComponent 8 /ColorSpace /DeviceRGB "
              "/Filter /DCTDecode"),
         "\xFF\xD8\xFF garbage"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto make =
            c.dict.empty()
                ? std::function<std::string(fixtures::PdfBuilder&)>([](fixtures::PdfBuilder& b) {
                      std::string icc = b.addStream("<< /N 2 >>", "x");
                      return b.addStream(dict("/Width 1 /Height 1 /BitsPerComponent 8 "
                                              "/ColorSpace [/ICCBased " +
                                              icc + "]"),
                                         bytes({1, 2}));
                  })
                : stream(c.dict, c.data);
        ImagePdf pdf = makeImagePdf({{"Im0", make}});
        EXPECT_FALSE(QVPDFUtilities::decodePDFImage(pdf.image("Im0"), std::nullopt));
    }
}

// A name that is not a device space is resolved in the /ColorSpace resources
// handed in (inline images name their spaces that way).
TEST(QVPDFUtilitiesImage, ColourSpaceNamesResolveInTheResources) {
    ImagePdf pdf = makeImagePdf(
        {{"Im0",
          stream(dict("/Width 1 /Height 1 /BitsPerComponent 8 /ColorSpace /CS0"), bytes({1}))}});
    fixtures::PdfBuilder b;
    // The page's own resources hold no /ColorSpace; build one in another file.
    fixtures::PageSpec page;
    page.resources = "<< /ColorSpace << /CS0 [/Indexed /DeviceRGB 1 <000000 0A141E>] >> >>";
    b.addPage(page);
    auto other = platform::PdfDocument::openFromMemory(b.build(), "cs");
    auto colorSpaces =
        other->page(1)->dictionary().getDictionary("Resources")->getDictionary("ColorSpace");
    auto decoded = QVPDFUtilities::decodePDFImage(pdf.image("Im0"), colorSpaces);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(maxDifference(*decoded, image(1, 1, F::RGB, {10, 20, 30})), 0);
}

} // namespace
