#pragma once
// Converts one PDF into one output file on a serial worker queue of its own,
// reporting every step to its delegate on the main queue. One request at a
// time: a request made while converting is refused.

#include "converter/QVPDFConverterDelegate.h"
#include "converter/QVPDFExporter.h"
#include "converter/QVPDFOptions.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class PdfDocument;
class SerialQueue;
} // namespace platform

class QVPDFConverter {
public:
    /// Makes the exporter for a format key (none for a key it does not serve).
    using ExporterFactory = std::function<std::unique_ptr<QVPDFExporter>(
        const std::string& destDocType, const QVPDFOptions& options)>;

    QVPDFConverter();
    /// Cancels a running conversion and waits for its worker to stop; reports
    /// still queued for this converter are dropped.
    virtual ~QVPDFConverter();
    QVPDFConverter(const QVPDFConverter&) = delete;
    QVPDFConverter& operator=(const QVPDFConverter&) = delete;

    // The two operations a batch runner calls are virtual so a scripted
    // converter can stand in for this one in tests of the runner.

    /// Starts a conversion and returns at once (true), or refuses it (false)
    /// while another one runs. The outcome arrives through the reports.
    virtual bool convertPDFAtPath(const std::string& pdfPath, const std::optional<std::string>& pdfPassword,
                          const std::vector<int64_t>& pdfPageIndexs,
                          const std::string& destDocType, const std::string& destDocPath,
                          const QVPDFOptions& moreOptions);
    /// Sets the cancel flag: the page being converted finishes, no further page starts.
    virtual void stopConvertsionIfNeed();
    bool isConverting() const { return isConverting_.load(); }

    QVPDFConverterDelegate* delegate() const { return delegate_; }
    void setDelegate(QVPDFConverterDelegate* d) { delegate_ = d; }

    /// Whether the document's memory goes back to the system when a
    /// conversion ends (the default); the command line turns it off for its
    /// last document, after which the process ends. Read when a conversion starts.
    void setReturnsMemoryAfterConversion(bool returns) { returnsMemory_ = returns; }

    const std::string& pdfPath() const { return pdfPath_; }
    const std::optional<std::string>& pdfPassword() const { return pdfPassword_; }
    const std::vector<int64_t>& pdfPageIndexs() const { return pdfPageIndexs_; }
    const std::string& destDocType() const { return destDocType_; }
    const std::string& destDocPath() const { return destDocPath_; }
    const QVPDFOptions& moreOptions() const { return moreOptions_; }

    /// Opens and, with a non-empty password, unlocks a document; none when it
    /// cannot be opened, the password does not unlock it, or it is locked and
    /// no password was given.
    static std::unique_ptr<platform::PdfDocument>
    initPDFDocumentAtPath(const std::string& path, const std::optional<std::string>& password);

    /// Format key -> display name.
    static std::map<std::string, std::string> supportDocTypes();
    /// The keys in the table's order.
    static std::vector<std::string> supportDocTypeKeys();
    static std::optional<std::string> supportDocTypeNameForKey(const std::string& key);
    /// The exporter the format table makes for a key; none until the format exists.
    /// Whether this build writes the format (the table lists every format the
    /// product knows; the command refuses the others before any work).
    static bool hasExporterForDocType(const std::string& key);
    static std::unique_ptr<QVPDFExporter> exporterForDocType(const std::string& key,
                                                             const QVPDFOptions& options);

    /// Replaces the format table's factory for this converter (tests, tools).
    void setExporterFactory(ExporterFactory f) { exporterFactory_ = std::move(f); }

    static QVError makeError(const std::string& domain, long code, const std::string& reason);

private:
    struct Request {
        std::string pdfPath;
        std::optional<std::string> pdfPassword;
        std::vector<int64_t> pages;
        std::string destDocType;
        std::string destDocPath;
        QVPDFOptions options;
        std::string domain;
        bool returnsMemory = true;
    };

    void worker(const Request& request);
    /// Runs the pages of an opened document; returns the run's error, if any.
    std::optional<QVError> startConvertQueue(platform::PdfDocument& document,
                                             const Request& request);
    /// Posts `fn` to the main queue; it is dropped if this converter is gone.
    void post(std::function<void(QVPDFConverter&)> fn);

    QVPDFConverterDelegate* delegate_ = nullptr;
    std::string pdfPath_;
    std::optional<std::string> pdfPassword_;
    std::vector<int64_t> pdfPageIndexs_;
    std::string destDocType_;
    std::string destDocPath_;
    QVPDFOptions moreOptions_;
    std::atomic<bool> isConverting_{false};
    std::atomic<bool> isShouldCancel_{false};
    bool returnsMemory_ = true;
    ExporterFactory exporterFactory_;
    std::shared_ptr<QVPDFConverter*> alive_;
    std::unique_ptr<platform::SerialQueue> queue_;
};
