// Placing drawn images: the picture's box, turn and mirror from the image
// transform, mirrored images turned into mirrored pixels, and clipping by the
// page's clip paths (what the clip lets through, hidden images left out, the
// page edge, turned pages), on real image files.

#include "converter/QVPDFImageCapture.h"
#include "fixtures/PdfBuilder.h"
#include "pdf/QVPDFCGPathUtilities.h"
#include "pdf/QVPDFPageGeometry.h"
#include "pdf/QVPDFUtilities.h"
#include "pdf/content/QVPDFRenderState.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using platform::AffineTransform;
using platform::Rect;

constexpr double kPageHeight = 792;
const Rect kPage{{0, 0}, {612, 792}};

AffineTransform pageTransform() { return QVPDF_PageDisplayTransform(0, kPage.size); }

// 40 x 20 pixels: the left half red, the right half blue, the top row green.
std::string writeImage(const std::string& folder) {
    platform::RasterImage image = platform::RasterImage::make(40, 20, platform::RasterImage::Format::RGB);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            uint8_t* p = image.row(y) + x * 3;
            p[0] = y == 0 ? 0 : x < 20 ? 255 : 0;
            p[1] = y == 0 ? 255 : 0;
            p[2] = y == 0 ? 0 : x < 20 ? 0 : 255;
        }
    const std::string path = folder + "/IMG_test.png";
    EXPECT_TRUE(QVPDF_WriteImageToURL(&image, path, platform::ImageFileType::PNG, {72, 72}, 1));
    return path;
}

QVPDFClipPath clipRect(const Rect& r) {
    platform::Path p;
    p.addRect(r);
    return {*QVPDFCGPathUtilities::NSArrayWithCGPath(p), false};
}

// Colours of the opaque pixels: counts of mostly red, mostly blue, other.
struct Colours {
    int red = 0, blue = 0, other = 0, transparent = 0;
};
Colours colours(const platform::RasterImage& image) {
    Colours c;
    const platform::RasterImage rgba = image.converted(platform::RasterImage::Format::RGBA);
    for (int y = 0; y < rgba.height; ++y)
        for (int x = 0; x < rgba.width; ++x) {
            const uint8_t* p = rgba.row(y) + x * 4;
            if (p[3] < 128)
                ++c.transparent;
            else if (p[0] > 200 && p[2] < 60)
                ++c.red;
            else if (p[2] > 200 && p[0] < 60)
                ++c.blue;
            else
                ++c.other;
        }
    return c;
}

TEST(QVPDFImageCaptureTest, PlacementFollowsTheImageTransform) {
    struct Case {
        const char* name;
        AffineTransform ctm;
        Rect box;
        float rotation;
        bool flipY;
    };
    const Case cases[] = {
        {"upright", {100, 0, 0, 50, 72, 600}, {{72, 142}, {100, 50}}, 0, false},
        {"mirrored top to bottom", {100, 0, 0, -50, 72, 650}, {{72, 142}, {100, 50}}, 0, true},
        // A quarter turn counter-clockwise in PDF space turns clockwise back on the page.
        // Covering x 250..300, y 300..400: the box is centred there, unturned.
        {"quarter turn counter-clockwise", {0, 100, -50, 0, 300, 300}, {{225, 417}, {100, 50}},
         270, false},
        {"quarter turn clockwise", {0, -100, 50, 0, 300, 300}, {{275, 517}, {100, 50}}, 90,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto p = QVPDFImageCapture::placementWithTransform(c.ctm.concat(pageTransform()), 1);
        EXPECT_NEAR(p.displayX, c.box.origin.x, 1e-6);
        EXPECT_NEAR(p.displayY, c.box.origin.y, 1e-6);
        EXPECT_NEAR(p.displayWidth, c.box.size.width, 1e-6);
        EXPECT_NEAR(p.displayHeight, c.box.size.height, 1e-6);
        EXPECT_NEAR(p.rotation, c.rotation, 1e-3);
        EXPECT_EQ(p.flipY, c.flipY);
    }
}

TEST(QVPDFImageCaptureTest, MirroredImagesArePlacedUnmirroredWithMirroredPixels) {
    const std::string folder = fixtures::makeTestFolder("image-capture-mirror");
    const std::string source = writeImage(folder);
    QVPDFDerivedImageFiles derived;
    for (const AffineTransform& mirror :
         {AffineTransform{200, 0, 0, -100, 100, 400},
          // Mirrored, then turned 30 degrees.
          AffineTransform{200, 0, 0, -100, 0, 100}.concat(AffineTransform::makeRotation(M_PI / 6))
              .concat(AffineTransform::makeTranslation(200, 300))}) {
        QVPDFRenderState state;
        state.setCtm(mirror);
        const auto asDrawn =
            QVPDFImageCapture::placementWithTransform(mirror.concat(pageTransform()), 1);
        ASSERT_TRUE(asDrawn.flipY);
        const auto placed =
            QVPDFImageCapture::captureImage(source, state, pageTransform(), kPage, &derived);
        ASSERT_TRUE(placed);
        EXPECT_FALSE(placed->flipY);
        EXPECT_NE(placed->mediaPath, source);
        EXPECT_EQ(placed->imageTitle, "IMG_test.png");
        // Same place on the page, same size.
        const Rect a = asDrawn.coveredRect(), b = placed->coveredRect();
        EXPECT_NEAR(a.origin.x, b.origin.x, 1e-6);
        EXPECT_NEAR(a.origin.y, b.origin.y, 1e-6);
        EXPECT_NEAR(a.size.width, b.size.width, 1e-6);
        EXPECT_NEAR(a.size.height, b.size.height, 1e-6);
        EXPECT_NEAR(placed->displayWidth, 200, 1e-6);
        // The green top row is now the bottom row.
        const auto pixels = QVPDFUtilities::cgImageWithContentsOfFile(placed->mediaPath);
        ASSERT_TRUE(pixels);
        EXPECT_EQ(pixels->row(pixels->height - 1)[1], 255);
        EXPECT_EQ(pixels->row(0)[1], 0);
    }
    // One mirrored copy serves every painting of the image.
    EXPECT_EQ(derived.size(), 1u);
}

TEST(QVPDFImageCaptureTest, ClipsCutHideOrLeaveTheImage) {
    const std::string folder = fixtures::makeTestFolder("image-capture-clip");
    const std::string source = writeImage(folder);
    struct Case {
        const char* name;
        AffineTransform ctm;        // the image, PDF user space
        std::vector<Rect> clips;    // PDF user space
        int rotate;                 // page rotation
        enum { Whole, Cut, Hidden } expect;
        Rect box;                   // display space, for a cut
        bool red, blue;             // colours the cut shows
    };
    const Case cases[] = {
        {"clip holding the image", {200, 0, 0, 100, 100, 100}, {kPage}, 0, Case::Whole, {}, 0, 0},
        {"left half", {200, 0, 0, 100, 100, 100}, {{{100, 100}, {100, 100}}}, 0, Case::Cut,
         {{100, 592}, {100, 100}}, true, false},
        {"two clips intersect to the right half", {200, 0, 0, 100, 100, 100},
         {{{150, 0}, {400, 792}}, {{200, 0}, {400, 792}}}, 0, Case::Cut,
         {{200, 592}, {100, 100}}, false, true},
        {"clip beside the image", {200, 0, 0, 100, 100, 100}, {{{400, 400}, {50, 50}}}, 0,
         Case::Hidden, {}, 0, 0},
        // The cut ends at the page's edge, it is not stretched over the clip box.
        {"past the page edge", {200, 0, 0, 100, 500, 100}, {{{550, 50}, {300, 200}}}, 0,
         Case::Cut, {{550, 592}, {62, 100}}, true, true},
        // On a page turned 90 degrees the clip turns with the page.
        {"turned page", {200, 0, 0, 100, 100, 100}, {{{100, 100}, {100, 100}}}, 90, Case::Cut,
         {{100, 100}, {100, 100}}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Rect page = c.rotate == 90 ? Rect{{0, 0}, {792, 612}} : kPage;
        const AffineTransform pageT = QVPDF_PageDisplayTransform(c.rotate, page.size);
        QVPDFRenderState state;
        state.setCtm(c.ctm);
        std::vector<QVPDFClipPath> clips;
        for (const Rect& r : c.clips)
            clips.push_back(clipRect(r));
        state.setClipBezierPaths(clips);
        const auto placed = QVPDFImageCapture::captureImage(source, state, pageT, page, nullptr);
        if (c.expect == Case::Hidden) {
            EXPECT_FALSE(placed);
            continue;
        }
        ASSERT_TRUE(placed);
        if (c.expect == Case::Whole) {
            EXPECT_EQ(placed->mediaPath, source);
            EXPECT_FALSE(placed->clipped);
            continue;
        }
        EXPECT_TRUE(placed->clipped);
        EXPECT_NE(placed->mediaPath, source);
        EXPECT_EQ(placed->rotation, 0);
        EXPECT_NEAR(placed->displayX, c.box.origin.x, 1e-6);
        EXPECT_NEAR(placed->displayY, c.box.origin.y, 1e-6);
        EXPECT_NEAR(placed->displayWidth, c.box.size.width, 1e-6);
        EXPECT_NEAR(placed->displayHeight, c.box.size.height, 1e-6);
        const auto cut = QVPDFUtilities::cgImageWithContentsOfFile(placed->mediaPath);
        ASSERT_TRUE(cut);
        const Colours seen = colours(*cut);
        EXPECT_EQ(seen.red > 0, c.red);
        EXPECT_EQ(seen.blue > 0, c.blue);
        // One pixel per point at least (the image has 0.2 per point).
        EXPECT_GE(cut->width, static_cast<int>(c.box.size.width));
    }
}

TEST(QVPDFImageCaptureTest, ClippedCutsStayWithinTheirPixelCap) {
    const std::string folder = fixtures::makeTestFolder("image-capture-cap");
    platform::RasterImage big =
        platform::RasterImage::make(8000, 10, platform::RasterImage::Format::Gray);
    const std::string source = folder + "/IMG_big.png";
    ASSERT_TRUE(QVPDF_WriteImageToURL(&big, source, platform::ImageFileType::PNG, {72, 72}, 1));
    QVPDFRenderState state;
    state.setCtm({600, 0, 0, 10, 0, 100});
    state.setClipBezierPaths({clipRect({{0, 0}, {590, 792}})});
    const auto placed = QVPDFImageCapture::captureImage(source, state, pageTransform(), kPage, nullptr);
    ASSERT_TRUE(placed && placed->clipped);
    const auto cut = QVPDFUtilities::cgImageWithContentsOfFile(placed->mediaPath);
    ASSERT_TRUE(cut);
    EXPECT_LE(cut->width, QVPDFImageCapture::kMaxClipPixels);
    EXPECT_GT(cut->width, 3000); // the image's own resolution, not one pixel per point
}

} // namespace
