#pragma once
// One package part compressed while it is written, before the archive can
// take it: the shared strings grow over the whole document while worksheets
// are streamed into the archive one after another. The compressed bytes stay
// in memory up to a limit (a few MiB hold the strings of thousands of pages)
// and go on in a spill file beyond it, so memory stays bounded; the archive
// copies them into its entry without compressing again.

#include "writer/QVDeflater.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class XMLOutput;

class QVDeflatedPart {
public:
    static constexpr size_t kDefaultMemoryLimit = 8 * 1024 * 1024;

    /// `spillPath`: the file for compressed bytes beyond `memoryLimit`; made
    /// only when needed and removed with the part.
    explicit QVDeflatedPart(std::string spillPath, size_t memoryLimit = kDefaultMemoryLimit);
    ~QVDeflatedPart();
    QVDeflatedPart(const QVDeflatedPart&) = delete;
    QVDeflatedPart& operator=(const QVDeflatedPart&) = delete;

    /// Each answers false once anything failed (no memory, the spill file).
    bool begin();
    bool append(std::string_view bytes);
    bool finish();
    bool finished() const { return finished_; }

    uint32_t crc() const { return deflater_.crc(); }
    uint64_t size() const { return deflater_.size(); }
    uint64_t compressedSize() const { return memory_.size() + spilled_; }
    /// begin() and an XML writer's output into this part, whose close is finish();
    /// none when begin() fails. The part must outlive it.
    std::unique_ptr<XMLOutput> output();
    /// Hands the compressed bytes, in order, to `sink` (after finish()).
    bool readCompressed(const std::function<bool(const char*, size_t)>& sink);

private:
    bool keep(const char* data, size_t size);

    QVDeflater deflater_;
    std::string spillPath_;
    size_t memoryLimit_;
    std::string memory_;
    int spillFd_ = -1;
    uint64_t spilled_ = 0;
    bool failed_ = false;
    bool finished_ = false;
};
