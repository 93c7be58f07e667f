#include "writer/QVDeflatedPartStore.h"

#include "platform/Files.h"
#include "writer/XMLFileWriter.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

class QVDeflatedPartStoreOutput : public XMLOutput {
public:
    explicit QVDeflatedPartStoreOutput(QVDeflatedPartStore& store) : store_(store) {}
    ~QVDeflatedPartStoreOutput() override {
        if (!closed_)
            store_.abandon();
    }
    bool write(std::string_view bytes) override { return store_.append(bytes); }
    bool close() override {
        closed_ = true;
        return store_.finish();
    }

private:
    QVDeflatedPartStore& store_;
    bool closed_ = false;
};

QVDeflatedPartStore::QVDeflatedPartStore(std::string spillPath, size_t memoryLimit)
    : spillPath_(std::move(spillPath)), memoryLimit_(memoryLimit) {}

QVDeflatedPartStore::~QVDeflatedPartStore() {
    if (spillFd_ >= 0) {
        ::close(spillFd_);
        ::unlink(spillPath_.c_str());
    }
}

bool QVDeflatedPartStore::keep(const char* data, size_t size) {
    if (end_ == memory_.size() && memory_.size() + size <= memoryLimit_) {
        memory_.append(data, size);
        end_ += size;
        return true;
    }
    if (spillFd_ < 0) {
        spillFd_ = ::open(spillPath_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (spillFd_ < 0)
            return false;
    }
    if (!platform::writeAll(spillFd_, data, size, static_cast<int64_t>(end_ - memory_.size())))
        return false;
    end_ += size;
    return true;
}

void QVDeflatedPartStore::truncate(uint64_t end) {
    if (end < memory_.size())
        memory_.resize(static_cast<size_t>(end));
    // Spilled bytes past the end stay in the file, unread, until overwritten.
    end_ = end;
}

std::unique_ptr<XMLOutput> QVDeflatedPartStore::output(const std::string& name) {
    if (open_ || name.empty())
        return nullptr;
    if (!deflater_.begin([this](const char* d, size_t n) { return keep(d, n); }))
        return nullptr;
    open_ = true;
    failed_ = false;
    openName_ = name;
    openOffset_ = end_;
    return std::make_unique<QVDeflatedPartStoreOutput>(*this);
}

bool QVDeflatedPartStore::append(std::string_view bytes) {
    if (!open_ || failed_ || !deflater_.append(bytes))
        failed_ = true;
    return !failed_;
}

bool QVDeflatedPartStore::finish() {
    if (!open_)
        return false;
    if (failed_ || !deflater_.finish()) {
        abandon();
        return false;
    }
    open_ = false;
    parts_.erase(std::remove_if(parts_.begin(), parts_.end(),
                                [&](const Part& p) { return p.name == openName_; }),
                 parts_.end());
    parts_.push_back(
        {openName_, openOffset_, end_ - openOffset_, deflater_.size(), deflater_.crc()});
    return true;
}

void QVDeflatedPartStore::abandon() {
    if (!open_)
        return;
    if (deflater_.active())
        deflater_.finish();
    open_ = false;
    truncate(openOffset_);
}

const QVDeflatedPartStore::Part* QVDeflatedPartStore::part(const std::string& name) const {
    for (const Part& p : parts_)
        if (p.name == name)
            return &p;
    return nullptr;
}

void QVDeflatedPartStore::removeFrom(size_t mark) {
    if (open_ || mark >= parts_.size())
        return;
    truncate(parts_[mark].offset);
    parts_.resize(mark);
}

bool QVDeflatedPartStore::readCompressed(
    const Part& part, const std::function<bool(const char*, size_t)>& sink) const {
    uint64_t at = part.offset;
    const uint64_t end = part.offset + part.compressedSize;
    if (end > end_)
        return false;
    if (at < memory_.size()) {
        const uint64_t n = std::min<uint64_t>(end, memory_.size()) - at;
        if (!sink(memory_.data() + at, static_cast<size_t>(n)))
            return false;
        at += n;
    }
    if (at == end)
        return true;
    if (spillFd_ < 0)
        return false;
    constexpr size_t kChunk = 256 * 1024;
    auto chunk = std::make_unique_for_overwrite<char[]>(kChunk);
    while (at < end) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(kChunk, end - at));
        const ssize_t n =
            ::pread(spillFd_, chunk.get(), want, static_cast<off_t>(at - memory_.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || !sink(chunk.get(), static_cast<size_t>(n)))
            return false;
        at += static_cast<uint64_t>(n);
    }
    return true;
}
