#pragma once
// An open PDF document and its pages, over qpdf. Unlocking is modelled as
// re-opening the file with the password (qpdf takes it at open time).

#include "platform/Geometry.h"
#include "platform/pdf/PdfObject.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {

struct PdfDocumentImpl;
class PdfPage;

class PdfDocument {
public:
    /// Opens the file; none when it is not a readable PDF. A document encrypted
    /// with a non-empty user password opens locked (isUnlocked() false).
    static std::unique_ptr<PdfDocument> open(const std::string& path);
    /// Opens from bytes in memory (fuzzing and tests); same rules as open().
    static std::unique_ptr<PdfDocument> openFromMemory(const std::string& bytes,
                                                       const std::string& description);
    ~PdfDocument();

    bool isEncrypted() const;
    bool isUnlocked() const;
    /// True when the password opens the document (user or owner password);
    /// a failed attempt leaves the document as it was.
    bool unlockWithPassword(const std::string& password);
    /// Printing allowed: by the permissions, or because the owner password matched.
    bool allowsPrinting() const;
    /// 0 while locked.
    size_t pageCount() const;
    /// 1-based; none when out of range or locked.
    std::unique_ptr<PdfPage> page(size_t pageNumber) const;
    /// The trailer's /Info dictionary, or a null object.
    PdfObject infoDictionary() const;
    /// "1.7" and the like; empty while locked.
    std::string version() const;

    std::shared_ptr<PdfDocumentImpl> impl() const { return impl_; }

    /// Whether closing the document hands the memory its parse freed back
    /// to the system (the default). Not worth its cost when the process ends
    /// right after.
    void setReturnsMemoryOnClose(bool returns) { returnsMemoryOnClose_ = returns; }

private:
    explicit PdfDocument(std::shared_ptr<PdfDocumentImpl> impl);
    std::shared_ptr<PdfDocumentImpl> impl_;
    bool returnsMemoryOnClose_ = true;
};

class PdfPage {
public:
    PdfPage(std::shared_ptr<PdfDocumentImpl> doc, PdfObject dictionary, size_t pageNumber);

    size_t pageNumber() const { return pageNumber_; }
    PdfObject dictionary() const { return dictionary_; }
    /// The media box (inherited when absent here), normalised to a positive
    /// size; none when missing, malformed or empty.
    std::optional<Rect> mediaBox() const;
    /// /Rotate (inherited), as written in the file (not normalised).
    int rotation() const;
    /// The content streams' decoded bytes joined with line breaks; streams
    /// that cannot be decoded are left out. Raises PdfBudgetExceeded when
    /// they decode to more than `maxBytes` together.
    std::string contentData(uint64_t maxBytes = PdfObject::kMaxDecodedStreamBytes) const;
    std::shared_ptr<PdfDocumentImpl> documentImpl() const { return doc_; }

private:
    std::shared_ptr<PdfDocumentImpl> doc_;
    PdfObject dictionary_;
    size_t pageNumber_;
};

} // namespace platform
