#include "pptx/QVPPTXFreeform.h"

#include "platform/NumberFormat.h"
#include "pptx/QVPPTXUtilities.h"
#include "writer/QVHexColor.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <cmath>
#include <limits>

std::string QVPPTXFreeformInfo::fillcolorString() const {
    return QVHexColor::hexStringFromRGBValue(filled ? fillcolor : 0xffffff);
}

std::string QVPPTXFreeformInfo::strokecolorString() const {
    return QVHexColor::hexStringFromRGBValue(stroked ? strokecolor : 0xffffff);
}

std::optional<std::string> QVPPTXFreeformInfo::lineCapString() const {
    switch (lineCap) {
    case 0:
        return "flat";
    case 1:
        return "rnd";
    case 2:
        return "sq";
    default:
        return std::nullopt;
    }
}

std::vector<QVPPTXPathElement> QVPPTXFreeform::pointsWithCGPath(const platform::Path& path) {
    std::vector<QVPPTXPathElement> out;
    out.reserve(path.elements().size());
    for (const platform::PathElement& e : path.elements()) {
        QVPPTXPathElement element;
        element.type = static_cast<int32_t>(e.type);
        const int n = platform::pointCountOf(e.type);
        element.points.assign(e.points, e.points + n);
        out.push_back(std::move(element));
    }
    return out;
}

namespace {

using U = QVPPTXUtilities;

void empty(XMLFileWriter& w, std::string_view name) {
    w.writeStartElementWithNamespace(QVOpenXMLNameSpace::nameSpace_a(), name);
    w.writeEndElement();
}

void solidFill(XMLFileWriter& w, const std::string& hex, float alpha) {
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    w.writeStartElementWithNamespace(a, "solidFill");
    w.writeStartElementWithNamespace(a, "srgbClr");
    w.writeAttribute("val", hex);
    w.writeStartElementWithNamespace(a, "alpha");
    w.writeAttribute("val", U::roundedInteger(std::clamp(alpha * 100000.0f, 0.0f, 100000.0f)));
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
}

void schemeClr(XMLFileWriter& w, std::string_view ref, std::string_view idx,
               std::string_view colour, bool shade) {
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    w.writeStartElementWithNamespace(a, ref);
    w.writeAttribute("idx", idx);
    w.writeStartElementWithNamespace(a, "schemeClr");
    w.writeAttribute("val", colour);
    if (shade) {
        w.writeStartElementWithNamespace(a, "shade");
        w.writeAttribute("val", "50000");
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
}

/// A length as EMU of at least 1: a path box without width (a vertical line)
/// would make the geometry's scale 0/0.
std::string extent(double points) {
    return U::emu(std::max(points, 1.0 / U::kEMUPerPoint));
}

} // namespace

void QVPPTXFreeform::write_nvSpPr(XMLFileWriter& w, uint32_t shapeId) {
    const auto p = QVOpenXMLNameSpace::nameSpace_p();
    w.writeStartElementWithNamespace(p, "nvSpPr");
    w.writeStartElementWithNamespace(p, "cNvPr");
    w.writeAttribute("id", platform::formatInteger(shapeId));
    w.writeAttribute("name", "Freeform " + platform::formatInteger(shapeId - 1));
    w.writeEndElement();
    w.writeStartElementWithNamespace(p, "cNvSpPr");
    w.writeEndElement();
    w.writeStartElementWithNamespace(p, "nvPr");
    w.writeEndElement();
    w.writeEndElement();
}

void QVPPTXFreeform::write_spPr(XMLFileWriter& w) {
    const auto p = QVOpenXMLNameSpace::nameSpace_p();
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    const QVPPTXFreeformInfo info = spInfo_ ? *spInfo_ : QVPPTXFreeformInfo();
    w.writeStartElementWithNamespace(p, "spPr");
    w.writeStartElementWithNamespace(a, "xfrm");
    w.writeStartElementWithNamespace(a, "off");
    w.writeAttribute("x", U::emu(info.displayX));
    w.writeAttribute("y", U::emu(info.displayY));
    w.writeEndElement();
    w.writeStartElementWithNamespace(a, "ext");
    w.writeAttribute("cx", extent(info.displayWidth));
    w.writeAttribute("cy", extent(info.displayHeight));
    w.writeEndElement();
    w.writeEndElement(); // xfrm
    write_SpPr_custGeom(w, info);
    solidFill(w, info.fillcolorString(), info.fillAlpha());
    write_ln(w, info);
    w.writeEndElement(); // spPr
}

void QVPPTXFreeform::write_ln(XMLFileWriter& w, const QVPPTXFreeformInfo& info) {
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    w.writeStartElementWithNamespace(a, "ln");
    // The schema's line widths run from 0 to 20116800 EMU (1584 pt).
    w.writeAttribute("w", U::emu(std::clamp(info.strokeweight, 0.0, 1584.0)));
    if (auto cap = info.lineCapString())
        w.writeAttribute("cap", *cap);
    solidFill(w, info.strokecolorString(), info.strokeAlpha());

    const std::vector<double> dashes = info.strokeDashPattern.value_or(std::vector<double>());
    // Entries that are not lengths, or only zeros, make no pattern: the PDF
    // reader draws such a line solid.
    bool usable = !dashes.empty();
    double total = 0;
    for (double d : dashes) {
        usable = usable && std::isfinite(d) && d >= 0;
        total += usable ? d : 0;
    }
    if (!usable || total <= 0) {
        w.writeStartElementWithNamespace(a, "prstDash");
        w.writeAttribute("val", "solid");
        w.writeEndElement();
    } else if (dashes.size() == 6) {
        w.writeStartElementWithNamespace(a, "prstDash");
        w.writeAttribute("val", "lgDashDotDot");
        w.writeEndElement();
    } else if (dashes.size() == 2) {
        w.writeStartElementWithNamespace(a, "prstDash");
        w.writeAttribute("val", "dash");
        w.writeEndElement();
    } else {
        // An odd count repeats, so dashes and gaps keep alternating as on the
        // page. Lengths are thousandths of a percent of the line width.
        std::vector<double> pairs = dashes;
        if (pairs.size() % 2)
            pairs.insert(pairs.end(), dashes.begin(), dashes.end());
        auto percent = [](double v) {
            return U::roundedInteger(
                std::clamp(v * 100000.0, 0.0, double(std::numeric_limits<int32_t>::max())));
        };
        w.writeStartElementWithNamespace(a, "custDash");
        for (size_t k = 0; k + 1 < pairs.size(); k += 2) {
            w.writeStartElementWithNamespace(a, "ds");
            w.writeAttribute("d", percent(pairs[k]));
            w.writeAttribute("sp", percent(pairs[k + 1]));
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    empty(w, info.lineJoin == 1 ? "round" : info.lineJoin == 2 ? "bevel" : "miter");
    w.writeEndElement(); // ln
}

void QVPPTXFreeform::write_SpPr_custGeom(XMLFileWriter& w, const QVPPTXFreeformInfo& info) {
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    const std::string W = extent(info.displayWidth), H = extent(info.displayHeight);
    const platform::Point O = info.displayOrigin();
    const std::vector<QVPPTXPathElement> elements = pointsWithCGPath(runCGPath_);
    auto X = [&](const platform::Point& pt) { return U::emu(pt.x - O.x); };
    auto Y = [&](const platform::Point& pt) { return U::emu(pt.y - O.y); };

    w.writeStartElementWithNamespace(a, "custGeom");
    empty(w, "avLst");
    w.writeStartElementWithNamespace(a, "gdLst");
    for (size_t i = 0; i < elements.size(); ++i) {
        if (elements[i].points.empty())
            continue;
        const platform::Point& last = elements[i].points.back();
        const std::string index = platform::formatInteger(static_cast<long long>(i));
        w.writeStartElementWithNamespace(a, "gd");
        w.writeAttribute("name", "connsiteX" + index);
        w.writeAttribute("fmla", "*/ " + X(last) + " w " + W);
        w.writeEndElement();
        w.writeStartElementWithNamespace(a, "gd");
        w.writeAttribute("name", "connsiteY" + index);
        w.writeAttribute("fmla", "*/ " + Y(last) + " h " + H);
        w.writeEndElement();
    }
    w.writeEndElement(); // gdLst
    empty(w, "ahLst");
    w.writeStartElementWithNamespace(a, "cxnLst");
    for (size_t i = 0; i < elements.size(); ++i) {
        if (elements[i].points.empty())
            continue;
        const std::string index = platform::formatInteger(static_cast<long long>(i));
        w.writeStartElementWithNamespace(a, "cxn");
        w.writeAttribute("ang", index);
        w.writeStartElementWithNamespace(a, "pos");
        w.writeAttribute("x", "connsiteX" + index);
        w.writeAttribute("y", "connsiteY" + index);
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement(); // cxnLst
    w.writeStartElementWithNamespace(a, "rect");
    w.writeAttribute("l", "l");
    w.writeAttribute("t", "t");
    w.writeAttribute("r", "r");
    w.writeAttribute("b", "b");
    w.writeEndElement();
    w.writeStartElementWithNamespace(a, "pathLst");
    w.writeStartElementWithNamespace(a, "path");
    w.writeAttribute("w", W);
    w.writeAttribute("h", H);
    static const char* const kCommands[] = {"moveTo", "lnTo", "quadBezTo", "cubicBezTo"};
    for (const QVPPTXPathElement& e : elements) {
        if (e.type == 4) {
            // Every subpath closes where the page closes it.
            empty(w, "close");
            continue;
        }
        if (e.type < 0 || e.type > 3 || e.points.empty())
            continue;
        w.writeStartElementWithNamespace(a, kCommands[e.type]);
        for (const platform::Point& pt : e.points) {
            w.writeStartElementWithNamespace(a, "pt");
            w.writeAttribute("x", X(pt));
            w.writeAttribute("y", Y(pt));
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement(); // path
    w.writeEndElement(); // pathLst
    w.writeEndElement(); // custGeom
}

void QVPPTXFreeform::write_style(XMLFileWriter& w) {
    w.writeStartElementWithNamespace(QVOpenXMLNameSpace::nameSpace_p(), "style");
    schemeClr(w, "lnRef", "1", "accent1", true);
    schemeClr(w, "fillRef", "1", "accent1", false);
    schemeClr(w, "effectRef", "0", "accent1", false);
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    w.writeStartElementWithNamespace(a, "fontRef");
    w.writeAttribute("idx", "minor");
    w.writeStartElementWithNamespace(a, "schemeClr");
    w.writeAttribute("val", "lt1");
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
}

void QVPPTXFreeform::write_txBody(XMLFileWriter& w) {
    const auto p = QVOpenXMLNameSpace::nameSpace_p();
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    w.writeStartElementWithNamespace(p, "txBody");
    w.writeStartElementWithNamespace(a, "bodyPr");
    w.writeAttribute("rtlCol", bodyPr().rtlCol ? "1" : "0");
    w.writeAttribute("anchor", bodyPr().anchor);
    w.writeEndElement();
    empty(w, "lstStyle");
    const QVPPTX_PPr pPr = paragraphs().empty() ? QVPPTXUtilities::defaultPProperty()
                                                : paragraphs().back()->pProperty();
    w.writeStartElementWithNamespace(a, "p");
    w.writeStartElementWithNamespace(a, "pPr");
    w.writeAttribute("algn", pPr.algn);
    w.writeEndElement();
    w.writeStartElementWithNamespace(a, "endParaRPr");
    w.writeAttribute("lang", pPr.endParaRPr.lang);
    w.writeAttribute("altLang", pPr.endParaRPr.altLang);
    w.writeEndElement();
    w.writeEndElement(); // p
    w.writeEndElement(); // txBody
}
