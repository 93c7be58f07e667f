#pragma once
#include <cstdint>

/// The spreadsheet options of one source file; every field starts 0 / false.
class QVExcelOptions {
public:
    bool allInOneSheet() const { return allInOneSheet_; }
    void setAllInOneSheet(bool v) { allInOneSheet_ = v; }
    bool aiosAddToRow() const { return aiosAddToRow_; }
    void setAiosAddToRow(bool v) { aiosAddToRow_ = v; }
    bool collectCGPaths() const { return collectCGPaths_; }
    void setCollectCGPaths(bool v) { collectCGPaths_ = v; }
    bool collectFills() const { return collectFills_; }
    void setCollectFills(bool v) { collectFills_ = v; }
    /// Layout choice 0, 1 or 2 of the spreadsheet settings.
    uint64_t excelFormatOption() const { return excelFormatOption_; }
    void setExcelFormatOption(uint64_t v) { excelFormatOption_ = v; }
    /// 1 selects "." as the thousands separator, every other value ",".
    uint64_t thousandSepartor() const { return thousandSepartor_; }
    void setThousandSepartor(uint64_t v) { thousandSepartor_ = v; }

private:
    bool allInOneSheet_ = false;
    bool aiosAddToRow_ = false;
    bool collectCGPaths_ = false;
    bool collectFills_ = false;
    uint64_t excelFormatOption_ = 0;
    uint64_t thousandSepartor_ = 0;
};
