#pragma once
// Currency symbols and the number-format codes of recognised numbers. Codes
// always group with "," and separate decimals with "." (the file format's
// notation), whichever separators the text used.

#include "excel/analysis/QVNumberShape.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QVNumberUtils {
public:
    QVNumberUtils() = delete;

    /// "￥" (fullwidth yen), "¥", "$", "€", in this order.
    static const std::vector<std::u16string>& supportCurrencySymbols();
    /// The first supported symbol that occurs in the text; empty when none does.
    static std::u16string getSymbol(std::u16string_view text);

    /// "#,##0", or "#,##0." followed by `count` zeros.
    static std::string numberCodeWithDecimalLength(int64_t count);
    /// The grouping code with the symbol after it for types 6 and 7, before it otherwise.
    static std::string currencyFormatWithDecimalLength(int64_t count, std::u16string_view symbol,
                                                       uint64_t numberType);
    /// `code` for positive numbers and the same in parentheses for negative ones.
    static std::string negativeInParentheses(const std::string& code);

    /// The built-in format that shows a recognised number as the page
    /// printed it: 0 (General: a plain whole number of up to 11 digits, as
    /// longer ones turn to scientific notation), 9 ("0%"), 10 ("0.00%"), or
    /// -1 when it takes a code of its own (formatCodeOfShape).
    /// `isZero`: the printed number is zero (a printed sign then always shows).
    static int32_t builtInNumFmtOfShape(const QVNumberShape& shape, bool isZero);
    /// The code that shows a recognised number as the page printed it: its
    /// decimals, its grouping (the family's separator as "," in the code, a
    /// blank as a literal blank), its currency symbol or percent sign with
    /// the blank beside it, and its sign: parentheses, a plus sign, an en
    /// dash or a minus sign in a negative section of their own.
    static std::string formatCodeOfShape(const QVNumberShape& shape, bool commaFamily, bool isZero);
    /// "#", then one "###" for each further group but the last and "##0",
    /// each behind the literal `blank`: 100 000 is "#\ ##0".
    static std::string blankGroupedCode(size_t groups, char16_t blank);

    /// UTF-8 of a currency symbol (or any short UTF-16 text).
    static std::string utf8(std::u16string_view text);
};
