#pragma once
// The document writer of the spreadsheet exporter. For one converted document
// it owns a work folder in the scratch area, makes the page model of each page
// and, when the page ends, has it written as worksheet part(s) with its shared
// strings (xlsx) or as a tab-separated page file (csv). At the end it writes
// the remaining package parts, zips them into the output file (xlsx), or moves
// the folder of page files to the output path (csv).
//
// The work folder's layout is the package's, but for a workbook it is only a
// staging area: the package is opened in the work folder when the document
// begins, each worksheet streams into it as its page ends, the shared strings
// are compressed as they come (QVDeflatedPart) and the remaining parts go
// straight in at the end; no part is written to a file of its own.
//
// Nothing ever stands half-written under the output path: the package is
// renamed into place on success (copied beside it first when the output is on
// another file system); the page files move as a whole folder. Failures of
// writes, folders, the zip or the move make packetExcelFile answer false (the
// conversion ends with an error) and leave the work folder in place; it is
// removed only after success. An unfinished package is removed with the writer.
//
// The workbook lists exactly the worksheet parts written; a document without
// any (no page requested, or every page failed) gets one empty sheet.

#include "excel/workbook/QVExcelPartOpener.h"
#include "excel/workbook/QVExcelPageFactory.h"
#include "excel/workbook/QVExcelSharedStrings.h"
#include "excel/workbook/QVPDFInfo.h"
#include "platform/Geometry.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace platform {
class PdfDocument;
}
class QVDeflatedPart;
class QVZipArchive;

class QVExcelWriter {
public:
    enum class Format { Xlsx, Csv };
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    /// "csv" is the tab-separated format; every other key is the workbook.
    static Format formatForDocType(const std::string& destDocType);

    /// Makes the work folder (and, for xlsx, opens the shared strings); raises
    /// std::runtime_error when the folder cannot be made and XMLWriterException
    /// when the shared-strings part cannot be created. The per-document state
    /// (QVExcelManager) must be set up for this document before.
    QVExcelWriter(const std::string& path, int64_t numOfPages, Format format,
                  std::shared_ptr<QVExcelPageFactory> pageFactory);
    ~QVExcelWriter();
    QVExcelWriter(const QVExcelWriter&) = delete;
    QVExcelWriter& operator=(const QVExcelWriter&) = delete;

    void begainWriteDocument();
    /// A new page model becomes the current page; the size is not used.
    void begainWritePage(platform::Size pageSize);
    /// Lays out and writes the current page. A page whose writing fails raises
    /// (the driver reports the page) and the document ends with an error.
    void endWritePage();
    /// Nothing to do: the parts are written by packetExcelFile.
    void endWriteDocument() {}
    /// Writes and zips the workbook, or moves the page files into place; false
    /// when the output could not be made (failureReason says why). Raises
    /// std::logic_error "QVPDFInfo is nil" without a document, and passes the
    /// XML writer's exceptions on; nothing is left under the output path then.
    bool packetExcelFile(const platform::PdfDocument* document);

    const std::string& savedFilePath() const { return savedFilePath_; }
    const std::string& savedWorkFolder() const { return savedWorkFolder_; }
    Format format() const { return format_; }
    const QVPDFInfo* pdfInfo() const { return pdfInfo_.get(); }
    /// The page being converted; the exporter adds its runs to it.
    const std::shared_ptr<QVExcelSheetPage>& currentPage() const { return currentPage_; }
    QVExcelSharedStrings* sharedStrings() const { return sharedStrings_.get(); }
    QVExcelSheetCollector* aiosWriter() const { return aiosWriter_.get(); }
    uint64_t currentPageIndex() const { return currentPageIndex_; }
    /// Worksheets announced when the document begins: the pages to convert, or 1 for one sheet.
    uint64_t totalSheetPages() const { return totalSheetPages_; }
    /// Where the worksheet writers send their parts: entries of the package (xlsx).
    QVExcelPartOpener partOpener();
    /// Worksheet parts written so far, relative to the work folder, in sheet order.
    const std::vector<std::string>& sheetParts() const { return sheetParts_; }
    /// Why the document failed; empty while nothing failed.
    const std::string& failureReason() const { return failureReason_; }

    /// The moment written into the core properties (and, when set, the date of
    /// every zip entry). Default: $SOURCE_DATE_EPOCH when set, else the wall clock.
    void setClock(Clock clock) { clock_ = std::move(clock); }

private:
    void removeEmptyScratchFolder() const;
    struct Relationship {
        std::string type;
        std::string target;
    };

    void fail(const std::string& reason);
    void recordSheetParts(const std::vector<std::string>& paths, const std::string& what);
    void writePackageParts(std::chrono::system_clock::time_point now, bool withTheme);
    /// An XML writer into the package entry `part`, its declaration written.
    std::unique_ptr<XMLFileWriter> openPart(const std::string& part) const;
    /// Checks that an add to the package succeeded.
    void added(bool ok, const std::string& part) const;
    void writeEmptySheetXML(const std::string& part) const;
    void writeRootRelationships() const;
    void writeContentTypes(bool withTheme) const;
    void writeAppProperties() const;
    void writeCoreProperties(std::chrono::system_clock::time_point now) const;
    void writeWorkbookRelationships(bool withTheme);
    void writeWorkbook() const;
    bool finishPackage();
    bool moveCSVFolder();

    std::string savedFilePath_;
    std::string savedWorkFolder_;
    Format format_;
    std::shared_ptr<QVExcelPageFactory> pageFactory_;
    std::vector<Relationship> excelRelationships_;
    std::vector<std::string> sheetIdsList_;
    std::vector<std::string> sheetParts_;
    uint64_t currentPageIndex_ = 0;
    uint64_t totalSheetPages_ = 0;
    bool allInOneSheet_ = false;
    bool addToRow_ = false;
    std::unique_ptr<QVPDFInfo> pdfInfo_;
    std::shared_ptr<QVExcelSheetPage> currentPage_;
    std::string archivePath_;
    std::unique_ptr<QVZipArchive> archive_;
    std::set<std::string> completedParts_; // entries the part opener finished
    std::unique_ptr<QVDeflatedPart> sharedStringsPart_;
    std::unique_ptr<QVExcelSharedStrings> sharedStrings_;
    std::unique_ptr<QVExcelSheetCollector> aiosWriter_;
    std::optional<Clock> clock_;
    std::string failureReason_;
};
