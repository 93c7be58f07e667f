#include "pdf/QVPDFGeometryText.h"

#include "platform/NumberFormat.h"

#include <initializer_list>

namespace {
std::string bracketed(std::initializer_list<double> values) {
    std::string out = "[";
    bool first = true;
    for (double v : values) {
        if (!first)
            out += ", ";
        out += platform::formatF(v);
        first = false;
    }
    return out + "]";
}
} // namespace

std::string QVPDF_StringFromPoint(platform::Point p) { return bracketed({p.x, p.y}); }
std::string QVPDF_StringFromSize(platform::Size s) { return bracketed({s.width, s.height}); }
std::string QVPDF_StringFromRect(const platform::Rect& r) {
    return bracketed({r.origin.x, r.origin.y, r.size.width, r.size.height});
}
std::string QVPDF_StringFromTransform(const platform::AffineTransform& t) {
    return bracketed({t.a, t.b, t.c, t.d, t.tx, t.ty});
}
