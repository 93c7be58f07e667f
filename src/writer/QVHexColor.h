#pragma once
// Colours as the package parts write them. A colour is held as a 24-bit value
// 0xRRGGBB; its text forms are six lowercase hexadecimal digits ("ff0080") and
// the opaque ARGB form of SpreadsheetML ("FFff0080"), always eight digits.

#include "writer/QVDeviceColor.h"

#include <cstdint>
#include <optional>
#include <string>

class QVHexColor {
public:
    QVHexColor() = delete;

    /// Six lowercase hex digits (red, green, blue); none for no colour.
    static std::optional<std::string>
    getHexColorFromCGColor(const std::optional<QVDeviceColor>& color);
    /// Opaque white in device RGB.
    static QVDeviceColor whiteCGColor();
    /// True when every channel is below 11 (of 255); colours of models other
    /// than RGB and monochrome count as black; no colour is not black.
    static bool isBlackColor(const std::optional<QVDeviceColor>& color);

    /// The 24-bit value 0xRRGGBB of a colour; none for no colour.
    static std::optional<uint32_t> rgbValueFromCGColor(const std::optional<QVDeviceColor>& color);
    /// "rrggbb" of the low 24 bits.
    static std::string hexStringFromRGBValue(uint32_t rgb);
    /// "FF" followed by "rrggbb": the opaque ARGB text of SpreadsheetML.
    static std::string argbStringFromRGBValue(uint32_t rgb);
    /// The value of six hex digits (either case, an optional leading "#"); none otherwise.
    static std::optional<uint32_t> rgbValueFromHexString(const std::string& hex);
};
