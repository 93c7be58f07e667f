#pragma once
// The value records of the spreadsheet style registry, copied by value. A
// field a default does not name is zero: no text, 0, false. Colours are held
// as 24-bit values 0xRRGGBB and written as opaque ARGB ("FF" + six digits).

#include <cstdint>
#include <optional>
#include <string>

struct QVExcel_Color {
    bool automatic = false;
    int32_t indexed = 0;
    std::optional<uint32_t> rgb;
    int32_t theme = 0;
    double tint = 0;
};

struct QVExcel_Font {
    double sz = 0;
    /// The record's own colour; the colour written is the font object's rgbColor.
    QVExcel_Color color;
    std::string name;
    std::string famliy;
    std::string charset;
    std::string scheme;
    bool b = false;
    bool i = false;
    bool strike = false;
    bool outline = false;
    bool shadow = false;
    bool condense = false;
    bool extend = false;
    std::string u;
    std::string vertAlign;
};

struct QVExcel_PatternFill {
    std::string patternType;
    QVExcel_Color bgColor;
    QVExcel_Color fgColor;
};

struct QVExcel_PatternBorderElement {
    std::string style;
    QVExcel_Color color;
};

struct QVExcel_PatternBorder {
    bool diagonalUp = false;
    bool diagonalDown = false;
    bool outline = false;
    QVExcel_PatternBorderElement left;
    QVExcel_PatternBorderElement right;
    QVExcel_PatternBorderElement top;
    QVExcel_PatternBorderElement bottom;
    QVExcel_PatternBorderElement diagonal;
    QVExcel_PatternBorderElement vertical;
    QVExcel_PatternBorderElement horizontal;
};

struct QVExcel_Xf_Alignment {
    /// "left", "center", "right"; none when not set.
    std::optional<std::string> horizontal;
    /// "center"; none when not set.
    std::optional<std::string> vertical;
    uint32_t textRotation = 0;
    bool wrapText = false;
    uint32_t indent = 0;
    int32_t relativeIndent = 0;
    bool justifyLastLine = false;
    bool shrinkToFit = false;
    uint32_t readingOrder = 0;
};

struct QVExcel_Xf {
    /// A number-format identifier (built in below 164, registered from 164).
    int32_t numFmtId = 0;
    /// Indexes into the font, fill, border and cell-style-format lists.
    int32_t fontId = 0;
    int32_t fillId = 0;
    int32_t borderId = 0;
    int32_t xfId = 0;
    bool quotePrefix = false;
    bool pivotButton = false;
    bool applyNumberFormat = false;
    bool applyFont = false;
    bool applyFill = false;
    bool applyBorder = false;
    bool applyAlignment = false;
    bool applyProtection = false;
    QVExcel_Xf_Alignment alignment;
};

/// Equal written font size (rounded to whole points within Excel's 1..409)
/// and equal written name.
bool QVExcel_FontIsEqual(const QVExcel_Font& a, const QVExcel_Font& b);
QVExcel_Xf_Alignment QVExcel_Xf_AlignmentMake(const std::optional<std::string>& horizontal,
                                              const std::optional<std::string>& vertical,
                                              bool wrapText);
/// Same horizontal and vertical texts and wrap flag; an absent text equals
/// nothing, not even another absent text.
bool QVExcel_Xf_AlignmentIsEqual(const QVExcel_Xf_Alignment& a, const QVExcel_Xf_Alignment& b);
