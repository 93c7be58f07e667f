#pragma once
// Colour values of the graphics state. A component holds a colour operand
// times 255, truncated toward zero: 0..255 stands for 0.0..1.0 in most spaces,
// a Lab L of 0..100 is 0..25500 and an indexed colour is index times 255.
// Nothing clamps a stored component to 0..255; colour spaces clamp when they
// convert.

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

struct QVPDFColor {
    static constexpr int kMaxComponents = 32;
    std::array<int32_t, kMaxComponents> c{};
    bool operator==(const QVPDFColor&) const = default;
};

/// Red, green and blue on 0..255.
struct QVPDFRGB {
    int32_t r = 0, g = 0, b = 0;
    bool operator==(const QVPDFRGB&) const = default;
};

/// Ink amounts on 0..255 (255 = full ink).
struct QVPDFCMYK {
    int32_t c = 0, m = 0, y = 0, k = 0;
    bool operator==(const QVPDFCMYK&) const = default;
};

/// A double truncated toward zero and held in 32 bits: values beyond the
/// 32-bit range take its nearest end and NaN gives 0, since converting them
/// directly is undefined behaviour.
inline int32_t QVPDF_ClampToInt32(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (v <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

/// The same for a PDF integer narrowed to 32 bits.
inline int32_t QVPDF_ClampToInt32(long long v) {
    if (v > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

/// A colour operand as a component: operand x 255, truncated, not clamped to 0..255.
/// Producers write a byte b as b/255 with a few decimals, which comes back a
/// hair below b (0.62745098 x 255 = 159.99999990); a product that close to a
/// whole number counts as that number, so truncation gives b, not b - 1.
inline int32_t QVPDF_ColorComponentFromOperand(double operand) {
    double scaled = operand * 255.0;
    double nearest = std::round(scaled);
    if (std::fabs(scaled - nearest) < 1e-4)
        scaled = nearest;
    return QVPDF_ClampToInt32(scaled);
}

/// A component limited to 0..255.
inline int32_t QVPDF_ClampColorComponent(long long v) {
    return v < 0 ? 0 : (v > 255 ? 255 : static_cast<int32_t>(v));
}
