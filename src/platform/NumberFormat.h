#pragma once
// Locale-independent number text: never the C locale's printf/strtod.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

/// Like printf "%.*f": fixed notation with `decimals` digits after the point.
std::string formatFixed(double value, int decimals);
/// Like "%f": six digits after the point.
inline std::string formatF(double value) { return formatFixed(value, 6); }
/// Shortest text that reads back as the same double ("%g"-like but exact).
std::string formatShortest(double value);
std::string formatInteger(long long value);

/// The whole text as a number; none when it is not one (no locale, no spaces).
std::optional<double> parseDouble(std::string_view text);
std::optional<long long> parseInteger(std::string_view text);

} // namespace platform
