#include "excel/QVExcelNumber.h"

#include "excel/QVExcelManager.h"
#include "excel/QVNumberShape.h"
#include "excel/QVNumberUtils.h"
#include "excel/QVRegex.h"

namespace {

std::string stripLeadingZeros(std::string digits) {
    size_t nonZero = digits.find_first_not_of('0');
    return nonZero == std::string::npos ? "0" : digits.substr(nonZero);
}

/// The value of a percentage: the digits with the decimal point moved two
/// places left, in the string itself so that no digit is lost to rounding.
std::string percentValue(const QVNumberShape& shape) {
    std::string digits = shape.integerDigits + shape.fractionDigits;
    const auto point = static_cast<long>(shape.integerDigits.size()) - 2;
    std::string integerPart, fractionPart;
    if (point <= 0) {
        integerPart = "0";
        fractionPart = std::string(static_cast<size_t>(-point), '0') + digits;
    } else {
        integerPart = digits.substr(0, static_cast<size_t>(point));
        fractionPart = digits.substr(static_cast<size_t>(point));
    }
    integerPart = stripLeadingZeros(integerPart);
    fractionPart.erase(fractionPart.find_last_not_of('0') + 1);
    std::string value = fractionPart.empty() ? integerPart : integerPart + "." + fractionPart;
    if (shape.negative && value != "0")
        value = "-" + value;
    return value;
}

std::string plainValue(const QVNumberShape& shape) {
    std::string value = shape.negative ? "-" : "";
    value += shape.integerDigits;
    if (!shape.fractionDigits.empty())
        value += "." + shape.fractionDigits;
    return value;
}

} // namespace

QVExcelNumber::QVExcelNumber(std::u16string_view text, std::string_view thousandSepartor) {
    const bool commaFamily = thousandSepartor == ",";
    auto shape = QVRegex::scanNumber(text, commaFamily, QVNumberUtils::supportCurrencySymbols());
    if (!shape)
        return;
    isNumber_ = true;
    type_ = shape->type;
    const std::string familyThousands = commaFamily ? "," : ".";
    const std::string familyDecimal = commaFamily ? "." : ",";
    const auto decimals = static_cast<int64_t>(shape->fractionDigits.size());

    std::optional<std::string> positiveCode;
    switch (type_) {
    case 0:
    case 1:
        numID_ = 0;
        decimalSepartor_ = familyDecimal;
        readNumber_ = plainValue(*shape);
        if (shape->parenthesized)
            positiveCode = QVNumberUtils::plainCodeWithDecimalLength(decimals);
        break;
    case 8:
    case 9:
        numID_ = decimals > 0 ? 10 : 9;
        decimalSepartor_ = familyDecimal;
        readNumber_ = percentValue(*shape);
        if (shape->parenthesized)
            positiveCode = QVNumberUtils::percentCodeForNumID(numID_);
        break;
    default: // thousands and currency shapes
        numID_ = -1;
        thousandSepartor_ = familyThousands;
        decimalSepartor_ = familyDecimal;
        readNumber_ = plainValue(*shape);
        if (type_ >= 4) {
            currencySymbol_ = QVNumberUtils::utf8(shape->currencySymbol);
            positiveCode = QVNumberUtils::currencyFormatWithDecimalLength(
                decimals, shape->currencySymbol, type_);
        } else {
            positiveCode = QVNumberUtils::numberCodeWithDecimalLength(decimals);
        }
        break;
    }
    if (shape->parenthesized) {
        // The page showed the negative number in parentheses; so does the cell.
        numID_ = -1;
        formatCode_ = QVNumberUtils::negativeInParentheses(*positiveCode);
    } else if (type_ >= 2 && type_ <= 7) {
        formatCode_ = positiveCode;
    }
}

QVExcelNumber QVExcelNumber::initWithNumberString(std::u16string_view text) {
    return QVExcelNumber(text, QVExcelManager::sharedInstance()->thousandSepartor());
}
