#include "platform/AppInfo.h"

#ifndef CORVALA_VERSION
#define CORVALA_VERSION "0.0.0"
#endif

namespace platform {
std::string bundleIdentifier() { return "org.corvala.Corvala"; }
std::string applicationDisplayName() { return "Corvala"; }
std::string applicationVersion() { return CORVALA_VERSION; }
} // namespace platform
