#pragma once
// Runs one batch at a time: the items of the source list, snapshot at the
// start, converted one after another by the one converter it owns. Every
// converter report goes on to the delegate tagged with its item; the next
// item starts only on the previous one's end report, so two documents never
// convert at once. Main thread only.

#include "app/QVPDFConverterManagerDelegate.h"
#include "converter/QVPDFConverterDelegate.h"

#include <deque>
#include <memory>
#include <vector>

class QVPDFConverter;
class QVSourceFileItem;

class QVPDFConverterManager : public QVPDFConverterDelegate {
public:
    using ItemList = std::vector<std::shared_ptr<QVSourceFileItem>>;

    QVPDFConverterManager();
    /// With a converter of the caller's (a scripted one in tests).
    explicit QVPDFConverterManager(std::unique_ptr<QVPDFConverter> converter);
    ~QVPDFConverterManager() override;
    QVPDFConverterManager(const QVPDFConverterManager&) = delete;
    QVPDFConverterManager& operator=(const QVPDFConverterManager&) = delete;

    /// Starts a run over ma_sourceItems (ignored while one is running).
    void startConversion();
    /// No further item starts; the one in progress ends with a cancel error.
    void stopConversion();

    QVPDFConverterManagerDelegate* delegate() const { return delegate_; }
    void setDelegate(QVPDFConverterManagerDelegate* d) { delegate_ = d; }
    QVPDFConverter& pdfConverter() { return *pdfConverter_; }
    const std::shared_ptr<QVSourceFileItem>& currentConvertItem() const { return currentConvertItem_; }
    const ItemList& ma_sourceItems() const { return ma_sourceItems_; }
    void setMa_sourceItems(ItemList items) { ma_sourceItems_ = std::move(items); }
    const std::deque<std::shared_ptr<QVSourceFileItem>>& ma_readyToConvertItems() const {
        return ma_readyToConvertItems_;
    }
    bool isConverting() const { return isConverting_; }
    /// The process ends when the run does (the command line): the last
    /// item's document keeps its memory instead of handing it back to the
    /// system just before the exit.
    void setEndsWithProcess(bool ends) { endsWithProcess_ = ends; }

    // The converter's reports.
    void didStartConversion(QVPDFConverter&, const std::optional<QVError>&) override;
    void didEndConversion(QVPDFConverter&, const std::optional<QVError>&) override;
    void convertPDFPageIndex(QVPDFConverter&, int64_t pageNumber, size_t writeWordPageIndex,
                             size_t finshedWordPageCount) override;
    void convertPDFPageIndexFaildWithError(QVPDFConverter&, int64_t pageNumber,
                                           const QVError&) override;
    void convertPDFPageIndexWarning(QVPDFConverter&, int64_t pageNumber,
                                    const std::string& message) override;
    void willSaveDoc(QVPDFConverter&) override;
    void catchException(QVPDFConverter&, const QVException&) override;

private:
    /// Hands the item to the converter; false when it could not be handed
    /// over (it has then been reported as started and ended with the error).
    bool _startConvertPDFItem(const std::shared_ptr<QVSourceFileItem>& item);
    void _continueConversion();
    void refuseItem(const std::shared_ptr<QVSourceFileItem>& item, const QVError& error);

    QVPDFConverterManagerDelegate* delegate_ = nullptr;
    std::unique_ptr<QVPDFConverter> pdfConverter_;
    std::shared_ptr<QVSourceFileItem> currentConvertItem_;
    ItemList ma_sourceItems_;
    std::deque<std::shared_ptr<QVSourceFileItem>> ma_readyToConvertItems_;
    bool isConverting_ = false;
    bool endsWithProcess_ = false;
};
