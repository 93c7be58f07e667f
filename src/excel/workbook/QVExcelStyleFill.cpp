#include "excel/workbook/QVExcelStyleFill.h"

#include "writer/QVHexColor.h"

#include <cmath>

namespace {
// Two filled rectangles closer than this are one fill: the same cell shading
// drawn as separate paths (or a stroke drawn over a fill) lands a little apart.
constexpr double kOriginTolerance = 2.0;
constexpr double kFarEdgeTolerance = 4.0;
} // namespace

QVExcelStyleFill::QVExcelStyleFill() : patternFill_(defaultFill()) {}

std::shared_ptr<QVExcelStyleFill>
QVExcelStyleFill::initWithFrame(const platform::Rect& frame,
                                const std::optional<QVDeviceColor>& color) {
    auto fill = std::make_shared<QVExcelStyleFill>();
    QVExcel_PatternFill pattern;
    pattern.patternType = "solid";
    fill->setPatternFill(pattern);
    fill->setRect(frame);
    fill->setFgRGBColor(QVHexColor::rgbValueFromCGColor(color));
    return fill;
}

QVExcel_PatternFill QVExcelStyleFill::defaultFill() {
    QVExcel_PatternFill f;
    f.patternType = "none";
    return f;
}

bool QVExcelStyleFill::isEqualToFill(const QVExcelStyleFill& other) const {
    if (patternFill_.patternType != other.patternFill_.patternType)
        return false;
    if (!fgRGBColor_ || !other.fgRGBColor_ || *fgRGBColor_ != *other.fgRGBColor_)
        return false;
    const platform::Rect a = rect_.standardized(), b = other.rect_.standardized();
    return std::fabs(a.minX() - b.minX()) <= kOriginTolerance &&
           std::fabs(a.minY() - b.minY()) <= kOriginTolerance &&
           std::fabs(a.maxX() - b.maxX()) <= kFarEdgeTolerance &&
           std::fabs(a.maxY() - b.maxY()) <= kFarEdgeTolerance;
}
