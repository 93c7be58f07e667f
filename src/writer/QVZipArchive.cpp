#include "writer/QVZipArchive.h"

#include "platform/Files.h"
#include "writer/QVDeflatedPart.h"
#include "writer/QVDeflatedPartStore.h"
#include "writer/QVDeflater.h"
#include "writer/XMLFileWriter.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Read buffer for whole files added to the archive.
constexpr size_t kChunkSize = 64 * 1024;
// The output buffer goes to the file at an entry boundary once it holds this
// much, and within an entry once it holds the larger amount (the entry's
// header is then filled in on the file itself).
constexpr size_t kFlushAtBoundary = 256 * 1024;
constexpr size_t kFlushWithinEntry = 4 * 1024 * 1024;
// The bytes of a picture deflated on trial: enough past a JPEG's tables to
// tell a photograph (deflate gains 3-5 %) from a flat synthetic picture (a
// third), at a quarter of the cost of a whole read chunk.
constexpr size_t kTrialSample = 16 * 1024;
// Without the 64-bit extensions an entry holds less than 4 GiB.
constexpr unsigned long long kMaxEntrySize = 0xFFFFFFFFull;
// The general-purpose flag telling readers the entry name is UTF-8.
constexpr unsigned long kLanguageEncodingFlag = 1ul << 11;

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

std::string lowercaseExtension(const std::string& name) {
    const size_t slash = name.rfind('/');
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = name.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

bool isASCII(const std::string& s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}


// The file minizip writes through: a buffer over the file's tail. minizip
// writes an entry's header, its data, then seeks back to fill in the header's
// sizes and CRC-32; while the header is still in the buffer that is a write
// into memory. Bytes before the buffer (a flushed part of a very large entry)
// are written in place.
struct Output {
    int fd = -1;
    std::vector<char> buffer;
    uint64_t base = 0; // file offset of buffer[0]
    uint64_t pos = 0;  // minizip's position
    bool error = false;
    int savedErrno = 0; // of the first failure

    void failed() {
        if (!error)
            savedErrno = errno;
        error = true;
    }

    bool flush() {
        if (error)
            return false;
        if (!buffer.empty() &&
            !platform::writeAll(fd, buffer.data(), buffer.size(), static_cast<int64_t>(base))) {
            failed();
            return false;
        }
        base += buffer.size();
        buffer.clear(); // keeps its capacity for the next entries
        return true;
    }

    size_t write(const char* data, size_t size) {
        if (error)
            return 0;
        size_t done = 0;
        if (pos < base) { // into bytes already flushed
            const size_t n = static_cast<size_t>(std::min<uint64_t>(size, base - pos));
            if (!platform::writeAll(fd, data, n, static_cast<int64_t>(pos))) {
                failed();
                return 0;
            }
            done = n;
            pos += n;
        }
        if (done < size) {
            const size_t at = static_cast<size_t>(pos - base);
            if (at > buffer.size())
                buffer.resize(at); // a seek past the end leaves a gap, as a file would
            const size_t overlap = std::min(size - done, buffer.size() - at);
            if (overlap > 0) // an empty buffer's data() may be null
                std::memcpy(buffer.data() + at, data + done, overlap);
            buffer.insert(buffer.end(), data + done + overlap, data + size);
            pos += size - done;
        }
        return size;
    }
};

voidpf ZCALLBACK openOutput(voidpf opaque, const void* filename, int) {
    auto* out = static_cast<Output*>(opaque);
    out->fd = ::open(static_cast<const char*>(filename), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                     0666);
    if (out->fd < 0)
        return nullptr;
    out->buffer.clear();
    out->base = out->pos = 0;
    out->error = false;
    out->savedErrno = 0;
    return out;
}

uLong ZCALLBACK readOutput(voidpf, voidpf, void*, uLong) {
    return 0; // the archive only writes
}

uLong ZCALLBACK writeOutput(voidpf, voidpf stream, const void* buf, uLong size) {
    return static_cast<Output*>(stream)->write(static_cast<const char*>(buf), size);
}

ZPOS64_T ZCALLBACK tellOutput(voidpf, voidpf stream) {
    return static_cast<Output*>(stream)->pos;
}

long ZCALLBACK seekOutput(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* out = static_cast<Output*>(stream);
    const uint64_t end = std::max<uint64_t>(out->base + out->buffer.size(), out->pos);
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        out->pos = offset;
        return 0;
    case ZLIB_FILEFUNC_SEEK_CUR:
        out->pos += offset;
        return 0;
    case ZLIB_FILEFUNC_SEEK_END:
        out->pos = end + offset;
        return 0;
    default:
        return -1;
    }
}

int ZCALLBACK closeOutput(voidpf, voidpf stream) {
    auto* out = static_cast<Output*>(stream);
    bool ok = out->flush();
    if (::close(out->fd) != 0)
        ok = false;
    out->fd = -1;
    if (!ok)
        out->failed();
    return ok ? 0 : -1;
}

int ZCALLBACK errorOutput(voidpf, voidpf stream) {
    return static_cast<Output*>(stream)->error ? 1 : 0;
}

class EntryOutput : public XMLOutput {
public:
    explicit EntryOutput(QVZipArchive& archive) : archive_(archive) {}
    ~EntryOutput() override {
        if (!closed_)
            archive_.closeEntry(); // abandoned (an exception): the archive is discarded anyway
    }
    bool write(std::string_view bytes) override { return archive_.writeEntry(bytes); }
    bool close() override {
        closed_ = true;
        if (archive_.closeEntry())
            return true;
        if (archive_.writeErrno() != 0)
            errno = archive_.writeErrno(); // the writer names the cause from errno
        return false;
    }

private:
    QVZipArchive& archive_;
    bool closed_ = false;
};

// A compressor for trials, made at the first one.
struct TrialStream {
    z_stream z{};
    bool initialised = false;
    TrialStream() = default;
    TrialStream(const TrialStream&) = delete;
    TrialStream& operator=(const TrialStream&) = delete;
    ~TrialStream() {
        if (initialised)
            deflateEnd(&z);
    }
};

} // namespace

struct QVZipArchive::Impl {
    zipFile zip = nullptr;
    TrialStream trial;
    std::vector<char> trialOutput;
    Output output;
    QVDeflater deflater;
    std::unique_ptr<char[]> chunk; // read buffer for files, made at the first file
    bool entryOpen = false;        // a streamed entry (openEntry) is open
    bool entryFailed = false;
};

QVZipArchive::QVZipArchive() : impl_(std::make_unique<Impl>()) {}

QVZipArchive::~QVZipArchive() {
    CloseZipFile2();
}

bool QVZipArchive::CreateZipFile2(const std::string& zipFilePath) {
    if (impl_->zip)
        CloseZipFile2();
    if (zipFilePath.empty())
        return false;
    zlib_filefunc64_def io{};
    io.zopen64_file = openOutput;
    io.zread_file = readOutput;
    io.zwrite_file = writeOutput;
    io.ztell64_file = tellOutput;
    io.zseek64_file = seekOutput;
    io.zclose_file = closeOutput;
    io.zerror_file = errorOutput;
    io.opaque = &impl_->output;
    impl_->zip = zipOpen2_64(zipFilePath.c_str(), APPEND_STATUS_CREATE, nullptr, &io);
    if (!impl_->zip && impl_->output.fd >= 0) {
        ::close(impl_->output.fd);
        impl_->output.fd = -1;
    }
    return impl_->zip != nullptr;
}

bool QVZipArchive::worthDeflating(std::string_view sample) {
    // A trial of the fastest level on the entry's first 16 KiB: an image that
    // is compressed poorly (a synthetic picture in baseline JPEG can shrink by
    // a third) is still deflated, one that deflate cannot shrink by a tenth is not.
    constexpr double kWorthwhile = 0.9;
    if (sample.size() < 64)
        return false;
    Impl& d = *impl_;
    if (!d.trial.initialised) {
        if (deflateInit2(&d.trial.z, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            return true; // no trial: deflate, as every entry once was
        d.trial.initialised = true;
    } else if (deflateReset(&d.trial.z) != Z_OK) {
        return true;
    }
    // Only the size matters: the output is bounded by what would make it
    // worthwhile, with room for deflate to tell it has ended at the bound.
    const size_t bound = static_cast<size_t>(static_cast<double>(sample.size()) * kWorthwhile);
    d.trialOutput.resize(bound + 64);
    z_stream& z = d.trial.z;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(sample.data()));
    z.avail_in = static_cast<uInt>(sample.size());
    z.next_out = reinterpret_cast<Bytef*>(d.trialOutput.data());
    z.avail_out = static_cast<uInt>(d.trialOutput.size());
    // Ended within the bound: the sample shrank by a tenth or more.
    return deflate(&z, Z_FINISH) == Z_STREAM_END && z.total_out <= bound;
}

bool QVZipArchive::isStoredEntryName(const std::string& newname) {
    // Image formats that compress their pixels themselves: deflate gains a
    // few bytes at best and costs a pass over every byte.
    static const char* const kCompressed[] = {"png", "jpeg", "jpg", "jp2", "j2k", "gif"};
    const std::string extension = lowercaseExtension(newname);
    return std::any_of(std::begin(kCompressed), std::end(kCompressed),
                       [&](const char* e) { return extension == e; });
}

bool QVZipArchive::openRawEntry(const std::string& newname, std::time_t modified, bool stored) {
    if (!impl_->zip || newname.empty() || impl_->entryOpen)
        return false;
    zip_fileinfo info{};
    std::tm t{};
    if (fixedEntryDate_) {
        if (gmtime_r(&*fixedEntryDate_, &t))
            fillDate(info, t);
    } else if (localtime_r(&modified, &t)) {
        fillDate(info, t);
    }
    const unsigned long flags = isASCII(newname) ? 0 : kLanguageEncodingFlag;
    // A stored entry is not raw: minizip counts its size and CRC-32 as it copies.
    return zipOpenNewFileInZip4(impl_->zip, newname.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                stored ? 0 : Z_DEFLATED, stored ? 0 : Z_DEFAULT_COMPRESSION,
                                stored ? 0 : 1, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY,
                                nullptr, 0, 0, flags) == ZIP_OK;
}

bool QVZipArchive::finishRawEntry(uint64_t uncompressedSize, uint32_t crc) {
    bool ok = zipCloseFileInZipRaw64(impl_->zip, uncompressedSize, crc) == ZIP_OK;
    if (impl_->output.buffer.size() >= kFlushAtBoundary && !impl_->output.flush())
        ok = false;
    return ok && !impl_->output.error;
}

bool QVZipArchive::openEntry(const std::string& newname) {
    if (!openRawEntry(newname, std::time(nullptr)))
        return false;
    Impl& d = *impl_;
    if (!d.deflater.begin([&d](const char* data, size_t size) {
            if (zipWriteInFileInZip(d.zip, data, static_cast<unsigned>(size)) != ZIP_OK)
                return false;
            return d.output.buffer.size() < kFlushWithinEntry || d.output.flush();
        })) {
        zipCloseFileInZipRaw64(d.zip, 0, 0);
        return false;
    }
    d.entryOpen = true;
    d.entryFailed = false;
    return true;
}

int QVZipArchive::writeErrno() const {
    return impl_->output.savedErrno;
}

bool QVZipArchive::entryOpen() const {
    return impl_->entryOpen;
}

std::unique_ptr<XMLOutput> QVZipArchive::entryOutput(const std::string& newname) {
    if (!openEntry(newname))
        return nullptr;
    return std::make_unique<EntryOutput>(*this);
}

bool QVZipArchive::writeEntry(std::string_view bytes) {
    Impl& d = *impl_;
    if (!d.entryOpen || d.entryFailed)
        return false;
    if (d.deflater.size() + bytes.size() >= kMaxEntrySize || !d.deflater.append(bytes))
        d.entryFailed = true;
    return !d.entryFailed;
}

bool QVZipArchive::closeEntry() {
    Impl& d = *impl_;
    if (!d.entryOpen)
        return false;
    d.entryOpen = false;
    bool ok = d.deflater.finish() && !d.entryFailed;
    // The entry is closed in any case so the archive stays consistent.
    if (!finishRawEntry(d.deflater.size(), d.deflater.crc()))
        ok = false;
    return ok;
}

bool QVZipArchive::writeStoredEntry(const std::string& newname, std::time_t modified,
                                    const std::function<bool(const WriteStored&)>& produce) {
    if (!openRawEntry(newname, modified, true))
        return false;
    Impl& d = *impl_;
    uint64_t size = 0;
    const bool copied = produce([&](const char* data, size_t n) {
        if (size + n >= kMaxEntrySize)
            return false;
        size += n;
        if (n > 0 && zipWriteInFileInZip(d.zip, data, static_cast<unsigned>(n)) != ZIP_OK)
            return false;
        return d.output.buffer.size() < kFlushWithinEntry || d.output.flush();
    });
    // The entry is closed in any case so the archive stays consistent (the
    // size and CRC-32 given are minizip's own for an entry that is not raw).
    return finishRawEntry(size, 0) && copied;
}

bool QVZipArchive::addDataToZip(std::string_view bytes, const std::string& newname) {
    if (isStoredEntryName(newname) && !worthDeflating(bytes.substr(0, kTrialSample)))
        return writeStoredEntry(newname, std::time(nullptr), [&](const WriteStored& write) {
            return write(bytes.data(), bytes.size());
        });
    if (!openEntry(newname))
        return false;
    const bool wrote = writeEntry(bytes);
    return closeEntry() && wrote;
}

bool QVZipArchive::addDeflatedPartToZip(QVDeflatedPart& part, const std::string& newname) {
    if (!part.finished() || part.size() >= kMaxEntrySize || part.compressedSize() >= kMaxEntrySize)
        return false;
    if (!openRawEntry(newname, std::time(nullptr)))
        return false;
    Impl& d = *impl_;
    const bool copied = part.readCompressed([&d](const char* data, size_t size) {
        if (zipWriteInFileInZip(d.zip, data, static_cast<unsigned>(size)) != ZIP_OK)
            return false;
        return d.output.buffer.size() < kFlushWithinEntry || d.output.flush();
    });
    return finishRawEntry(part.size(), part.crc()) && copied;
}

bool QVZipArchive::addStoredPartToZip(const QVDeflatedPartStore& store, const std::string& part,
                                      const std::string& newname) {
    const QVDeflatedPartStore::Part* p = store.part(part);
    if (!p || p->size >= kMaxEntrySize || p->compressedSize >= kMaxEntrySize)
        return false;
    if (!openRawEntry(newname, std::time(nullptr)))
        return false;
    Impl& d = *impl_;
    const bool copied = store.readCompressed(*p, [&d](const char* data, size_t size) {
        if (zipWriteInFileInZip(d.zip, data, static_cast<unsigned>(size)) != ZIP_OK)
            return false;
        return d.output.buffer.size() < kFlushWithinEntry || d.output.flush();
    });
    return finishRawEntry(p->size, p->crc) && copied;
}

bool QVZipArchive::addFileToZip(const std::string& file, const std::string& newname) {
    if (!impl_->zip || newname.empty() || impl_->entryOpen)
        return false;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (static_cast<unsigned long long>(st.st_size) >= kMaxEntrySize)
        return false;
    Impl& d = *impl_;
    if (!d.chunk)
        d.chunk = std::make_unique_for_overwrite<char[]>(kChunkSize);
    // The next chunk of the file into d.chunk: its size, 0 at the end, -1 on a failure.
    auto readChunk = [&]() -> ssize_t {
        for (;;) {
            const ssize_t n = ::read(fd, d.chunk.get(), kChunkSize);
            if (n >= 0 || errno != EINTR)
                return n;
        }
    };
    // The first chunk decides whether the entry is stored.
    ssize_t n = readChunk();
    if (n < 0)
        return false;
    if (isStoredEntryName(newname) &&
        !worthDeflating(
            std::string_view(d.chunk.get(), std::min(static_cast<size_t>(n), kTrialSample))))
        return writeStoredEntry(newname, st.st_mtime, [&](const WriteStored& write) {
            for (; n > 0; n = readChunk())
                if (!write(d.chunk.get(), static_cast<size_t>(n)))
                    return false;
            return n == 0;
        });
    if (!openRawEntry(newname, st.st_mtime))
        return false;
    bool ok = d.deflater.begin([&d](const char* data, size_t size) {
        if (zipWriteInFileInZip(d.zip, data, static_cast<unsigned>(size)) != ZIP_OK)
            return false;
        return d.output.buffer.size() < kFlushWithinEntry || d.output.flush();
    });
    for (; ok && n > 0; n = readChunk()) {
        if (d.deflater.size() + static_cast<uint64_t>(n) >= kMaxEntrySize)
            ok = false;
        else
            ok = d.deflater.append(std::string_view(d.chunk.get(), static_cast<size_t>(n)));
    }
    if (n < 0)
        ok = false;
    if (!d.deflater.finish())
        ok = false;
    // The entry is closed in any case so the archive stays consistent.
    if (!finishRawEntry(d.deflater.size(), d.deflater.crc()))
        ok = false;
    return ok;
}

bool QVZipArchive::addFolderToZip(const std::string& folder, const std::string& newname) {
    if (!impl_->zip)
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
    if (!impl_->zip)
        return false;
    bool ok = true;
    if (impl_->entryOpen && !closeEntry())
        ok = false;
    // zipClose writes the central directory and closes the file through closeOutput.
    if (zipClose(impl_->zip, nullptr) != ZIP_OK || impl_->output.error)
        ok = false;
    impl_->zip = nullptr;
    return ok;
}
