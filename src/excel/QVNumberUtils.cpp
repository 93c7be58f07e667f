#include "excel/QVNumberUtils.h"
#include "platform/text/Utf.h"

const std::vector<std::u16string>& QVNumberUtils::supportCurrencySymbols() {
    static const std::vector<std::u16string> symbols = {u"\uFFE5", u"\u00A5", u"$", u"\u20AC"};
    return symbols;
}

std::u16string QVNumberUtils::getSymbol(std::u16string_view text) {
    for (const auto& symbol : supportCurrencySymbols())
        if (text.find(symbol) != std::u16string_view::npos)
            return symbol;
    return {};
}

namespace {
std::string withDecimals(const char* integerCode, int64_t count) {
    std::string code = integerCode;
    if (count > 0)
        code += "." + std::string(static_cast<size_t>(count), '0');
    return code;
}
} // namespace

std::string QVNumberUtils::numberCodeWithDecimalLength(int64_t count) {
    return withDecimals("#,##0", count);
}

std::string QVNumberUtils::currencyFormatWithDecimalLength(int64_t count,
                                                           std::u16string_view symbol,
                                                           uint64_t numberType) {
    std::string code = numberCodeWithDecimalLength(count);
    std::string sym = utf8(symbol);
    return (numberType == 6 || numberType == 7) ? code + sym : sym + code;
}

std::string QVNumberUtils::plainCodeWithDecimalLength(int64_t count) {
    return withDecimals("0", count);
}

std::string QVNumberUtils::percentCodeForNumID(int32_t numID) {
    return numID == 10 ? "0.00%" : "0%";
}

std::string QVNumberUtils::negativeInParentheses(const std::string& code) {
    return code + ";(" + code + ")";
}

std::string QVNumberUtils::utf8(std::u16string_view text) { return platform::utf16ToUTF8(text); }

