#pragma once
// The document writer of a flowing-text output (QVHTMLPDFConverter,
// QVRTFPDFConverter, QVTextPDFConverter): begins the document, makes a page
// object per converted page and has it laid out and written, and puts the
// output file together at the end.
//
// Nothing ever stands half-written under the output path: the output is
// written under a temporary name in the output folder and renamed into place
// by packetDocxFile. A file that cannot be created or written raises
// QVFlowFileException, so the conversion ends with an error. When the writer
// is released (after the end or a cancel) its work folder is removed, and an
// output that was never completed is removed with it.

#include "docx/QVDocxProperties.h"
#include "flow/QVFlowPage.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class QVFlowFileWriter;

class QVFlowPDFConverter {
public:
    /// The writer of the family for the output path and announced page count.
    static std::unique_ptr<QVFlowPDFConverter>
    initWithPath(QVFlowFamily family, const std::string& path, int64_t numOfPages);
    virtual ~QVFlowPDFConverter();
    QVFlowPDFConverter(const QVFlowPDFConverter&) = delete;
    QVFlowPDFConverter& operator=(const QVFlowPDFConverter&) = delete;

    /// Creates the files and resets the process-wide state of the outputs.
    virtual void begainWriteDocument() = 0;
    /// Draw order 0, format version 2006, stacking counters at their start,
    /// page count 0.
    void setBegainDocxOptions();
    void writeDocxHeaderWithPageNumber(uint64_t /*pageNumber*/) {}
    void writeDocxFooterWithPageNumber(uint64_t /*pageNumber*/) {}
    /// Replaces the current page with a new one of the given size; the page
    /// is the last once as many pages as announced have begun.
    void begainWritePage(platform::Size pageSize);
    /// Lays the current page out and writes it.
    void endWritePage();
    void endWriteDocument() {}
    /// Completes the output file and moves it under its name.
    virtual void packetDocxFile() = 0;

    QVFlowFamily family() const { return family_; }
    const std::string& savedFilePath() const { return savedFilePath_; }
    const std::string& savedWorkFolder() const { return savedWorkFolder_; }
    int64_t docxNumOfPages() const { return docxNumOfPages_; }
    const QVDocx_DocPr& docxProperty() const { return docxProperty_; }
    QVFlowPage* currentPage() const { return currentPage_.get(); }
    int64_t currentDocxPageIndex() const { return currentDocxPageIndex_; }

    /// The names written into the generator comment (the application's own by default).
    void setGenerator(std::string displayName, std::string version, std::string company);

protected:
    QVFlowPDFConverter(QVFlowFamily family, const std::string& path, int64_t numOfPages,
                       bool withWorkFolder);
    /// The writer the pages write into.
    virtual QVFlowFileWriter* pageWriter() = 0;
    /// Reserves the temporary output name beside the output; raises when it cannot.
    const std::string& reserveTemporaryOutput();
    /// Moves the completed temporary output under the output name; raises on failure.
    void commitOutput();
    /// "Powered by <name> <version> <company>" (the RTF form puts a "v" before the version).
    std::string displayName_;
    std::string version_;
    std::string company_;

private:
    QVFlowFamily family_;
    std::string savedFilePath_;
    std::string savedWorkFolder_;
    std::string scratchFolder_;
    std::optional<std::string> temporaryOutput_;
    int64_t docxNumOfPages_ = 0;
    QVDocx_DocPr docxProperty_;
    std::unique_ptr<QVFlowPage> currentPage_;
    int64_t currentDocxPageIndex_ = 0;
};
