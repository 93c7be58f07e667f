// Real files made by Debian's tools (tests/fixtures/images/make_image_fixtures.py):
// what the interpreter reports for them is checked against the sources and
// against pdfimages, which lists and extracts the same images.
#include "pdf/ImageTestSupport.h"

#include "pdf/QVPDFUtilities.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/xobject/QVPDFImageXObject.h"
#include "platform/Files.h"
#include "platform/image/CcittCodec.h"
#include "platform/image/ImageFile.h"
#include "platform/image/Jbig2Codec.h"
#include "platform/image/PngCodec.h"
#include "platform/pdf/PdfContentScanner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

using platform::RasterImage;
using F = RasterImage::Format;
using namespace imagetest;

namespace {

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, p)) > 0)
            out.append(buffer, n);
        pclose(p);
    }
    return out;
}

/// The images (not masks) pdfimages lists: (width, height) each.
std::vector<std::pair<int, int>> pdfimagesList(const std::string& pdf) {
    std::istringstream lines(run("pdfimages -list '" + pdf + "'"));
    std::vector<std::pair<int, int>> images;
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string page, num, type;
        int w = 0, h = 0;
        if (fields >> page >> num >> type >> w >> h && type == "image")
            images.emplace_back(w, h);
    }
    return images;
}

/// The PNG files pdfimages -png extracts, in its order (images and masks).
std::vector<RasterImage> pdfimagesPng(const std::string& pdf, const std::string& folder) {
    std::string prefix = folder + "/pi";
    run("pdfimages -png '" + pdf + "' '" + prefix + "'");
    std::vector<RasterImage> out;
    for (int i = 0;; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "-%03d.png", i);
        auto bytes = platform::readFile(prefix + name);
        if (!bytes)
            break;
        out.push_back(platform::decodePng(*bytes).value_or(RasterImage{}));
    }
    return out;
}

/// PGM (P5) and PAM (P7) files of 8-bit samples.
std::optional<RasterImage> readNetpbm(const std::string& path) {
    auto bytes = platform::readFile(path);
    if (!bytes)
        return std::nullopt;
    std::istringstream in(*bytes);
    std::string magic;
    in >> magic;
    RasterImage image;
    if (magic == "P5") {
        int maxval;
        in >> image.width >> image.height >> maxval;
        image.format = F::Gray;
    } else if (magic == "P7") {
        std::string key, tupltype;
        int depth = 0;
        while (in >> key && key != "ENDHDR") {
            if (key == "WIDTH")
                in >> image.width;
            else if (key == "HEIGHT")
                in >> image.height;
            else if (key == "DEPTH")
                in >> depth;
            else if (key == "TUPLTYPE")
                in >> tupltype;
            else
                in >> key;
        }
        image.format = depth == 4 ? F::RGBA : F::RGB;
    } else {
        return std::nullopt;
    }
    in.get();
    size_t size = size_t(image.width) * image.height * image.channels();
    size_t start = size_t(in.tellg());
    if (bytes->size() < start + size)
        return std::nullopt;
    image.pixels.assign(bytes->begin() + long(start), bytes->begin() + long(start + size));
    return image;
}

class Recorder : public QVPDFConentParserDelegate {
public:
    std::vector<std::optional<std::string>> paths;
    void didScanXObjectImage(QVPDFConentParser&,
                             const std::shared_ptr<const QVPDFImageXObject>& image) override {
        paths.push_back(image ? image->cachedImagePath() : std::nullopt);
    }
};

class ImageFilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fixtures_ = new std::string(fixtures::makeTestFolder("image-fixtures"));
        std::string script =
            std::string(CORVALA_SOURCE_DIR) + "/tests/fixtures/images/make_image_fixtures.py";
        made_ =
            std::system(("/usr/bin/python3 '" + script + "' '" + *fixtures_ + "'").c_str()) == 0;
    }
    static void TearDownTestSuite() { delete fixtures_; }

    void SetUp() override {
        ASSERT_TRUE(made_) << "the fixture script failed";
        home_ = fixtures::makeTestFolder("image-files-home");
        const char* old = std::getenv("HOME");
        oldHome_ = old ? old : "";
        setenv("HOME", home_.c_str(), 1);
        work_ = fixtures::makeTestFolder("image-files-work");
    }
    void TearDown() override { setenv("HOME", oldHome_.c_str(), 1); }

    std::string fixture(const std::string& name) const { return *fixtures_ + "/" + name; }

    /// Paths of the images page 1 of the PDF reports, read while the
    /// document is open (its scratch folder goes with it): each file's bytes.
    std::vector<std::pair<std::string, std::string>> reportedFiles(const std::string& pdf) {
        auto doc = platform::PdfDocument::open(pdf);
        EXPECT_TRUE(doc);
        if (!doc)
            return {};
        auto page = doc->page(1);
        Recorder rec;
        QVPDFConentParser parser(page->dictionary(),
                                 std::make_shared<platform::PdfContentStream>(page->documentImpl(),
                                                                              page->contentData()));
        parser.setDelegate(&rec);
        parser.startParser();
        std::vector<std::pair<std::string, std::string>> files;
        for (const auto& p : rec.paths) {
            EXPECT_TRUE(p);
            if (p)
                files.emplace_back(*p, platform::readFile(*p).value_or(""));
        }
        return files;
    }

    static std::string* fixtures_;
    static bool made_;
    std::string home_, oldHome_, work_;
};

std::string* ImageFilesTest::fixtures_ = nullptr;
bool ImageFilesTest::made_ = false;

TEST_F(ImageFilesTest, CairoPngWithAlphaKeepsItsSoftMask) {
    std::string pdf = fixture("cairo_alpha.pdf");
    auto files = reportedFiles(pdf);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(pdfimagesList(pdf), (std::vector<std::pair<int, int>>{{16, 12}}));
    EXPECT_EQ(platform::splitExtension(files[0].first).second, "png");
    auto ours = platform::decodePng(files[0].second);
    ASSERT_TRUE(ours);
    ASSERT_EQ(ours->format, F::RGBA);
    // pdfimages gives the image and its soft mask apart: our RGB is its image,
    // our alpha its mask, exactly.
    auto extracted = pdfimagesPng(pdf, work_);
    ASSERT_EQ(extracted.size(), 2u);
    RasterImage rgb = extracted[0].converted(F::RGB), mask = extracted[1].converted(F::Gray);
    RasterImage ourRgb = ours->converted(F::RGB);
    EXPECT_EQ(maxDifference(ourRgb, rgb), 0);
    std::vector<uint8_t> alpha;
    for (size_t i = 3; i < ours->pixels.size(); i += 4)
        alpha.push_back(ours->pixels[i]);
    EXPECT_EQ(alpha, mask.pixels);
    // And the alpha is the source's.
    auto source = readNetpbm(fixture("cairo_alpha.pam"));
    ASSERT_TRUE(source);
    for (size_t i = 0; i < alpha.size(); ++i)
        EXPECT_NEAR(alpha[i], source->pixels[4 * i + 3], 1) << i;
}

TEST_F(ImageFilesTest, Img2pdfJpegsAreCopiedByteForByte) {
    for (const char* kind : {"rgb", "gray", "cmyk"}) {
        SCOPED_TRACE(kind);
        std::string pdf = fixture(std::string("jpeg_") + kind + ".pdf");
        auto files = reportedFiles(pdf);
        ASSERT_EQ(files.size(), 1u);
        EXPECT_EQ(pdfimagesList(pdf), (std::vector<std::pair<int, int>>{{32, 24}}));
        EXPECT_EQ(platform::splitExtension(files[0].first).second, "jpeg");
        EXPECT_EQ(files[0].second,
                  platform::readFile(fixture(std::string("jpeg_") + kind + ".jpg")));
        // Read back as a JPEG file (Adobe CMYK inverted, as such files hold
        // it), it shows what the PDF shows: pdfimages' pixels, up to rounding.
        auto ours = platform::decodeImageData(files[0].second);
        auto extracted = pdfimagesPng(pdf, work_);
        ASSERT_TRUE(ours);
        ASSERT_EQ(extracted.size(), 1u);
        int diff = maxDifference(ours->converted(F::RGB), extracted[0].converted(F::RGB));
        EXPECT_GE(diff, 0);
        EXPECT_LE(diff, 2);
    }
}

TEST_F(ImageFilesTest, Tiff2pdfGroup4PageHasTheSourcePixels) {
    std::string pdf = fixture("g4.pdf");
    auto files = reportedFiles(pdf);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(pdfimagesList(pdf), (std::vector<std::pair<int, int>>{{60, 40}}));
    auto ours = platform::decodeImageData(files[0].second);
    auto source = readNetpbm(fixture("g4.pgm"));
    ASSERT_TRUE(ours && source);
    EXPECT_EQ(maxDifference(*ours, *source), 0);
    auto extracted = pdfimagesPng(pdf, work_);
    ASSERT_EQ(extracted.size(), 1u);
    EXPECT_EQ(maxDifference(*ours, extracted[0].converted(F::Gray)), 0);
}

TEST_F(ImageFilesTest, Group3DataInEachCodingHasTheSourcePixels) {
    struct Case {
        const char* file;
        const char* parms;
    } cases[] = {
        {"g3_1d.fax", "/K 0 /Columns 60 /Rows 40 /EndOfLine true"},
        // Writers often leave /EndOfLine out although their rows have the codes.
        {"g3_1d.fax", "/Columns 60"},
        {"g3_2d.fax", "/K 4 /Columns 60 /Rows 40 /EndOfLine true"},
        {"g3_fill.fax", "/K 0 /Columns 60 /EncodedByteAlign true /EndOfLine true"},
    };
    auto source = readNetpbm(fixture("g4.pgm"));
    ASSERT_TRUE(source);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto data = platform::readFile(fixture(c.file));
        ASSERT_TRUE(data);
        ImagePdf pdf =
            makeImagePdf({{"Im0", stream(std::string("<< /Subtype /Image /Width 60 /Height 40 "
                                                     "/BitsPerComponent 1 /ColorSpace /DeviceGray "
                                                     "/Filter /CCITTFaxDecode /DecodeParms << ") +
                                             c.parms + " >> >>",
                                         *data)}});
        auto ours = QVPDFUtilities::decodePDFImage(pdf.image("Im0"), std::nullopt);
        ASSERT_TRUE(ours);
        EXPECT_EQ(maxDifference(*ours, *source), 0);
    }
}

// The page's halftone region draws with the pattern dictionary of the
// globals stream: with /JBIG2Globals it is the source page, without it not.
TEST_F(ImageFilesTest, Jbig2PageDrawnFromItsGlobals) {
    auto page = platform::readFile(fixture("halftone_page.jb2"));
    auto globals = platform::readFile(fixture("halftone_globals.jb2"));
    auto source = readNetpbm(fixture("jbig2_halftone.pgm"));
    ASSERT_TRUE(page && globals && source);
    ImagePdf pdf = makeImagePdf(
        {{"With",
          [&](fixtures::PdfBuilder& b) {
              std::string g =
                  b.addStream("<< /Filter /FlateDecode >>", fixtures::flateEncode(*globals));
              return b.addStream("<< /Subtype /Image /Width 48 /Height 32 /BitsPerComponent 1 "
                                 "/ColorSpace /DeviceGray /Filter /JBIG2Decode "
                                 "/DecodeParms << /JBIG2Globals " +
                                     g + " >> >>",
                                 *page);
          }},
         {"Without", stream("<< /Subtype /Image /Width 48 /Height 32 /BitsPerComponent 1 "
                            "/ColorSpace /DeviceGray /Filter /JBIG2Decode >>",
                            *page)}});
    auto with = QVPDFUtilities::decodePDFImage(pdf.image("With"), std::nullopt);
    ASSERT_TRUE(with);
    EXPECT_EQ(maxDifference(*with, *source), 0);
    auto without = QVPDFUtilities::decodePDFImage(pdf.image("Without"), std::nullopt);
    EXPECT_TRUE(!without || maxDifference(*without, *source) != 0);
    std::string file = work_ + "/halftone.pdf";
    {
        std::ofstream out(file, std::ios::binary);
        out << pdf.bytes;
    }
    auto extracted = pdfimagesPng(file, work_);
    ASSERT_GE(extracted.size(), 1u);
    EXPECT_EQ(maxDifference(*with, extracted[0].converted(F::Gray)), 0);
}

// Fax and JBIG2 data with bytes changed and cut short decode to something or
// nothing, never past their buffers.
TEST_F(ImageFilesTest, DamagedFaxAndJbig2DataNeverCrash) {
    auto g4 = platform::readFile(fixture("g4.tif"));
    auto g3 = platform::readFile(fixture("g3_2d.fax"));
    auto page = platform::readFile(fixture("page.jb2"));
    auto globals = platform::readFile(fixture("globals.jb2"));
    ASSERT_TRUE(g4 && g3 && page && globals);
    uint32_t seed = 777;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    auto damage = [&](std::string s, int round) {
        for (int k = 0; k < 1 + round % 3; ++k)
            s[next() % s.size()] = char(next() >> 16);
        if (round % 4 == 0)
            s.resize(next() % s.size());
        return s;
    };
    for (int round = 0; round < 200; ++round) {
        platform::CcittParameters p;
        p.k = round % 2 ? -1 : 4;
        p.columns = round % 7 == 0 ? 1728 : 60;
        (void)platform::decodeCcitt(damage(round % 2 ? *g4 : *g3, round), p, 40);
        (void)platform::decodeJbig2(damage(*page, round),
                                    round % 3 ? *globals : damage(*globals, round));
    }
}

TEST_F(ImageFilesTest, JpxWithoutColourSpaceAndAnMmrJbig2PageDecode) {
    auto jp2 = platform::readFile(fixture("image.jp2"));
    auto page = platform::readFile(fixture("page.jb2"));
    auto globals = platform::readFile(fixture("globals.jb2"));
    ASSERT_TRUE(jp2 && page && globals);
    fixtures::PdfBuilder b;
    b.setPreserveStreams(true);
    std::string jpx = b.addStream(
        "<< /Type /XObject /Subtype /Image /Width 20 /Height 10 /Filter /JPXDecode >>", *jp2);
    std::string g = b.addStream("<< >>", *globals);
    std::string jbig2 = b.addStream("<< /Type /XObject /Subtype /Image /Width 60 /Height 40 "
                                    "/BitsPerComponent 1 /ColorSpace /DeviceGray "
                                    "/Filter /JBIG2Decode /DecodeParms << /JBIG2Globals " +
                                        g + " >> >>",
                                    *page);
    fixtures::PageSpec spec;
    spec.content = "q 20 0 0 10 0 0 cm /Jpx Do Q q 60 0 0 40 0 100 cm /Jb Do Q";
    spec.resources = "<< /XObject << /Jpx " + jpx + " /Jb " + jbig2 + " >> >>";
    b.addPage(spec);
    std::string pdf = b.writeTo(work_ + "/jpx-jbig2.pdf");

    auto files = reportedFiles(pdf);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(pdfimagesList(pdf), (std::vector<std::pair<int, int>>{{20, 10}, {60, 40}}));
    // The JP2 file is copied as it stands, its colour space read from the codestream.
    EXPECT_EQ(platform::splitExtension(files[0].first).second, "jp2");
    EXPECT_EQ(files[0].second, *jp2);
    auto jpxPixels = platform::decodeImageData(files[0].second);
    auto jpxSource = readNetpbm(fixture("image.pam"));
    ASSERT_TRUE(jpxPixels && jpxSource);
    EXPECT_EQ(maxDifference(*jpxPixels, *jpxSource), 0);

    auto jbig2Pixels = platform::decodeImageData(files[1].second);
    auto jbig2Source = readNetpbm(fixture("jbig2.pgm"));
    ASSERT_TRUE(jbig2Pixels && jbig2Source);
    EXPECT_EQ(maxDifference(*jbig2Pixels, *jbig2Source), 0);
    auto extracted = pdfimagesPng(pdf, work_);
    ASSERT_EQ(extracted.size(), 2u);
    EXPECT_EQ(maxDifference(*jbig2Pixels, extracted[1].converted(F::Gray)), 0);
}

} // namespace
