#include "platform/pdf/PdfFileSource.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

PdfFileSource::PdfFileSource(const std::string& path) : name_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw std::runtime_error(path + ": " + std::strerror(errno));
    struct stat st;
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = errno;
        ::close(fd_);
        throw std::runtime_error(path + ": " + (err ? std::strerror(err) : "not a file"));
    }
    size_ = st.st_size;
}

PdfFileSource::~PdfFileSource() {
    ::close(fd_);
}

size_t PdfFileSource::readAt(char* buffer, size_t length, qpdf_offset_t offset) const {
    size_t done = 0;
    while (done < length) {
        ssize_t n = ::pread(fd_, buffer + done, length - done, offset + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw std::runtime_error(name_ + ": read error: " + std::strerror(errno));
        }
        if (n == 0)
            break; // the file ended early (it shrank since it was opened)
        done += static_cast<size_t>(n);
    }
    return done;
}

const PdfFileSource::Block* PdfFileSource::blockAt(qpdf_offset_t offset) {
    if (offset < 0 || offset >= size_)
        return nullptr;
    const qpdf_offset_t start = offset - offset % static_cast<qpdf_offset_t>(kBlockSize);
    Block* victim = &blocks_[0];
    for (Block& b : blocks_) {
        if (b.start == start) {
            b.lastUse = ++useClock_;
            return b.size > static_cast<size_t>(offset - start) ? &b : nullptr;
        }
        if (b.lastUse < victim->lastUse)
            victim = &b;
    }
    if (!victim->data)
        victim->data = std::make_unique_for_overwrite<char[]>(kBlockSize);
    const size_t want =
        static_cast<size_t>(std::min<qpdf_offset_t>(size_ - start, static_cast<qpdf_offset_t>(kBlockSize)));
    victim->start = -1; // stays empty if the read raises
    victim->size = readAt(victim->data.get(), want, start);
    victim->start = start;
    victim->lastUse = ++useClock_;
    return victim->size > static_cast<size_t>(offset - start) ? victim : nullptr;
}

void PdfFileSource::seek(qpdf_offset_t offset, int whence) {
    qpdf_offset_t base = 0;
    switch (whence) {
    case SEEK_SET:
        break;
    case SEEK_CUR:
        base = offset_;
        break;
    case SEEK_END:
        base = size_;
        break;
    default:
        throw std::logic_error("INTERNAL ERROR: invalid argument to PdfFileSource::seek");
    }
    qpdf_offset_t target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < 0)
        throw std::runtime_error(name_ + ": seek before beginning of file");
    offset_ = target;
}

size_t PdfFileSource::read(char* buffer, size_t length) {
    if (offset_ >= size_) {
        last_offset = size_;
        return 0;
    }
    last_offset = offset_;
    length = static_cast<size_t>(std::min<qpdf_offset_t>(static_cast<qpdf_offset_t>(length), size_ - offset_));
    size_t done = 0;
    // A long read (stream data) goes straight into the caller's buffer past the cache.
    if (length >= kBlockSize) {
        done = readAt(buffer, length, offset_);
        offset_ += static_cast<qpdf_offset_t>(done);
        return done;
    }
    while (done < length) {
        const Block* b = blockAt(offset_);
        if (!b)
            break;
        const size_t at = static_cast<size_t>(offset_ - b->start);
        const size_t n = std::min(length - done, b->size - at);
        std::memcpy(buffer + done, b->data.get() + at, n);
        done += n;
        offset_ += static_cast<qpdf_offset_t>(n);
    }
    return done;
}

void PdfFileSource::unreadCh(char) {
    if (offset_ > 0)
        --offset_;
}

qpdf_offset_t PdfFileSource::findAndSkipNextEOL() {
    if (offset_ >= size_) {
        last_offset = size_;
        offset_ = size_;
        return size_;
    }
    // Find the next CR or LF, then step over the run of CRs and LFs after it.
    for (;;) {
        const Block* b = blockAt(offset_);
        if (!b) {
            offset_ = size_;
            return size_;
        }
        const char* begin = b->data.get() + (offset_ - b->start);
        const char* end = b->data.get() + b->size;
        const char* p = begin;
        while (p < end && *p != '\r' && *p != '\n')
            ++p;
        offset_ += p - begin;
        if (p < end)
            break;
    }
    const qpdf_offset_t result = offset_;
    ++offset_;
    for (;;) {
        const Block* b = blockAt(offset_);
        if (!b)
            break;
        const char c = b->data[static_cast<size_t>(offset_ - b->start)];
        if (c != '\r' && c != '\n')
            break;
        ++offset_;
    }
    return result;
}

} // namespace platform
