#include "excel/sheet/QVExcelColumn.h"

#include "platform/NumberFormat.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>

namespace {
// Excel's widest column, in characters.
constexpr double kMaxColumnWidth = 255.0;
} // namespace

void QVExcelColumn::setColumnIndex(uint64_t v) {
    columnIndex_ = v;
    for (const auto& cell : cells_)
        if (cell->stringItem())
            cell->stringItem()->setColumnIndex(v);
}

std::string QVExcelColumn::widthText() const {
    double width = std::clamp(frame_.size.width / 3.0 * 1.1, 0.0, kMaxColumnWidth);
    return platform::formatFixed(width, 0);
}

void QVExcelColumn::writeXML(XMLFileWriter& writer) const {
    const std::string number = platform::formatInteger(static_cast<long long>(columnIndex_));
    writer.writeStartElement("col");
    writer.writeAttribute("min", number);
    writer.writeAttribute("max", number);
    writer.writeAttribute("width", widthText());
    writer.writeAttribute("customWidth", customWidth_ ? "1" : "0");
    writer.writeEndElement();
}
