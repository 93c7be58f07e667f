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
    // A tab character goes to the next tab stop: WordprocessingML writes it
    // as an element of its own between the run's texts.
    size_t from = 0;
    while (true) {
        const size_t tab = runText_.find(u'\t', from);
        const size_t end = tab == std::u16string::npos ? runText_.size() : tab;
        if (end > from || (tab == std::u16string::npos && from == 0)) {
            w.writeStartElementWithNamespace(ns, "t");
            w.writeAttributeWithNamespace("http://www.w3.org/XML/1998/namespace", "space",
                                          "preserve");
            w.writeCharacters(runText_.substr(from, end - from));
            w.writeEndElement();
        }
        if (tab == std::u16string::npos)
            break;
        w.writeEmptyElementWithNamespace(ns, "tab");
        from = tab + 1;
    }
    w.writeEndElement();
}
