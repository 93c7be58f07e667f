#pragma once
// The application's identity, as the conversion engine reads it: the error
// domain, and the name and version written into document properties.
#include <string>

namespace platform {
std::string bundleIdentifier();
std::string applicationDisplayName();
std::string applicationVersion();
} // namespace platform
