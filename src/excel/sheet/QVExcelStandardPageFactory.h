#pragma once
// The page models of the spreadsheet output for the workbook writer:
// QVExcelPage for every page and QVExcelAIOSWriter for all pages in one sheet.

#include "excel/workbook/QVExcelPageFactory.h"

class QVExcelStandardPageFactory : public QVExcelPageFactory {
public:
    std::shared_ptr<QVExcelSheetPage> makePage(uint64_t pageNumber,
                                               const std::string& rootFolder) override;
    std::unique_ptr<QVExcelSheetCollector> makeAIOSWriter(const std::string& rootFolder) override;
};
