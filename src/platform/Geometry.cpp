#include "platform/Geometry.h"

#include <algorithm>
#include <cmath>

namespace platform {

double Rect::minX() const { return std::min(origin.x, origin.x + size.width); }
double Rect::minY() const { return std::min(origin.y, origin.y + size.height); }
double Rect::maxX() const { return std::max(origin.x, origin.x + size.width); }
double Rect::maxY() const { return std::max(origin.y, origin.y + size.height); }
bool Rect::isEmpty() const { return size.width == 0 || size.height == 0; }

Rect Rect::standardized() const {
    return Rect{{minX(), minY()}, {maxX() - minX(), maxY() - minY()}};
}

Rect Rect::unionWith(const Rect& other) const {
    if (isEmpty())
        return other.standardized();
    if (other.isEmpty())
        return standardized();
    double x0 = std::min(minX(), other.minX()), y0 = std::min(minY(), other.minY());
    double x1 = std::max(maxX(), other.maxX()), y1 = std::max(maxY(), other.maxY());
    return Rect{{x0, y0}, {x1 - x0, y1 - y0}};
}

AffineTransform AffineTransform::makeTranslation(double tx, double ty) {
    return {1, 0, 0, 1, tx, ty};
}
AffineTransform AffineTransform::makeScale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
AffineTransform AffineTransform::makeRotation(double radians) {
    double s = std::sin(radians), c = std::cos(radians);
    return {c, s, -s, c, 0, 0};
}

AffineTransform AffineTransform::concat(const AffineTransform& t2) const {
    const AffineTransform& t1 = *this;
    return {t1.a * t2.a + t1.b * t2.c,           t1.a * t2.b + t1.b * t2.d,
            t1.c * t2.a + t1.d * t2.c,           t1.c * t2.b + t1.d * t2.d,
            t1.tx * t2.a + t1.ty * t2.c + t2.tx, t1.tx * t2.b + t1.ty * t2.d + t2.ty};
}

AffineTransform AffineTransform::translate(double dx, double dy) const {
    return makeTranslation(dx, dy).concat(*this);
}
AffineTransform AffineTransform::scale(double sx, double sy) const {
    return makeScale(sx, sy).concat(*this);
}
AffineTransform AffineTransform::rotate(double radians) const {
    return makeRotation(radians).concat(*this);
}

AffineTransform AffineTransform::invert() const {
    double det = determinant();
    if (det == 0 || !std::isfinite(det))
        return *this;
    return {d / det,
            -b / det,
            -c / det,
            a / det,
            (c * ty - d * tx) / det,
            (b * tx - a * ty) / det};
}

Point AffineTransform::apply(Point p) const {
    return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty};
}

Size AffineTransform::applyToSize(Size s) const {
    return {a * s.width + c * s.height, b * s.width + d * s.height};
}

Rect AffineTransform::applyToRect(const Rect& r) const {
    Rect s = r.standardized();
    Point p[4] = {apply({s.minX(), s.minY()}), apply({s.maxX(), s.minY()}),
                  apply({s.minX(), s.maxY()}), apply({s.maxX(), s.maxY()})};
    double x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
    for (const Point& q : p) {
        x0 = std::min(x0, q.x);
        x1 = std::max(x1, q.x);
        y0 = std::min(y0, q.y);
        y1 = std::max(y1, q.y);
    }
    return Rect{{x0, y0}, {x1 - x0, y1 - y0}};
}

} // namespace platform
