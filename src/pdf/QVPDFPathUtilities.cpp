#include "pdf/QVPDFPathUtilities.h"

#include "platform/Files.h"
#include "platform/Resources.h"
#include "platform/Uuid.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <unistd.h>
#include <functional>

namespace {

// The numbered candidates stop here; a folder holding that many copies of one
// name is not worth searching further.
constexpr long kLastCandidate = 99999999;

std::optional<std::string> firstFree(const std::string& path, const std::string& separator,
                                     const std::function<bool(const std::string&)>& create) {
    if (path.empty())
        return std::nullopt;
    if (create(path))
        return path;
    if (!platform::pathExists(path))
        return std::nullopt; // not taken, yet it cannot be created: the folder is unusable
    auto [base, extension] = platform::splitExtension(path);
    for (long counter = 2; counter <= kLastCandidate; ++counter) {
        std::string candidate = base + separator + std::to_string(counter);
        if (!extension.empty())
            candidate += "." + extension;
        if (create(candidate))
            return candidate;
        if (!platform::pathExists(candidate))
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::string QVPDFPathUtilities::tempFolder() {
    return platform::scratchFolder() + "/Temp-" + platform::newUUIDString();
}

std::string QVPDFPathUtilities::tempFolder0() {
    return platform::systemTempFolder() + "/Temp-" + platform::newUUIDString();
}

std::string QVPDFPathUtilities::tempFile() {
    return platform::scratchFolder() + "/Temp-" + platform::newUUIDString() + ".png";
}

std::optional<std::string> QVPDFPathUtilities::getNewPathby(const std::string& path,
                                                            const std::string& separator) {
    return firstFree(path, separator, platform::createFileExclusively);
}

std::optional<std::string> QVPDFPathUtilities::getNewFolderPathby(const std::string& path,
                                                                  const std::string& separator) {
    return firstFree(path, separator, platform::createFolderExclusively);
}

bool QVPDFPathUtilities::createFolderIfNeed(const std::string& path) {
    if (platform::isDirectory(path))
        return true;
    if (platform::pathExists(path))
        return false;
    return platform::createDirectories(path);
}

bool QVPDFPathUtilities::isDirectoryAtPath(const std::string& path) {
    return platform::isDirectory(path);
}

std::optional<std::string>
QVPDFPathUtilities::PathInLibBundleForResource(const std::string& relative) {
    return platform::resourcePath("QVPDFParser", relative);
}

QVPDFPathUtilities::WorkFolders QVPDFPathUtilities::makeWorkFolders(const std::string& fileName) {
    WorkFolders folders;
    folders.scratch = tempFolder();
    if (!createFolderIfNeed(folders.scratch))
        throw std::runtime_error("Could not create the work folder " + folders.scratch + ": " +
                                 std::strerror(errno));
    auto work = getNewFolderPathby(folders.scratch + "/" + fileName);
    if (!work) {
        const int cause = errno;
        ::rmdir(folders.scratch.c_str());
        throw std::runtime_error("Could not create a work folder in " + folders.scratch + ": " +
                                 std::strerror(cause));
    }
    folders.work = *work;
    return folders;
}
