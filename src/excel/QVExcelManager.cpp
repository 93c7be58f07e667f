#include "excel/QVExcelManager.h"

#include "excel/workbook/QVExcelStyle.h"

#include <mutex>

namespace {
// The one live manager: process-wide by design (one conversion at a time).
std::mutex gManagerMutex;
std::shared_ptr<QVExcelManager> gManager;
} // namespace

QVExcelManager::QVExcelManager() : excelStyle_(std::make_shared<QVExcelStyle>()) {}

QVExcelManager::~QVExcelManager() = default;

std::shared_ptr<QVExcelManager> QVExcelManager::sharedInstance() {
    std::lock_guard<std::mutex> lock(gManagerMutex);
    if (!gManager)
        gManager = std::make_shared<QVExcelManager>();
    return gManager;
}

void QVExcelManager::reset() {
    std::lock_guard<std::mutex> lock(gManagerMutex);
    if (!gManager)
        return;
    gManager->amountOfStringItems_ = 0;
    gManager->excelStyle_ = std::make_shared<QVExcelStyle>();
}

void QVExcelManager::destory() {
    std::shared_ptr<QVExcelManager> ending;
    {
        std::lock_guard<std::mutex> lock(gManagerMutex);
        ending.swap(gManager);
    }
    if (ending)
        ending->amountOfStringItems_ = 0;
}

void QVExcelManager::setOptions(std::shared_ptr<QVExcelOptions> options) {
    excelOptions_ = std::move(options);
    // One character, assigned as one: GCC 12 reads the copy of a chosen
    // literal as an overlapping memcpy (-Wrestrict) where there is none.
    const bool point = excelOptions_ && excelOptions_->thousandSepartor() == 1;
    thousandSepartor_.assign(1, point ? '.' : ',');
}

uint64_t QVExcelManager::formatOption() const {
    return excelOptions_ ? excelOptions_->excelFormatOption() : 0;
}

bool QVExcelManager::isNeedValidNumbers() const {
    return formatOption() != 2;
}
bool QVExcelManager::isNeedDefaultFontName() const {
    return formatOption() == 2;
}
bool QVExcelManager::isNeedDefaultFontSize() const {
    return formatOption() != 0;
}
bool QVExcelManager::isNeedDefaultRowHeight() const {
    return formatOption() != 0;
}
bool QVExcelManager::isNeedWrapText() const {
    return formatOption() == 0;
}
bool QVExcelManager::isNeedMergeCells() const {
    return formatOption() == 0;
}
bool QVExcelManager::isSpecialVersion() const {
    return formatOption() == 2;
}

bool QVExcelManager::isNeedCollectCGPaths() const {
    return excelOptions_ && excelOptions_->collectCGPaths();
}

bool QVExcelManager::isNeedCollectFills() const {
    return isNeedCollectCGPaths() && excelOptions_->collectFills();
}

bool QVExcelManager::isAllInOneSheetEnabled() const {
    return excelOptions_ && excelOptions_->allInOneSheet();
}

bool QVExcelManager::isAllInOneSheetAddToRow() const {
    return excelOptions_ && excelOptions_->aiosAddToRow();
}

bool QVExcelManager::isBlankSpace(std::u16string_view text) {
    for (char16_t c : text)
        if (c != u' ')
            return false;
    return true;
}
