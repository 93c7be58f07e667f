#pragma once
// Page display space (points, origin top-left of the page as displayed, y
// down) and the glyph geometry record every exporter places text with.

#include "platform/Geometry.h"

/// Glyph geometry in display space: each line and edge is that of the glyph's
/// em box turned upright about its own centre.
struct QVPDF_CTMInfo {
    char flip = 0;       ///< 1 when mirrored in display space
    float rotation = 0;  ///< baseline direction, whole degrees 0..360, clockwise as seen
    double yTop = 0;
    double yAscent = 0;
    double yBase = 0;
    double yDescent = 0;
    double yBottom = 0;  ///< always equal to yDescent
    double xLeft = 0;
    double xRight = 0;
    platform::Point topLeft;
    platform::Point bottomLeft;
    platform::Size fontSize; ///< glyph box in whole points, each side at least 8
};

/// From PDF user space to display space for a rotation of 0/90/180/270
/// (other values count as 0) and the rotated page size.
platform::AffineTransform QVPDF_PageDisplayTransform(int rotation, platform::Size pageSize);

/// The glyph geometry of text of font size `s` (its sign included: a
/// negative size turns the glyphs half round) through `t`, text space to
/// display space with the glyphs' own turn in front (QVPDFRenderState's
/// glyphTransform); box heights are magnitudes.
QVPDF_CTMInfo QVPDF_CTMInfoMake(double s, double ascent, double descent,
                                const platform::AffineTransform& t);
platform::Point QVPDF_CTMTopLeft(double s, double ascent, double descent,
                                 const platform::AffineTransform& t);
/// Direction from (x1, y1) to (x2, y2), whole degrees 0..360, same convention as rotation.
double QVPDF_LineAngle(double x1, double y1, double x2, double y2);

// The field functions of QVPDF_CTMInfoMake.
char QVPDF_CTMFlip(double s, double ascent, double descent, const platform::AffineTransform& t);
double QVPDF_CTMRotation(double s, double ascent, double descent,
                         const platform::AffineTransform& t);
double QVPDF_CTMYTop(double s, double ascent, double descent, const platform::AffineTransform& t);
double QVPDF_CTMYAscent(double s, double ascent, double descent,
                        const platform::AffineTransform& t);
double QVPDF_CTMYBase(double s, double ascent, double descent, const platform::AffineTransform& t);
double QVPDF_CTMYDescent(double s, double ascent, double descent,
                         const platform::AffineTransform& t);
double QVPDF_CTMYBottom(double s, double ascent, double descent,
                        const platform::AffineTransform& t);
double QVPDF_CTMXLeft(double s, double ascent, double descent, const platform::AffineTransform& t);
double QVPDF_CTMXRight(double s, double ascent, double descent, const platform::AffineTransform& t);
platform::Point QVPDF_CTMBottomLeft(double s, double ascent, double descent,
                                    const platform::AffineTransform& t);
platform::Size QVPDF_CTMFontSize(double s, double ascent, double descent,
                                 const platform::AffineTransform& t);
