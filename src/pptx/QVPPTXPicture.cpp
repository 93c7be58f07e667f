#include "pptx/QVPPTXPicture.h"

#include "platform/NumberFormat.h"
#include "pptx/QVPPTXUtilities.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>

void QVPPTXPicture::writeShapeWith(XMLFileWriter& w, uint32_t shapeId) {
    w.writeStartElementWithNamespace(QVOpenXMLNameSpace::nameSpace_p(), "pic");
    write_nvPicPr(w, shapeId);
    write_blipFill(w);
    write_spPr(w);
    w.writeEndElement();
}

void QVPPTXPicture::write_nvPicPr(XMLFileWriter& w, uint32_t shapeId) {
    const auto p = QVOpenXMLNameSpace::nameSpace_p();
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    w.writeStartElementWithNamespace(p, "nvPicPr");
    w.writeStartElementWithNamespace(p, "cNvPr");
    w.writeAttribute("id", platform::formatInteger(shapeId));
    w.writeAttribute("name", "Picture " + platform::formatInteger(shapeId - 1));
    w.writeAttribute("descr", "");
    w.writeEndElement();
    w.writeStartElementWithNamespace(p, "cNvPicPr");
    w.writeStartElementWithNamespace(a, "picLocks");
    w.writeAttribute("noChangeAspect", "0");
    w.writeAttribute("noChangeArrowheads", "0");
    w.writeEndElement();
    w.writeEndElement();
    w.writeStartElementWithNamespace(p, "nvPr");
    w.writeEndElement();
    w.writeEndElement();
}

void QVPPTXPicture::write_blipFill(XMLFileWriter& w) {
    const auto p = QVOpenXMLNameSpace::nameSpace_p();
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    const QVPPTXImageInfo info = pictInfo_ ? *pictInfo_ : QVPPTXImageInfo();
    w.writeStartElementWithNamespace(p, "blipFill");
    w.writeStartElementWithNamespace(a, "blip");
    w.writeAttributeWithNamespace(QVOpenXMLNameSpace::nameSpace_r(), "embed", runImageID_);
    if (info.opacity < 1.0f) {
        w.writeStartElementWithNamespace(a, "alphaModFix");
        w.writeAttribute("amt",
                         QVPPTXUtilities::roundedInteger(std::max(0.0f, 100000.0f * info.opacity)));
        w.writeEndElement();
    }
    w.writeEndElement(); // blip
    w.writeStartElementWithNamespace(a, "srcRect");
    w.writeEndElement();
    w.writeStartElementWithNamespace(a, "stretch");
    w.writeStartElementWithNamespace(a, "fillRect");
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement(); // blipFill
}

void QVPPTXPicture::write_spPr(XMLFileWriter& w) {
    const auto p = QVOpenXMLNameSpace::nameSpace_p();
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    const QVPPTXImageInfo info = pictInfo_ ? *pictInfo_ : QVPPTXImageInfo();
    w.writeStartElementWithNamespace(p, "spPr");
    w.writeAttribute("bwMode", "auto");
    // The rotation is worked out in single precision, as the record holds it.
    writeRectFrame(w, info.rotation * 60000.0f, info.flipX, info.flipY, info.displayX,
                   info.displayY, info.displayWidth, info.displayHeight);
    w.writeStartElementWithNamespace(a, "noFill");
    w.writeEndElement();
    w.writeEndElement(); // spPr
}
