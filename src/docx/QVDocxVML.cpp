#include "docx/QVDocxVML.h"

#include "docx/QVDocxDrawCounters.h"
#include "platform/NumberFormat.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr std::string_view kVML = "urn:schemas-microsoft-com:vml";
constexpr std::string_view kOffice = "urn:schemas-microsoft-com:office:office";
constexpr std::string_view kWord = "urn:schemas-microsoft-com:office:word";
constexpr std::string_view kRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

void formulas(XMLFileWriter& w, std::initializer_list<const char*> equations) {
    w.writeStartElementWithNamespace(kVML, "formulas");
    for (const char* eqn : equations) {
        w.writeStartElementWithNamespace(kVML, "f");
        w.writeAttribute("eqn", eqn);
        w.writeEndElement();
    }
    w.writeEndElement();
}

void emptyElement(XMLFileWriter& w, std::string_view ns, std::string_view name,
                  std::initializer_list<std::pair<const char*, const char*>> attributes) {
    w.writeStartElementWithNamespace(ns, name);
    for (const auto& [key, value] : attributes)
        w.writeAttribute(key, value);
    w.writeEndElement();
}

// The standard definitions of the three built-in types, as Word writes them.
void writePictureFrame(XMLFileWriter& w) {
    w.writeStartElementWithNamespace(kVML, "shapetype");
    w.writeAttribute("id", "_x0000_t75");
    w.writeAttribute("coordsize", "21600,21600");
    w.writeAttributeWithNamespace(kOffice, "spt", "75");
    w.writeAttributeWithNamespace(kOffice, "preferrelative", "t");
    w.writeAttribute("path", "m@4@5l@4@11@9@11@9@5xe");
    w.writeAttribute("filled", "f");
    w.writeAttribute("stroked", "f");
    emptyElement(w, kVML, "stroke", {{"joinstyle", "miter"}});
    formulas(w, {"if lineDrawn pixelLineWidth 0", "sum @0 1 0", "sum 0 0 @1", "prod @2 1 2",
                 "prod @3 21600 pixelWidth", "prod @3 21600 pixelHeight", "sum @0 0 1",
                 "prod @6 1 2", "prod @7 21600 pixelWidth", "sum @8 21600 0",
                 "prod @7 21600 pixelHeight", "sum @10 21600 0"});
    w.writeStartElementWithNamespace(kVML, "path");
    w.writeAttributeWithNamespace(kOffice, "extrusionok", "f");
    w.writeAttribute("gradientshapeok", "t");
    w.writeAttributeWithNamespace(kOffice, "connecttype", "rect");
    w.writeEndElement();
    w.writeStartElementWithNamespace(kOffice, "lock");
    w.writeAttributeWithNamespace(kVML, "ext", "edit");
    w.writeAttribute("aspectratio", "t");
    w.writeEndElement();
    w.writeEndElement();
}

void writeTextBox(XMLFileWriter& w) {
    w.writeStartElementWithNamespace(kVML, "shapetype");
    w.writeAttribute("id", "_x0000_t202");
    w.writeAttribute("coordsize", "21600,21600");
    w.writeAttributeWithNamespace(kOffice, "spt", "202");
    w.writeAttribute("path", "m,l,21600r21600,l21600,xe");
    emptyElement(w, kVML, "stroke", {{"joinstyle", "miter"}});
    w.writeStartElementWithNamespace(kVML, "path");
    w.writeAttribute("gradientshapeok", "t");
    w.writeAttributeWithNamespace(kOffice, "connecttype", "rect");
    w.writeEndElement();
    w.writeEndElement();
}

void writeTextPlain(XMLFileWriter& w) {
    w.writeStartElementWithNamespace(kVML, "shapetype");
    w.writeAttribute("id", "_x0000_t136");
    w.writeAttribute("coordsize", "21600,21600");
    w.writeAttributeWithNamespace(kOffice, "spt", "136");
    w.writeAttribute("adj", "10800");
    w.writeAttribute("path", "m@7,l@8,m@5,21600l@6,21600e");
    formulas(w, {"sum #0 0 10800", "prod #0 2 1", "sum 21600 0 @1", "sum 0 0 @2", "sum 21600 0 @3",
                 "if @0 @3 0", "if @0 21600 @1", "if @0 0 @2", "if @0 @4 21600", "mid @5 @6",
                 "mid @8 @5", "mid @7 @8", "mid @6 @7", "sum @6 0 @5"});
    w.writeStartElementWithNamespace(kVML, "path");
    w.writeAttribute("textpathok", "t");
    w.writeAttributeWithNamespace(kOffice, "connecttype", "custom");
    w.writeAttributeWithNamespace(kOffice, "connectlocs", "@9,0;@10,10800;@11,21600;@12,10800");
    w.writeAttributeWithNamespace(kOffice, "connectangles", "270,180,90,0");
    w.writeEndElement();
    emptyElement(w, kVML, "textpath", {{"on", "t"}, {"fitshape", "t"}});
    w.writeStartElementWithNamespace(kVML, "handles");
    emptyElement(w, kVML, "h", {{"position", "#0,bottomRight"}, {"xrange", "6629,14971"}});
    w.writeEndElement();
    w.writeStartElementWithNamespace(kOffice, "lock");
    w.writeAttributeWithNamespace(kVML, "ext", "edit");
    w.writeAttribute("text", "t");
    w.writeAttribute("shapetype", "t");
    w.writeEndElement();
    w.writeEndElement();
}

} // namespace

std::string QVDocxVML::nextShapeID() {
    return "_x0000_s" + platform::formatInteger(QVDocx_NextShapeID++);
}

std::string QVDocxVML::typeReference(QVDocxVMLShapeType type) {
    switch (type) {
    case QVDocxVMLShapeType::PictureFrame:
        return "#_x0000_t75";
    case QVDocxVMLShapeType::TextBox:
        return "#_x0000_t202";
    case QVDocxVMLShapeType::TextPlain:
        break;
    }
    return "#_x0000_t136";
}

void QVDocxVML::writeShapeTypeIfNeed(XMLFileWriter& w, QVDocxVMLShapeType type) {
    const auto bit = static_cast<uint32_t>(type);
    if (QVDocx_ShapeTypesWritten & bit)
        return;
    switch (type) {
    case QVDocxVMLShapeType::PictureFrame:
        writePictureFrame(w);
        break;
    case QVDocxVMLShapeType::TextBox:
        writeTextBox(w);
        break;
    case QVDocxVMLShapeType::TextPlain:
        writeTextPlain(w);
        break;
    }
    QVDocx_ShapeTypesWritten |= bit;
}

std::string QVDocxVML::fixed2(double v) {
    std::string s = platform::formatFixed(std::isfinite(v) ? v : 0.0, 2);
    return s == "-0.00" ? "0.00" : s;
}

std::string QVDocxVML::fixed0(double v) {
    std::string s = platform::formatFixed(std::isfinite(v) ? v : 0.0, 0);
    return s == "-0" ? "0" : s;
}

std::string QVDocxVML::opacityText(double alpha) {
    const double a = std::isfinite(alpha) ? std::clamp(alpha, 0.0, 1.0) : 1.0;
    return fixed0(static_cast<float>(a) * 65536.0f) + "f";
}

std::string QVDocxVML::colorString(const QVPDFRGB& c) {
    static const char* kHex = "0123456789ABCDEF";
    std::string out = "#";
    for (int32_t v : {c.r, c.g, c.b}) {
        const int b = std::clamp<int32_t>(v, 0, 255);
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
    return out;
}

std::string QVDocxVML::shortNumber(double v) {
    if (!std::isfinite(v))
        return "0";
    std::string s = platform::formatFixed(v, 2);
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    return s == "-0" || s.empty() ? "0" : s;
}

std::string_view QVDocxVML::ns_w() {
    return QVOpenXMLNameSpace::nameSpace_w();
}
std::string_view QVDocxVML::ns_v() {
    return kVML;
}
std::string_view QVDocxVML::ns_o() {
    return kOffice;
}
std::string_view QVDocxVML::ns_r() {
    return kRel;
}
std::string_view QVDocxVML::ns_w10() {
    return kWord;
}
