#include "platform/Resources.h"

#include "platform/Files.h"

#include <cstdlib>
#include <unistd.h>

namespace platform {

namespace {
std::string executableFolder() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return ".";
    return deletingLastPathComponent(std::string(buf, static_cast<size_t>(n)));
}
} // namespace

std::string resourceRoot() {
    if (const char* r = std::getenv("CORVALA_RESOURCES"); r && *r)
        return r;
    return appendPathComponent(deletingLastPathComponent(executableFolder()), "share/corvala");
}

std::optional<std::string> bundlePath(const std::string& bundleName) {
    if (bundleName.empty())
        return std::nullopt;
    std::string p = appendPathComponent(resourceRoot(), bundleName);
    if (!isDirectory(p))
        return std::nullopt;
    return p;
}

std::optional<std::string> resourcePath(const std::string& bundleName,
                                        const std::string& relative) {
    auto bundle = bundlePath(bundleName);
    if (!bundle || relative.empty() || relative.find("..") != std::string::npos)
        return std::nullopt;
    std::string p = appendPathComponent(*bundle, relative);
    if (!pathExists(p))
        return std::nullopt;
    return p;
}

} // namespace platform
