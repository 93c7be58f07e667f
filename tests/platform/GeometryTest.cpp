// Affine transforms compose in the platform's order and paths keep their elements.
#include "platform/Geometry.h"
#include "platform/NumberFormat.h"
#include "platform/Path.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

TEST(Geometry, TranslateAppliesBeforeTheExistingTransform) {
    AffineTransform scale = AffineTransform::makeScale(2, 3);
    // "translate t": the point is moved first, then scaled.
    Point p = scale.translate(10, 1).apply({0, 0});
    EXPECT_EQ(p, (Point{20, 3}));
    // concat: first *this, then the argument.
    Point q = AffineTransform::makeTranslation(10, 1).concat(scale).apply({0, 0});
    EXPECT_EQ(q, (Point{20, 3}));
    Point r = scale.concat(AffineTransform::makeTranslation(10, 1)).apply({1, 1});
    EXPECT_EQ(r, (Point{12, 4}));
}

TEST(Geometry, InverseUndoesAndSingularStaysPut) {
    AffineTransform t{0, 2, -3, 0, 5, 7};
    Point p = t.invert().apply(t.apply({1.5, -4}));
    EXPECT_NEAR(p.x, 1.5, 1e-12);
    EXPECT_NEAR(p.y, -4, 1e-12);
    AffineTransform singular{1, 2, 2, 4, 0, 0};
    EXPECT_EQ(singular.invert(), singular);
}

TEST(Geometry, RectBoundsAfterRotation) {
    Rect r = AffineTransform::makeRotation(M_PI / 2).applyToRect({{0, 0}, {10, 20}});
    EXPECT_NEAR(r.origin.x, -20, 1e-9);
    EXPECT_NEAR(r.size.width, 20, 1e-9);
    EXPECT_NEAR(r.size.height, 10, 1e-9);
}

TEST(Geometry, PathCurrentPointAndBounds) {
    Path path;
    EXPECT_TRUE(path.isEmpty());
    path.moveTo({1, 1});
    path.curveTo({0, 5}, {4, 9}, {3, 3});
    path.closeSubpath();
    Point cp;
    ASSERT_TRUE(path.currentPoint(cp));
    EXPECT_EQ(cp, (Point{1, 1})); // a close returns to the subpath's start
    Rect bb = path.boundingBox();
    EXPECT_EQ(bb, (Rect{{0, 1}, {4, 8}}));
    Path moved = path.transformed(AffineTransform::makeTranslation(1, 0));
    EXPECT_EQ(moved.elements()[1].points[2], (Point{4, 3}));
}

TEST(NumberFormat, NoLocaleAndExactRoundTrip) {
    EXPECT_EQ(formatF(1.5), "1.500000");
    EXPECT_EQ(formatF(-2), "-2.000000");
    EXPECT_EQ(formatFixed(2.675, 2), "2.67"); // the double below 2.675
    EXPECT_EQ(formatShortest(0.1), "0.1");
    EXPECT_EQ(parseDouble("-.5"), -0.5);
    EXPECT_EQ(parseDouble("+3"), 3.0);
    EXPECT_FALSE(parseDouble("1,5"));
    EXPECT_FALSE(parseDouble("1.5x"));
    EXPECT_FALSE(parseDouble(""));
    EXPECT_EQ(parseInteger("42"), 42);
    EXPECT_FALSE(parseInteger("99999999999999999999"));
}
