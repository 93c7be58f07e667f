#include "pptx/QVPPTXRun.h"

#include "pptx/QVPPTXUtilities.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>

QVPPTXRun::QVPPTXRun() : rProperty_(QVPPTXUtilities::defaultRunProperty()) {}

namespace {
void writeFont(XMLFileWriter& w, std::string_view name, const QVPPTX_RunPr_Font& f) {
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    w.writeStartElementWithNamespace(a, name);
    w.writeAttribute("typeface", f.typeface.value_or(""));
    if (f.pitchFamily)
        w.writeAttribute("pitchFamily", *f.pitchFamily);
    if (f.charset)
        w.writeAttribute("charset", *f.charset);
    w.writeEndElement();
}
} // namespace

void QVPPTXRun::writeRunWithXMLWriter(XMLFileWriter& w) const {
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    const QVPPTX_RunPr& p = rProperty_;
    w.writeStartElementWithNamespace(a, "r");
    w.writeStartElementWithNamespace(a, "rPr");
    if (p.lang)
        w.writeAttribute("lang", *p.lang);
    if (p.altLang)
        w.writeAttribute("altLang", *p.altLang);
    // Hundredths of a point; DrawingML holds 1 to 4000 pt.
    w.writeAttribute("sz", QVPPTXUtilities::roundedInteger(
                               std::clamp(static_cast<float>(100.0f * p.sz), 100.0f, 400000.0f)));
    if (p.b)
        w.writeAttribute("b", "1");
    if (p.i)
        w.writeAttribute("i", "1");
    w.writeAttribute("dirty", p.dirty ? "1" : "0");
    w.writeAttribute("smtClean", p.smtClean ? "1" : "0");
    // Invisible text (a scan's text layer) keeps its place and stays
    // selectable and searchable, but paints nothing over the scan.
    if (p.invisible) {
        w.writeStartElementWithNamespace(a, "noFill");
        w.writeEndElement();
    } else {
        w.writeStartElementWithNamespace(a, "solidFill");
        if (p.rgbColor) {
            std::string hex = *p.rgbColor;
            hex.erase(std::remove(hex.begin(), hex.end(), '#'), hex.end());
            w.writeStartElementWithNamespace(a, "srgbClr");
            w.writeAttribute("val", hex);
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    writeFont(w, "latin", p.latin);
    writeFont(w, "cs", p.cs);
    w.writeEndElement(); // rPr
    w.writeStartElementWithNamespace(a, "t");
    w.writeCharacters(std::u16string_view(text_));
    w.writeEndElementWithNamespace(a, "t");
    w.writeEndElement(); // r
}
