#include "platform/Path.h"

#include <algorithm>

namespace platform {

int pointCountOf(PathElementType type) {
    switch (type) {
    case PathElementType::MoveTo:
    case PathElementType::LineTo:
        return 1;
    case PathElementType::QuadCurveTo:
        return 2;
    case PathElementType::CurveTo:
        return 3;
    case PathElementType::Close:
        return 0;
    }
    return 0;
}

bool PathElement::operator==(const PathElement& o) const {
    if (type != o.type)
        return false;
    for (int i = 0; i < pointCountOf(type); ++i)
        if (!(points[i] == o.points[i]))
            return false;
    return true;
}

void Path::moveTo(Point p) {
    elements_.push_back({PathElementType::MoveTo, {p, {}, {}}});
    subpathStart_ = p;
}
void Path::lineTo(Point p) { elements_.push_back({PathElementType::LineTo, {p, {}, {}}}); }
void Path::quadCurveTo(Point c, Point e) {
    elements_.push_back({PathElementType::QuadCurveTo, {c, e, {}}});
}
void Path::curveTo(Point c1, Point c2, Point e) {
    elements_.push_back({PathElementType::CurveTo, {c1, c2, e}});
}
void Path::closeSubpath() { elements_.push_back({PathElementType::Close, {}}); }

void Path::addRect(const Rect& r) {
    moveTo(r.origin);
    lineTo({r.origin.x + r.size.width, r.origin.y});
    lineTo({r.origin.x + r.size.width, r.origin.y + r.size.height});
    lineTo({r.origin.x, r.origin.y + r.size.height});
    closeSubpath();
}

bool Path::currentPoint(Point& out) const {
    if (elements_.empty())
        return false;
    const PathElement& e = elements_.back();
    if (e.type == PathElementType::Close) {
        // After a close the current point is the start of the closed subpath.
        out = subpathStart_;
        return true;
    }
    out = e.points[pointCountOf(e.type) - 1];
    return true;
}

Rect Path::boundingBox() const {
    bool any = false;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (const PathElement& e : elements_)
        for (int i = 0; i < pointCountOf(e.type); ++i) {
            const Point& p = e.points[i];
            if (!any) {
                x0 = x1 = p.x;
                y0 = y1 = p.y;
                any = true;
            }
            x0 = std::min(x0, p.x);
            x1 = std::max(x1, p.x);
            y0 = std::min(y0, p.y);
            y1 = std::max(y1, p.y);
        }
    return Rect{{x0, y0}, {x1 - x0, y1 - y0}};
}

Path Path::transformed(const AffineTransform& t) const {
    Path out;
    out.elements_.reserve(elements_.size());
    for (PathElement e : elements_) {
        for (int i = 0; i < pointCountOf(e.type); ++i)
            e.points[i] = t.apply(e.points[i]);
        out.elements_.push_back(e);
    }
    out.subpathStart_ = t.apply(subpathStart_);
    return out;
}

} // namespace platform
