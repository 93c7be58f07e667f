#pragma once
// A registered number format: its identifier and format code.

#include <cstdint>
#include <string>

class QVExcelStyleNumFmt {
public:
    QVExcelStyleNumFmt() = default;
    QVExcelStyleNumFmt(int32_t numFmtID, std::string formatCode)
        : numFmtID_(numFmtID), formatCode_(std::move(formatCode)) {}

    int32_t numFmtID() const { return numFmtID_; }
    void setNumFmtID(int32_t v) { numFmtID_ = v; }
    /// The code as UTF-8 text, such as "#,##0.00".
    const std::string& formatCode() const { return formatCode_; }
    void setFormatCode(std::string v) { formatCode_ = std::move(v); }

private:
    int32_t numFmtID_ = 178;
    std::string formatCode_;
};
