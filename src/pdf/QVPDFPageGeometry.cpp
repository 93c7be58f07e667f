#include "pdf/QVPDFPageGeometry.h"

#include <algorithm>
#include <cmath>

using platform::AffineTransform;
using platform::Point;
using platform::Size;

AffineTransform QVPDF_PageDisplayTransform(int rotation, Size pageSize) {
    // Work in 64 bits so that normalising INT_MIN cannot overflow.
    long long r = rotation % 360;
    if (r < 0)
        r += 360;
    const double W = pageSize.width, H = pageSize.height;
    AffineTransform t = AffineTransform::identity().translate(0, H).scale(1, -1);
    switch (r) {
    case 90:
        t = t.translate(0, H).rotate(-M_PI / 2);
        break;
    case 180:
        t = t.translate(W, H).rotate(M_PI);
        break;
    case 270:
        t = t.translate(W, 0).rotate(M_PI / 2);
        break;
    default:
        break;
    }
    return t;
}

namespace {

struct UprightBox {
    double left, right, top, bottom, w, h;
};

// The em box from (0, D·s) to (s, A·s), through t, replaced by an unrotated
// box of the same width and height about the same centre.
UprightBox boxOf(double s, double A, double D, const AffineTransform& t) {
    Point p1 = t.apply({0, D * s});
    Point p2 = t.apply({s, D * s});
    Point p3 = t.apply({s, A * s});
    double w = std::hypot(p2.x - p1.x, p2.y - p1.y);
    double h = std::hypot(p3.x - p2.x, p3.y - p2.y);
    double cx = p1.x + (p3.x - p1.x) / 2, cy = p1.y + (p3.y - p1.y) / 2;
    return {cx - w / 2, cx + w / 2, cy - h / 2, cy + h / 2, w, h};
}

// Degrees of an angle given in single precision, normalised and rounded the
// way the record stores rotations (360 stays 360 after rounding).
double wholeDegrees(float y, float x) {
    float theta = std::atan2(y, x);
    double degrees = 180.0 * static_cast<double>(theta) / M_PI;
    while (degrees < 0)
        degrees += 360;
    while (degrees >= 360)
        degrees -= 360;
    return static_cast<double>(std::round(static_cast<float>(degrees)));
}

} // namespace

char QVPDF_CTMFlip(double s, double, double, const AffineTransform& t) {
    Point A = t.apply({0, 0}), B = t.apply({s, 0}), C = t.apply({s, s});
    double cross = (B.x - A.x) * (C.y - B.y) - (B.y - A.y) * (C.x - B.x);
    return static_cast<float>(cross) > 0 ? 1 : 0;
}

// The baseline runs along the font size's own x axis: a negative size turns
// the glyphs half round, so text set at -12 through a page turned 180 degrees
// reads upright.
double QVPDF_CTMRotation(double s, double, double, const AffineTransform& t) {
    const double sign = s < 0 ? -1.0 : 1.0;
    return wholeDegrees(static_cast<float>(sign * t.b), static_cast<float>(sign * t.a));
}

double QVPDF_CTMYTop(double s, double, double, const AffineTransform& t) {
    return boxOf(s, 1, 0, t).top;
}
double QVPDF_CTMYAscent(double s, double ascent, double, const AffineTransform& t) {
    return boxOf(s, ascent, 0, t).top;
}
double QVPDF_CTMYBase(double s, double, double descent, const AffineTransform& t) {
    return boxOf(s, 0, descent, t).top;
}
double QVPDF_CTMYDescent(double s, double, double descent, const AffineTransform& t) {
    return boxOf(s, 0, descent, t).bottom;
}
double QVPDF_CTMYBottom(double s, double, double descent, const AffineTransform& t) {
    return boxOf(s, 0, descent, t).bottom;
}
double QVPDF_CTMXLeft(double s, double ascent, double descent, const AffineTransform& t) {
    return boxOf(s, ascent, descent, t).left;
}
double QVPDF_CTMXRight(double s, double ascent, double descent, const AffineTransform& t) {
    return boxOf(s, ascent, descent, t).right;
}
Point QVPDF_CTMTopLeft(double s, double ascent, double descent, const AffineTransform& t) {
    UprightBox b = boxOf(s, ascent, descent, t);
    return {b.left, b.top};
}
Point QVPDF_CTMBottomLeft(double s, double ascent, double descent, const AffineTransform& t) {
    UprightBox b = boxOf(s, ascent, descent, t);
    return {b.left, b.bottom};
}
Size QVPDF_CTMFontSize(double s, double ascent, double descent, const AffineTransform& t) {
    UprightBox b = boxOf(s, ascent, descent, t);
    return {static_cast<double>(std::round(static_cast<float>(b.w))),
            static_cast<double>(std::round(static_cast<float>(b.h)))};
}

QVPDF_CTMInfo QVPDF_CTMInfoMake(double s, double ascent, double descent,
                                const AffineTransform& t) {
    // The same values as the single-value functions above, each box made once:
    // this runs twice for every glyph shown.
    const UprightBox em = boxOf(s, 1, 0, t);
    const UprightBox above = boxOf(s, ascent, 0, t);
    const UprightBox below = boxOf(s, 0, descent, t);
    const UprightBox whole = boxOf(s, ascent, descent, t);
    QVPDF_CTMInfo info;
    info.flip = QVPDF_CTMFlip(s, ascent, descent, t);
    info.rotation = static_cast<float>(QVPDF_CTMRotation(s, ascent, descent, t));
    info.yTop = em.top;
    info.yAscent = above.top;
    info.yBase = below.top;
    info.yDescent = below.bottom;
    info.yBottom = below.bottom;
    info.xLeft = whole.left;
    info.xRight = whole.right;
    info.topLeft = {whole.left, whole.top};
    info.bottomLeft = {whole.left, whole.bottom};
    info.fontSize = {std::max(std::round(static_cast<float>(whole.w)), 8.0f),
                     std::max(std::round(static_cast<float>(whole.h)), 8.0f)};
    return info;
}

double QVPDF_LineAngle(double x1, double y1, double x2, double y2) {
    return wholeDegrees(static_cast<float>(y2 - y1), static_cast<float>(x2 - x1));
}
