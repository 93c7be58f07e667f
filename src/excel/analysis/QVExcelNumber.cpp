#include "excel/analysis/QVExcelNumber.h"

#include "excel/QVExcelManager.h"
#include "excel/analysis/QVNumberShape.h"
#include "excel/analysis/QVNumberUtils.h"
#include "excel/analysis/QVRegex.h"

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

bool isZero(const QVNumberShape& shape) {
    return shape.integerDigits.find_first_not_of('0') == std::string::npos &&
           shape.fractionDigits.find_first_not_of('0') == std::string::npos;
}

std::string plainValue(const QVNumberShape& shape) {
    std::string value = shape.negative ? "-" : "";
    value += shape.integerDigits;
    if (!shape.fractionDigits.empty())
        value += "." + shape.fractionDigits;
    return value;
}

} // namespace

QVExcelNumber::QVExcelNumber(std::u16string_view text, std::string_view thousandSepartor,
                             std::span<const uint32_t> pieceStarts) {
    const bool commaFamily = thousandSepartor == ",";
    auto shape = QVRegex::scanNumber(text, commaFamily, QVNumberUtils::supportCurrencySymbols(),
                                     pieceStarts);
    if (!shape)
        return;
    isNumber_ = true;
    type_ = shape->type;
    decimalSepartor_ = commaFamily ? "." : ",";
    const bool percent = type_ == 8 || type_ == 9;
    const bool currency = type_ >= 4 && type_ <= 7;
    if (type_ >= 2 && type_ <= 7)
        thousandSepartor_ = commaFamily ? "," : ".";
    if (currency)
        currencySymbol_ = QVNumberUtils::utf8(shape->currencySymbol);
    readNumber_ = percent ? percentValue(*shape) : plainValue(*shape);

    const bool zero = isZero(*shape);
    numID_ = QVNumberUtils::builtInNumFmtOfShape(*shape, zero);
    if (numID_ == -1)
        formatCode_ = QVNumberUtils::formatCodeOfShape(*shape, commaFamily, zero);
}

QVExcelNumber QVExcelNumber::initWithNumberString(std::u16string_view text,
                                                  std::span<const uint32_t> pieceStarts) {
    return QVExcelNumber(text, QVExcelManager::sharedInstance()->thousandSepartor(), pieceStarts);
}
