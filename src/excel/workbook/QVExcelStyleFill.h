#pragma once
// A registered cell fill: a pattern, the filled rectangle of the page in
// display space (points), and its foreground colour.

#include "excel/workbook/QVExcelStyleTypes.h"
#include "platform/Geometry.h"
#include "writer/QVDeviceColor.h"

#include <cstdint>
#include <memory>
#include <optional>

class QVExcelStyleFill {
public:
    /// The default fill ("none"), an empty rectangle and no colour.
    QVExcelStyleFill();
    /// A solid fill of the colour over the rectangle.
    static std::shared_ptr<QVExcelStyleFill>
    initWithFrame(const platform::Rect& frame, const std::optional<QVDeviceColor>& color);

    /// Pattern "none" and empty colours.
    static QVExcel_PatternFill defaultFill();

    const QVExcel_PatternFill& patternFill() const { return patternFill_; }
    void setPatternFill(QVExcel_PatternFill v) { patternFill_ = std::move(v); }
    const platform::Rect& rect() const { return rect_; }
    void setRect(const platform::Rect& v) { rect_ = v; }
    /// 0xRRGGBB, or none.
    const std::optional<uint32_t>& fgRGBColor() const { return fgRGBColor_; }
    void setFgRGBColor(std::optional<uint32_t> v) { fgRGBColor_ = v; }

    /// Same pattern and colour (a fill without a colour equals nothing) and
    /// rectangles within 2.0 points at the left and top edges and 4.0 at the
    /// right and bottom edges. The receiver is the registered entry.
    bool isEqualToFill(const QVExcelStyleFill& other) const;

private:
    QVExcel_PatternFill patternFill_;
    platform::Rect rect_{};
    std::optional<uint32_t> fgRGBColor_;
};
