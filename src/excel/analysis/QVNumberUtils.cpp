#include "excel/analysis/QVNumberUtils.h"
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

std::string QVNumberUtils::negativeInParentheses(const std::string& code) {
    return code + ";(" + code + ")";
}

namespace {
// Excel's General format shows whole numbers of up to 11 digits as they are;
// longer ones turn to scientific notation.
constexpr size_t kGeneralDigits = 11;
} // namespace

std::string QVNumberUtils::blankGroupedCode(size_t groups, char16_t blank) {
    const std::string literal = "\\" + utf8(std::u16string_view(&blank, 1));
    std::string code = "#";
    for (size_t g = 2; g < groups; ++g)
        code += literal + "###";
    return code + literal + "##0";
}

int32_t QVNumberUtils::builtInNumFmtOfShape(const QVNumberShape& shape, bool isZero) {
    const bool plainSign = shape.sign == 0 || (shape.sign == u'-' && !isZero);
    if (shape.parenthesized || !plainSign || shape.integerOmitted || shape.groupSeparator != 0 ||
        shape.blankBesideSymbol)
        return -1;
    const size_t decimals = shape.fractionDigits.size();
    if (shape.type <= 1)
        return decimals == 0 && shape.integerDigits.size() <= kGeneralDigits ? 0 : -1;
    if (shape.type == 8 || shape.type == 9)
        return decimals == 0 ? 9 : decimals == 2 ? 10 : -1;
    return -1;
}

std::string QVNumberUtils::formatCodeOfShape(const QVNumberShape& shape, bool commaFamily,
                                             bool isZero) {
    const bool percent = shape.type == 8 || shape.type == 9;
    const bool currency = shape.type >= 4 && shape.type <= 7;
    const bool symbolAfter = shape.type == 6 || shape.type == 7;
    const char16_t familyGroup = commaFamily ? u',' : u'.';
    const char* blank = shape.blankBesideSymbol ? "\\ " : "";
    std::string body;
    body.reserve(24);
    if (currency && !symbolAfter)
        body.append(utf8(shape.currencySymbol)).append(blank);
    if (shape.groupSeparator == familyGroup || (currency && shape.groupSeparator == 0))
        body.append("#,##0");
    else if (shape.groupSeparator != 0)
        body.append(blankGroupedCode(shape.groupCount, shape.groupSeparator));
    else
        body.append(shape.integerOmitted ? "#" : "0");
    if (!shape.fractionDigits.empty())
        body.append(".").append(shape.fractionDigits.size(), '0');
    if (percent)
        body.append(blank).append("%");
    else if (currency && symbolAfter)
        body.append(blank).append(utf8(shape.currencySymbol));

    if (shape.parenthesized)
        return negativeInParentheses(body);
    if (shape.sign == 0 || (shape.sign == u'-' && !isZero))
        return body;
    std::string code;
    code.reserve(2 * body.size() + 8);
    if (shape.sign == u'+')
        return code.append("+").append(body).append(";-").append(body);
    // A negative zero, or a sign other than the hyphen the formats put
    // before negative numbers: shown as printed.
    const std::string sign = shape.sign == u'-'
                                 ? std::string("-")
                                 : "\"" + utf8(std::u16string_view(&shape.sign, 1)) + "\"";
    if (!isZero)
        code.append(body).append(";");
    return code.append(sign).append(body);
}

std::string QVNumberUtils::utf8(std::u16string_view text) {
    return platform::utf16ToUTF8(text);
}
