// Encoding and decoding image files: PNG, JPEG and JPEG 2000 round trips,
// resolution, and data that is not an image, damaged, or declares a size no
// one should allocate.
#include "platform/image/ImageFile.h"
#include "platform/image/Jpeg2000Codec.h"
#include "platform/image/JpegCodec.h"
#include "platform/image/PngCodec.h"

#include <gtest/gtest.h>

using platform::ImageFileType;
using platform::RasterImage;
using F = RasterImage::Format;

namespace {

RasterImage pattern(int w, int h, F format) {
    RasterImage image = RasterImage::make(w, h, format);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = uint8_t((i * 37 + i / 7) % 256);
    return image;
}

int maxDifference(const RasterImage& a, const RasterImage& b) {
    if (a.width != b.width || a.height != b.height || a.format != b.format)
        return -1;
    int worst = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        worst = std::max(worst, std::abs(int(a.pixels[i]) - int(b.pixels[i])));
    return worst;
}

TEST(ImageFile, LosslessFormatsRoundTripEveryPixelFormat) {
    for (F format : {F::Gray, F::GrayAlpha, F::RGB, F::RGBA}) {
        for (ImageFileType type : {ImageFileType::PNG, ImageFileType::JPEG2000}) {
            SCOPED_TRACE(int(format) * 10 + int(type));
            RasterImage image = pattern(13, 7, format);
            auto bytes = platform::encodeImage(image, type, 72, 72, 1.0);
            ASSERT_TRUE(bytes);
            EXPECT_EQ(platform::imageFileTypeOfData(*bytes), type);
            auto back = platform::decodeImageData(*bytes);
            ASSERT_TRUE(back);
            EXPECT_EQ(maxDifference(*back, image), 0);
        }
    }
}

TEST(ImageFile, PngCarriesTheResolutionAndJpegDropsAlpha) {
    auto png = platform::encodePng(pattern(2, 2, F::RGB), 72, 144);
    ASSERT_TRUE(png);
    // pHYs: 2835 and 5669 pixels per metre, unit metre.
    const std::string phys("pHYs\x00\x00\x0B\x13\x00\x00\x16\x25\x01", 13);
    EXPECT_NE(png->find(phys), std::string::npos);

    RasterImage smooth = RasterImage::make(16, 16, F::RGBA);
    for (size_t i = 0; i < smooth.pixels.size(); i += 4)
        smooth.pixels[i] = 200, smooth.pixels[i + 1] = 100, smooth.pixels[i + 2] = 50,
        smooth.pixels[i + 3] = 7;
    auto jpeg = platform::encodeImage(smooth, ImageFileType::JPEG, 72, 72, 0.92);
    ASSERT_TRUE(jpeg);
    auto info = platform::readJpegInfo(*jpeg);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->components, 3);
    auto back = platform::decodeImageData(*jpeg);
    ASSERT_TRUE(back);
    EXPECT_LE(maxDifference(*back, smooth.converted(F::RGB)), 2);
}

TEST(ImageFile, Jpeg2000KeepsAlphaAndBareCodestreamsAreRecognised) {
    RasterImage image = pattern(9, 5, F::GrayAlpha);
    auto jp2 = platform::encodeJpeg2000(image);
    ASSERT_TRUE(jp2);
    EXPECT_TRUE(platform::isJp2Data(*jp2));
    auto decoded = platform::decodeJpeg2000(*jp2);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->hasAlpha);
    EXPECT_EQ(decoded->colorComponents, 1);
    EXPECT_EQ(decoded->colorSpace, platform::DecodedJpeg2000::ColorSpace::Gray);
    // The codestream alone (after the JP2 boxes) decodes too; without the
    // boxes the second of two components is taken for alpha.
    size_t soc = jp2->find("\xFF\x4F\xFF\x51");
    ASSERT_NE(soc, std::string::npos);
    auto bare = platform::decodeImageData(jp2->substr(soc));
    ASSERT_TRUE(bare);
    EXPECT_EQ(maxDifference(*bare, image), 0);
}

TEST(ImageFile, BadDataIsRefusedWithoutCrashing) {
    RasterImage image = pattern(40, 30, F::RGB);
    std::string png = *platform::encodePng(image);
    std::string jpeg = *platform::encodeJpeg(image, 0.9);
    std::string jp2 = *platform::encodeJpeg2000(image);
    // A JPEG header declaring 60000 x 60000 pixels: refused before decoding.
    std::string huge = jpeg;
    size_t sof = huge.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    huge[sof + 5] = char(0xEA), huge[sof + 6] = char(0x60);
    huge[sof + 7] = char(0xEA), huge[sof + 8] = char(0x60);
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"text", "hello, not an image"},
        {"PNG cut in half", png.substr(0, png.size() / 2)},
        {"PNG signature only", png.substr(0, 8)},
        {"JPEG signature only", jpeg.substr(0, 3)},
        {"JPEG 2000 cut short", jp2.substr(0, 60)},
        {"JPEG of 60000 x 60000", huge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(platform::decodeImageData(c.bytes));
    }
    // A JPEG cut after its header still gives its rows (gray where data is missing).
    auto cut = platform::decodeJpeg(jpeg.substr(0, jpeg.size() * 2 / 3));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->width, 40);
    EXPECT_EQ(cut->height, 30);
    EXPECT_FALSE(platform::encodeImage(RasterImage{}, ImageFileType::PNG, 72, 72, 1));
}

// Damaged files of each kind: bytes changed at pseudo-random places and cut
// short. Whatever the decoders make of them, they answer without crashing.
TEST(ImageFile, DamagedDataNeverCrashes) {
    RasterImage image = pattern(24, 16, F::RGBA);
    std::vector<std::string> files = {*platform::encodePng(image),
                                      *platform::encodeJpeg(image, 0.8),
                                      *platform::encodeJpeg2000(image)};
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    int decoded = 0;
    for (const std::string& file : files) {
        for (int round = 0; round < 150; ++round) {
            std::string damaged = file;
            for (int k = 0; k < 1 + round % 4; ++k)
                damaged[next() % damaged.size()] = char(next() >> 16);
            if (round % 5 == 0)
                damaged.resize(next() % damaged.size());
            if (platform::decodeImageData(damaged))
                ++decoded;
        }
    }
    // Some damage is harmless (JPEG pixels, PNG ancillary bits); most is not.
    EXPECT_GT(decoded, 0);
}

} // namespace

namespace {

/// The colour type byte of a PNG's header and its bit depth.
std::pair<int, int> pngKind(const std::string& png) {
    return {static_cast<unsigned char>(png[25]), static_cast<unsigned char>(png[24])};
}

} // namespace

TEST(ImageFile, CompactPngKeepsEveryPixelInTheSmallestForm) {
    // Colour type: 3 palette, 0 grey, 4 grey + alpha, 2 RGB, 6 RGBA.
    auto fill = [](F format, int colours, bool grey, bool opaque) {
        RasterImage image = RasterImage::make(37, 11, format);
        const int c = image.channels();
        for (size_t p = 0; p * c < image.pixels.size(); ++p) {
            const int v = int((p * 7919) % size_t(colours));
            uint8_t* px = image.pixels.data() + p * c;
            px[0] = uint8_t(v);
            if (c >= 3)
                px[1] = grey ? uint8_t(v) : uint8_t(v / 2), px[2] = grey ? uint8_t(v) : uint8_t(255 - v);
            if (image.hasAlpha())
                px[c - 1] = opaque ? 255 : v < 256 ? uint8_t(200 - v % 3) : 100;
        }
        return image;
    };
    struct Case {
        const char* name;
        RasterImage image;
        int colourType, bitDepth;
    } cases[] = {
        {"two colours", fill(F::RGBA, 2, false, false), 3, 1},
        {"four colours", fill(F::RGB, 4, false, true), 3, 2},
        {"sixteen", fill(F::RGBA, 16, false, false), 3, 4},
        {"256 with alpha", fill(F::RGBA, 256, false, false), 3, 8},
        {"grey of many levels, opaque", fill(F::GrayAlpha, 256, true, true), 3, 8},
        {"RGB in grey of 256+ levels", [&] {
             RasterImage i = fill(F::RGB, 256, true, true);
             i.pixels[0] = 1, i.pixels[1] = 1, i.pixels[2] = 1; // still grey, 256 levels
             return i;
         }(), 3, 8},
        {"grey with alpha, past 256", fill(F::RGBA, 300, true, false), 4, 8},
        {"colour past 256, opaque", fill(F::RGBA, 300, false, true), 2, 8},
        {"colour past 256 with alpha", fill(F::RGBA, 300, false, false), 6, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto png = platform::encodePngCompact(c.image, 72, 144);
        ASSERT_TRUE(png);
        EXPECT_EQ(pngKind(*png), std::make_pair(c.colourType, c.bitDepth));
        const std::string phys("pHYs\x00\x00\x0B\x13\x00\x00\x16\x25\x01", 13);
        EXPECT_NE(png->find(phys), std::string::npos);
        auto back = platform::decodePng(*png);
        ASSERT_TRUE(back);
        EXPECT_EQ(maxDifference(back->converted(F::RGBA), c.image.converted(F::RGBA)), 0);
    }
    EXPECT_FALSE(platform::encodePngCompact(RasterImage()));
}
