#include "flow/QVFlowPDFConverter.h"

#include "docx/QVDocxDrawCounters.h"
#include "flow/QVFlowFileWriter.h"
#include "flow/html/QVHTMLPDFConverter.h"
#include "flow/rtf/QVRTFPDFConverter.h"
#include "flow/text/QVTextPDFConverter.h"
#include "pdf/QVPDFPathUtilities.h"
#include "platform/AppInfo.h"
#include "platform/Files.h"

std::unique_ptr<QVFlowPDFConverter>
QVFlowPDFConverter::initWithPath(QVFlowFamily family, const std::string& path, int64_t numOfPages) {
    switch (family) {
    case QVFlowFamily::HTML:
        return std::make_unique<QVHTMLPDFConverter>(path, numOfPages);
    case QVFlowFamily::RTF:
        return std::make_unique<QVRTFPDFConverter>(path, numOfPages);
    case QVFlowFamily::Text:
        break;
    }
    return std::make_unique<QVTextPDFConverter>(path, numOfPages);
}

QVFlowPDFConverter::QVFlowPDFConverter(QVFlowFamily family, const std::string& path,
                                       int64_t numOfPages, bool withWorkFolder)
    : displayName_(platform::applicationDisplayName()), version_(platform::applicationVersion()),
      company_("Corvala"), family_(family), savedFilePath_(path), docxNumOfPages_(numOfPages) {
    docxProperty_.view = "page";
    docxProperty_.zoom = 100.0f;
    if (!withWorkFolder)
        return;
    // A scratch folder of our own holds the work folder, named after the
    // output file; the whole scratch folder goes when the writer does.
    scratchFolder_ = QVPDFPathUtilities::tempFolder();
    if (QVPDFPathUtilities::createFolderIfNeed(scratchFolder_)) {
        const std::string candidate =
            platform::appendPathComponent(scratchFolder_, platform::lastPathComponent(path));
        savedWorkFolder_ = QVPDFPathUtilities::getNewFolderPathby(candidate).value_or(candidate);
    }
}

QVFlowPDFConverter::~QVFlowPDFConverter() {
    // The page refers to a file writer of the subclass, which is gone by now;
    // it writes nothing more.
    currentPage_.reset();
    if (temporaryOutput_)
        platform::removeAll(*temporaryOutput_);
    if (!scratchFolder_.empty())
        platform::removeAll(scratchFolder_);
}

void QVFlowPDFConverter::setGenerator(std::string displayName, std::string version,
                                      std::string company) {
    displayName_ = std::move(displayName);
    version_ = std::move(version);
    company_ = std::move(company);
}

void QVFlowPDFConverter::setBegainDocxOptions() {
    QVDocx_ResetCountersForDocument();
    currentDocxPageIndex_ = 0;
    // A page of an earlier document would write into a writer that is gone.
    currentPage_.reset();
}

void QVFlowPDFConverter::begainWritePage(platform::Size pageSize) {
    QVDocx_ResetCountersForPage();
    currentPage_.reset();
    ++currentDocxPageIndex_;
    const bool last = currentDocxPageIndex_ >= docxNumOfPages_;
    currentPage_ = QVFlowPage::initWithXMLWriter(family_, pageWriter(), pageSize, last);
    currentPage_->begainWritePage(currentDocxPageIndex_);
}

void QVFlowPDFConverter::endWritePage() {
    if (currentPage_)
        currentPage_->endWritePage(currentDocxPageIndex_);
}

const std::string& QVFlowPDFConverter::reserveTemporaryOutput() {
    if (temporaryOutput_) {
        platform::removeAll(*temporaryOutput_);
        temporaryOutput_.reset();
    }
    const std::string folder = platform::deletingLastPathComponent(savedFilePath_);
    const std::string hidden = platform::appendPathComponent(
        folder.empty() ? "." : folder, "." + platform::lastPathComponent(savedFilePath_) + ".part");
    temporaryOutput_ = QVPDFPathUtilities::getNewPathby(hidden);
    if (!temporaryOutput_)
        throw QVFlowFileException("Can't create the file " + savedFilePath_);
    return *temporaryOutput_;
}

void QVFlowPDFConverter::commitOutput() {
    if (!temporaryOutput_)
        throw QVFlowFileException("Can't write the file " + savedFilePath_);
    if (!platform::renamePath(*temporaryOutput_, savedFilePath_))
        throw QVFlowFileException("Can't write the file " + savedFilePath_);
    temporaryOutput_.reset();
}
