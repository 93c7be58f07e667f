#pragma once
// Shape tests of cell texts that may be numbers. A hand-written scanner
// rather than regular expressions: one pass that also takes the number apart,
// so the value is built from exactly the digits that were accepted.
//
// Accepted (after fullwidth digits and signs are folded to ASCII and the
// text is trimmed of surrounding spaces):
//   optional sign ("-", an en dash or a minus sign, or "+"), or parentheses
//   around the whole text (a negative number);
//   optional currency symbol before the digits, or after them, with optional
//   spaces between symbol and digits;
//   the integer digits, either ungrouped or grouped in threes after a first
//   group of one to three digits, by the family's thousands separator or by
//   single blanks (one kind per number); a blank groups digits only where
//   the page printed it inside one string, never where two pieces of text
//   were joined ("200" and "100" drawn apart are not 200100);
//   optional decimal separator followed by at least one digit (".5" too);
//   optional "%" right after the digits or after one blank (ungrouped, no
//   currency).
// Refused: any other character or space, a leading zero followed by a digit
// (codes such as 007 or zip codes), more than 15 significant digits (beyond
// what a cell can hold exactly), currency numbers whose first group has more
// than three digits, and thousands shapes without any group.

#include "excel/analysis/QVNumberShape.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QVRegex {
public:
    QVRegex() = delete;

    /// Scans the whole text. `commaFamily`: "," groups thousands and "."
    /// separates decimals; otherwise the other way round. `pieceStarts`:
    /// ascending offsets in `text` where a piece of text joined to the one
    /// before begins (see QVExcelRunText::pieceStarts).
    static std::optional<QVNumberShape> scanNumber(std::u16string_view text, bool commaFamily,
                                                   const std::vector<std::u16string>& symbols,
                                                   std::span<const uint32_t> pieceStarts = {});

    // One shape each (the type numbers of QVExcelNumber in brackets).
    static bool validateGeneralNumbersDecimalSepartorByDot(std::u16string_view text);   // 0
    static bool validateGeneralNumbersDecimalSepartorByComma(std::u16string_view text); // 1
    static bool validatePercentNumbersDecimalSepartorByDot(std::u16string_view text);   // 9
    static bool validatePercentNumbersDecimalSepartorByComma(std::u16string_view text); // 8
    static bool validateNumbersWithThousandSepartorByComma(std::u16string_view text);   // 2
    static bool validateNumbersWithThousandSepartorByDot(std::u16string_view text);     // 3
    static bool validateCurrencyNumberSBNSC(std::u16string_view text,
                                            const std::vector<std::u16string>& symbols); // 4
    static bool validateCurrencyNumberSBNSD(std::u16string_view text,
                                            const std::vector<std::u16string>& symbols); // 5
    static bool validateCurrencyNumberSANSC(std::u16string_view text,
                                            const std::vector<std::u16string>& symbols); // 6
    static bool validateCurrencyNumberSANSD(std::u16string_view text,
                                            const std::vector<std::u16string>& symbols); // 7

    /// The symbols joined with nothing between them; "$￥¥€" for none or an empty list.
    static std::u16string
    currencySymbols(const std::optional<std::vector<std::u16string>>& symbols);
};
