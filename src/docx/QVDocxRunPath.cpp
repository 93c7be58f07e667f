#include "docx/QVDocxRunPath.h"

#include "docx/QVDocxUtilities.h"
#include "docx/QVDocxVML.h"
#include "platform/NumberFormat.h"
#include "platform/image/Bitmap.h"
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

QVDocxRunPath::Prepared QVDocxRunPath::prepared() const {
    Prepared out{pictInfo_, runCGPath_};
    QVDocxPathInfo& info = out.info;
    platform::Path& path = out.path;
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
    if (info.stroked) {
        const double weight = std::max(info.strokeweight, kMinStrokeWeight);
        info.displayWidth = std::max(info.displayWidth, weight);
        info.displayHeight = std::max(info.displayHeight, weight);
    }
    return out;
}

void QVDocxRunPath::_writePath2006(XMLFileWriter& w) const {
    writeShape(w, prepared(), pictZIndex());
}

void QVDocxRunPath::writeShape(XMLFileWriter& w, const Prepared& shape,
                               std::optional<int64_t> zIndex) {
    const QVDocxPathInfo& info = shape.info;
    const double weight = std::max(info.strokeweight, kMinStrokeWeight);
    const auto v = QVDocxVML::ns_v();
    w.writeStartElementWithNamespace(v, "shape");
    w.writeAttribute("id", QVDocxVML::nextShapeID());
    if (zIndex) {
        std::string style = "position:absolute;left:0;text-align:left;";
        style += "margin-left:" + QVDocxVML::fixed2(info.displayX) + "pt;";
        style += "margin-top:" + QVDocxVML::fixed2(info.displayY) + "pt;";
        style += "width:" + QVDocxVML::fixed2(info.displayWidth) + "pt;";
        style += "height:" + QVDocxVML::fixed2(info.displayHeight) + "pt;";
        style += "mso-position-horizontal-relative:page;mso-position-vertical-relative:page;";
        style += "z-index:" + platform::formatInteger(static_cast<int32_t>(*zIndex));
        w.writeAttribute("style", style);
    } else {
        // In a group the place is given in the group's coordinates, which
        // are the page's in twentieths of a point, like the path.
        w.writeAttribute("style",
                         "position:absolute;left:" + coord(info.displayX) +
                             ";top:" + coord(info.displayY) +
                             ";width:" + coord(std::max(info.displayWidth, 0.05)) +
                             ";height:" + coord(std::max(info.displayHeight, 0.05)));
    }
    // The coordinate space is the page in twentieths of a point, so the
    // path needs no offset; a size of zero would make it undefined.
    w.writeAttribute("coordorigin", coord(info.displayX) + "," + coord(info.displayY));
    w.writeAttribute("coordsize", coord(std::max(info.displayWidth, 0.05)) + "," +
                                      coord(std::max(info.displayHeight, 0.05)));
    w.writeAttribute("path", pathString(shape.path));
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
    if (zIndex) {
        // A group member wraps as its group does.
        w.writeStartElementWithNamespace(QVDocxVML::ns_w10(), "wrap");
        w.writeAttribute("type", "none");
        w.writeEndElement();
    }
    w.writeEndElement();
}

QVDocxRunPathGroup::QVDocxRunPathGroup(Members members) : members_(std::move(members)) {
    if (!members_.empty()) {
        setDrawIndex(members_.front()->drawIndex());
        setPictZIndex(members_.front()->pictZIndex());
        setRProperty(members_.front()->rProperty());
    }
}

platform::Rect QVDocxRunPathGroup::displayRect() const {
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (const auto& m : members_) {
        const platform::Rect r = m->displayRect().standardized();
        x0 = std::min(x0, r.minX()), y0 = std::min(y0, r.minY());
        x1 = std::max(x1, r.maxX()), y1 = std::max(y1, r.maxY());
    }
    if (!(x1 >= x0) || !(y1 >= y0))
        return {};
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

void QVDocxRunPathGroup::writeWithXMLWriter(XMLFileWriter& w) const {
    std::vector<QVDocxRunPath::Prepared> shapes;
    shapes.reserve(members_.size());
    // The group's box in whole twentieths of a point around its members as
    // written (strokes widen them), so its coordinate space maps onto the
    // page without scaling.
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (const auto& m : members_) {
        shapes.push_back(m->prepared());
        const QVDocxPathInfo& i = shapes.back().info;
        x0 = std::min(x0, i.displayX), y0 = std::min(y0, i.displayY);
        x1 = std::max(x1, i.displayX + std::max(i.displayWidth, 0.05));
        y1 = std::max(y1, i.displayY + std::max(i.displayHeight, 0.05));
    }
    if (shapes.empty())
        return;
    const double left = std::floor(x0 * 20), top = std::floor(y0 * 20);
    const double width = std::max(1.0, std::ceil(x1 * 20) - left);
    const double height = std::max(1.0, std::ceil(y1 * 20) - top);

    w.writeStartElementWithNamespace(QVDocxVML::ns_w(), "r");
    QVDocxUtilities::WriteRProperty(rProperty(), w);
    w.writeStartElementWithNamespace(QVDocxVML::ns_w(), "pict");
    w.writeStartElementWithNamespace(QVDocxVML::ns_v(), "group");
    w.writeAttribute("id", QVDocxVML::nextShapeID());
    std::string style = "position:absolute;left:0;text-align:left;";
    style += "margin-left:" + QVDocxVML::fixed2(left / 20) + "pt;";
    style += "margin-top:" + QVDocxVML::fixed2(top / 20) + "pt;";
    style += "width:" + QVDocxVML::fixed2(width / 20) + "pt;";
    style += "height:" + QVDocxVML::fixed2(height / 20) + "pt;";
    style += "mso-position-horizontal-relative:page;mso-position-vertical-relative:page;";
    style += "z-index:" + platform::formatInteger(static_cast<int32_t>(pictZIndex()));
    w.writeAttribute("style", style);
    w.writeAttribute("coordorigin", QVDocxVML::fixed0(left) + "," + QVDocxVML::fixed0(top));
    w.writeAttribute("coordsize", QVDocxVML::fixed0(width) + "," + QVDocxVML::fixed0(height));
    for (const QVDocxRunPath::Prepared& shape : shapes)
        QVDocxRunPath::writeShape(w, shape, std::nullopt);
    w.writeStartElementWithNamespace(QVDocxVML::ns_w10(), "wrap");
    w.writeAttribute("type", "none");
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
}

std::optional<platform::RasterImage> QVDocxRunPathGroup::picture(double dotsPerInch, int maxPixels,
                                                                 platform::Rect& box) const {
    std::vector<QVDocxRunPath::Prepared> shapes;
    shapes.reserve(members_.size());
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (const auto& m : members_) {
        shapes.push_back(m->prepared());
        const QVDocxPathInfo& i = shapes.back().info;
        // Half a stroke lies outside the path's box.
        const double half = i.stroked ? std::max(i.strokeweight, kMinStrokeWeight) / 2 : 0;
        x0 = std::min(x0, i.displayX - half), y0 = std::min(y0, i.displayY - half);
        x1 = std::max(x1, i.displayX + i.displayWidth + half);
        y1 = std::max(y1, i.displayY + i.displayHeight + half);
    }
    if (shapes.empty() || !(x1 > x0) || !(y1 > y0) || !std::isfinite(x1 - x0) ||
        !std::isfinite(y1 - y0))
        return std::nullopt;
    double scale = dotsPerInch / 72.0;
    scale = std::min({scale, maxPixels / (x1 - x0), maxPixels / (y1 - y0)});
    const int width = std::max(1, static_cast<int>(std::ceil((x1 - x0) * scale)));
    const int height = std::max(1, static_cast<int>(std::ceil((y1 - y0) * scale)));
    auto bitmap = platform::Bitmap::create(width, height);
    if (!bitmap)
        return std::nullopt;
    // Display points (y down from the box's top) onto pixels (y up from the bottom).
    bitmap->concatTransform({scale, 0, 0, -scale, -x0 * scale, height + y0 * scale});
    auto paint = [](const std::optional<QVPDFRGB>& c, float alpha) {
        const QVPDFRGB rgb = c.value_or(QVPDFRGB{});
        auto channel = [](int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
        return platform::Bitmap::Paint{channel(rgb.r), channel(rgb.g), channel(rgb.b),
                                       static_cast<uint8_t>(std::lround(
                                           std::clamp(alpha, 0.0f, 1.0f) * 255.0f))};
    };
    for (const QVDocxRunPath::Prepared& shape : shapes) {
        const QVDocxPathInfo& i = shape.info;
        if (i.filled)
            bitmap->fillPath(shape.path, false, paint(i.fillcolor, i.fillAlpha));
        if (i.stroked) {
            platform::Bitmap::StrokeStyle style;
            // No thinner than a pixel, as a reader draws its thinnest line.
            style.width = std::max(std::max(i.strokeweight, kMinStrokeWeight), 1.0 / scale);
            if (i.strokeDashPattern)
                for (double d : *i.strokeDashPattern)
                    style.dashes.push_back(d * style.width);
            bitmap->strokePath(shape.path, style, paint(i.strokecolor, i.strokeAlpha));
        }
    }
    box = {{x0, y0}, {x1 - x0, y1 - y0}};
    return bitmap->image();
}
