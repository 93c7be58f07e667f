#include "writer/QVHexColor.h"

#include <cmath>

namespace {

// One channel: the component times 255, rounded half away from zero, kept
// within 0..255 so a stray component can never widen the text form.
uint32_t channel(double component) {
    if (!std::isfinite(component))
        return 0;
    const double v = std::round(component * 255.0);
    if (v <= 0)
        return 0;
    if (v >= 255)
        return 255;
    return static_cast<uint32_t>(v);
}

double componentAt(const QVDeviceColor& c, size_t i) {
    return i < c.components.size() ? c.components[i] : 0.0;
}

} // namespace

std::optional<uint32_t> QVHexColor::rgbValueFromCGColor(const std::optional<QVDeviceColor>& color) {
    if (!color)
        return std::nullopt;
    uint32_t r = 0, g = 0, b = 0;
    switch (color->model) {
    case QVDeviceColor::Model::RGB:
        r = channel(componentAt(*color, 0));
        g = channel(componentAt(*color, 1));
        b = channel(componentAt(*color, 2));
        break;
    case QVDeviceColor::Model::Monochrome:
        r = g = b = channel(componentAt(*color, 0));
        break;
    case QVDeviceColor::Model::Other:
        break;
    }
    return (r << 16) | (g << 8) | b;
}

std::string QVHexColor::hexStringFromRGBValue(uint32_t rgb) {
    static const char digits[] = "0123456789abcdef";
    std::string s(6, '0');
    for (int i = 5; i >= 0; --i) {
        s[static_cast<size_t>(i)] = digits[rgb & 0xF];
        rgb >>= 4;
    }
    return s;
}

std::string QVHexColor::argbStringFromRGBValue(uint32_t rgb) {
    return "FF" + hexStringFromRGBValue(rgb);
}

std::optional<uint32_t> QVHexColor::rgbValueFromHexString(const std::string& hex) {
    std::string_view s = hex;
    if (!s.empty() && s.front() == '#')
        s.remove_prefix(1);
    if (s.size() != 6)
        return std::nullopt;
    uint32_t v = 0;
    for (char c : s) {
        v <<= 4;
        if (c >= '0' && c <= '9')
            v |= static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            v |= static_cast<uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            v |= static_cast<uint32_t>(c - 'A' + 10);
        else
            return std::nullopt;
    }
    return v;
}

std::optional<std::string>
QVHexColor::getHexColorFromCGColor(const std::optional<QVDeviceColor>& color) {
    auto v = rgbValueFromCGColor(color);
    if (!v)
        return std::nullopt;
    return hexStringFromRGBValue(*v);
}

QVDeviceColor QVHexColor::whiteCGColor() {
    return QVDeviceColor{QVDeviceColor::Model::RGB, {1.0, 1.0, 1.0, 1.0}};
}

bool QVHexColor::isBlackColor(const std::optional<QVDeviceColor>& color) {
    auto v = rgbValueFromCGColor(color);
    if (!v)
        return false;
    return ((*v >> 16) & 0xFF) < 11 && ((*v >> 8) & 0xFF) < 11 && (*v & 0xFF) < 11;
}
