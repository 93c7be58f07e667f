#include "excel/workbook/QVExcelStyleFont.h"

#include "platform/NumberFormat.h"
#include "writer/XMLFileWriter.h"

#include <cmath>

namespace {
// Excel's font sizes run from 1 to 409 points.
constexpr double kMinFontSize = 1.0;
constexpr double kMaxFontSize = 409.0;
constexpr double kFallbackFontSize = 12.0;
} // namespace

QVExcelStyleFont::QVExcelStyleFont() : font_(defaultFont()), rgbColor_(0x000000) {}

QVExcelStyleFont::QVExcelStyleFont(QVExcel_Font font, uint32_t rgbColor)
    : font_(std::move(font)), rgbColor_(rgbColor & 0xFFFFFF) {}

QVExcel_Font QVExcelStyleFont::defaultFont() {
    QVExcel_Font f;
    f.sz = 12;
    f.color.rgb = 0x000000;
    f.name = "Times New Roman";
    f.famliy = "3";
    f.charset = "134";
    f.scheme = "minor";
    return f;
}

std::string QVExcelStyleFont::writtenSize(double sz) {
    return platform::formatInteger(writtenSizeValue(sz));
}

long long QVExcelStyleFont::writtenSizeValue(double sz) {
    if (!std::isfinite(sz))
        sz = kFallbackFontSize;
    sz = std::min(std::max(sz, kMinFontSize), kMaxFontSize);
    // To the nearest whole number, halves to the even one, as a fixed
    // format without decimals rounds.
    return static_cast<long long>(std::nearbyint(sz));
}

std::string QVExcelStyleFont::comparisonKey() const {
    std::string key = writtenSize(font_.sz);
    key += '\0';
    key += XMLFileWriter::sanitizedText(font_.name);
    key += '\0';
    key += platform::formatInteger(rgbColor_);
    key += font_.b ? 'b' : '-';
    key += font_.i ? 'i' : '-';
    return key;
}

bool QVExcelStyleFont::isEqualToFont(const QVExcelStyleFont& other) const {
    return QVExcel_FontIsEqual(font_, other.font_) && rgbColor_ == other.rgbColor_ &&
           font_.b == other.font_.b && font_.i == other.font_.i;
}
