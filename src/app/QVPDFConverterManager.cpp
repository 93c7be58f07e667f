#include "app/QVPDFConverterManager.h"

#include "app/QVCPDFUtilities.h"
#include "app/QVSandBoxUtilities.h"
#include "app/QVSourceFileItem.h"
#include "app/QVUserDefaults.h"
#include "converter/QVPDFConverter.h"
#include "platform/AppInfo.h"
#include "platform/pdf/PdfDocument.h"

namespace {
// Codes of the driver's error table: 400 for the document, 401 for a page.
constexpr long kDocumentError = 400;
} // namespace

QVPDFConverterManager::QVPDFConverterManager()
    : QVPDFConverterManager(std::make_unique<QVPDFConverter>()) {}

QVPDFConverterManager::QVPDFConverterManager(std::unique_ptr<QVPDFConverter> converter)
    : pdfConverter_(std::move(converter)) {
    pdfConverter_->setDelegate(this);
}

QVPDFConverterManager::~QVPDFConverterManager() { pdfConverter_->setDelegate(nullptr); }

void QVPDFConverterManager::startConversion() {
    if (isConverting_)
        return;
    // The snapshot is the run: items added to or removed from the list
    // afterwards do not change it.
    ma_readyToConvertItems_.assign(ma_sourceItems_.begin(), ma_sourceItems_.end());
    if (delegate_)
        delegate_->managerWillStartConversion(*this);
    isConverting_ = true;
    _continueConversion();
}

void QVPDFConverterManager::stopConversion() {
    ma_readyToConvertItems_.clear();
    pdfConverter_->stopConvertsionIfNeed();
}

void QVPDFConverterManager::_continueConversion() {
    // A loop, not a recursion: a long run of items that cannot be handed over
    // does not nest calls.
    while (isConverting_ && !ma_readyToConvertItems_.empty()) {
        std::shared_ptr<QVSourceFileItem> item = ma_readyToConvertItems_.front();
        ma_readyToConvertItems_.pop_front();
        if (_startConvertPDFItem(item))
            return;
    }
    isConverting_ = false;
    if (delegate_)
        delegate_->managerDidEndConversion(*this);
}

void QVPDFConverterManager::refuseItem(const std::shared_ptr<QVSourceFileItem>& item,
                                       const QVError& error) {
    item->setConversionError(error);
    if (delegate_) {
        delegate_->didStartConversion(*this, item, error);
        delegate_->didEndConversion(*this, item, error);
    }
}

bool QVPDFConverterManager::_startConvertPDFItem(const std::shared_ptr<QVSourceFileItem>& item) {
    currentConvertItem_ = item;
    const std::string domain = platform::bundleIdentifier();
    std::vector<int64_t> pages = item->outputPDFPageIndexs();
    const int64_t pageCount = item->sourcePages();
    // A document that does not open has no pages; the converter says why.
    // One that opens without a readable page, or whose range selects none of
    // its pages, is refused before any output is made.
    if (pageCount == 0) {
        auto doc =
            QVCPDFUtilities::initPDFDocumentAtPath(item->sourcePath(), item->sourcePassword());
        if (doc && doc->isUnlocked()) {
            refuseItem(item, QVError{domain, kDocumentError, "The document has no readable page."});
            return false;
        }
    }
    if (pages.empty() && pageCount > 0) {
        const std::string range =
            item->settings_pageRangeType() == 1 ? item->settings_customPageRange() : "All Pages";
        refuseItem(item, QVError{domain, kDocumentError,
                                 "The page range \"" + range + "\" selects no page of the document (" +
                                     std::to_string(pageCount) +
                                     (pageCount == 1 ? " page)." : " pages).")});
        return false;
    }
    std::optional<std::string> output = item->newOutputPath();
    if (!output || output->empty()) {
        // The stored path as written, so a folder that went away is named.
        std::optional<std::string> folder =
            item->outputFolder() ? item->outputFolder()
                                 : QVUserDefaults::standardUserDefaults().stringForKey(
                                       QVSandBoxUtilities::kDefaultKey);
        std::string reason;
        if (!folder || folder->empty()) {
            reason = "No output folder has been chosen.";
        } else if (auto problem = QVSandBoxUtilities::problemWithFolder(*folder)) {
            reason = "The output folder " + *folder + " " + *problem + ".";
        } else {
            reason = "Can't create the output file in " + *folder + ".";
        }
        refuseItem(item, QVError{domain, kDocumentError, reason});
        return false;
    }
    pdfConverter_->setReturnsMemoryAfterConversion(!endsWithProcess_ ||
                                                   !ma_readyToConvertItems_.empty());
    // The converter gets the options as they are now, by value: a settings
    // change during the run cannot reach the worker.
    if (!pdfConverter_->convertPDFAtPath(item->sourcePath(), item->sourcePassword(), pages,
                                         item->outputFileFormat(), *output,
                                         item->convertOpts().copy())) {
        item->releaseOutputReservation();
        refuseItem(item, QVError{domain, kDocumentError, "Another conversion is still running."});
        return false;
    }
    return true;
}

void QVPDFConverterManager::didStartConversion(QVPDFConverter&, const std::optional<QVError>& error) {
    if (delegate_ && currentConvertItem_)
        delegate_->didStartConversion(*this, currentConvertItem_, error);
}

void QVPDFConverterManager::didEndConversion(QVPDFConverter&, const std::optional<QVError>& error) {
    if (currentConvertItem_) {
        currentConvertItem_->setConversionError(error);
        // A failed or cancelled run leaves nothing under the reserved name.
        if (error)
            currentConvertItem_->releaseOutputReservation();
        if (delegate_)
            delegate_->didEndConversion(*this, currentConvertItem_, error);
    }
    _continueConversion();
}

void QVPDFConverterManager::convertPDFPageIndex(QVPDFConverter&, int64_t pageNumber,
                                                size_t writeWordPageIndex,
                                                size_t finshedWordPageCount) {
    if (delegate_ && currentConvertItem_)
        delegate_->didConversionConvertPDFPageIndex(*this, currentConvertItem_, pageNumber,
                                                    writeWordPageIndex, finshedWordPageCount);
}

void QVPDFConverterManager::convertPDFPageIndexFaildWithError(QVPDFConverter&, int64_t pageNumber,
                                                              const QVError& error) {
    if (delegate_ && currentConvertItem_)
        delegate_->didConversionConvertPDFPageIndexFaildWithError(*this, currentConvertItem_,
                                                                  pageNumber, error);
}

void QVPDFConverterManager::convertPDFPageIndexWarning(QVPDFConverter&, int64_t pageNumber,
                                                       const std::string& message) {
    if (delegate_ && currentConvertItem_)
        delegate_->didConversionConvertPDFPageIndexWarning(*this, currentConvertItem_, pageNumber,
                                                           message);
}

void QVPDFConverterManager::willSaveDoc(QVPDFConverter&) {
    if (delegate_ && currentConvertItem_)
        delegate_->didConversionWillSaveDoc(*this, currentConvertItem_);
}

void QVPDFConverterManager::catchException(QVPDFConverter&, const QVException& exception) {
    if (delegate_ && currentConvertItem_)
        delegate_->didConversionCatchException(*this, currentConvertItem_, exception);
}
