#pragma once
// What the number scanner found in one cell text: the parts of the number in
// plain ASCII, ready to be turned into a cell value, and how the page printed
// it (sign, grouping, blanks), so the number format can show it the same way.

#include <cstdint>
#include <string>

struct QVNumberShape {
    /// The shape, numbered as QVExcelNumber::type() (0 to 9).
    uint64_t type = 0;
    /// A leading minus sign, or parentheses around the whole number.
    bool negative = false;
    bool parenthesized = false;
    /// The sign as printed: 0 for none, '+', '-', U+2013 (en dash) or U+2212
    /// (minus sign); fullwidth forms are folded to '+' and '-'.
    char16_t sign = 0;
    /// Digits before the decimal separator, grouping removed; never empty
    /// ("0" when the text printed none, as in ".5").
    std::string integerDigits;
    /// The text printed no digit before the decimal separator.
    bool integerOmitted = false;
    /// Digits after the decimal separator; empty when there is none.
    std::string fractionDigits;
    /// The character that grouped the digits as printed (the family's
    /// thousands separator or a blank); 0 when they were not grouped.
    char16_t groupSeparator = 0;
    /// Number of digit groups the integer part was printed in (1 when ungrouped).
    size_t groupCount = 1;
    /// The currency symbol as it stands in the text; empty when there is none.
    std::u16string currencySymbol;
    /// Blanks printed between the digits and their percent sign or currency symbol.
    bool blankBesideSymbol = false;
};
