#pragma once
// What the number scanner found in one cell text: the parts of the number in
// plain ASCII, ready to be turned into a cell value and a number format.

#include <cstdint>
#include <string>

struct QVNumberShape {
    /// The shape, numbered as QVExcelNumber::type() (0 to 9).
    uint64_t type = 0;
    /// A leading minus sign, or parentheses around the whole number.
    bool negative = false;
    bool parenthesized = false;
    /// Digits before the decimal separator, grouping removed; never empty.
    std::string integerDigits;
    /// Digits after the decimal separator; empty when there is none.
    std::string fractionDigits;
    /// The currency symbol as it stands in the text; empty when there is none.
    std::u16string currencySymbol;
};
