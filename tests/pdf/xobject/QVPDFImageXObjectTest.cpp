// Image XObjects and inline images as the interpreter reports them: written
// lazily when painted, once per document, named after their real format, and
// gone with the document's scratch folder.
#include "pdf/ImageTestSupport.h"

#include "pdf/QVPDFUtilities.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/xobject/QVPDFImageXObject.h"
#include "platform/Files.h"
#include "platform/image/ImageFileCache.h"
#include "platform/image/JpegCodec.h"
#include "platform/pdf/PdfContentScanner.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

using platform::RasterImage;
using F = RasterImage::Format;
using namespace imagetest;

namespace {

struct Reported {
    std::string name;
    std::optional<std::string> path;
};

class ImageRecorder : public QVPDFConentParserDelegate {
public:
    std::vector<Reported> images;
    void didScanXObjectImage(QVPDFConentParser&,
                             const std::shared_ptr<const QVPDFImageXObject>& image) override {
        if (image)
            images.push_back({image->objectID(), image->cachedImagePath()});
        else
            images.push_back({"none", std::nullopt});
    }
};

/// The scratch folder lives in $TMPDIR: each test gets its own.
class ImageXObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = fixtures::makeTestFolder("image-home");
        const char* old = std::getenv("TMPDIR");
        oldHome_ = old ? old : "";
        setenv("TMPDIR", home_.c_str(), 1);
    }
    void TearDown() override { setenv("TMPDIR", oldHome_.c_str(), 1); }

    /// Interprets page `number` of the open document.
    std::vector<Reported> runPage(const platform::PdfDocument& doc, size_t number,
                                  std::function<void(QVPDFRenderState&)> setUp = nullptr) {
        auto page = doc.page(number);
        auto stack = std::make_shared<RenderingStateStack>();
        if (setUp)
            setUp(*stack->topRenderingState());
        ImageRecorder rec;
        QVPDFConentParser parser(page->dictionary(),
                                 std::make_shared<platform::PdfContentStream>(page->documentImpl(),
                                                                              page->contentData()));
        parser.setDelegate(&rec);
        parser.setRenderingStateStack(stack);
        parser.startParser();
        return rec.images;
    }

    std::string home_;
    std::string oldHome_;
};

std::string imageDict(const std::string& entries) {
    return "<< /Type /XObject /Subtype /Image " + entries + " >>";
}

TEST_F(ImageXObjectTest, SharedImagesAreWrittenOncePerDocumentAndOnlyWhenPainted) {
    fixtures::PdfBuilder b;
    std::string resources = "<< /XObject <<";
    for (int i = 0; i < 3; ++i)
        resources += " /Im" + std::to_string(i) + " " +
                     b.addStream(imageDict("/Width 1 /Height 1 /BitsPerComponent 8 /ColorSpace /G"),
                                 bytes({i * 100}));
    resources += " >> >>";
    for (const char* content : {"/Im0 Do", "/Im0 Do /Im1 Do /Im0 Do", "q /Im1 Do Q /Missing Do"}) {
        fixtures::PageSpec page;
        page.content = content;
        b.addPage(page);
    }
    // One resource dictionary that every page inherits.
    b.setRootResources(resources);
    std::string folder;
    {
        auto doc = platform::PdfDocument::openFromMemory(b.build(), "shared");
        std::vector<Reported> all;
        for (size_t p = 1; p <= 3; ++p)
            for (Reported& r : runPage(*doc, p))
                all.push_back(r);
        // A name without an XObject reports nothing.
        ASSERT_EQ(all.size(), 5u);
        const std::string im0 = all[0].path.value_or(""), im1 = all[2].path.value_or("");
        ASSERT_FALSE(im0.empty());
        ASSERT_FALSE(im1.empty());
        EXPECT_NE(im0, im1);
        for (size_t i : {1, 3})
            EXPECT_EQ(all[i].path, im0);
        EXPECT_EQ(all[4].path, im1);
        auto cache = platform::ImageFileCache::forDocument(doc->impl());
        // Im2 is never painted: two extractions, not three, and not five.
        EXPECT_EQ(cache->storedCount(), 2u);
        folder = platform::deletingLastPathComponent(im0);
        EXPECT_EQ(platform::deletingLastPathComponent(folder),
                  home_ + "/corvala-" + std::to_string(::getpid()));
        auto loaded = QVPDFUtilities::cgImageWithContentsOfFile(im1);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(maxDifference(*loaded, image(1, 1, F::Gray, {100})), 0);
    }
    // The document is closed: its scratch folder is gone, nothing stays behind.
    EXPECT_FALSE(platform::pathExists(folder));
}

TEST_F(ImageXObjectTest, StencilMasksArePaintedInEachFillColour) {
    ImagePdf pdf = makeImagePdf(
        {{"M", stream(imageDict("/Width 2 /Height 1 /ImageMask true"), bytes({0b01000000}))}},
        "1 0 0 rg /M Do 0 0 1 rg /M Do 1 0 0 rg /M Do");
    auto images = runPage(*pdf.document, 1);
    ASSERT_EQ(images.size(), 3u);
    ASSERT_TRUE(images[0].path && images[1].path);
    EXPECT_NE(*images[0].path, *images[1].path);
    EXPECT_EQ(images[2].path, images[0].path);
    auto red = QVPDFUtilities::cgImageWithContentsOfFile(*images[0].path);
    auto blue = QVPDFUtilities::cgImageWithContentsOfFile(*images[1].path);
    ASSERT_TRUE(red && blue);
    EXPECT_EQ(maxDifference(*red, image(2, 1, F::RGBA, {255, 0, 0, 255, 255, 0, 0, 0})), 0);
    EXPECT_EQ(maxDifference(*blue, image(2, 1, F::RGBA, {0, 0, 255, 255, 0, 0, 255, 0})), 0);
}

TEST_F(ImageXObjectTest, InlineImagesAreNamedByACounterAndDecodedThroughTheirFilters) {
    RasterImage gray = image(8, 8, F::Gray, std::vector<uint8_t>(64, 90));
    std::string jpeg = *platform::encodeJpeg(gray, 0.95);
    std::string flate = fixtures::flateEncode(bytes({1, 2, 3, 4, 5, 6}));
    std::string content = "BI /W 2 /H 1 /BPC 8 /CS /RGB /F /AHx ID FF000000FF00> EI\n"
                          "BI /W 3 /H 2 /BPC 8 /CS /G /F /Fl ID " +
                          flate +
                          " EI\n"
                          "BI /W 8 /H 8 /BPC 8 /CS /G /F /DCT ID " +
                          jpeg +
                          " EI\n"
                          "BI /W 2 /H 1 /BPC 8 /CS /Pal ID " +
                          bytes({0, 1}) + " EI\n";
    fixtures::PdfBuilder b;
    fixtures::PageSpec page;
    page.content = content;
    page.resources = "<< /ColorSpace << /Pal [/Indexed /DeviceRGB 1 <0A141E 28323C>] >> >>";
    b.addPage(page);
    auto doc = platform::PdfDocument::openFromMemory(b.build(), "inline");
    auto images = runPage(*doc, 1);
    ASSERT_EQ(images.size(), 4u);
    const RasterImage expected[] = {image(2, 1, F::RGB, {255, 0, 0, 0, 255, 0}),
                                    image(3, 2, F::Gray, {1, 2, 3, 4, 5, 6}), gray,
                                    image(2, 1, F::RGB, {10, 20, 30, 40, 50, 60})};
    for (size_t i = 0; i < images.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(images[i].name, "EI-" + std::to_string(i + 1));
        ASSERT_TRUE(images[i].path);
        auto loaded = QVPDFUtilities::cgImageWithContentsOfFile(*images[i].path);
        ASSERT_TRUE(loaded);
        EXPECT_LE(maxDifference(*loaded, expected[i]), i == 2 ? 1 : 0);
        EXPECT_GE(maxDifference(*loaded, expected[i]), 0);
    }
    // The unmasked JPEG is its own bytes in a .jpeg file.
    EXPECT_EQ(platform::splitExtension(*images[2].path).second, "jpeg");
    EXPECT_EQ(platform::readFile(*images[2].path), jpeg);
}

// The file's extension is that of its bytes: JPEG data without a mask is
// copied as it stands, JPEG with a mask becomes PNG with alpha, raw data PNG.
TEST_F(ImageXObjectTest, FilesAreNamedAfterWhatTheyHold) {
    RasterImage rgb = image(8, 8, F::RGB, std::vector<uint8_t>(8 * 8 * 3, 200));
    std::string jpeg = *platform::encodeJpeg(rgb, 0.9);
    std::string folder = fixtures::makeTestFolder("image-names");
    ImagePdf pdf = makeImagePdf(
        {{"Jpeg", stream(imageDict("/Width 8 /Height 8 /BitsPerComponent 8 /ColorSpace /DeviceRGB "
                                   "/Filter /DCTDecode"),
                         jpeg)},
         {"Masked",
          [&](fixtures::PdfBuilder& b) {
              std::string smask = b.addStream(
                  imageDict("/Width 1 /Height 1 /BitsPerComponent 8 /ColorSpace /DeviceGray"),
                  bytes({128}));
              return b.addStream(imageDict("/Width 8 /Height 8 /BitsPerComponent 8 "
                                           "/ColorSpace /DeviceRGB /Filter /DCTDecode /SMask " +
                                           smask),
                                 jpeg);
          }},
         {"Inverted", stream(imageDict("/Width 8 /Height 8 /BitsPerComponent 8 "
                                       "/ColorSpace /DeviceRGB /Filter /DCTDecode "
                                       "/Decode [1 0 1 0 1 0]"),
                             jpeg)},
         {"Raw",
          stream(imageDict("/Width 1 /Height 1 /BitsPerComponent 8 /ColorSpace /G"), bytes({7}))}});
    struct Expect {
        const char* name;
        platform::ImageFileType type;
        bool copied;
        F format;
    } expects[] = {{"Jpeg", platform::ImageFileType::JPEG, true, F::RGB},
                   {"Masked", platform::ImageFileType::PNG, false, F::RGBA},
                   {"Inverted", platform::ImageFileType::JPEG, false, F::RGB},
                   {"Raw", platform::ImageFileType::PNG, false, F::Gray}};
    for (const Expect& e : expects) {
        SCOPED_TRACE(e.name);
        auto written =
            QVPDFUtilities::extractPDFStream(pdf.image(e.name), std::nullopt, folder, 0.92f);
        ASSERT_TRUE(written);
        EXPECT_EQ(written->type, e.type);
        EXPECT_EQ(written->copiedEncodedData, e.copied);
        EXPECT_EQ(platform::splitExtension(written->path).second,
                  platform::extensionForImageFileType(e.type));
        auto bytesWritten = platform::readFile(written->path);
        ASSERT_TRUE(bytesWritten);
        EXPECT_EQ(platform::imageFileTypeOfData(*bytesWritten), e.type);
        if (e.copied) {
            EXPECT_EQ(*bytesWritten, jpeg);
        }
        auto loaded = platform::decodeImageData(*bytesWritten);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->format, e.format);
    }
    auto inverted = QVPDFUtilities::cgImageWithContentsOfFile(
        QVPDFUtilities::extractPDFStream(pdf.image("Inverted"), std::nullopt, folder, 0.92f)->path);
    ASSERT_TRUE(inverted);
    EXPECT_NEAR(inverted->pixels[0], 55, 3);
}

} // namespace

/// What a PNG file's header says: size, bit depth and colour type.
struct PngHeader {
    int width = 0, height = 0, bitDepth = 0, colourType = -1;
};

PngHeader pngHeader(const std::string& path) {
    const std::string png = platform::readFile(path).value_or("");
    PngHeader h;
    if (png.size() < 26 || png.compare(12, 4, "IHDR") != 0)
        return h;
    auto be32 = [&](size_t at) {
        return int((uint32_t(uint8_t(png[at])) << 24) | (uint32_t(uint8_t(png[at + 1])) << 16) |
                   (uint32_t(uint8_t(png[at + 2])) << 8) | uint32_t(uint8_t(png[at + 3])));
    };
    h.width = be32(16);
    h.height = be32(20);
    h.bitDepth = uint8_t(png[24]);
    h.colourType = uint8_t(png[25]);
    return h;
}

/// 1-bit rows of width x height: the left half 0 samples, the right half 1.
std::string halvesBits(int width, int height) {
    const size_t rowBytes = (size_t(width) + 7) / 8;
    std::string rows(rowBytes * size_t(height), '\0');
    for (int y = 0; y < height; ++y)
        for (int x = width / 2; x < width; ++x)
            rows[size_t(y) * rowBytes + size_t(x) / 8] |= char(0x80 >> (x % 8));
    return rows;
}

/// Every pixel of `image` at column x: `left` for x < width / 2, else `right`.
bool showsHalves(const RasterImage& image, const std::vector<uint8_t>& left,
                 const std::vector<uint8_t>& right) {
    const int c = image.channels();
    if (size_t(c) != left.size() || size_t(c) != right.size())
        return false;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const auto& want = x < image.width / 2 ? left : right;
            for (int k = 0; k < c; ++k)
                if (image.row(y)[size_t(x) * size_t(c) + size_t(k)] != want[size_t(k)])
                    return false;
        }
    return true;
}

// An image with far more pixels than its drawn size shows at 300 dpi is
// written at that size; one of two colours without a mask (or a stencil) as a
// 1-bit PNG, whether scaled or not. A 400 x 300 image drawn 24 x 18 points
// has room for 100 x 75 pixels.
TEST_F(ImageXObjectTest, LargeImagesAreScaledToTheirDrawnSizeAndTwoColoursStayOneBit) {
    const std::string halves = halvesBits(400, 300);
    std::string checker(400 * 300 * 3, '\0');
    for (size_t i = 0; i < 400 * 300; ++i)
        checker[3 * i + ((i / 400 + i % 400) % 2 ? 2 : 0)] = char(255); // red, blue by turns
    const std::string bits = "/Width 400 /Height 300 /BitsPerComponent 1 ";
    auto smask = [](fixtures::PdfBuilder& b) {
        return b.addStream(imageDict("/Width 400 /Height 300 /BitsPerComponent 8 "
                                     "/ColorSpace /DeviceGray"),
                           std::string(400 * 300, char(255)));
    };
    const std::vector<uint8_t> black{0}, white{255}, red{255, 0, 0, 255}, clear{255, 0, 0, 0};
    struct Case {
        const char* name;
        std::function<std::string(fixtures::PdfBuilder&)> make;
        const char* cm;
        int width, height, bitDepth, colourType;
        std::vector<uint8_t> left, right; // decoded pixels of each half; empty: checked apart
    } cases[] = {
        {"Gray", stream(imageDict(bits + "/ColorSpace /DeviceGray"), halves), "24 0 0 18 0 0", 100,
         75, 1, 0, black, white},
        // Turned a quarter: bounded along the image's own rows and columns.
        {"Turned", stream(imageDict(bits + "/ColorSpace /DeviceGray"), halves), "0 24 -18 0 0 0",
         100, 75, 1, 0, black, white},
        {"Inverted", stream(imageDict(bits + "/ColorSpace /DeviceGray /Decode [1 0]"), halves),
         "24 0 0 18 0 0", 100, 75, 1, 0, white, black},
        // Drawn large enough: kept at its own size, still one bit a pixel.
        {"Unscaled", stream(imageDict(bits + "/ColorSpace /DeviceGray"), halves), "400 0 0 300 0 0",
         400, 300, 1, 0, black, white},
        // Within a quarter past the bound: its own pixels are kept.
        {"NearlyFits", stream(imageDict(bits + "/ColorSpace /DeviceGray"), halves),
         "86.4 0 0 64.8 0 0", 400, 300, 1, 0, black, white},
        {"Stencil", stream(imageDict("/Width 400 /Height 300 /ImageMask true"), halves),
         "24 0 0 18 0 0", 100, 75, 1, 3, red, clear},
        // A soft mask needs an alpha channel of eight bits.
        {"SoftMasked",
         [&](fixtures::PdfBuilder& b) {
             return b.addStream(imageDict(bits + "/ColorSpace /DeviceGray /SMask " + smask(b)),
                                halves);
         },
         "24 0 0 18 0 0",
         100,
         75,
         8,
         4,
         {0, 255},
         {255, 255}},
        // Pixels of red and blue by turns average to purple, not to either.
        {"Colour",
         stream(imageDict("/Width 400 /Height 300 /BitsPerComponent 8 "
                          "/ColorSpace /DeviceRGB"),
                checker),
         "24 0 0 18 0 0",
         100,
         75,
         8,
         2,
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImagePdf pdf =
            makeImagePdf({{"Im", c.make}}, std::string("1 0 0 rg q ") + c.cm + " cm /Im Do Q");
        auto images = runPage(*pdf.document, 1);
        ASSERT_EQ(images.size(), 1u);
        ASSERT_TRUE(images[0].path);
        const PngHeader h = pngHeader(*images[0].path);
        EXPECT_EQ(h.width, c.width);
        EXPECT_EQ(h.height, c.height);
        EXPECT_EQ(h.bitDepth, c.bitDepth);
        EXPECT_EQ(h.colourType, c.colourType);
        auto loaded = QVPDFUtilities::cgImageWithContentsOfFile(*images[0].path);
        ASSERT_TRUE(loaded);
        if (!c.left.empty()) {
            EXPECT_TRUE(showsHalves(*loaded, c.left, c.right));
        } else {
            ASSERT_EQ(loaded->format, F::RGB);
            for (size_t i = 0; i < loaded->pixels.size(); i += 3) {
                EXPECT_NEAR(loaded->pixels[i], 128, 1);
                EXPECT_EQ(loaded->pixels[i + 1], 0);
                EXPECT_NEAR(loaded->pixels[i + 2], 128, 1);
            }
        }
    }
}

// Paintings that keep an image at its own size share one file whatever their
// sizes; a painting that scales it shares only with those that scale it alike.
TEST_F(ImageXObjectTest, ScaledPaintingsShareAFileOnlyAtTheSameSize) {
    const std::string halves = halvesBits(400, 300);
    ImagePdf pdf = makeImagePdf(
        {{"Im", stream(imageDict("/Width 400 /Height 300 /BitsPerComponent 1 "
                                 "/ColorSpace /DeviceGray"),
                       halves)}},
        "q 400 0 0 300 0 0 cm /Im Do Q q 401 0 0 301 0 0 cm /Im Do Q "
        "q 24 0 0 18 0 0 cm /Im Do Q q 48 0 0 36 0 0 cm /Im Do Q q 24 0 0 18 9 9 cm /Im Do Q");
    auto images = runPage(*pdf.document, 1);
    ASSERT_EQ(images.size(), 5u);
    for (const Reported& r : images)
        ASSERT_TRUE(r.path);
    EXPECT_EQ(*images[0].path, *images[1].path);
    EXPECT_NE(*images[2].path, *images[0].path);
    EXPECT_NE(*images[3].path, *images[2].path);
    EXPECT_EQ(*images[4].path, *images[2].path);
    EXPECT_EQ(pngHeader(*images[0].path).width, 400);
    EXPECT_EQ(pngHeader(*images[2].path).width, 100);
    EXPECT_EQ(pngHeader(*images[3].path).width, 200);
}
