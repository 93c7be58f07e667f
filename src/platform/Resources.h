#pragma once
// Run-time resource bundles (QVPDFParser, QVCorvala, ...): folders under one
// resource root. The root is $CORVALA_RESOURCES, else "../share/corvala"
// next to the running executable.

#include <optional>
#include <string>

namespace platform {

std::string resourceRoot();
/// Full path of the bundle folder, or none when it does not exist.
std::optional<std::string> bundlePath(const std::string& bundleName);
/// Full path of `relative` ("Folder/file" or "file") inside the bundle, or none when missing.
std::optional<std::string> resourcePath(const std::string& bundleName, const std::string& relative);

} // namespace platform
