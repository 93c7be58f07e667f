#include "docx/QVDocxUtilities.h"

#include "platform/NumberFormat.h"
#include "platform/Resources.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

const char* const kDefaultFont = "Times New Roman";

std::string wholeNumber(float value) {
    // "%0.0f": rounds to nearest with halves to even (the default rounding mode).
    float r = std::nearbyint(value);
    if (!std::isfinite(r))
        r = 0;
    if (r == 0)
        r = 0; // no "-0"
    return platform::formatFixed(static_cast<double>(r), 0);
}

void emptyElement(XMLFileWriter& w, std::string_view name) {
    w.writeStartElementWithNamespace(QVOpenXMLNameSpace::nameSpace_w(), name);
    w.writeEndElement();
}

/// An element with attributes (name, value) in order, all in the w namespace.
void elementWithAttributes(XMLFileWriter& w, std::string_view name,
                           std::initializer_list<std::pair<std::string_view, std::string_view>> attrs) {
    const auto ns = QVOpenXMLNameSpace::nameSpace_w();
    w.writeStartElementWithNamespace(ns, name);
    for (const auto& [key, value] : attrs)
        w.writeAttributeWithNamespace(ns, key, value);
    w.writeEndElement();
}

} // namespace

bool QVDocx_RPrMetricsIsEqual(const QVDocx_RPr& a, const QVDocx_RPr& b) {
    return a.rFonts.ascii == b.rFonts.ascii && a.sz == b.sz && a.w == b.w &&
           a.spacing == b.spacing;
}

bool QVDocx_RPrIsEqual(const QVDocx_RPr& a, const QVDocx_RPr& b) {
    return a.rFonts.ascii == b.rFonts.ascii && a.sz == b.sz && a.color.red == b.color.red &&
           a.color.green == b.color.green && a.color.blue == b.color.blue &&
           a.color.alpha == b.color.alpha && a.b == b.b && a.i == b.i && a.u == b.u &&
           a.w == b.w && a.spacing == b.spacing && a.vanish == b.vanish;
}

QVDocx_RPr QVDocxUtilities::defaultRProperty() {
    QVDocx_RPr r;
    r.rFonts.ascii = kDefaultFont;
    r.sz = 12;
    r.color = {0, 0, 0, 255};
    r.w = 100;
    r.noProof = 1;
    return r;
}

QVDocx_PPr QVDocxUtilities::defaultPProperty() {
    QVDocx_PPr p;
    p.spacing.line = 12;
    p.spacing.lineRule = "exact";
    p.ind.left = 60;
    p.jc = "left";
    return p;
}

QVDocx_SectPr QVDocxUtilities::defaultSectProperty() {
    QVDocx_SectPr s;
    s.type = 1;
    s.pgSz = {578, 640};
    s.pgMar.top = 63;
    s.cols.num = 1;
    s.cols.equalWidth = 36;
    s.docGrid.type = "lines";
    s.docGrid.linePitch = 15.6f;
    return s;
}

std::string QVDocxUtilities::twips(float points) { return wholeNumber(points * 20.0f); }

std::string QVDocxUtilities::halfPoints(float points) { return wholeNumber(points * 2.0f); }

std::string QVDocxUtilities::hexColor(const QVDocx_Color& color) {
    static const char* const digits = "0123456789ABCDEF";
    std::string out;
    for (int32_t c : {color.red, color.green, color.blue}) {
        const int32_t v = std::clamp<int32_t>(c, 0, 255);
        out.push_back(digits[v >> 4]);
        out.push_back(digits[v & 15]);
    }
    return out;
}

void QVDocxUtilities::WriteRProperty(const QVDocx_RPr& rPr, XMLFileWriter& w) {
    const auto ns = QVOpenXMLNameSpace::nameSpace_w();
    w.writeStartElementWithNamespace(ns, "rPr");
    const std::string font =
        LocalFontName(rPr.rFonts.ascii.empty() ? std::string_view(kDefaultFont) : rPr.rFonts.ascii);
    elementWithAttributes(w, "rFonts",
                          {{"ascii", font}, {"hAnsi", font}, {"cs", font}, {"eastAsia", font}});
    if (rPr.b) {
        emptyElement(w, "b");
        emptyElement(w, "bCs");
    }
    if (rPr.i) {
        emptyElement(w, "i");
        emptyElement(w, "iCs");
    }
    emptyElement(w, "noProof");
    // Invisible text (a scan's text layer) stays in the document as hidden
    // text: searchable and copyable, never printed over the scan.
    if (rPr.vanish)
        emptyElement(w, "vanish");
    const std::string color = hexColor(rPr.color);
    elementWithAttributes(w, "color", {{"val", color}});
    if (rPr.spacing > 0)
        elementWithAttributes(w, "spacing", {{"val", twips(rPr.spacing)}});
    if (rPr.w != 100)
        elementWithAttributes(w, "w", {{"val", wholeNumber(rPr.w)}});
    const std::string size = halfPoints(rPr.sz);
    elementWithAttributes(w, "sz", {{"val", size}});
    elementWithAttributes(w, "szCs", {{"val", size}});
    // Only the kinds with a schema keyword: "normal" is no underline or
    // alignment value, and Word rejects a document holding one.
    if (rPr.u == 1 || rPr.u == 2)
        elementWithAttributes(w, "u", {{"val", _underlineValue(rPr.u)}, {"color", color}});
    if (rPr.scrpit == 1 || rPr.scrpit == 2)
        elementWithAttributes(w, "vertAlign", {{"val", _scriptValue(rPr.scrpit)}});
    w.writeEndElement();
}

void QVDocxUtilities::WritePProperty(const QVDocx_PPr& pPr, const QVDocx_RPr& rPr,
                                     const QVDocx_SectPr& sectPr, const QVDocx_Tabs& tabs,
                                     XMLFileWriter& w) {
    const auto ns = QVOpenXMLNameSpace::nameSpace_w();
    w.writeStartElementWithNamespace(ns, "pPr");
    if (!tabs.tab.empty()) {
        w.writeStartElementWithNamespace(ns, "tabs");
        for (const QVDocx_Tab& tab : tabs.tab)
            elementWithAttributes(w, "tab", {{"val", tab.val}, {"pos", twips(tab.pos)}});
        w.writeEndElement();
    }
    elementWithAttributes(w, "spacing",
                          {{"before", twips(pPr.spacing.before)},
                           {"after", twips(pPr.spacing.after)},
                           {"line", twips(pPr.spacing.line)},
                           {"lineRule", pPr.spacing.lineRule}});
    elementWithAttributes(w, "ind",
                          {{"firstLine", twips(pPr.ind.firstLine)}, {"left", twips(pPr.ind.left)}});
    elementWithAttributes(w, "jc", {{"val", pPr.jc}});
    // A hidden paragraph mark would join the paragraph to the next one and
    // move everything below: only the runs of invisible text are hidden.
    QVDocx_RPr mark = rPr;
    mark.vanish = 0;
    WriteRProperty(mark, w);
    WriteSectProperty(sectPr, w);
    w.writeEndElement();
}

void QVDocxUtilities::WriteSectProperty(const QVDocx_SectPr& s, XMLFileWriter& w) {
    if (!s.write)
        return;
    const auto ns = QVOpenXMLNameSpace::nameSpace_w();
    w.writeStartElementWithNamespace(ns, "sectPr");
    if (s.type > 0)
        elementWithAttributes(w, "type", {{"val", _sectTypeValue(s.type)}});
    elementWithAttributes(w, "pgSz", {{"w", twips(s.pgSz.w)}, {"h", twips(s.pgSz.h)}});
    elementWithAttributes(w, "pgMar",
                          {{"top", twips(s.pgMar.top)},
                           {"right", twips(s.pgMar.right)},
                           {"bottom", twips(s.pgMar.bottom)},
                           {"left", twips(s.pgMar.left)},
                           {"header", "0"},
                           {"footer", "0"},
                           {"gutter", "0"}});
    if (s.cols.num > 1) {
        w.writeStartElementWithNamespace(ns, "cols");
        w.writeAttributeWithNamespace(ns, "num", platform::formatInteger(s.cols.num));
        w.writeAttributeWithNamespace(ns, "equalWidth", twips(s.cols.equalWidth));
        // Only the entries the record has: a count above the list's length
        // must not read past it.
        const size_t n = std::min<size_t>(static_cast<size_t>(s.cols.num), s.cols.col.size());
        for (size_t k = 0; k < n; ++k)
            elementWithAttributes(w, "col",
                                  {{"w", twips(s.cols.col[k].w)},
                                   {"space", twips(s.cols.col[k].space)}});
        w.writeEndElement();
    }
    if (s.docGrid.type)
        elementWithAttributes(w, "docGrid",
                              {{"type", *s.docGrid.type}, {"linePitch", twips(s.docGrid.linePitch)}});
    w.writeEndElement();
}

std::string QVDocxUtilities::LocalFontName(std::string_view fontName) {
    static const std::array<std::pair<std::string_view, std::string_view>, 14> kNames = {{
        {"SimSun", "宋体"},
        {"Songti SC", "宋体"},
        {"SimHei", "黑体"},
        {"KaiTi", "楷体"},
        {"STSong", "华文宋体"},
        {"STFangsong", "华文仿宋"},
        {"STXihei", "华文细黑"},
        {"STXingkai", "华文行楷"},
        {"STXinwei", "华文新魏"},
        {"STLiti", "华文隶书"},
        {"STZhongsong", "华文中宋"},
        {"STKaiti", "华文楷体"},
        {"STHupo", "华文琥珀"},
        {"MicrosoftYaHei", "微软雅黑"},
    }};
    for (const auto& [latin, chinese] : kNames)
        if (latin == fontName)
            return std::string(chinese);
    return std::string(fontName);
}

std::string QVDocxUtilities::TextPathStyleForRProperty(const QVDocx_RPr& rPr) {
    std::string style = "font-family:" + XMLFileWriter::sanitizedText(rPr.rFonts.ascii) + ";";
    if (rPr.b)
        style += "font-weight:bold;";
    if (rPr.i)
        style += "font-style:italic;";
    style += "font-size:" + wholeNumber(rPr.sz * 2.0f) + "pt;";
    style += "v-text-kern:t;";
    style += "mso-text-shadow:auto";
    return style;
}

std::string QVDocxUtilities::_sectTypeValue(int32_t type) {
    switch (type) {
    case 1: return "continuous";
    case 2: return "evenPage";
    case 3: return "nextColumn";
    case 4: return "nextPage";
    case 5: return "oddPage";
    default: return "auto";
    }
}

std::string QVDocxUtilities::_scriptValue(int32_t script) {
    switch (script) {
    case 0: return "none";
    case 1: return "superscript";
    case 2: return "subscript";
    default: return "normal";
    }
}

std::string QVDocxUtilities::_underlineValue(int32_t underline) {
    switch (underline) {
    case 1: return "single";
    case 2: return "double";
    default: return "normal";
    }
}

std::optional<std::string> QVDocxUtilities::PathInLibBundleForResource(
    const std::string& relativePath) {
    return platform::resourcePath("QVLunabrisk", relativePath);
}
