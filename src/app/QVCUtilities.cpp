#include "app/QVCUtilities.h"

#include "app/QVUserDefaults.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Uuid.h"

#include <algorithm>
#include <cctype>

#include <filesystem>
#include <system_error>

namespace {
// The search ends here: this candidate is answered without a test.
constexpr long kLastCandidate = 99999999;
// Import names: after this many taken numbers the next is answered untested.
constexpr long kLastImportNumber = 9999999;

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string extensionOf(const std::string& path) {
    return lower(platform::splitExtension(platform::lastPathComponent(path)).second);
}

bool extensionIn(const std::string& path, std::initializer_list<const char*> types) {
    const std::string ext = extensionOf(path);
    return std::any_of(types.begin(), types.end(), [&](const char* t) { return ext == t; });
}

constexpr std::initializer_list<const char*> kPictureTypes = {
    "jpg", "jpeg", "gif", "thm", "bmpf", "bmp", "tif", "tiff", "png", "cur", "xbm", "ico", "icns"};
} // namespace

bool QVCUtilities::isPath(const std::string& path, const std::string& type) {
    return extensionOf(path) == lower(type);
}

bool QVCUtilities::isPathHaveTypes(const std::string& path, const std::vector<std::string>& types) {
    const std::string ext = extensionOf(path);
    return std::any_of(types.begin(), types.end(),
                       [&](const std::string& t) { return lower(t) == ext; });
}

bool QVCUtilities::isPathNeedExists(const std::string& path, const std::string& type,
                                    bool needExists, bool shouldBeDirectory) {
    if (needExists &&
        (!platform::pathExists(path) || platform::isDirectory(path) != shouldBeDirectory))
        return false;
    return isPath(path, type);
}

bool QVCUtilities::isPathIsDirectory(const std::string& path, const std::string& type,
                                     bool isDirectory) {
    return isPathNeedExists(path, type, true, isDirectory);
}

bool QVCUtilities::isFolderFileTypeForPath(const std::string& path) {
    return extensionIn(path, {"rtfd", "app", "xcodeproj"});
}
bool QVCUtilities::isWordTypeForPath(const std::string& path) {
    return extensionIn(path, {"doc", "docx"});
}
bool QVCUtilities::isPictureTypeForPath(const std::string& path) {
    return extensionIn(path, kPictureTypes);
}
bool QVCUtilities::isVideoTypeForPath(const std::string& path) {
    return extensionIn(path, {"mp4", "m4v", "mov", "dv", "3gpp", "3gpp2", "mp1", "avi", "rm",
                              "rmvb", "wmv", "mpv"});
}
bool QVCUtilities::isAudioTypeForPath(const std::string& path) {
    return extensionIn(path, {"mp3", "aif", "aiff", "aifc", "adts", "next", "acc", "m4p", "caf",
                              "wav", "au", "midi", "mid", "m4b", "m4a", "snd", "sd2", "amr"});
}
bool QVCUtilities::isZipTypeForPath(const std::string& path) {
    return extensionIn(path, {"zip", "ipa", "epub"});
}
bool QVCUtilities::isZipedDocTypeForPath(const std::string& path) {
    const std::string name = lower(platform::lastPathComponent(path));
    for (const char* suffix : {".key.zip", ".numbers.zip", ".pages.zip", ".rtfd.zip"}) {
        const std::string s = suffix;
        if (name.size() > s.size() && name.compare(name.size() - s.size(), s.size(), s) == 0)
            return true;
    }
    return false;
}
bool QVCUtilities::isTxtTypeForPath(const std::string& path) {
    return extensionIn(path, {"txt", "text", "h", "m", "mm", "c", "php", "cs"});
}
bool QVCUtilities::isGoogleDocTypeForPath(const std::string& path) {
    return extensionOf(path).empty() || extensionIn(path, {"doc", "docx", "rtf", "txt", "html", "htm"});
}
bool QVCUtilities::IsPDFTypeForPath(const std::string& path) { return extensionIn(path, {"pdf", "ai"}); }
bool QVCUtilities::IsImageTypeForPath(const std::string& path) {
    return extensionIn(path, kPictureTypes) || extensionIn(path, {"j2k", "tga"});
}
bool QVCUtilities::IsZipTypeForPath(const std::string& path) {
    return extensionIn(path, {"zip", "z01", "gz", "gzip", "tgz", "tar-gz", "ipa", "epub"});
}
bool QVCUtilities::IsRarTypeForPath(const std::string& path) {
    return extensionIn(path, {"rar", "r00", "r01", "cbr"});
}

std::string QVCUtilities::encodeBase64(const std::string& bytes) {
    static const char* alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        uint32_t v = static_cast<uint32_t>(p[i]) << 16;
        if (n > 1)
            v |= static_cast<uint32_t>(p[i + 1]) << 8;
        if (n > 2)
            v |= p[i + 2];
        out += alphabet[(v >> 18) & 63];
        out += alphabet[(v >> 12) & 63];
        out += n > 1 ? alphabet[(v >> 6) & 63] : '=';
        out += n > 2 ? alphabet[v & 63] : '=';
    }
    return out;
}

std::optional<std::string> QVCUtilities::smartURLForString(const std::string& text) {
    const size_t b = text.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return std::nullopt;
    const std::string t = text.substr(b, text.find_last_not_of(" \t\r\n") - b + 1);
    const size_t scheme = t.find("://");
    if (scheme == std::string::npos)
        return "http://" + t;
    const std::string s = lower(t.substr(0, scheme));
    if (s != "http" && s != "https")
        return std::nullopt;
    return t;
}

std::string QVCUtilities::NewImportImagePath(const std::string& folder, const std::string& name,
                                             const std::string& extension) {
    for (long n = 1;; ++n) {
        std::string number = std::to_string(n);
        if (number.size() < 6)
            number.insert(0, 6 - number.size(), '0');
        const std::string candidate = folder + "/" + name + "_" + number + "." + extension;
        if (n > kLastImportNumber || !platform::pathExists(candidate))
            return candidate;
    }
}

std::string QVCUtilities::tempFile() {
    return platform::scratchFolder() + "/Temp-" + platform::newUUIDString() + ".png";
}

std::string QVCUtilities::cacheThumbFile() {
    const std::string folder = platform::scratchFolder() + "/thumbnails";
    platform::createDirectories(folder);
    return folder + "/Temp-" + platform::newUUIDString() + ".png";
}

std::string QVCUtilities::pathForTemporaryFileWithPrefix(const std::string& prefix) {
    return platform::scratchFolder() + "/" + prefix + "-" + platform::newUUIDString();
}

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
