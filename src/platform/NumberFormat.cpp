#include "platform/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace platform {

std::string formatFixed(double value, int decimals) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (r.ec != std::errc())
        return "0";
    return std::string(buf, r.ptr);
}

std::string formatShortest(double value) {
    if (!std::isfinite(value))
        return formatFixed(value, 0);
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::string formatInteger(long long value) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::optional<double> parseDouble(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double v = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || text.empty())
        return std::nullopt;
    return v;
}

std::optional<long long> parseInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    long long v = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || text.empty())
        return std::nullopt;
    return v;
}

} // namespace platform
