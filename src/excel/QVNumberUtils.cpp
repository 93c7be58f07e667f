#include "excel/QVNumberUtils.h"

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

std::string QVNumberUtils::utf8(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}
