#include "pdf/QVPDFCGPathUtilities.h"

using platform::PathElementType;

std::optional<QVPDFSerializedPath>
QVPDFCGPathUtilities::NSArrayWithCGPath(const platform::Path& path) {
    QVPDFSerializedPath out;
    out.elements.reserve(path.elements().size());
    for (const platform::PathElement& e : path.elements()) {
        int type = static_cast<int>(e.type);
        if (type < 0 || type > 4) {
            out.complete = false;
            continue;
        }
        int n = platform::pointCountOf(e.type);
        out.elements.push_back({type, std::vector<platform::Point>(e.points, e.points + n)});
    }
    if (!out.complete)
        return std::nullopt;
    return out;
}

std::optional<platform::Path>
QVPDFCGPathUtilities::CGPathWithNSArray(const QVPDFSerializedPath& serialized) {
    platform::Path path;
    for (const QVPDFSerializedPathElement& e : serialized.elements) {
        const auto& p = e.points;
        switch (e.type) {
        case 0:
            if (p.size() < 1)
                return std::nullopt;
            path.moveTo(p[0]);
            break;
        case 1:
            if (p.size() < 1)
                return std::nullopt;
            path.lineTo(p[0]);
            break;
        case 2:
            if (p.size() < 2)
                return std::nullopt;
            path.quadCurveTo(p[0], p[1]);
            break;
        case 3:
            if (p.size() < 3)
                return std::nullopt;
            path.curveTo(p[0], p[1], p[2]);
            break;
        case 4:
            path.closeSubpath();
            break;
        default:
            return std::nullopt;
        }
    }
    return path;
}
