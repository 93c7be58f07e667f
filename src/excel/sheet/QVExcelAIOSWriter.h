#pragma once
// All pages in one worksheet: the rows, columns and merged ranges of every
// converted page, collected into one model (pages stacked top to bottom, or
// side by side left to right) and written once at the end as sheet1.xml.
// The pages' own objects are taken over and renumbered in place.

#include "excel/sheet/QVExcelColumn.h"
#include "excel/sheet/QVExcelRow.h"
#include "excel/sheet/QVExcelSheetXML.h"
#include "excel/sheet/QVMergedCell.h"
#include "excel/workbook/QVExcelSheetCollector.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QVExcelAIOSWriter : public QVExcelSheetCollector {
public:
    /// For a work folder ending in ".xlsx" the folders xl and xl/worksheets are created.
    explicit QVExcelAIOSWriter(const std::string& rootFolder);
    QVExcelAIOSWriter(const QVExcelAIOSWriter&) = delete;
    QVExcelAIOSWriter& operator=(const QVExcelAIOSWriter&) = delete;

    /// Adds a page below everything collected: its rows and merged ranges
    /// move down past the highest row used so far; a column takes the width
    /// of the widest page column with its number.
    void collectPageXMLToRow(QVExcelSheetPage& page) override;
    /// Adds a page to the right of everything collected: its columns and
    /// merged ranges move right past the highest column used so far; a row
    /// number several pages use becomes one row, as tall as the tallest.
    void collectPageXMLToColumn(QVExcelSheetPage& page) override;

    /// Writes the worksheet part "xl/worksheets/sheet1.xml"; a grid beyond
    /// Excel's limits goes on in sheet2.xml, sheet3.xml ... Returns the paths
    /// written, in order (none when the file cannot be created). Only the
    /// first part can be the selected tab. Pages of another kind than
    /// QVExcelPage bring nothing.
    using QVExcelSheetCollector::writeSheetXML;
    std::vector<std::string> writeSheetXML(const QVExcelPartOpener& open,
                                           bool tabSelected) override;
    /// The number of parts writeSheetXML writes (at least 1).
    size_t sheetCount() const;

    const std::string& sheetPath() const { return sheetPath_; }
    const std::vector<std::shared_ptr<QVExcelColumn>>& columns() const { return sheet_.columns; }
    const std::vector<std::shared_ptr<QVExcelRow>>& sheetRows() const { return sheet_.sheetRows; }
    const std::vector<QVMergedCell>& mergeCells() const { return sheet_.mergeCells; }

    void setSheetLimits(uint64_t maxRows, uint64_t maxColumns) {
        maxRows_ = maxRows;
        maxColumns_ = maxColumns;
    }

private:
    uint64_t highestRow() const;
    uint64_t highestColumn() const;

    std::string rootFolder_;
    std::string sheetPath_;
    QVExcelSheetModel sheet_;
    uint64_t maxRows_ = QVExcelSheetXML::kMaxRows;
    uint64_t maxColumns_ = QVExcelSheetXML::kMaxColumns;
};
