#include "excel/sheet/QVExcelRow.h"

#include "platform/NumberFormat.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>

namespace {
// Excel's largest row height, in points.
constexpr double kMaxRowHeight = 409.0;
} // namespace

void QVExcelRow::setRowIndex(uint64_t v) {
    rowIndex_ = v;
    for (const auto& cell : cells_)
        if (cell->stringItem())
            cell->stringItem()->setRowIndex(v);
}

void QVExcelRow::sortCellsByColumn() {
    std::stable_sort(cells_.begin(), cells_.end(), [](const auto& a, const auto& b) {
        return a->columnIndex() < b->columnIndex();
    });
}

std::string QVExcelRow::heightText(bool defaultRowHeight) const {
    if (defaultRowHeight)
        return "13.5";
    double height = std::clamp(frame_.size.height * 1.1, 0.0, kMaxRowHeight);
    return platform::formatFixed(height, 2);
}

void QVExcelRow::writeXML(XMLFileWriter& writer, bool defaultRowHeight) const {
    writer.writeStartElement("row");
    writer.writeAttribute("r", platform::formatInteger(static_cast<long long>(rowIndex_)));
    writer.writeAttribute("spans", spans_);
    writer.writeAttribute("ht", heightText(defaultRowHeight));
    writer.writeAttribute("customHeight", customHeight_ ? "1" : "0");
    for (const auto& cell : cells_)
        cell->writeXML(writer);
    writer.writeEndElement("row");
}
