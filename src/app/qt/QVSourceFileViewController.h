#pragma once
// The source list of the main window: shows, selects, removes, reorders and
// reveals the listed PDFs and each one's conversion progress; and the check
// every added file passes first (not a PDF: the unsupported-file sheet;
// locked or printing forbidden: the password sheet). Batches of files come
// from the open dialog, drops, the command line / a second launch and the
// Support menu; a batch that comes while another is being checked waits its
// turn, first in first out. Main thread only.

#include "QVSourceTableCellView.h"

#include <QStringList>
#include <QWidget>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QDialog;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QVFileChooser;
class QVPDFConverterManager;
class QVSourceFileItem;
class QVSourceFileListModel;
class QVSourceFileViewController;

class QVSourceFileViewControllerDelegate {
public:
    virtual ~QVSourceFileViewControllerDelegate() = default;
    virtual void QVSourceFileViewControllerDidUpdateSelection(QVSourceFileViewController&) {}
    /// The number of listed files changed (the window title shows it).
    virtual void QVSourceFileViewControllerDidUpdateCount(QVSourceFileViewController&) {}
};

class QVSourceFileViewController : public QWidget, public QVSourceTableCellViewDelegate {
    Q_OBJECT
public:
    using Item = std::shared_ptr<QVSourceFileItem>;

    explicit QVSourceFileViewController(QWidget* parent = nullptr);
    ~QVSourceFileViewController() override;

    QVSourceFileViewControllerDelegate* delegate() const { return delegate_; }
    void setDelegate(QVSourceFileViewControllerDelegate* d) { delegate_ = d; }
    /// The manager whose run the progress display follows.
    void setConverterManager(const QVPDFConverterManager* m) { converterManager_ = m; }
    /// The open dialog used by sourceFileBrowse (a stand-in in tests).
    void setFileChooser(std::shared_ptr<QVFileChooser> chooser);

    const std::vector<Item>& ma_sourceItems() const;
    /// The last selected item; none when nothing is selected.
    Item selectedItem() const;
    /// The selected items in row order.
    std::vector<Item> selectedItems() const;
    Item clickedItem() const { return clickedItem_; }

    QListView* tv_sourceFileList() const { return tv_sourceFileList_; }
    QVSourceFileListModel* model() const { return model_; }
    QDialog* win_unsupported() const { return win_unsupported_; }
    QDialog* win_inputPassword() const { return win_inputPassword_; }
    QLineEdit* tf_inputPassword_inputPassowrd() const { return tf_inputPassword_inputPassowrd_; }
    QLabel* tf_inputPassword_passwordInfo() const { return tf_inputPassword_passwordInfo_; }
    QLabel* nv_emptyMsg() const { return nv_emptyMsg_; }
    Item readyToCheckItem() const { return readyToCheckItem_; }
    /// A batch is being checked (a sheet may be up).
    bool isChecking() const { return checking_; }

    void addSourceItemsToTable(const std::vector<Item>& items, int row);
    /// A batch from the desktop, the command line or the Support menu: each
    /// path's items (a folder gives the files in it), checked, then listed at
    /// the end.
    void addFilesToCheckQueue(const QStringList& paths);
    /// Files dropped between rows: one item per path, checked, listed at `row`.
    void addDroppedFilesToCheckQueue(const QStringList& paths, int row);
    void removeItemsFromTable(const std::vector<Item>& items);
    void applyFormatToAllData(const Item& item);
    void reloadTableView();
    /// Before a run: every item of the run loses its old output and shows Ready.
    void resetBeforeConversion(const std::vector<Item>& items);
    void selectTableRowWithItem(const Item& item);
    /// Progress (0..100) of the item converting; none returns every row to idle.
    void updateConversion(const QVSourceFileItem* item, double progress);
    void showOrHiddenEmptyMsg(bool hide);

    // QVSourceTableCellViewDelegate
    void QVSourceTableCellViewDidPressRemove(QVSourceTableCellView&, const QModelIndex&) override;
    void QVSourceTableCellViewDidPressOpenOutputFile(QVSourceTableCellView&, const QModelIndex&) override;

public slots:
    void sourceFileBrowse();
    void sourceFileRemoveItemFromQueue();
    void sourceFileRemoveAllFromQueue();
    void sourceFileRevealInFinder();
    void outputFileRevealInFinder();
    void sourceFileRevealInFinder_Clicked();
    void outputFileClickedRevealInFinder_Clicked();
    void sourceFileRemoveItemFromQueue_Clicked();
    void finishInputPassword();
    void cancelInputPassword();
    void discardUnsupportedFile();
    void openCheckSourceItem();
    void continueCheckPDFPassword();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Batch {
        std::vector<Item> items;
        std::optional<int> row; ///< none: the end of the list when the batch starts
    };
    void startBatch(std::vector<Item> items, std::optional<int> row);
    std::vector<Item> withoutListed(std::vector<Item> items);
    void showNotAdded(const QStringList& paths);
    void showAlertModalSheet(const Item& item);
    void showInputPasswordModalSheet(const Item& item);
    void windowModelSheetDidEnd();
    void buildSheets();
    void showContextMenu(const QPoint& at);
    void notifyCount();

    QVSourceFileViewControllerDelegate* delegate_ = nullptr;
    const QVPDFConverterManager* converterManager_ = nullptr;
    std::shared_ptr<QVFileChooser> fileChooser_;
    QListView* tv_sourceFileList_ = nullptr;
    QVSourceFileListModel* model_ = nullptr;
    QVSourceTableCellView* cellView_ = nullptr;
    QLabel* nv_emptyMsg_ = nullptr;
    Item clickedItem_;

    QDialog* win_unsupported_ = nullptr;
    QLabel* btn_unsupported_sourceIcon_ = nullptr;
    QLabel* tf_unsupported_sourceTitle_ = nullptr;
    QLabel* tf_unsupported_sourceInfo_ = nullptr;
    QDialog* win_inputPassword_ = nullptr;
    QLabel* btn_inputPassword_sourceIcon_ = nullptr;
    QLabel* tf_inputPassword_sourceTitle_ = nullptr;
    QLabel* tf_inputPassword_sourceInfo_ = nullptr;
    QLineEdit* tf_inputPassword_inputPassowrd_ = nullptr;
    QLabel* tf_inputPassword_passwordInfo_ = nullptr;

    int readyToAddIndex_ = 0;
    Item readyToCheckItem_;
    std::deque<Item> ma_readyToAddSourceItems_;
    std::vector<Item> ma_checkedSourceItems_;
    std::deque<Batch> ma_waitingBatches_;
    bool checking_ = false;
};
