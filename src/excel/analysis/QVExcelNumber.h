#pragma once
// One cell text recognised as a number: its shape, the value written into the
// cell (plain notation: no grouping, "." for decimals, percentages divided by
// 100, ASCII digits only) and the number format that shows it as the page did:
// its decimals, grouping, sign, percent sign and currency symbol. The text
// decides the value and nothing else: a text that could be read two ways, or
// that a cell could not hold exactly, stays text (see QVRegex).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

class QVExcelNumber {
public:
    QVExcelNumber() = default;
    /// Recognises `text`; "," as `thousandSepartor` selects the comma family
    /// (point as decimal separator), anything else the dot family.
    /// `pieceStarts`: where pieces joined into the text begin (a blank there
    /// never groups digits; see QVExcelRunText::pieceStarts).
    QVExcelNumber(std::u16string_view text, std::string_view thousandSepartor,
                  std::span<const uint32_t> pieceStarts = {});
    /// The same with the thousand separator of the document being converted
    /// (the per-document spreadsheet state).
    static QVExcelNumber initWithNumberString(std::u16string_view text,
                                              std::span<const uint32_t> pieceStarts = {});

    bool isNumber() const { return isNumber_; }
    void setIsNumber(bool v) { isNumber_ = v; }
    /// 0 General, 9 whole percent, 10 percent with two decimals; -1: the
    /// custom `formatCode` (any other decimals, grouping, sign or symbol).
    int32_t numID() const { return numID_; }
    void setNumID(int32_t v) { numID_ = v; }
    /// 0 to 9: plain (comma/dot family), thousands, currency before, currency
    /// after, percentage (dot/comma family).
    uint64_t type() const { return type_; }
    void setType(uint64_t v) { type_ = v; }
    const std::optional<std::string>& formatCode() const { return formatCode_; }
    void setFormatCode(std::optional<std::string> v) { formatCode_ = std::move(v); }
    const std::string& thousandSepartor() const { return thousandSepartor_; }
    void setThousandSepartor(std::string v) { thousandSepartor_ = std::move(v); }
    const std::string& decimalSepartor() const { return decimalSepartor_; }
    void setDecimalSepartor(std::string v) { decimalSepartor_ = std::move(v); }
    /// UTF-8 of the currency symbol found; none for other shapes.
    const std::optional<std::string>& currencySymbol() const { return currencySymbol_; }
    void setCurrencySymbol(std::optional<std::string> v) { currencySymbol_ = std::move(v); }
    /// The cell value; none when the text is not a number.
    const std::optional<std::string>& readNumber() const { return readNumber_; }
    void setReadNumber(std::optional<std::string> v) { readNumber_ = std::move(v); }

private:
    bool isNumber_ = false;
    int32_t numID_ = -1;
    uint64_t type_ = 0;
    std::optional<std::string> formatCode_;
    std::string thousandSepartor_ = ",";
    std::string decimalSepartor_ = ".";
    std::optional<std::string> currencySymbol_;
    std::optional<std::string> readNumber_;
};
