#pragma once
// What the workbook writer needs of the all-in-one-sheet writer
// (QVExcelAIOSWriter implements it) when all pages go into one sheet.

#include "excel/workbook/QVExcelSheetPage.h"

#include <string>
#include <vector>

class QVExcelSheetCollector {
public:
    virtual ~QVExcelSheetCollector() = default;

    /// Adds a laid-out page (made by the same QVExcelPageFactory) below what was collected.
    virtual void collectPageXMLToRow(QVExcelSheetPage& page) = 0;
    /// Adds a laid-out page to the right of what was collected.
    virtual void collectPageXMLToColumn(QVExcelSheetPage& page) = 0;
    /// Writes the one sheet (more parts only beyond Excel's grid) through
    /// `open` and returns the paths in sheet order; none means nothing could be
    /// written. The first part carries tabSelected="1" when `tabSelected`.
    virtual std::vector<std::string> writeSheetXML(const QVExcelPartOpener& open,
                                                   bool tabSelected) = 0;
    /// The same, each part a file at its path.
    std::vector<std::string> writeSheetXML(bool tabSelected) {
        return writeSheetXML(QVExcelFilePartOpener(), tabSelected);
    }
};
