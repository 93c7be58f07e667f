#pragma once
// The contract every output format implements. The driver calls, in order:
// setNumberOfPagesToConvert, begainConvertPDF, convertPDFPage once per
// requested page, then endConvertPDF (normal end) or cleanConvertPDF (cancel).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {
class PdfDocument;
class PdfPage;
} // namespace platform

class QVPDFExporter {
public:
    QVPDFExporter() = default;
    virtual ~QVPDFExporter() = default;
    QVPDFExporter(const QVPDFExporter&) = delete;
    QVPDFExporter& operator=(const QVPDFExporter&) = delete;

    /// A new plain base exporter, not a copy of the receiver.
    virtual std::unique_ptr<QVPDFExporter> copyWithZone() const;

    virtual void begainConvertPDF(const std::string& outputPath);
    /// True when the page was converted; the base answers false.
    virtual bool convertPDFPage(const platform::PdfPage* page);
    /// Finishes and writes the output; false when it could not be written.
    virtual bool endConvertPDF(platform::PdfDocument& document);
    virtual void cleanConvertPDF();
    /// After a page converted: why the page came out without the text it
    /// had, when the format left all of it out; none otherwise.
    virtual std::optional<std::string> droppedPageTextReason() const { return std::nullopt; }
    /// After a page converted: whether it showed any text at all (a scanned
    /// image shows none). The base answers true: it knows nothing of pages.
    virtual bool pageShowedText() const { return true; }

    int64_t numberOfPagesToConvert() const { return numberOfPagesToConvert_; }
    void setNumberOfPagesToConvert(int64_t n) { numberOfPagesToConvert_ = n; }

private:
    int64_t numberOfPagesToConvert_ = 0;
};
