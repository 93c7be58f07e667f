#include "pptx/QVPPTXTextbox.h"

#include "platform/NumberFormat.h"
#include "pptx/QVPPTXUtilities.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

void QVPPTXTextbox::write_nvSpPr(XMLFileWriter& w, uint32_t shapeId) {
    const auto p = QVOpenXMLNameSpace::nameSpace_p();
    w.writeStartElementWithNamespace(p, "nvSpPr");
    w.writeStartElementWithNamespace(p, "cNvPr");
    w.writeAttribute("id", platform::formatInteger(shapeId));
    w.writeAttribute("name", "TextBox " + platform::formatInteger(shapeId - 1));
    w.writeEndElement();
    w.writeStartElementWithNamespace(p, "cNvSpPr");
    w.writeAttribute("txBox", "1");
    w.writeEndElement();
    w.writeStartElementWithNamespace(p, "nvPr");
    w.writeEndElement();
    w.writeEndElement();
}

void QVPPTXTextbox::write_spPr(XMLFileWriter& w) {
    const auto p = QVOpenXMLNameSpace::nameSpace_p();
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    const QVPPTXTextBoxInfo info = spInfo_ ? *spInfo_ : QVPPTXTextBoxInfo();
    w.writeStartElementWithNamespace(p, "spPr");
    writeRectFrame(w, info.rotation * 60000.0, false, false, info.displayX, info.displayY,
                   info.displayWidth, info.displayHeight);
    w.writeStartElementWithNamespace(a, "noFill");
    w.writeEndElement();
    w.writeEndElement(); // spPr
}

void QVPPTXTextbox::write_txBody(XMLFileWriter& w) {
    const auto p = QVOpenXMLNameSpace::nameSpace_p();
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    const QVPPTX_TxBodyPr& b = bodyPr();
    w.writeStartElementWithNamespace(p, "txBody");
    w.writeStartElementWithNamespace(a, "bodyPr");
    w.writeAttribute("wrap", b.warp);
    w.writeAttribute("lIns", platform::formatInteger(b.lIns));
    w.writeAttribute("tIns", platform::formatInteger(b.tIns));
    w.writeAttribute("rIns", platform::formatInteger(b.rIns));
    // No bottom inset in the record: the text's own lines make the height.
    w.writeAttribute("bIns", "0");
    w.writeAttribute("rtlCol", b.rtlCol ? "1" : "0");
    w.writeStartElementWithNamespace(a, "spAutoFit");
    w.writeEndElement();
    w.writeEndElement(); // bodyPr
    w.writeStartElementWithNamespace(a, "lstStyle");
    w.writeEndElement();
    bool any = false;
    for (const auto& paragraph : paragraphs()) {
        any = any || !paragraph->textRuns().empty();
        paragraph->writeParagraphWithXMLWriter(w);
    }
    // A text body holds at least one paragraph.
    if (!any) {
        w.writeStartElementWithNamespace(a, "p");
        w.writeEndElement();
    }
    w.writeEndElement(); // txBody
}
