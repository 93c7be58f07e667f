#pragma once
// A vector path of move/line/quadratic/cubic/close elements (the platform
// path the interpreter builds and the exporters read).

#include "platform/Geometry.h"

#include <vector>

namespace platform {

enum class PathElementType { MoveTo = 0, LineTo = 1, QuadCurveTo = 2, CurveTo = 3, Close = 4 };

struct PathElement {
    PathElementType type;
    Point points[3]; // 1, 1, 2, 3 or 0 of them are used, by type
    bool operator==(const PathElement& o) const;
};

int pointCountOf(PathElementType type);

class Path {
public:
    void moveTo(Point p);
    void lineTo(Point p);
    void quadCurveTo(Point control, Point end);
    void curveTo(Point c1, Point c2, Point end);
    void closeSubpath();
    void addRect(const Rect& r);

    bool isEmpty() const { return elements_.empty(); }
    const std::vector<PathElement>& elements() const { return elements_; }
    /// The point the next element starts from, if any.
    bool currentPoint(Point& out) const;
    /// Bounding box of all points, control points included.
    Rect boundingBox() const;
    Path transformed(const AffineTransform& t) const;
    void clear() { elements_.clear(); }
    bool operator==(const Path&) const = default;

private:
    std::vector<PathElement> elements_;
    Point subpathStart_{};
};

} // namespace platform
