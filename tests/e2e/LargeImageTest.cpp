// Scans and photos with far more pixels than their drawn size shows go into
// Word documents and presentations at 300 dpi of that size, and a two-colour
// scan as a 1-bit PNG, read from the packages themselves.

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "pdf/QVPDFUtilities.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

const std::string kCorvala = std::string(CORVALA_BINARY_DIR) + "/bin/corvala";

// Extracts every media part into the folder (argv[2]) and prints, per PNG,
// its file name, width, height, bit depth and colour type.
const char* kMediaScript = R"(
import os, struct, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    for name in z.namelist():
        if '/media/' not in name:
            continue
        data = z.read(name)
        path = os.path.join(sys.argv[2], os.path.basename(name))
        with open(path, 'wb') as f:
            f.write(data)
        if data[:8] == b'\x89PNG\r\n\x1a\n':
            w, h, depth, kind = struct.unpack('>IIBB', data[16:26])
            print(path, w, h, depth, kind)
        else:
            print(path, 0, 0, 0, -1)
)";

struct Media {
    std::string path;
    int width = 0, height = 0, bitDepth = 0, colourType = -1;
};

TEST(LargeImage, ScansAndPhotosAreKeptAtTheirDrawnSizeAndScansStayOneBit) {
    const std::string folder = fixtures::makeTestFolder("large-image");
    // A 1,600 x 1,200 scan: black left half, white right half. Drawn 96 x 72
    // points, which shows 400 x 300 pixels at 300 dpi.
    const int scanWidth = 1600, scanHeight = 1200;
    std::string scan(size_t(scanWidth / 8) * scanHeight, '\0');
    for (int y = 0; y < scanHeight; ++y)
        for (int x = scanWidth / 2; x < scanWidth; x += 8)
            scan[size_t(y) * (scanWidth / 8) + size_t(x / 8)] = char(0xFF);
    // A 600 x 450 photo of grey steps, drawn 36 x 27 points: 150 x 113 pixels.
    std::string photo;
    for (int y = 0; y < 450; ++y)
        for (int x = 0; x < 600; ++x)
            photo.append(3, char(x * 255 / 599));
    fixtures::PdfBuilder b;
    const std::string scanRef =
        b.addStream("<< /Type /XObject /Subtype /Image /Width 1600 /Height 1200 "
                    "/BitsPerComponent 1 /ColorSpace /DeviceGray >>",
                    scan);
    const std::string photoRef =
        b.addStream("<< /Type /XObject /Subtype /Image /Width 600 /Height 450 "
                    "/BitsPerComponent 8 /ColorSpace /DeviceRGB >>",
                    photo);
    fixtures::PageSpec page;
    page.resources = "<< /XObject << /Scan " + scanRef + " /Photo " + photoRef + " >> >>";
    page.content = "q 96 0 0 72 72 600 cm /Scan Do Q q 36 0 0 27 300 600 cm /Photo Do Q";
    b.addPage(page);
    const std::string pdf = b.writeTo(folder + "/scan.pdf");

    for (const char* format : {"docx", "pptx"}) {
        SCOPED_TRACE(format);
        const std::string out = folder + "/" + format;
        ASSERT_TRUE(platform::createDirectories(out + "/media"));
        auto run =
            fixtures::runCommand(fixtures::shellQuote(kCorvala) + " convert -f " + format + " " +
                                 fixtures::shellQuote(pdf) + " -o " + fixtures::shellQuote(out));
        ASSERT_TRUE(run.ok()) << run.output;
        const std::string package = out + "/scan." + format;
        auto check = fixtures::checkPackage(package);
        EXPECT_TRUE(check.ok()) << check.output;
        auto listed = fixtures::runPython(kMediaScript, {package, out + "/media"});
        ASSERT_TRUE(listed.ok()) << listed.output;
        std::istringstream lines(listed.output);
        std::vector<Media> media;
        Media m;
        while (lines >> m.path >> m.width >> m.height >> m.bitDepth >> m.colourType)
            media.push_back(m);
        ASSERT_EQ(media.size(), 2u) << listed.output;
        const Media* bilevel = media[0].bitDepth == 1 ? &media[0] : &media[1];
        const Media* colour = bilevel == &media[0] ? &media[1] : &media[0];

        EXPECT_EQ(bilevel->bitDepth, 1);
        EXPECT_EQ(bilevel->colourType, 0); // grey
        EXPECT_EQ(bilevel->width, 400);
        EXPECT_EQ(bilevel->height, 300);
        auto scanned = QVPDFUtilities::cgImageWithContentsOfFile(bilevel->path);
        ASSERT_TRUE(scanned && scanned->isGray());
        int wrong = 0;
        for (int y = 0; y < scanned->height; ++y)
            for (int x = 0; x < scanned->width; ++x)
                wrong += scanned->row(y)[size_t(x) * size_t(scanned->channels())] !=
                         (x < scanned->width / 2 ? 0 : 255);
        EXPECT_EQ(wrong, 0);

        EXPECT_EQ(colour->bitDepth, 8);
        EXPECT_LE(colour->width, 150);
        EXPECT_LE(colour->height, 113);
        EXPECT_GE(colour->width, 100);
        auto shown = QVPDFUtilities::cgImageWithContentsOfFile(colour->path);
        ASSERT_TRUE(shown && shown->width == colour->width);
        // The grey steps still rise from black on the left to white on the right.
        const uint8_t* row = shown->row(shown->height / 2);
        const size_t c = size_t(shown->channels());
        EXPECT_LE(row[0], 4);
        EXPECT_GE(row[(size_t(shown->width) - 1) * c], 251);
        for (int x = 1; x < shown->width; ++x)
            EXPECT_GE(row[size_t(x) * c], row[size_t(x - 1) * c]);
    }
}

} // namespace
