#include "pptx/QVPPTXShape.h"

#include "pptx/QVPPTXUtilities.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>

QVPPTXShape::QVPPTXShape(uint64_t spType)
    : spType_(spType), bodyPr_(QVPPTXUtilities::defaultTextBodyProperty()) {}

void QVPPTXShape::writeShapeWith(XMLFileWriter& w, uint32_t shapeId) {
    w.writeStartElementWithNamespace(QVOpenXMLNameSpace::nameSpace_p(), "sp");
    write_nvSpPr(w, shapeId);
    write_spPr(w);
    write_style(w);
    write_txBody(w);
    w.writeEndElement();
}

void QVPPTXShape::writeRectFrame(XMLFileWriter& w, double rotation, bool flipH, bool flipV,
                                 double x, double y, double width, double height) {
    const auto a = QVOpenXMLNameSpace::nameSpace_a();
    w.writeStartElementWithNamespace(a, "xfrm");
    if (rotation != 0)
        w.writeAttribute("rot", QVPPTXUtilities::roundedInteger(rotation));
    if (flipH)
        w.writeAttribute("flipH", "1");
    if (flipV)
        w.writeAttribute("flipV", "1");
    w.writeStartElementWithNamespace(a, "off");
    w.writeAttribute("x", QVPPTXUtilities::emu(x));
    w.writeAttribute("y", QVPPTXUtilities::emu(y));
    w.writeEndElement();
    w.writeStartElementWithNamespace(a, "ext");
    w.writeAttribute("cx", QVPPTXUtilities::emu(std::max(0.0, width)));
    w.writeAttribute("cy", QVPPTXUtilities::emu(std::max(0.0, height)));
    w.writeEndElement();
    w.writeEndElement(); // xfrm
    w.writeStartElementWithNamespace(a, "prstGeom");
    w.writeAttribute("prst", "rect");
    w.writeStartElementWithNamespace(a, "avLst");
    w.writeEndElement();
    w.writeEndElement();
}
