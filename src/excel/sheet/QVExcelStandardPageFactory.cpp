#include "excel/sheet/QVExcelStandardPageFactory.h"

#include "excel/sheet/QVExcelAIOSWriter.h"
#include "excel/sheet/QVExcelPage.h"

std::shared_ptr<QVExcelSheetPage>
QVExcelStandardPageFactory::makePage(uint64_t pageNumber, const std::string& rootFolder) {
    return std::make_shared<QVExcelPage>(pageNumber, rootFolder);
}

std::unique_ptr<QVExcelSheetCollector>
QVExcelStandardPageFactory::makeAIOSWriter(const std::string& rootFolder) {
    return std::make_unique<QVExcelAIOSWriter>(rootFolder);
}
