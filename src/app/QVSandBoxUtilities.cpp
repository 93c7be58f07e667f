#include "app/QVSandBoxUtilities.h"

#include "app/QVUserDefaults.h"
#include "platform/Files.h"

#include <filesystem>
#include <system_error>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <unistd.h>

const char* const QVSandBoxUtilities::kDefaultKey = "QVDefaulExportDirectory_SandBox";

std::optional<std::string>
QVSandBoxUtilities::UserSelectedOutputURLBookmarkForKey(const std::string& key) {
    auto stored = QVUserDefaults::standardUserDefaults().stringForKey(key);
    if (!stored || stored->empty() || !platform::isDirectory(*stored))
        return std::nullopt;
    return stored;
}

std::optional<std::string> QVSandBoxUtilities::UserSelectedOutputURLBookmark() {
    return UserSelectedOutputURLBookmarkForKey(kDefaultKey);
}

bool QVSandBoxUtilities::isReadAndWritableUserSelectedOutputURL(const std::string& folder) {
    return !folder.empty() && ::access(folder.c_str(), R_OK | W_OK) == 0;
}

bool QVSandBoxUtilities::isReadAndWritableUserSelectedOutputURLBookmarkForKey(
    const std::string& key) {
    auto folder = UserSelectedOutputURLBookmarkForKey(key);
    return folder && isReadAndWritableUserSelectedOutputURL(*folder);
}

bool QVSandBoxUtilities::isReadAndWritableUserSelectedOutputURLBookmark() {
    return isReadAndWritableUserSelectedOutputURLBookmarkForKey(kDefaultKey);
}

bool QVSandBoxUtilities::startAccessingUserSelectedOutputURLBookmark() {
    return isReadAndWritableUserSelectedOutputURLBookmark();
}

void QVSandBoxUtilities::stopAccessingUserSelectedOutputURLBookmark() {}

bool QVSandBoxUtilities::SaveUserSelectedOutputURLBookmarkForKey(const std::string& folder,
                                                                 const std::string& key) {
    if (folder.empty() || !platform::isDirectory(folder))
        return false;
    std::error_code ec;
    std::string absolute = std::filesystem::absolute(folder, ec).lexically_normal().string();
    if (ec)
        return false;
    if (absolute.size() > 1 && absolute.back() == '/')
        absolute.pop_back();
    QVUserDefaults& d = QVUserDefaults::standardUserDefaults();
    d.setObject(key, absolute);
    return d.synchronize();
}

bool QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(const std::string& folder) {
    return SaveUserSelectedOutputURLBookmarkForKey(folder, kDefaultKey);
}

bool QVSandBoxUtilities::RemoveUserSelectedOutputURLBookmarkForKey(const std::string& key) {
    QVUserDefaults& d = QVUserDefaults::standardUserDefaults();
    d.removeObjectForKey(key);
    return d.synchronize();
}

std::optional<std::string> QVSandBoxUtilities::problemWithFolder(const std::string& folder) {
    if (folder.empty() || !platform::pathExists(folder))
        return std::string("does not exist");
    if (!platform::isDirectory(folder))
        return std::string("is a file, not a folder");
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return std::string("is not writable (permission denied)");
    // The rights alone do not tell (/proc, a read-only mount, root's rights):
    // a new file is tried and removed at once.
    const std::string probe = platform::appendPathComponent(
        folder, ".corvala-probe-" + std::to_string(static_cast<long>(::getpid())));
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        ::unlink(probe.c_str());
        return std::nullopt;
    }
    switch (errno) {
    case EEXIST:
        return std::nullopt;
    case EACCES:
    case EPERM:
        return std::string("is not writable (permission denied)");
    case EROFS:
        return std::string("is not writable (read-only file system)");
    default:
        return std::string("is not writable (it takes no new files)");
    }
}
