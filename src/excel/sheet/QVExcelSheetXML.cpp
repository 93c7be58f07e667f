#include "excel/sheet/QVExcelSheetXML.h"

#include "writer/QVOpenXMLNameSpace.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <map>
#include <utility>

void QVExcelSheetXML::sortModel(QVExcelSheetModel& model) {
    std::stable_sort(model.sheetRows.begin(), model.sheetRows.end(),
                     [](const auto& a, const auto& b) { return a->rowIndex() < b->rowIndex(); });
    for (const auto& row : model.sheetRows)
        row->sortCellsByColumn();
    std::stable_sort(model.columns.begin(), model.columns.end(), [](const auto& a, const auto& b) {
        return a->columnIndex() < b->columnIndex();
    });
}

namespace {

using Block = std::pair<uint64_t, uint64_t>; // row block, column block

Block blockOf(uint64_t row, uint64_t column, uint64_t maxRows, uint64_t maxColumns) {
    return {row > 0 ? (row - 1) / maxRows : 0, column > 0 ? (column - 1) / maxColumns : 0};
}

bool fitsLimits(const QVExcelSheetModel& model, uint64_t maxRows, uint64_t maxColumns) {
    for (const auto& row : model.sheetRows) {
        if (row->rowIndex() > maxRows)
            return false;
        for (const auto& cell : row->cells())
            if (cell->columnIndex() > maxColumns)
                return false;
    }
    for (const auto& column : model.columns)
        if (column->columnIndex() > maxColumns)
            return false;
    for (const auto& range : model.mergeCells)
        if (range.end().r() > maxRows || range.end().c() > maxColumns)
            return false;
    return true;
}

} // namespace

size_t QVExcelSheetXML::sheetCount(const QVExcelSheetModel& model, uint64_t maxRows,
                                   uint64_t maxColumns) {
    if (fitsLimits(model, maxRows, maxColumns))
        return 1;
    std::map<Block, bool> blocks;
    for (const auto& row : model.sheetRows)
        for (const auto& cell : row->cells())
            blocks[blockOf(row->rowIndex(), cell->columnIndex(), maxRows, maxColumns)] = true;
    for (const auto& range : model.mergeCells)
        blocks[blockOf(range.start().r(), range.start().c(), maxRows, maxColumns)] = true;
    return std::max<size_t>(blocks.size(), 1);
}

std::vector<QVExcelSheetModel>
QVExcelSheetXML::splitToLimits(QVExcelSheetModel model, uint64_t maxRows, uint64_t maxColumns) {
    if (fitsLimits(model, maxRows, maxColumns)) {
        std::vector<QVExcelSheetModel> one;
        one.push_back(std::move(model));
        return one;
    }
    std::map<Block, QVExcelSheetModel> blocks;
    for (const auto& row : model.sheetRows) {
        std::map<uint64_t, std::shared_ptr<QVExcelRow>> pieces; // by column block
        for (const auto& cell : row->cells()) {
            Block block = blockOf(row->rowIndex(), cell->columnIndex(), maxRows, maxColumns);
            auto& piece = pieces[block.second];
            if (!piece) {
                piece = std::make_shared<QVExcelRow>();
                piece->setFrame(row->frame());
                piece->setSpans(row->spans());
                piece->setCustomHeight(row->customHeight());
                blocks[block].sheetRows.push_back(piece);
            }
            if (cell->stringItem())
                cell->stringItem()->setColumnIndex(cell->columnIndex() - block.second * maxColumns);
            piece->cells().push_back(cell);
        }
        const uint64_t rowBlock = blockOf(row->rowIndex(), 1, maxRows, maxColumns).first;
        for (auto& [columnBlock, piece] : pieces)
            piece->setRowIndex(row->rowIndex() - rowBlock * maxRows);
    }
    for (auto& range : model.mergeCells) {
        Block block = blockOf(range.start().r(), range.start().c(), maxRows, maxColumns);
        const uint64_t rowBase = block.first * maxRows;
        const uint64_t columnBase = block.second * maxColumns;
        QVPoint start(range.start().r() - rowBase, range.start().c() - columnBase);
        QVPoint end(std::min(range.end().r() - rowBase, maxRows),
                    std::min(range.end().c() - columnBase, maxColumns));
        if (start == end)
            continue;
        blocks[block].mergeCells.emplace_back(start, end);
    }
    // Column widths apply to every sheet made from their column block.
    for (const auto& column : model.columns) {
        const uint64_t columnBlock = blockOf(1, column->columnIndex(), maxRows, maxColumns).second;
        for (auto& [block, sheet] : blocks) {
            if (block.second != columnBlock)
                continue;
            auto copy = std::make_shared<QVExcelColumn>();
            copy->setFrame(column->frame());
            copy->setCustomWidth(column->customWidth());
            copy->setColumnIndex(column->columnIndex() - columnBlock * maxColumns);
            sheet.columns.push_back(copy);
        }
    }
    std::vector<QVExcelSheetModel> sheets;
    for (auto& [block, sheet] : blocks) {
        sortModel(sheet);
        sheets.push_back(std::move(sheet));
    }
    if (sheets.empty())
        sheets.emplace_back();
    return sheets;
}

bool QVExcelSheetXML::writeWorksheet(const QVExcelPartOpener& open, const std::string& path,
                                     const QVExcelSheetModel& model, bool tabSelected,
                                     bool defaultRowHeight) {
    auto writer = open(path);
    if (!writer)
        return false;
    writer->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    writer->setPrefix("r", std::string(QVOpenXMLNameSpace::nameSpace_r()));
    writer->writeStartElement("worksheet");
    writer->writeAttribute("xmlns", QVOpenXMLNameSpace::nameSpace_SpreadSheetml2006Main());

    writer->writeStartElement("sheetViews");
    writer->writeStartElement("sheetView");
    if (tabSelected)
        writer->writeAttribute("tabSelected", "1");
    writer->writeAttribute("workbookViewId", "0");
    writer->writeStartElement("selection");
    writer->writeAttribute("activeCell", "A1");
    writer->writeAttribute("sqref", "A1");
    writer->writeEndElement();
    writer->writeEndElement();
    writer->writeEndElement();

    writer->writeStartElement("sheetFormatPr");
    writer->writeAttribute("defaultRowHeight", "18.000000");
    writer->writeAttribute("defaultColWidth", "15.000000");
    writer->writeEndElement();

    if (!model.columns.empty()) {
        writer->writeStartElement("cols");
        for (const auto& column : model.columns)
            column->writeXML(*writer);
        writer->writeEndElement();
    }

    writer->writeStartElement("sheetData");
    for (const auto& row : model.sheetRows)
        row->writeXML(*writer, defaultRowHeight);
    writer->writeEndElement();

    if (!model.mergeCells.empty()) {
        writer->writeStartElement("mergeCells");
        for (const auto& range : model.mergeCells) {
            const std::string ref = range.mergerCellInfo();
            if (ref.empty())
                continue;
            writer->writeStartElement("mergeCell");
            writer->writeAttribute("ref", ref);
            writer->writeEndElement();
        }
        writer->writeEndElement();
    }

    writer->writeStartElement("pageMargins");
    for (const char* side : {"left", "right", "top", "bottom", "header", "footer"})
        writer->writeAttribute(side, "0");
    writer->writeEndElement("pageMargins");

    writer->writeEndElement("worksheet");
    writer->writeEndDocument();
    return true;
}
