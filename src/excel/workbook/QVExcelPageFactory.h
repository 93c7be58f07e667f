#pragma once
// Makes the page models and the all-in-one-sheet writer for the workbook
// writer; the spreadsheet exporter hands one to QVExcelWriter.

#include "excel/workbook/QVExcelSheetCollector.h"
#include "excel/workbook/QVExcelSheetPage.h"

#include <cstdint>
#include <memory>
#include <string>

class QVExcelPageFactory {
public:
    virtual ~QVExcelPageFactory() = default;

    /// The model of the page at `pageNumber` (position among the converted
    /// pages, from 1) working in `rootFolder`, the document's work folder.
    virtual std::shared_ptr<QVExcelSheetPage> makePage(uint64_t pageNumber,
                                                       const std::string& rootFolder) = 0;
    virtual std::unique_ptr<QVExcelSheetCollector>
    makeAIOSWriter(const std::string& rootFolder) = 0;
};
