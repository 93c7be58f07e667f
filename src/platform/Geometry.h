#pragma once
// Plain geometry values in PDF/display points, and the affine transform.
// Composing puts the new operation in front: "translate t" makes a transform
// that moves a point first, then applies t (the order PDF's cm uses: the new
// matrix is concatenated before the current one).

namespace platform {

struct Point {
    double x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    double width = 0, height = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    Point origin;
    Size size;
    bool operator==(const Rect&) const = default;

    double minX() const;
    double minY() const;
    double maxX() const;
    double maxY() const;
    bool isEmpty() const;
    /// Same rectangle with non-negative width and height.
    Rect standardized() const;
    /// Smallest rectangle holding both; an empty rectangle is ignored.
    Rect unionWith(const Rect& other) const;
};

struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    bool operator==(const AffineTransform&) const = default;

    static AffineTransform identity() { return {}; }
    static AffineTransform makeTranslation(double tx, double ty);
    static AffineTransform makeScale(double sx, double sy);
    static AffineTransform makeRotation(double radians);

    /// A point goes first through *this, then through `then`.
    AffineTransform concat(const AffineTransform& then) const;
    AffineTransform translate(double dx, double dy) const;
    AffineTransform scale(double sx, double sy) const;
    AffineTransform rotate(double radians) const;
    /// The inverse, or *this unchanged when it is not invertible.
    AffineTransform invert() const;
    bool isIdentity() const { return *this == AffineTransform{}; }
    double determinant() const { return a * d - b * c; }

    Point apply(Point p) const;
    Size applyToSize(Size s) const;
    /// Bounding box of the transformed rectangle.
    Rect applyToRect(const Rect& r) const;
};

} // namespace platform
