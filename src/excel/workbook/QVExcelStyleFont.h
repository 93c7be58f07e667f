#pragma once
// A registered font: its record and its colour. Fonts are compared by what
// the styles part writes of them (whole-point size within Excel's limits,
// name, colour, bold, italic), so the part holds no look-alike duplicates.

#include "excel/workbook/QVExcelStyleTypes.h"

#include <cstdint>
#include <string>

class QVExcelStyleFont {
public:
    /// The default font in black.
    QVExcelStyleFont();
    QVExcelStyleFont(QVExcel_Font font, uint32_t rgbColor);

    /// Size 12, "Times New Roman", family "3", charset "134", scheme "minor", black.
    static QVExcel_Font defaultFont();

    const QVExcel_Font& font() const { return font_; }
    void setFont(QVExcel_Font v) { font_ = std::move(v); }
    /// 0xRRGGBB.
    uint32_t rgbColor() const { return rgbColor_; }
    void setRgbColor(uint32_t v) { rgbColor_ = v & 0xFFFFFF; }

    /// The receiver is the registered entry, `other` the candidate.
    bool isEqualToFont(const QVExcelStyleFont& other) const;

    /// The size as written: whole points from 1 to 409 ("%0.0f" of the size
    /// kept within Excel's limits; a size that is not a number counts as 12).
    static std::string writtenSize(double sz);
    /// The number writtenSize writes.
    static long long writtenSizeValue(double sz);
    /// Equal for fonts isEqualToFont takes as equal, different otherwise: the
    /// written size and name, the colour and the faces.
    std::string comparisonKey() const;

private:
    QVExcel_Font font_;
    uint32_t rgbColor_ = 0;
};
