#include "platform/AppInfo.h"

#include "platform/NumberFormat.h"

#include <cstdlib>

#ifndef CORVALA_VERSION
#define CORVALA_VERSION "0.0.0"
#endif

namespace platform {
std::string bundleIdentifier() { return "org.corvala.Corvala"; }
std::string applicationDisplayName() { return "Corvala"; }
std::string applicationVersion() { return CORVALA_VERSION; }

std::optional<std::time_t> sourceDateEpoch() {
    const char* v = std::getenv("SOURCE_DATE_EPOCH");
    if (!v || !*v)
        return std::nullopt;
    auto n = platform::parseInteger(v);
    if (!n || *n < 0)
        return std::nullopt;
    return static_cast<std::time_t>(*n);
}
} // namespace platform
