#pragma once
// Content-stream scanner: tokenises a content stream, keeps an operand stack
// and calls one callback per operator found in its operator table. Operators
// outside the table are skipped. The pops take the last operand first; each
// pop removes the top operand and answers false when there is none or it is of
// another type. Inline images (BI ... ID data EI) reach the "EI" callback as
// one stream operand whose dictionary holds the BI entries as written.

#include "platform/pdf/PdfObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

struct PdfDocumentImpl;
class PdfScanner;

using PdfOperatorCallback = void (*)(PdfScanner& scanner, void* info);

class PdfOperatorTable {
public:
    void setCallback(const std::string& op, PdfOperatorCallback callback);
    PdfOperatorCallback callbackFor(std::string_view op) const;
    size_t size() const { return callbacks_.size(); }

private:
    std::unordered_map<std::string, PdfOperatorCallback> callbacks_;
};

/// Decoded content bytes plus the document they belong to (inline images
/// become stream objects of that document).
class PdfContentStream {
public:
    PdfContentStream(std::shared_ptr<PdfDocumentImpl> doc, std::string data);
    /// A form XObject's or pattern's content: the stream's decoded data.
    static std::shared_ptr<PdfContentStream> fromStream(std::shared_ptr<PdfDocumentImpl> doc,
                                                        const PdfObject& stream);
    /// The same, none when the data decode to more than `maxBytes` (and
    /// `exceeded` is set then).
    static std::shared_ptr<PdfContentStream> fromStream(std::shared_ptr<PdfDocumentImpl> doc,
                                                        const PdfObject& stream, uint64_t maxBytes,
                                                        bool& exceeded);
    const std::string& data() const { return data_; }
    const std::shared_ptr<PdfDocumentImpl>& document() const { return doc_; }

private:
    std::shared_ptr<PdfDocumentImpl> doc_;
    std::string data_;
};

/// The operators one page may run, shared by the scans of the page and of
/// every form it invokes.
struct PdfOperationBudget {
    uint64_t limit = 0;
    uint64_t used = 0;
};

class PdfScanner {
public:
    PdfScanner(std::shared_ptr<PdfContentStream> stream, const PdfOperatorTable& table,
               void* info);
    ~PdfScanner();
    PdfScanner(const PdfScanner&) = delete;
    PdfScanner& operator=(const PdfScanner&) = delete;

    /// Runs the whole stream. False when the content was damaged (a bad token,
    /// an unbalanced array or dictionary, data ending inside an object); what
    /// came before the damage has been interpreted, and scanning goes on after
    /// a bad token where it can. Exceptions thrown by a callback pass through.
    bool scan();
    /// Counts every operator met (known or not, inline images included)
    /// against the budget; scan() raises PdfBudgetExceeded at the first one
    /// beyond its limit. Not owned; none counts nothing.
    void setOperationBudget(PdfOperationBudget* budget) { budget_ = budget; }

    bool popNumber(double& out);
    bool popInteger(long long& out);
    bool popName(std::string& out);
    bool popString(std::string& out);
    bool popBoolean(bool& out);
    bool popArray(PdfObject& out);
    bool popDictionary(PdfObject& out);
    bool popStream(PdfObject& out);
    /// Any operand, as an object.
    bool popObject(PdfObject& out);
    size_t operandCount() const;

    const std::shared_ptr<PdfContentStream>& contentStream() const { return stream_; }
    void* info() const { return info_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::shared_ptr<PdfContentStream> stream_;
    void* info_;
    PdfOperationBudget* budget_ = nullptr;
};

} // namespace platform
