#include "excel/sheet/QVExcelAIOSWriter.h"

#include "excel/QVExcelManager.h"
#include "excel/sheet/QVExcelPage.h"
#include "pdf/QVPDFPathUtilities.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"

#include <algorithm>
#include <map>

QVExcelAIOSWriter::QVExcelAIOSWriter(const std::string& rootFolder) : rootFolder_(rootFolder) {
    if (platform::splitExtension(rootFolder).second == "xlsx") {
        QVPDFPathUtilities::createFolderIfNeed(rootFolder + "/xl");
        QVPDFPathUtilities::createFolderIfNeed(rootFolder + "/xl/worksheets");
    }
    sheetPath_ = rootFolder + "/xl/worksheets/sheet1.xml";
}

// The shifts count merged ranges too: with merging on, a range may reach
// past the last row or column that holds a cell.
uint64_t QVExcelAIOSWriter::highestRow() const {
    uint64_t highest = 0;
    for (const auto& row : sheet_.sheetRows)
        highest = std::max(highest, row->rowIndex());
    for (const auto& range : sheet_.mergeCells)
        highest = std::max(highest, range.end().r());
    return highest;
}

uint64_t QVExcelAIOSWriter::highestColumn() const {
    uint64_t highest = 0;
    for (const auto& column : sheet_.columns)
        highest = std::max(highest, column->columnIndex());
    for (const auto& row : sheet_.sheetRows)
        for (const auto& cell : row->cells())
            highest = std::max(highest, cell->columnIndex());
    for (const auto& range : sheet_.mergeCells)
        highest = std::max(highest, range.end().c());
    return highest;
}

void QVExcelAIOSWriter::collectPageXMLToRow(QVExcelSheetPage& sheetPage) {
    auto* laidOut = dynamic_cast<QVExcelPage*>(&sheetPage);
    if (!laidOut)
        return;
    QVExcelPage& page = *laidOut;
    std::map<uint64_t, QVExcelColumn*> byNumber;
    for (const auto& column : sheet_.columns)
        byNumber[column->columnIndex()] = column.get();
    for (const auto& column : page.columns()) {
        auto it = byNumber.find(column->columnIndex());
        if (it == byNumber.end()) {
            sheet_.columns.push_back(column);
            byNumber[column->columnIndex()] = column.get();
        } else if (column->frame().size.width > it->second->frame().size.width) {
            it->second->setWidth(column->frame().size.width);
        }
    }
    const uint64_t shift = highestRow();
    for (const auto& row : page.sheetRows()) {
        row->setRowIndex(row->rowIndex() + shift);
        sheet_.sheetRows.push_back(row);
    }
    for (auto range : page.mergeCells()) {
        range.start().setR(range.start().r() + shift);
        range.end().setR(range.end().r() + shift);
        sheet_.mergeCells.push_back(range);
    }
}

void QVExcelAIOSWriter::collectPageXMLToColumn(QVExcelSheetPage& sheetPage) {
    auto* laidOut = dynamic_cast<QVExcelPage*>(&sheetPage);
    if (!laidOut)
        return;
    QVExcelPage& page = *laidOut;
    const uint64_t shift = highestColumn();
    for (const auto& column : page.columns()) {
        column->setColumnIndex(column->columnIndex() + shift);
        sheet_.columns.push_back(column);
    }
    std::map<uint64_t, QVExcelRow*> byNumber;
    for (const auto& row : sheet_.sheetRows)
        byNumber[row->rowIndex()] = row.get();
    for (const auto& row : page.sheetRows()) {
        auto it = byNumber.find(row->rowIndex());
        if (it == byNumber.end()) {
            sheet_.sheetRows.push_back(row);
            byNumber[row->rowIndex()] = row.get();
            continue;
        }
        QVExcelRow& collected = *it->second;
        collected.setHeight(std::max(collected.frame().size.height, row->frame().size.height));
        auto& cells = collected.cells();
        cells.insert(cells.end(), row->cells().begin(), row->cells().end());
    }
    for (auto range : page.mergeCells()) {
        range.start().setC(range.start().c() + shift);
        range.end().setC(range.end().c() + shift);
        sheet_.mergeCells.push_back(range);
    }
}

size_t QVExcelAIOSWriter::sheetCount() const {
    return QVExcelSheetXML::sheetCount(sheet_, maxRows_, maxColumns_);
}

std::vector<std::string> QVExcelAIOSWriter::writeSheetXML(const QVExcelPartOpener& open,
                                                        bool tabSelected) {
    QVExcelSheetXML::sortModel(sheet_);
    const bool defaultRowHeight = QVExcelManager::sharedInstance()->isNeedDefaultRowHeight();
    auto parts = QVExcelSheetXML::splitToLimits(sheet_, maxRows_, maxColumns_);
    std::vector<std::string> written;
    for (size_t k = 0; k < parts.size(); ++k) {
        std::string path = rootFolder_ + "/xl/worksheets/sheet" +
                           platform::formatInteger(static_cast<long long>(k + 1)) + ".xml";
        if (!QVExcelSheetXML::writeWorksheet(open, path, parts[k], tabSelected && k == 0,
                                             defaultRowHeight))
            break;
        written.push_back(path);
    }
    return written;
}
