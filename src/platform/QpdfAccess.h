#pragma once
// Internal to the platform layer: the qpdf handle inside a PdfObject and the
// document implementation. Never include this outside src/platform/.

#include "PdfObject.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <memory>
#include <string>

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
};

/// A QPDF set up to stay quiet on stderr and to attempt recovery of damaged files.
std::unique_ptr<QPDF> makeQuietQPDF();

} // namespace platform
