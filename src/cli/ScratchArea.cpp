#include "cli/ScratchArea.h"

#include "platform/Files.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr const char* kReservationFile = "reserved-output";
constexpr const char* kPrefix = "corvala-";
} // namespace

ScratchArea::ScratchArea() : folder_(platform::scratchFolder()) {}

ScratchArea::~ScratchArea() { cleanUp(); }

void ScratchArea::releaseReservation(const std::string& path) {
    struct stat st;
    if (path.empty() || ::lstat(path.c_str(), &st) != 0)
        return;
    if (S_ISREG(st.st_mode) && st.st_size == 0)
        ::unlink(path.c_str());
    else if (S_ISDIR(st.st_mode))
        ::rmdir(path.c_str()); // fails, keeping the folder, unless it is empty
}

void ScratchArea::recordReservation(const std::string& outputPath) {
    std::lock_guard<std::mutex> lock(mutex_);
    reserved_ = outputPath;
    if (!platform::createDirectories(folder_))
        return;
    platform::writeFileAtomically(folder_ + "/" + kReservationFile, outputPath);
}

void ScratchArea::forgetReservation() {
    std::lock_guard<std::mutex> lock(mutex_);
    reserved_.clear();
    ::unlink((folder_ + "/" + kReservationFile).c_str());
}

void ScratchArea::cleanUp() {
    std::lock_guard<std::mutex> lock(mutex_);
    releaseReservation(reserved_);
    reserved_.clear();
    platform::removeAll(folder_);
}

void ScratchArea::sweepStaleFolders() {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(platform::systemTempFolder(), ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kPrefix, 0) != 0)
            continue;
        const std::string digits = name.substr(std::char_traits<char>::length(kPrefix));
        if (digits.empty() || digits.size() > 9 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const long pid = std::stol(digits);
        struct stat st;
        const std::string folder = it->path().string();
        // Only this user's folders, and only of processes that are gone.
        if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
            continue;
        if (pid == ::getpid() || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue;
        if (auto reserved = platform::readFile(folder + "/" + kReservationFile))
            releaseReservation(*reserved);
        platform::removeAll(folder);
    }
}
