#include "converter/QVPDFConverter.h"

#include "pdf/cmap/QVPDFMapTool.h"

#include "platform/AppInfo.h"
#include "platform/Dispatch.h"
#include "platform/Files.h"
#include "platform/pdf/PdfBudgetExceeded.h"
#include "platform/pdf/PdfDocument.h"

#include <cstdlib>
#include <cxxabi.h>
#include <exception>
#include <typeinfo>

namespace {

// Messages of the error table, as the user sees them.
constexpr const char* kUnknownError = "Unknow error while converting.";
constexpr const char* kOutOfRange = "Out of PDF Page Range(%zd)";
constexpr const char* kCantRead = "Can't read the PDF Page.(%zd)";
constexpr const char* kCantConvert = "Can't convert the PDF Page.(%zd)";
constexpr const char* kMissingSource = "Source File isn't exist.";
constexpr const char* kCantLoad = "Can't load the PDF Document.";
constexpr const char* kCancelled = "Conversion has been canceled.";
constexpr const char* kCantSave = "Can't save the document.";
constexpr const char* kNoPageConverted = "Can't save the document: no page could be converted.";
constexpr const char* kUnsupportedFormat = "Unsupported output format \"%@\".";
constexpr const char* kNoTextOnPage = "page %zd has no text; it may be a scanned image";
constexpr const char* kTextLeftOut = "page %zd: ";

std::string withPage(const char* format, int64_t page) {
    std::string s = format;
    size_t at = s.find("%zd");
    if (at != std::string::npos)
        s.replace(at, 3, std::to_string(page));
    return s;
}

QVException exceptionFrom(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& ex) {
        // The exception's own class name (XMLWriterException and the like).
        std::string name = typeid(ex).name();
        int status = 0;
        std::unique_ptr<char, void (*)(void*)> demangled(
            abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status), std::free);
        if (status == 0 && demangled)
            name = demangled.get();
        return {name, ex.what()};
    } catch (...) {
        return {"unknown", "an unknown exception"};
    }
}

} // namespace

QVPDFConverter::QVPDFConverter() : alive_(std::make_shared<QVPDFConverter*>(this)) {}

QVPDFConverter::~QVPDFConverter() {
    isShouldCancel_ = true;
    alive_.reset();
    queue_.reset(); // joins the worker
}

QVError QVPDFConverter::makeError(const std::string& domain, long code, const std::string& reason) {
    return QVError{domain, code, reason};
}

std::vector<std::string> QVPDFConverter::supportDocTypeKeys() {
    return {"docx", "pptx", "xlsx", "csv", "txt", "rtf", "html"};
}

std::map<std::string, std::string> QVPDFConverter::supportDocTypes() {
    return {{"docx", "Microsoft Word(.docx)"},  {"pptx", "Microsoft PowerPoint(.pptx)"},
            {"xlsx", "Microsoft Excel(.xlsx)"}, {"csv", "Comma-Separated Values(.csv)"},
            {"txt", "UTF-8 Plain Text(.txt)"},  {"rtf", "Rich Text File(.rtf)"},
            {"html", "Web Source File(.html)"}};
}

std::optional<std::string> QVPDFConverter::supportDocTypeNameForKey(const std::string& key) {
    auto table = supportDocTypes();
    auto it = table.find(key);
    if (it == table.end())
        return std::nullopt;
    return it->second;
}

std::unique_ptr<platform::PdfDocument>
QVPDFConverter::initPDFDocumentAtPath(const std::string& path,
                                      const std::optional<std::string>& password) {
    if (path.empty())
        return nullptr;
    auto doc = platform::PdfDocument::open(path);
    if (!doc)
        return nullptr;
    if (password && !password->empty()) {
        if (!doc->unlockWithPassword(*password))
            return nullptr;
    }
    // A document that is still locked cannot be read: it is not a success
    // with no pages.
    if (!doc->isUnlocked())
        return nullptr;
    return doc;
}

bool QVPDFConverter::convertPDFAtPath(const std::string& pdfPath,
                                      const std::optional<std::string>& pdfPassword,
                                      const std::vector<int64_t>& pdfPageIndexs,
                                      const std::string& destDocType,
                                      const std::string& destDocPath,
                                      const QVPDFOptions& moreOptions) {
    if (isConverting_.load())
        return false;
    pdfPath_ = pdfPath;
    pdfPassword_ = pdfPassword;
    pdfPageIndexs_ = pdfPageIndexs;
    destDocType_ = destDocType;
    destDocPath_ = destDocPath;
    moreOptions_ = moreOptions;
    isShouldCancel_ = false;
    isConverting_ = true;
    QVPDFMapTool::reportMissingData();
    if (delegate_)
        delegate_->didStartConversion(*this, std::nullopt);

    // The worker gets its own copy of the request, so the fields may change
    // under it without harm.
    Request request{pdfPath,
                    pdfPassword,
                    pdfPageIndexs,
                    destDocType,
                    destDocPath,
                    moreOptions.copy(),
                    platform::bundleIdentifier(),
                    returnsMemory_};
    queue_.reset(); // the previous run's worker has finished; join it
    queue_ = std::make_unique<platform::SerialQueue>("_startConvertQueue");
    queue_->async([this, request] { worker(request); });
    return true;
}

void QVPDFConverter::stopConvertsionIfNeed() {
    isShouldCancel_ = true;
}

void QVPDFConverter::post(std::function<void(QVPDFConverter&)> fn) {
    std::weak_ptr<QVPDFConverter*> weak = alive_;
    platform::MainQueue::shared().async([weak, fn = std::move(fn)] {
        if (auto self = weak.lock())
            fn(**self);
    });
}

void QVPDFConverter::worker(const Request& request) {
    std::optional<QVError> error;
    std::unique_ptr<platform::PdfDocument> document;
    try {
        if (!platform::pathExists(request.pdfPath) || platform::isDirectory(request.pdfPath)) {
            error = makeError(request.domain, 404, kMissingSource);
        } else {
            document = initPDFDocumentAtPath(request.pdfPath, request.pdfPassword);
            if (!document)
                error = makeError(request.domain, 405, kCantLoad);
            else
                document->setReturnsMemoryOnClose(request.returnsMemory);
        }
        if (!error)
            error = startConvertQueue(*document, request);
    } catch (...) {
        QVException ex = exceptionFrom(std::current_exception());
        post([ex](QVPDFConverter& c) {
            if (c.delegate_)
                c.delegate_->catchException(c, ex);
        });
        error = makeError(request.domain, 400, kUnknownError);
    }
    if (isShouldCancel_.load())
        error = makeError(request.domain, 406, kCancelled);
    // The document is released on the worker, before the end report, so the
    // next request never shares it.
    document.reset();
    post([error](QVPDFConverter& c) {
        c.isConverting_ = false;
        if (c.delegate_)
            c.delegate_->didEndConversion(c, error);
    });
}

std::optional<QVError> QVPDFConverter::startConvertQueue(platform::PdfDocument& document,
                                                         const Request& request) {
    const std::string& domain = request.domain;
    const int64_t pageCount = static_cast<int64_t>(document.pageCount());

    std::unique_ptr<QVPDFExporter> exporter =
        exporterFactory_ ? exporterFactory_(request.destDocType, request.options)
                         : exporterForDocType(request.destDocType, request.options);
    if (!exporter) {
        std::string message = kUnsupportedFormat;
        message.replace(message.find("%@"), 2, request.destDocType);
        return makeError(domain, 400, message);
    }

    auto reportException = [this](std::exception_ptr e) {
        QVException ex = exceptionFrom(e);
        post([ex](QVPDFConverter& c) {
            if (c.delegate_)
                c.delegate_->catchException(c, ex);
        });
    };
    auto reportFailure = [this](int64_t page, const QVError& err) {
        post([page, err](QVPDFConverter& c) {
            if (c.delegate_)
                c.delegate_->convertPDFPageIndexFaildWithError(c, page, err);
        });
    };

    exporter->setNumberOfPagesToConvert(static_cast<int64_t>(request.pages.size()));
    try {
        exporter->begainConvertPDF(request.destDocPath);
    } catch (...) {
        reportException(std::current_exception());
        exporter->cleanConvertPDF();
        return makeError(domain, 400, kCantSave);
    }

    const QVError defaultError = makeError(domain, 400, kUnknownError);
    size_t converted = 0;
    for (size_t i = 0; i < request.pages.size(); ++i) {
        if (isShouldCancel_.load())
            break;
        const int64_t p = request.pages[i];
        if (p <= 0 || p > pageCount) {
            reportFailure(p, makeError(domain, 401, withPage(kOutOfRange, p)));
            continue;
        }
        std::unique_ptr<platform::PdfPage> page = document.page(static_cast<size_t>(p));
        if (!page) {
            reportFailure(p, makeError(domain, 401, withPage(kCantRead, p)));
            continue;
        }
        bool ok = false;
        try {
            ok = exporter->convertPDFPage(page.get());
        } catch (const platform::PdfBudgetExceeded& e) {
            // A page beyond the limits of sound pages fails with the limit it
            // passed; it is no fault of the conversion.
            reportFailure(p, makeError(domain, 401, e.what()));
            continue;
        } catch (...) {
            reportException(std::current_exception());
            reportFailure(p, defaultError);
            continue;
        }
        if (!ok) {
            reportFailure(p, makeError(domain, 401, withPage(kCantConvert, p)));
            continue;
        }
        // A page that reads converts, also when it comes out empty; the
        // user is told why it is empty.
        std::optional<std::string> warning;
        if (!exporter->pageShowedText())
            warning = withPage(kNoTextOnPage, p);
        else if (auto reason = exporter->droppedPageTextReason())
            warning = withPage(kTextLeftOut, p) + *reason;
        if (warning)
            post([p, message = *warning](QVPDFConverter& c) {
                if (c.delegate_)
                    c.delegate_->convertPDFPageIndexWarning(c, p, message);
            });
        ++converted;
        const size_t position = i + 1, done = converted;
        post([p, position, done](QVPDFConverter& c) {
            if (c.delegate_)
                c.delegate_->convertPDFPageIndex(c, p, position, done);
        });
    }

    if (isShouldCancel_.load()) {
        exporter->cleanConvertPDF();
        return std::nullopt; // the worker turns a cancel into 406
    }
    // Nothing to save: writing an empty document would pass a failure off as output.
    if (!request.pages.empty() && converted == 0) {
        exporter->cleanConvertPDF();
        return makeError(domain, 400, kNoPageConverted);
    }
    post([](QVPDFConverter& c) {
        if (c.delegate_)
            c.delegate_->willSaveDoc(c);
    });
    bool saved = false;
    try {
        saved = exporter->endConvertPDF(document);
    } catch (...) {
        reportException(std::current_exception());
    }
    if (!saved)
        return makeError(domain, 400, kCantSave);
    return std::nullopt;
}
