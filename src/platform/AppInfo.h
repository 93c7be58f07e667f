#pragma once
// The application's identity, as the conversion engine reads it: the error
// domain, and the name, version and pinned date written into document
// properties.
#include <ctime>
#include <optional>
#include <string>

namespace platform {
std::string bundleIdentifier();
std::string applicationDisplayName();
std::string applicationVersion();
/// The date reproducible outputs carry instead of the moment written:
/// $SOURCE_DATE_EPOCH (seconds since 1970) when set to a whole number >= 0.
std::optional<std::time_t> sourceDateEpoch();
} // namespace platform
