#pragma once
// Internal to the platform layer: the qpdf handle inside a PdfObject and the
// document implementation. Never include this outside src/platform/.

#include "platform/pdf/PdfObject.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/Pipeline.hh>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

struct PdfObjectAccess {
    static QPDFObjectHandle& handle(PdfObject& o) {
        return *reinterpret_cast<QPDFObjectHandle*>(o.storage_);
    }
    // qpdf's accessors are not const even when they only read.
    static QPDFObjectHandle& handle(const PdfObject& o) {
        return *reinterpret_cast<QPDFObjectHandle*>(const_cast<unsigned char*>(o.storage_));
    }
    static PdfObject wrap(const QPDFObjectHandle& h) {
        PdfObject o;
        handle(o) = h;
        return o;
    }
};

/// Collects decoded stream bytes up to a limit, then refuses by throwing,
/// which makes qpdf abandon the stream; what arrived up to the limit is kept.
class LimitedSink : public Pipeline {
public:
    explicit LimitedSink(uint64_t limit) : Pipeline("stream data", nullptr), limit_(limit) {}
    void write(unsigned char const* data, size_t len) override {
        if (exceeded_)
            throw std::length_error("stream data limit");
        if (uint64_t(bytes_.size()) + len > limit_) {
            bytes_.append(reinterpret_cast<const char*>(data), size_t(limit_ - bytes_.size()));
            exceeded_ = true;
            throw std::length_error("stream data limit");
        }
        bytes_.append(reinterpret_cast<const char*>(data), len);
    }
    void finish() override {}
    /// Room for the bytes expected, within the limit (a stream's /Length can lie).
    void reserve(uint64_t expected) {
        constexpr uint64_t kMaxReserve = 64ull << 20;
        bytes_.reserve(size_t(std::min({expected, limit_, kMaxReserve})));
    }
    bool exceeded() const { return exceeded_; }
    std::string& bytes() { return bytes_; }

private:
    uint64_t limit_;
    bool exceeded_ = false;
    std::string bytes_;
};

class ImageFileCache;

struct PdfDocumentImpl {
    std::string path;
    std::string memory;      // bytes when opened from memory
    std::string description; // name used in qpdf's messages
    std::unique_ptr<QPDF> qpdf;
    bool encrypted = false;
    bool locked = false;
    bool ownerPasswordMatched = false;
    /// The document's extracted images (ImageFileCache::forDocument).
    std::shared_ptr<ImageFileCache> imageFileCache;
    /// The pages in page-tree order, walked on first use (opening reads none:
    /// a page dictionary can be large) and again after an unlock.
    std::optional<std::vector<QPDFObjectHandle>> pages;
};

/// A QPDF set up to stay quiet on stderr and to attempt recovery of damaged files.
std::unique_ptr<QPDF> makeQuietQPDF();

} // namespace platform
