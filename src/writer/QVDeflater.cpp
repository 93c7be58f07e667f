#include "writer/QVDeflater.h"

#include <zlib.h>

#include <cstring>

namespace {
// Input is compressed in blocks of this size; the output buffer has the same size.
constexpr size_t kBlock = 64 * 1024;
} // namespace

struct QVDeflater::Stream {
    z_stream z{};
    bool initialised = false;
    ~Stream() {
        if (initialised)
            deflateEnd(&z);
    }
};

QVDeflater::QVDeflater() = default;
QVDeflater::~QVDeflater() = default;

bool QVDeflater::begin(Sink sink) {
    if (!stream_)
        stream_ = std::make_unique<Stream>();
    if (!stream_->initialised) {
        // The parameters minizip gives zlib for a deflated entry.
        if (deflateInit2(&stream_->z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                         Z_DEFAULT_STRATEGY) != Z_OK)
            return false;
        stream_->initialised = true;
        in_ = std::make_unique_for_overwrite<char[]>(kBlock);
        out_ = std::make_unique_for_overwrite<char[]>(kBlock);
    } else if (deflateReset(&stream_->z) != Z_OK) {
        return false;
    }
    sink_ = std::move(sink);
    inSize_ = 0;
    crc_ = 0;
    size_ = 0;
    failed_ = false;
    active_ = true;
    return true;
}

bool QVDeflater::deflatePending(int flush) {
    z_stream& z = stream_->z;
    z.next_in = reinterpret_cast<Bytef*>(in_.get());
    z.avail_in = static_cast<uInt>(inSize_);
    for (;;) {
        z.next_out = reinterpret_cast<Bytef*>(out_.get());
        z.avail_out = static_cast<uInt>(kBlock);
        const int r = deflate(&z, flush);
        if (r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR)
            return false;
        const size_t produced = kBlock - z.avail_out;
        if (produced > 0 && !sink_(out_.get(), produced))
            return false;
        if (flush == Z_FINISH ? r == Z_STREAM_END : (z.avail_in == 0 && z.avail_out != 0))
            break;
        if (r == Z_BUF_ERROR && produced == 0)
            return false; // no progress possible
    }
    inSize_ = 0;
    return true;
}

bool QVDeflater::append(std::string_view bytes) {
    if (!active_ || failed_)
        return false;
    crc_ = static_cast<uint32_t>(crc32_z(crc_, reinterpret_cast<const Bytef*>(bytes.data()),
                                         bytes.size()));
    size_ += bytes.size();
    while (!bytes.empty()) {
        const size_t n = std::min(bytes.size(), kBlock - inSize_);
        std::memcpy(in_.get() + inSize_, bytes.data(), n);
        inSize_ += n;
        bytes.remove_prefix(n);
        if (inSize_ == kBlock && !deflatePending(Z_NO_FLUSH)) {
            failed_ = true;
            return false;
        }
    }
    return true;
}

bool QVDeflater::finish() {
    if (!active_)
        return false;
    active_ = false;
    const bool ok = !failed_ && deflatePending(Z_FINISH);
    sink_ = nullptr;
    return ok;
}
