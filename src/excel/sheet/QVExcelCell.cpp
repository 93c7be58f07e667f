#include "excel/sheet/QVExcelCell.h"

#include "excel/QVExcelUtilities.h"
#include "platform/NumberFormat.h"
#include "writer/XMLFileWriter.h"

void QVExcelCell::writeXML(XMLFileWriter& writer) const {
    auto column = QVExcelUtilities::getColumnName(static_cast<int64_t>(columnIndex()));
    if (!column || rowIndex() == 0)
        return;
    writer.writeStartElement("c");
    writer.writeAttribute("r",
                          *column + platform::formatInteger(static_cast<long long>(rowIndex())));
    if (styleIndex_ != kNoStyle)
        writer.writeAttribute("s", platform::formatInteger(styleIndex_));
    writer.writeAttribute("t", dataType_);
    if (cellValue_) {
        writer.writeStartElement("v");
        writer.writeCharacters(*cellValue_);
        writer.writeEndElement("v");
    }
    writer.writeEndElement();
}
