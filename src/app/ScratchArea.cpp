#include "app/ScratchArea.h"

#include "platform/Files.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kReservationFile = "reserved-output";
constexpr const char* kPrefix = "corvala-";

// Whether `name` is one of the hidden names an output `target` is written
// under before it moves into place: ".<target>.part", ".<target><N>.part"
// (the flowing-text formats) or ".<target>.partial-<id>" (packages, and
// folders moved across file systems).
bool isPartOf(const std::string& name, const std::string& target) {
    const std::string head = "." + target;
    if (target.empty() || name.compare(0, head.size(), head) != 0)
        return false;
    std::string rest = name.substr(head.size());
    if (rest.rfind(".partial-", 0) == 0)
        return true;
    const size_t digits = rest.find_first_not_of("0123456789");
    return digits != std::string::npos && rest.substr(digits) == ".part";
}

// Releases what the process whose folder this is had reserved, then removes
// the folder.
void clearFolder(const std::string& folder) {
    if (auto reserved = platform::readFile(folder + "/" + kReservationFile))
        ScratchArea::releaseReservation(*reserved);
    platform::removeAll(folder);
}

} // namespace

ScratchArea::ScratchArea() : folder_(platform::scratchFolder()) {}

ScratchArea::~ScratchArea() { cleanUp(); }

void ScratchArea::releaseReservation(const std::string& path) {
    struct stat st;
    if (path.empty())
        return;
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISREG(st.st_mode) && st.st_size == 0)
            ::unlink(path.c_str());
        else if (S_ISDIR(st.st_mode))
            ::rmdir(path.c_str()); // fails, keeping the folder, unless it is empty
    }
    namespace fs = std::filesystem;
    const std::string folder = platform::deletingLastPathComponent(path);
    const std::string target = platform::lastPathComponent(path);
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? "." : folder, ec), end;
    std::vector<std::string> parts;
    for (; !ec && it != end; it.increment(ec))
        if (isPartOf(it->path().filename().string(), target))
            parts.push_back(it->path().string());
    for (const std::string& part : parts)
        platform::removeAll(part);
}

bool ScratchArea::watchFromOutside() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    const std::string folder = folder_;
    const pid_t watcher = ::fork();
    if (watcher < 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        return false;
    }
    if (watcher > 0) {
        // The write end stays open, unseen, for as long as this process lives.
        ::close(ends[0]);
        return true;
    }
    // The watcher. A terminal's Ctrl-C reaches the whole process group; it
    // must outlive the signals that end the worker.
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGTSTP, SIGTTIN, SIGTTOU})
        std::signal(sig, SIG_IGN);
    ::close(ends[1]);
    if (ends[0] != 3) {
        ::dup2(ends[0], 3);
        ::close(ends[0]);
    }
    // Standard error stays open until the folder is gone, so a reader of it
    // sees its end only when nothing is left; nothing else is held.
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
    }
    ::close_range(4, ~0U, 0);
    // End of file: the worker has ended, every one of its threads with it.
    char byte;
    while (::read(3, &byte, 1) < 0 && errno == EINTR) {
    }
    clearFolder(folder);
    _exit(0);
}

void ScratchArea::recordReservation(const std::string& outputPath) {
    std::lock_guard<std::mutex> lock(mutex_);
    reserved_ = outputPath;
    // Only the folder itself: its parent is the system's temporary folder.
    if (!platform::isDirectory(folder_) && ::mkdir(folder_.c_str(), 0700) != 0)
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
        clearFolder(folder);
    }
}
