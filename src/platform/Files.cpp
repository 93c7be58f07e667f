#include "platform/Files.h"
#include "platform/Uuid.h"

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {

std::string homeFolder() {
    if (const char* h = std::getenv("HOME"); h && *h)
        return h;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/tmp";
}

std::string systemTempFolder() {
    // A TMPDIR that names no folder is not made: creating it would leave
    // folders behind that nothing removes.
    if (const char* t = std::getenv("TMPDIR"); t && *t && isDirectory(t))
        return t;
    return "/tmp";
}

std::optional<std::string> temporaryFolderProblem() {
    const char* t = std::getenv("TMPDIR");
    if (!t || !*t || isDirectory(t))
        return std::nullopt;
    return std::string("TMPDIR (") + t + ") is not a folder; using " + systemTempFolder() +
           " instead";
}

std::string scratchFolderForProcess(long pid) {
    return systemTempFolder() + "/corvala-" + std::to_string(pid);
}

std::string scratchFolder() { return scratchFolderForProcess(static_cast<long>(::getpid())); }

bool pathExists(const std::string& path) {
    struct stat st;
    return !path.empty() && lstat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool createDirectories(const std::string& path) {
    if (path.empty())
        return false;
    std::error_code ec;
    fs::create_directories(path, ec);
    return isDirectory(path);
}

bool removeAll(const std::string& path) {
    std::error_code ec;
    fs::remove_all(path, ec);
    return !pathExists(path);
}

bool createFileExclusively(const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool writeNewFile(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes.data(), bytes.size());
    if (::close(fd) != 0)
        ok = false;
    if (!ok) {
        const int saved = errno;
        ::unlink(path.c_str());
        errno = saved;
    }
    return ok;
}

bool writeFileInPlace(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes.data(), bytes.size());
    if (::close(fd) != 0)
        ok = false;
    if (!ok) {
        const int saved = errno;
        ::unlink(path.c_str());
        errno = saved;
    }
    return ok;
}

bool createFolderExclusively(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; }

bool renamePath(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

std::pair<std::string, std::string> splitExtension(const std::string& path) {
    size_t slash = path.find_last_of('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.find_last_of('.');
    // A leading dot names a hidden file, not an extension.
    if (dot == std::string::npos || dot <= nameStart)
        return {path, ""};
    return {path.substr(0, dot), path.substr(dot + 1)};
}

std::string lastPathComponent(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    size_t slash = p.find_last_of('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string deletingLastPathComponent(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    size_t slash = p.find_last_of('/');
    if (slash == std::string::npos)
        return "";
    if (slash == 0)
        return "/";
    return p.substr(0, slash);
}

std::string appendPathComponent(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::optional<std::string> readFile(const std::string& path) {
    if (isDirectory(path))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return ss.str();
}

bool writeAll(int fd, const char* data, size_t size, std::optional<int64_t> at) {
    while (size > 0) {
        const ssize_t n = at ? ::pwrite(fd, data, size, static_cast<off_t>(*at))
                             : ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
        if (at)
            *at += n;
    }
    return true;
}

bool writeFileAtomically(const std::string& path, const std::string& bytes) {
    std::string tmp = path + ".part-" + std::to_string(::getpid());
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(tmp.c_str());
            return false;
        }
    }
    if (!renamePath(tmp, path)) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

std::string siblingTemporaryPath(const std::string& target) {
    const std::string folder = deletingLastPathComponent(target);
    const std::string base = "." + lastPathComponent(target) + ".partial-";
    for (int i = 0; i < 1000; ++i) {
        std::string candidate = appendPathComponent(folder, base + newUUIDString());
        if (!pathExists(candidate))
            return candidate;
    }
    return appendPathComponent(folder, base + "last");
}

bool moveIntoPlace(const std::string& from, const std::string& to, std::string& why) {
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    if (errno != EXDEV) {
        why = "Could not move " + from + " to " + to + ": " + std::strerror(errno);
        return false;
    }
    const std::string temp = siblingTemporaryPath(to);
    RemoveOnExit guard(temp);
    std::error_code ec;
    std::filesystem::copy(from, temp,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::copy_symlinks,
                          ec);
    if (ec) {
        why = "Could not copy " + from + " to " + temp + ": " + ec.message();
        return false;
    }
    if (std::rename(temp.c_str(), to.c_str()) != 0) {
        why = "Could not move " + temp + " to " + to + ": " + std::strerror(errno);
        return false;
    }
    guard.release();
    removeAll(from);
    return true;
}

} // namespace platform
