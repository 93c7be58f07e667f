#include "pptx/QVPPTXShape.h"

#include "pptx/QVPPTXUtilities.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

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
