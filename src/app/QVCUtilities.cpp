#include "app/QVCUtilities.h"

#include "app/QVUserDefaults.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"

#include <filesystem>
#include <system_error>

namespace {
// The search ends here: this candidate is answered without a test.
constexpr long kLastCandidate = 99999999;
} // namespace

std::string QVCUtilities::getNewPathby(const std::string& path) {
    if (!platform::pathExists(path))
        return path;
    auto [base, extension] = platform::splitExtension(path);
    for (long n = 2;; ++n) {
        std::string candidate = base + " " + std::to_string(n);
        if (!extension.empty())
            candidate += "." + extension;
        if (n >= kLastCandidate || !platform::pathExists(candidate))
            return candidate;
    }
}

bool QVCUtilities::boolValueForKey(const std::string& key, bool defaultValue) {
    QVUserDefaults& d = QVUserDefaults::standardUserDefaults();
    if (!d.objectForKey(key)) {
        d.setObject(key, defaultValue);
        d.synchronize();
        return defaultValue;
    }
    return d.boolForKey(key);
}

int64_t QVCUtilities::integerValueForKey(const std::string& key, int64_t defaultValue) {
    QVUserDefaults& d = QVUserDefaults::standardUserDefaults();
    if (!d.objectForKey(key)) {
        d.setObject(key, defaultValue);
        d.synchronize();
        return defaultValue;
    }
    return d.integerForKey(key);
}

double QVCUtilities::floatValueForKey(const std::string& key, double defaultValue) {
    QVUserDefaults& d = QVUserDefaults::standardUserDefaults();
    if (!d.objectForKey(key)) {
        d.setObject(key, defaultValue);
        d.synchronize();
        return defaultValue;
    }
    return d.floatForKey(key);
}

std::string QVCUtilities::stringValueForKey(const std::string& key,
                                            const std::string& defaultValue) {
    QVUserDefaults& d = QVUserDefaults::standardUserDefaults();
    if (!d.objectForKey(key)) {
        d.setObject(key, defaultValue);
        d.synchronize();
        return defaultValue;
    }
    return d.stringForKey(key).value_or(defaultValue);
}

std::string QVCUtilities::sizeText(uint64_t bytes) {
    const double k = static_cast<double>(bytes / 1024);
    double value = k;
    char unit = 'K';
    if (bytes >= 1073741824ULL) {
        value = k / 1048576.0;
        unit = 'G';
    } else if (bytes >= 1048576ULL) {
        value = k / 1024.0;
        unit = 'M';
    }
    return platform::formatFixed(value, 1) + " " + unit + "B";
}

std::string QVCUtilities::StringFileSizeAtPath(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status))
        return "";
    if (std::filesystem::is_directory(status))
        return sizeText(0);
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? "" : sizeText(size);
}

bool QVCUtilities::isDirectoryAtPath(const std::string& path) { return platform::isDirectory(path); }

bool QVCUtilities::createFolderIfNeed(const std::string& path) {
    if (platform::isDirectory(path))
        return true;
    return platform::createDirectories(path);
}

uint64_t QVCUtilities::numberOfFilesInFolder(const std::string& path) {
    if (!platform::isDirectory(path))
        return 1;
    uint64_t count = 0;
    std::error_code ec;
    std::filesystem::directory_iterator it(path, ec), end;
    for (; !ec && it != end; it.increment(ec))
        // A link to a folder counts as one entry: following it could loop.
        count += it->is_symlink(ec) ? 1 : numberOfFilesInFolder(it->path().string());
    return count;
}
