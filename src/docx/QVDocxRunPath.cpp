#include "docx/QVDocxRunPath.h"

#include "docx/QVDocxUtilities.h"
#include "docx/QVDocxVML.h"
#include "platform/NumberFormat.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <cmath>

namespace {

// Thinnest line written: a zero or negative width would hide a visible line.
constexpr double kMinStrokeWeight = 0.01;
// A fill narrower than this (points) is drawn as a line: readers lose
// sub-point fills, while PDF producers draw rules as thin filled rectangles.
constexpr double kHairlineFill = 1.0;

std::string coord(double v) {
    return QVDocxVML::fixed0(v * 20.0);
}

} // namespace

std::optional<std::string> QVDocxPathInfo::strokeDashPatternString() const {
    if (!strokeDashPattern)
        return std::nullopt;
    std::string out;
    for (double d : *strokeDashPattern)
        out += (out.empty() ? "" : " ") + QVDocxVML::shortNumber(d);
    return out;
}

std::string QVDocxRunPath::pathString(const platform::Path& path) {
    std::string out;
    bool pending = false;
    platform::Point pendingPoint{}, subpathStart{}, current{};
    auto moveIfPending = [&]() {
        if (!pending)
            return;
        out += "m" + coord(pendingPoint.x) + "," + coord(pendingPoint.y);
        pending = false;
    };
    for (const platform::PathElement& e : path.elements()) {
        switch (e.type) {
        case platform::PathElementType::MoveTo:
            pendingPoint = subpathStart = current = e.points[0];
            pending = true;
            break;
        case platform::PathElementType::LineTo:
            moveIfPending();
            out += "l" + coord(e.points[0].x) + "," + coord(e.points[0].y);
            current = e.points[0];
            break;
        case platform::PathElementType::QuadCurveTo:
        case platform::PathElementType::CurveTo: {
            moveIfPending();
            platform::Point c1 = e.points[0], c2 = e.points[1], end = e.points[2];
            if (e.type == platform::PathElementType::QuadCurveTo) {
                // The cubic of the same shape.
                const platform::Point q = e.points[0];
                end = e.points[1];
                c1 = {current.x + 2.0 / 3.0 * (q.x - current.x),
                      current.y + 2.0 / 3.0 * (q.y - current.y)};
                c2 = {end.x + 2.0 / 3.0 * (q.x - end.x), end.y + 2.0 / 3.0 * (q.y - end.y)};
            }
            out += "c" + coord(c1.x) + "," + coord(c1.y) + "," + coord(c2.x) + "," + coord(c2.y) +
                   "," + coord(end.x) + "," + coord(end.y);
            current = end;
            break;
        }
        case platform::PathElementType::Close:
            if (!pending && !out.empty() && out.back() != 'x')
                out += "x";
            // Drawing after a close starts again at the subpath's start.
            pendingPoint = current = subpathStart;
            pending = true;
            break;
        }
    }
    return out + "e";
}

void QVDocxRunPath::writeWithXMLWriter(XMLFileWriter& w) const {
    w.writeStartElementWithNamespace(QVDocxVML::ns_w(), "r");
    QVDocxUtilities::WriteRProperty(rProperty(), w);
    w.writeStartElementWithNamespace(QVDocxVML::ns_w(), "pict");
    _writePath2006(w);
    w.writeEndElement();
    w.writeEndElement();
}

void QVDocxRunPath::_writePath2006(XMLFileWriter& w) const {
    QVDocxPathInfo info = pictInfo_;
    platform::Path path = runCGPath_;
    if (info.filled && !info.stroked &&
        (info.displayWidth < kHairlineFill || info.displayHeight < kHairlineFill)) {
        // A thin fill becomes a line along its longer side, as thick as the
        // fill and as translucent, never dashed.
        path.clear();
        const bool vertical =
            info.displayWidth < kHairlineFill && info.displayWidth <= info.displayHeight;
        if (vertical) {
            const double x = info.displayX + info.displayWidth / 2;
            path.moveTo({x, info.displayY});
            path.lineTo({x, info.displayY + info.displayHeight});
            info.strokeweight = info.displayWidth;
        } else {
            const double y = info.displayY + info.displayHeight / 2;
            path.moveTo({info.displayX, y});
            path.lineTo({info.displayX + info.displayWidth, y});
            info.strokeweight = info.displayHeight;
        }
        info.filled = false;
        info.stroked = true;
        info.strokecolor = info.fillcolor;
        info.strokeAlpha = info.fillAlpha;
        info.strokeDashPattern.reset();
    }
    const double weight = std::max(info.strokeweight, kMinStrokeWeight);
    if (info.stroked) {
        info.displayWidth = std::max(info.displayWidth, weight);
        info.displayHeight = std::max(info.displayHeight, weight);
    }

    const auto v = QVDocxVML::ns_v();
    w.writeStartElementWithNamespace(v, "shape");
    w.writeAttribute("id", QVDocxVML::nextShapeID());
    std::string style = "position:absolute;left:0;text-align:left;";
    style += "margin-left:" + QVDocxVML::fixed2(info.displayX) + "pt;";
    style += "margin-top:" + QVDocxVML::fixed2(info.displayY) + "pt;";
    style += "width:" + QVDocxVML::fixed2(info.displayWidth) + "pt;";
    style += "height:" + QVDocxVML::fixed2(info.displayHeight) + "pt;";
    style += "mso-position-horizontal-relative:page;mso-position-vertical-relative:page;";
    style += "z-index:" + platform::formatInteger(static_cast<int32_t>(pictZIndex()));
    w.writeAttribute("style", style);
    // The coordinate space is the page in twentieths of a point, so the
    // path needs no offset; a size of zero would make it undefined.
    w.writeAttribute("coordorigin", coord(info.displayX) + "," + coord(info.displayY));
    w.writeAttribute("coordsize", coord(std::max(info.displayWidth, 0.05)) + "," +
                                      coord(std::max(info.displayHeight, 0.05)));
    w.writeAttribute("path", pathString(path));
    w.writeAttribute("filled", info.filled ? "t" : "f");
    if (info.filled && info.fillcolor)
        w.writeAttribute("fillcolor", QVDocxVML::colorString(*info.fillcolor));
    w.writeAttribute("stroked", info.stroked ? "t" : "f");
    if (info.stroked) {
        w.writeAttribute("strokeweight", QVDocxVML::fixed2(weight) + "pt");
        if (info.strokecolor)
            w.writeAttribute("strokecolor", QVDocxVML::colorString(*info.strokecolor));
    }
    w.writeStartElementWithNamespace(v, "path");
    w.writeAttribute("arrowok", "t");
    w.writeEndElement();
    if (info.filled && info.fillAlpha < 1.0f) {
        w.writeStartElementWithNamespace(v, "fill");
        w.writeAttribute("opacity", QVDocxVML::opacityText(info.fillAlpha));
        w.writeEndElement();
    }
    const auto dash = info.strokeDashPatternString();
    const bool dashed = info.stroked && dash && !dash->empty();
    if (info.stroked && (info.strokeAlpha < 1.0f || dashed)) {
        w.writeStartElementWithNamespace(v, "stroke");
        if (info.strokeAlpha < 1.0f)
            w.writeAttribute("opacity", QVDocxVML::opacityText(info.strokeAlpha));
        if (dashed)
            w.writeAttribute("dashstyle", *dash);
        w.writeEndElement();
    }
    w.writeStartElementWithNamespace(QVDocxVML::ns_w10(), "wrap");
    w.writeAttribute("type", "none");
    w.writeEndElement();
    w.writeEndElement();
}
