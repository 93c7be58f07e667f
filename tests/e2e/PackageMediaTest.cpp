// Word documents and presentations as zip packages: pictures that are
// compressed already (PNG, JPEG) are stored, unless deflate still shrinks them
// markedly, the XML parts deflated; one
// image shown on several pages is one medium; a page of hundreds of tiny
// inline images makes a sound package and leaves no file behind, neither
// beside the output nor in the scratch area.

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/image/JpegCodec.h"
#include "platform/image/RasterImage.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

namespace {

const std::string kCorvala = std::string(CORVALA_BINARY_DIR) + "/bin/corvala";

/// Three pages showing one JPEG of noise; the first also draws `inlineImages` 8 x 8
/// stencil images, each of its own bits.
std::string makeSource(const std::string& path, int inlineImages) {
    // Noise, as a photograph is to deflate: nothing to gain from it.
    auto picture = platform::RasterImage::make(48, 32, platform::RasterImage::Format::RGB);
    std::mt19937 rnd(7);
    for (uint8_t& v : picture.pixels)
        v = static_cast<uint8_t>(rnd());
    const auto jpeg = platform::encodeJpeg(picture, 0.9);
    if (!jpeg)
        return {};
    fixtures::PdfBuilder b;
    const std::string image =
        b.addStream("<< /Type /XObject /Subtype /Image /Width 48 /Height 32 /ColorSpace "
                    "/DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode >>",
                    *jpeg);
    const std::string resources = "<< /XObject << /Im1 " + image + " >> >>";
    std::string first = "0 0 0 rg\n";
    for (int k = 0; k < inlineImages; ++k) {
        const int x = 40 + (k % 40) * 13, y = 700 - (k / 40) * 13;
        std::string bits = {static_cast<char>(k & 0xFF), static_cast<char>(k >> 8)};
        bits += "\x3C\x42\x81\x81\x42\x3C";
        first += "q 8 0 0 8 " + std::to_string(x) + " " + std::to_string(y) +
                 " cm BI /W 8 /H 8 /IM true /BPC 1 /D [1 0] ID " + bits + " EI Q\n";
    }
    const std::string shown = "q 144 0 0 96 72 72 cm /Im1 Do Q\n";
    for (const std::string& content : {first + shown, shown, shown}) {
        fixtures::PageSpec page;
        page.content = content;
        page.resources = resources;
        b.addPage(page);
    }
    return b.writeTo(path);
}

struct Case {
    const char* format;
    const char* mediaFolder;
};

class PackageMediaTest : public ::testing::TestWithParam<Case> {};

TEST_P(PackageMediaTest, PicturesStoredOnceTextDeflatedNothingLeftBehind) {
    const Case c = GetParam();
    const std::string folder = fixtures::makeTestFolder(std::string("package-media-") + c.format);
    const std::string scratch = folder + "/tmp";
    ASSERT_TRUE(fixtures::runCommand("mkdir -p " + fixtures::shellQuote(scratch)).ok());
    const std::string pdf = makeSource(folder + "/deck.pdf", 400);
    ASSERT_FALSE(pdf.empty());

    auto run =
        fixtures::runCommand("TMPDIR=" + fixtures::shellQuote(scratch) + " " +
                             fixtures::shellQuote(kCorvala) + " convert -f " + c.format + " " +
                             fixtures::shellQuote(pdf) + " -o " + fixtures::shellQuote(folder));
    ASSERT_TRUE(run.ok()) << run.output;
    const std::string package = folder + "/deck." + c.format;
    auto check = fixtures::checkPackage(package);
    EXPECT_TRUE(check.ok()) << check.output;

    // Every other part deflated; a medium stored unless deflate's fastest
    // level shrinks its first 16 KiB by a tenth (the tiny pictures and the
    // JPEG of noise cannot be). The JPEG once, as it was (the pages pass it
    // through), and the inline images each once.
    auto listing = fixtures::runPython(R"(
import sys, zipfile, zlib, collections
z = zipfile.ZipFile(sys.argv[1])
media = sys.argv[2]
def stored(data):
    sample = data[:16384]
    c = zlib.compressobj(1, zlib.DEFLATED, -15, 8)
    return len(sample) < 64 or len(c.compress(sample) + c.flush()) > int(len(sample) * 0.9)
print('testzip', z.testzip())
is_media = lambda i: i.filename.startswith(media)
wrong = [i.filename for i in z.infolist()
         if i.compress_type != (0 if is_media(i) and stored(z.read(i)) else 8)]
print('wrongly compressed', wrong)
print('most media stored', sum(is_media(i) and i.compress_type == 0 for i in z.infolist()) > 350)
kinds = collections.Counter(i.filename.rsplit('.', 1)[-1] for i in z.infolist() if is_media(i))
print('jpeg', kinds['jpeg'] + kinds['jpg'], 'png', kinds['png'] >= 400,
      'other', sum(kinds.values()) - kinds['jpeg'] - kinds['jpg'] - kinds['png'])
blobs = [z.read(i) for i in z.infolist() if is_media(i)]
print('duplicates', len(blobs) - len(set(blobs)))
)",
                                       {package, c.mediaFolder});
    ASSERT_TRUE(listing.ok()) << listing.output;
    EXPECT_EQ(listing.output, "testzip None\n"
                              "wrongly compressed []\n"
                              "most media stored True\n"
                              "jpeg 1 png True other 0\n"
                              "duplicates 0\n");

    // Nothing beside the output, nothing left in the scratch area.
    auto left = fixtures::runCommand("cd " + fixtures::shellQuote(folder) +
                                     " && find . -mindepth 1 | LC_ALL=C sort");
    std::string expected;
    for (const std::string& name :
         std::set<std::string>{"deck.pdf", "tmp", "deck." + std::string(c.format)})
        expected += "./" + name + "\n";
    EXPECT_EQ(left.output, expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, PackageMediaTest,
                         ::testing::Values(Case{"docx", "word/media/"}, Case{"pptx", "ppt/media/"}),
                         [](const auto& info) { return std::string(info.param.format); });

TEST(PackageMediaDocx, ManyImagePageReadsInPythonDocx) {
    const std::string folder = fixtures::makeTestFolder("package-media-read");
    const std::string pdf = makeSource(folder + "/deck.pdf", 400);
    ASSERT_FALSE(pdf.empty());
    auto run =
        fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert -f docx " +
                             fixtures::shellQuote(pdf) + " -o " + fixtures::shellQuote(folder));
    ASSERT_TRUE(run.ok()) << run.output;
    // python-docx resolves each picture through its relationship to the
    // image part and reads the image's header.
    auto read = fixtures::runPython(R"(
import sys, docx
d = docx.Document(sys.argv[1])
sizes = [rel.target_part.image.px_width for rel in d.part.rels.values()
         if rel.reltype.endswith('/image')]
print(len(sizes) >= 401, min(sizes) > 0)
)",
                                    {folder + "/deck.docx"});
    ASSERT_TRUE(read.ok()) << read.output;
    EXPECT_EQ(read.output, "True True\n");
}

} // namespace
