#include "docx/QVDocxRunText.h"

#include "docx/QVDocxUtilities.h"
#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include <cmath>

platform::Rect QVDocxRunText::displayRect() const {
    const QVPDF_CTMInfo& info = ctmInfo();
    return {info.topLeft, {textWidth_, std::fabs(info.bottomLeft.y - info.topLeft.y)}};
}

void QVDocxRunText::writeWithXMLWriter(XMLFileWriter& w) const {
    const auto ns = QVOpenXMLNameSpace::nameSpace_w();
    w.writeStartElementWithNamespace(ns, "r");
    QVDocxUtilities::WriteRProperty(rProperty(), w);
    w.writeStartElementWithNamespace(ns, "t");
    w.writeAttributeWithNamespace("http://www.w3.org/XML/1998/namespace", "space", "preserve");
    w.writeCharacters(runText_);
    w.writeEndElement();
    w.writeEndElement();
}
