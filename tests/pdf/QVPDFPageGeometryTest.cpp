// Page display transforms for every rotation and the glyph geometry record
// against worked examples.
#include "pdf/QVPDFPageGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

using platform::AffineTransform;
using platform::Point;

namespace {
void expectNear(Point a, Point b, const char* what) {
    EXPECT_NEAR(a.x, b.x, 1e-9) << what;
    EXPECT_NEAR(a.y, b.y, 1e-9) << what;
}
} // namespace

TEST(QVPDFPageGeometry, DisplayTransformForEveryRotation) {
    const double W = 842, H = 595;
    const struct {
        int rotation;
        Point (*expected)(double x, double y, double W, double H);
    } cases[] = {
        {0, [](double x, double y, double, double H) { return Point{x, H - y}; }},
        {90, [](double x, double y, double, double) { return Point{y, x}; }},
        {180, [](double x, double y, double W, double) { return Point{W - x, y}; }},
        {270, [](double x, double y, double W, double H) { return Point{W - y, H - x}; }},
        {-90, [](double x, double y, double W, double H) { return Point{W - y, H - x}; }},
        {450, [](double x, double y, double, double) { return Point{y, x}; }},
        {45, [](double x, double y, double, double H) { return Point{x, H - y}; }},
    };
    for (const auto& c : cases) {
        AffineTransform t = QVPDF_PageDisplayTransform(c.rotation, {W, H});
        for (Point p : {Point{0, 0}, Point{0, 595}, Point{100, 20}, Point{612, 792}})
            expectNear(t.apply(p), c.expected(p.x, p.y, W, H),
                       ("rotation " + std::to_string(c.rotation)).c_str());
    }
    // The example of a 90-degree page: PDF (0, 595) lands at display (595, 0).
    expectNear(QVPDF_PageDisplayTransform(90, {842, 595}).apply({0, 595}), {595, 0}, "90");
    // Extreme rotations normalise without overflow.
    (void)QVPDF_PageDisplayTransform(INT32_MIN, {1, 1});
}

TEST(QVPDFPageGeometry, GlyphRecordWorkedExamples) {
    const AffineTransform page{1, 0, 0, -1, 0, 792};
    const struct {
        const char* name;
        double a, b, c, d;
        char flip;
        float rotation;
        double yTop, yAscent, yBase, yDescent, xLeft, xRight;
        Point topLeft, bottomLeft;
    } rows[] = {
        {"upright", 1, 0, 0, 1, 0, 0, 688, 688.6, 700, 704.2, 100, 112, {100, 688.6}, {100, 704.2}},
        {"downward", 0, -1, 1, 0, 0, 90, 700, 700.3, 703.9, 708.1, 97.6, 109.6, {97.6, 698.2},
         {97.6, 713.8}},
        {"upward", 0, 1, -1, 0, 0, 270, 688, 688.3, 691.9, 696.1, 90.4, 102.4, {90.4, 686.2},
         {90.4, 701.8}},
        {"upside down", -1, 0, 0, -1, 0, 180, 700, 700, 695.8, 700, 88, 100, {88, 695.8},
         {88, 711.4}},
        {"mirrored lr", -1, 0, 0, 1, 1, 180, 688, 688.6, 700, 704.2, 88, 100, {88, 688.6},
         {88, 704.2}},
        {"mirrored tb", 1, 0, 0, -1, 1, 0, 700, 700, 695.8, 700, 100, 112, {100, 695.8},
         {100, 711.4}},
    };
    for (const auto& r : rows) {
        AffineTransform tm{r.a, r.b, r.c, r.d, 100, 92};
        QVPDF_CTMInfo info = QVPDF_CTMInfoMake(12, 0.95, -0.35, tm.concat(page));
        const double e = 1e-9;
        EXPECT_EQ(info.flip, r.flip) << r.name;
        EXPECT_EQ(info.rotation, r.rotation) << r.name;
        EXPECT_NEAR(info.yTop, r.yTop, e) << r.name;
        EXPECT_NEAR(info.yAscent, r.yAscent, e) << r.name;
        EXPECT_NEAR(info.yBase, r.yBase, e) << r.name;
        EXPECT_NEAR(info.yDescent, r.yDescent, e) << r.name;
        EXPECT_EQ(info.yBottom, info.yDescent) << r.name;
        EXPECT_NEAR(info.xLeft, r.xLeft, e) << r.name;
        EXPECT_NEAR(info.xRight, r.xRight, e) << r.name;
        expectNear(info.topLeft, r.topLeft, r.name);
        expectNear(info.bottomLeft, r.bottomLeft, r.name);
        EXPECT_EQ(info.fontSize, (platform::Size{12, 16})) << r.name;
    }
}

TEST(QVPDFPageGeometry, GlyphRecordEdgeCases) {
    const AffineTransform page{1, 0, 0, -1, 0, 792};
    // Font size 0: every line on the baseline, no width, minimum size, no flip.
    QVPDF_CTMInfo zero = QVPDF_CTMInfoMake(0, 0.95, -0.35, AffineTransform{1, 0, 0, 1, 50, 92}.concat(page));
    for (double y : {zero.yTop, zero.yAscent, zero.yBase, zero.yDescent, zero.yBottom})
        EXPECT_EQ(y, 700);
    EXPECT_EQ(zero.xLeft, zero.xRight);
    EXPECT_EQ(zero.flip, 0);
    EXPECT_EQ(zero.fontSize, (platform::Size{8, 8}));

    // 7.4 points wide rounds to 7, then the minimum 8; 15.6 high rounds to 16.
    QVPDF_CTMInfo small = QVPDF_CTMInfoMake(1, 0.95, -0.35, AffineTransform{7.4, 0, 0, 12, 0, 0});
    EXPECT_EQ(small.fontSize, (platform::Size{8, 16}));

    // A horizontal scale of 2 doubles the width, not the heights.
    QVPDF_CTMInfo wide = QVPDF_CTMInfoMake(12, 0.95, -0.35, AffineTransform{2, 0, 0, 1, 100, 92}.concat(page));
    EXPECT_NEAR(wide.xRight - wide.xLeft, 24, 1e-9);
    EXPECT_EQ(wide.fontSize, (platform::Size{24, 16}));
    EXPECT_NEAR(wide.yDescent - wide.yAscent, 15.6, 1e-9);

    // 359.6 degrees is kept as 360, not 0.
    const double r = 359.6 * M_PI / 180;
    EXPECT_EQ(QVPDF_CTMInfoMake(12, 0.95, -0.35, AffineTransform{std::cos(r), std::sin(r), 0, 1, 0, 0}).rotation, 360.0f);
    EXPECT_EQ(QVPDF_LineAngle(0, 0, std::cos(r), std::sin(r)), 360.0);
    EXPECT_EQ(QVPDF_LineAngle(0, 0, 0, 5), 90.0);  // downward in display space
    EXPECT_EQ(QVPDF_LineAngle(0, 0, 0, -5), 270.0);
}
