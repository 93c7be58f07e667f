#include "pptx/QVPPTXParagraph.h"

#include "platform/NumberFormat.h"
#include "pptx/QVPPTXUtilities.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <cmath>

QVPPTXParagraph::QVPPTXParagraph() : pProperty_(QVPPTXUtilities::defaultPProperty()) {}

QVPPTXRun* QVPPTXParagraph::lastRunText() const {
    return textRuns_.empty() ? nullptr : textRuns_.back().get();
}

double QVPPTXParagraph::textWidth() const {
    double sum = 0;
    for (const auto& run : textRuns_)
        sum += run->textWidth();
    return sum;
}

void QVPPTXParagraph::writeParagraphWithXMLWriter(XMLFileWriter& w) const {
    if (textRuns_.empty())
        return;
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    const QVPPTX_PPr& p = pProperty_;
    w.writeStartElementWithNamespace(a, "p");
    w.writeStartElementWithNamespace(a, "pPr");
    // The schema's text margins run from 0 to 51206400 EMU.
    const float marL = std::clamp(static_cast<float>(12700.0f * p.marL), 0.0f, 51206400.0f);
    if (marL != 0)
        w.writeAttribute("marL", QVPPTXUtilities::roundedInteger(marL));
    if (!p.algn.empty())
        w.writeAttribute("algn", p.algn);
    w.writeStartElementWithNamespace(a, "lnSpc");
    w.writeStartElementWithNamespace(a, "spcPts");
    // Hundredths of a point. A spacing of 0 or less would hide the line: at
    // least 1 pt, at most the 1584 pt the schema allows.
    const float spacing = std::isfinite(p.lnSpc) ? std::clamp(p.lnSpc, 1.0f, 1584.0f) : 1.0f;
    w.writeAttribute("val", QVPPTXUtilities::roundedInteger(100.0f * spacing));
    w.writeEndElement();
    w.writeEndElement();
    if (p.tabList.pos > 0) {
        w.writeStartElementWithNamespace(a, "tabLst");
        w.writeStartElementWithNamespace(a, "tab");
        w.writeAttribute("pos", platform::formatInteger(12700LL * p.tabList.pos));
        w.writeAttribute("algn", p.tabList.algn);
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement(); // pPr
    for (const auto& run : textRuns_)
        run->writeRunWithXMLWriter(w);
    w.writeEndElement(); // p
}
