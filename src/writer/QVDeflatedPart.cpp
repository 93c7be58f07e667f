#include "writer/QVDeflatedPart.h"

#include "platform/Files.h"
#include "writer/XMLFileWriter.h"

#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

class PartOutput : public XMLOutput {
public:
    explicit PartOutput(QVDeflatedPart& part) : part_(part) {}
    bool write(std::string_view bytes) override { return part_.append(bytes); }
    bool close() override { return part_.finish(); }

private:
    QVDeflatedPart& part_;
};

} // namespace

std::unique_ptr<XMLOutput> QVDeflatedPart::output() {
    if (!begin())
        return nullptr;
    return std::make_unique<PartOutput>(*this);
}

QVDeflatedPart::QVDeflatedPart(std::string spillPath, size_t memoryLimit)
    : spillPath_(std::move(spillPath)), memoryLimit_(memoryLimit) {}

QVDeflatedPart::~QVDeflatedPart() {
    if (spillFd_ >= 0) {
        ::close(spillFd_);
        ::unlink(spillPath_.c_str());
    }
}

bool QVDeflatedPart::keep(const char* data, size_t size) {
    if (spillFd_ < 0 && memory_.size() + size <= memoryLimit_) {
        memory_.append(data, size);
        return true;
    }
    if (spillFd_ < 0) {
        spillFd_ = ::open(spillPath_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (spillFd_ < 0)
            return false;
    }
    if (!platform::writeAll(spillFd_, data, size))
        return false;
    spilled_ += size;
    return true;
}

bool QVDeflatedPart::begin() {
    failed_ = !deflater_.begin([this](const char* d, size_t n) { return keep(d, n); });
    return !failed_;
}

bool QVDeflatedPart::append(std::string_view bytes) {
    if (failed_ || finished_ || !deflater_.append(bytes))
        failed_ = true;
    return !failed_;
}

bool QVDeflatedPart::finish() {
    if (failed_ || finished_ || !deflater_.finish())
        failed_ = true;
    finished_ = !failed_;
    return finished_;
}

bool QVDeflatedPart::readCompressed(const std::function<bool(const char*, size_t)>& sink) {
    if (!finished_)
        return false;
    if (!memory_.empty() && !sink(memory_.data(), memory_.size()))
        return false;
    if (spillFd_ < 0)
        return true;
    constexpr size_t kChunk = 256 * 1024;
    auto chunk = std::make_unique_for_overwrite<char[]>(kChunk);
    uint64_t at = 0;
    while (at < spilled_) {
        const ssize_t n = ::pread(spillFd_, chunk.get(), kChunk, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || !sink(chunk.get(), static_cast<size_t>(n)))
            return false;
        at += static_cast<uint64_t>(n);
    }
    return true;
}
