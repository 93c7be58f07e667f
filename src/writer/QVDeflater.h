#pragma once
// Raw deflate (no zlib header, as zip entries hold it) of one stream of bytes
// after another through one compressor: the compressor's state (about 260 KiB)
// and the buffers are made once and reset for each stream, not allocated and
// cleared again for every part of a package. Input is gathered to a block
// before it is compressed, so many small appends cost one deflate call.
// Compressed bytes go to the sink given to begin(); the CRC-32 and the size of
// the uncompressed bytes are counted on the way.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

class QVDeflater {
public:
    /// Receives compressed bytes; answers false when they could not be kept.
    using Sink = std::function<bool(const char* data, size_t size)>;

    QVDeflater();
    ~QVDeflater();
    QVDeflater(const QVDeflater&) = delete;
    QVDeflater& operator=(const QVDeflater&) = delete;

    /// Starts a stream (at zlib's default level, as the packages always had).
    /// False when the compressor cannot be set up (no memory).
    bool begin(Sink sink);
    /// False when compressing or the sink failed; the stream is then spoiled.
    bool append(std::string_view bytes);
    /// Compresses what is left and ends the stream; false on a failure.
    bool finish();
    bool active() const { return active_; }

    uint32_t crc() const { return crc_; }
    uint64_t size() const { return size_; }

private:
    bool deflatePending(int flush);

    struct Stream;
    std::unique_ptr<Stream> stream_;
    std::unique_ptr<char[]> in_;
    size_t inSize_ = 0;
    std::unique_ptr<char[]> out_;
    Sink sink_;
    bool active_ = false;
    bool failed_ = false;
    uint32_t crc_ = 0;
    uint64_t size_ = 0;
};
