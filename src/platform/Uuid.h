#pragma once
#include <functional>
#include <string>

namespace platform {

/// A new random UUID in its 36-character form, upper-case hex digits.
std::string newUUIDString();

/// Tests inject a deterministic id source; an empty function restores the random one.
void setUUIDSourceForTesting(std::function<std::string()> source);

} // namespace platform
