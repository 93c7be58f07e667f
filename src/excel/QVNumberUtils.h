#pragma once
// Currency symbols and the number-format codes of recognised numbers. Codes
// always group with "," and separate decimals with "." (the file format's
// notation), whichever separators the text used.

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
    /// "0", or "0." followed by `count` zeros: a plain number with its decimals.
    static std::string plainCodeWithDecimalLength(int64_t count);
    /// The code of a built-in percentage format: "0%" (9) or "0.00%" (10).
    static std::string percentCodeForNumID(int32_t numID);
    /// `code` for positive numbers and the same in parentheses for negative ones.
    static std::string negativeInParentheses(const std::string& code);

    /// UTF-8 of a currency symbol (or any short UTF-16 text).
    static std::string utf8(std::u16string_view text);
};
