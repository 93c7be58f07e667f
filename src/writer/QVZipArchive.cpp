#include "writer/QVZipArchive.h"

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

constexpr size_t kChunkSize = 64 * 1024;
// Without the 64-bit extensions an entry holds less than 4 GiB.
constexpr unsigned long long kMaxEntrySize = 0xFFFFFFFFull;
// The general-purpose flag telling readers the entry name is UTF-8.
constexpr unsigned long kLanguageEncodingFlag = 1ul << 11;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// DOS dates run from 1980 to 2107; dates outside are pinned to the ends.
void fillDate(zip_fileinfo& info, const std::tm& t) {
    int year = t.tm_year + 1900;
    if (year < 1980) {
        info.tmz_date = tm_zip{0, 0, 0, 1, 0, 1980};
        return;
    }
    if (year > 2107) {
        info.tmz_date = tm_zip{58, 59, 23, 31, 11, 2107};
        return;
    }
    info.tmz_date.tm_sec = static_cast<uInt>(t.tm_sec);
    info.tmz_date.tm_min = static_cast<uInt>(t.tm_min);
    info.tmz_date.tm_hour = static_cast<uInt>(t.tm_hour);
    info.tmz_date.tm_mday = static_cast<uInt>(t.tm_mday);
    info.tmz_date.tm_mon = static_cast<uInt>(t.tm_mon);
    info.tmz_date.tm_year = static_cast<uInt>(year);
}

bool isASCII(const std::string& s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

QVZipArchive::~QVZipArchive() {
    CloseZipFile2();
}

bool QVZipArchive::CreateZipFile2(const std::string& zipFilePath) {
    if (zipFile_)
        CloseZipFile2();
    if (zipFilePath.empty())
        return false;
    zipFile_ = zipOpen(zipFilePath.c_str(), APPEND_STATUS_CREATE);
    return zipFile_ != nullptr;
}

bool QVZipArchive::addFileToZip(const std::string& file, const std::string& newname) {
    if (!zipFile_ || newname.empty())
        return false;
    std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rbe"));
    if (!in)
        return false;
    struct stat st;
    if (::fstat(::fileno(in.get()), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (static_cast<unsigned long long>(st.st_size) >= kMaxEntrySize)
        return false;

    zip_fileinfo info{};
    std::tm t{};
    if (fixedEntryDate_) {
        if (gmtime_r(&*fixedEntryDate_, &t))
            fillDate(info, t);
    } else if (localtime_r(&st.st_mtime, &t)) {
        fillDate(info, t);
    }

    const unsigned long flags = isASCII(newname) ? 0 : kLanguageEncodingFlag;
    if (zipOpenNewFileInZip4(zipFile_, newname.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                             Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                             Z_DEFAULT_STRATEGY, nullptr, 0, 0, flags) != ZIP_OK)
        return false;

    std::vector<char> chunk(kChunkSize);
    bool ok = true;
    unsigned long long total = 0;
    for (;;) {
        size_t n = std::fread(chunk.data(), 1, chunk.size(), in.get());
        if (n > 0) {
            total += n;
            if (total >= kMaxEntrySize ||
                zipWriteInFileInZip(zipFile_, chunk.data(), static_cast<unsigned>(n)) != ZIP_OK) {
                ok = false;
                break;
            }
        }
        if (n < chunk.size()) {
            if (std::ferror(in.get()))
                ok = false;
            break;
        }
    }
    // The entry is closed in any case so the archive stays consistent.
    if (zipCloseFileInZip(zipFile_) != ZIP_OK)
        ok = false;
    return ok;
}

bool QVZipArchive::addFolderToZip(const std::string& folder, const std::string& newname) {
    if (!zipFile_)
        return false;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec)
        return false;
    // Sorted, so the same folder always gives the same archive.
    std::vector<std::string> names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            return false;
        names.push_back(it->path().filename().string());
    }
    if (ec)
        return false;
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        const std::string entry = newname.empty() ? name : newname + "/" + name;
        fs::file_status status = fs::symlink_status(path, ec);
        if (ec)
            return false;
        const bool ok =
            fs::is_directory(status) ? addFolderToZip(path, entry) : addFileToZip(path, entry);
        if (!ok)
            return false;
    }
    return true;
}

bool QVZipArchive::CloseZipFile2() {
    if (!zipFile_)
        return false;
    const int result = zipClose(zipFile_, nullptr);
    zipFile_ = nullptr;
    return result == ZIP_OK;
}
