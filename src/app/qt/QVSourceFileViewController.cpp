#include "QVSourceFileViewController.h"

#include "QVFileChooser.h"
#include "QVImages.h"
#include "QVSourceFileListModel.h"
#include "QVWorkspace.h"

#include "app/QVCPDFUtilities.h"
#include "app/QVCUtilities.h"
#include "app/QVPDFConverterManager.h"
#include "app/QVSourceFileItem.h"
#include "platform/Files.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

namespace {

QString fileName(const QVSourceFileItem& item) {
    return QString::fromStdString(platform::lastPathComponent(item.sourcePath()));
}

// A window-modal dialog with a file's picture, name and size on the left of
// the given content: the form of both sheets.
QDialog* makeSheet(QWidget* parent, QLabel*& icon, QLabel*& title, QLabel*& info,
                   QVBoxLayout*& content) {
    auto* sheet = new QDialog(parent);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->setModal(true);
    auto* grid = new QHBoxLayout(sheet);
    grid->setContentsMargins(20, 20, 20, 16);
    grid->setSpacing(16);
    // The sheet grows with its texts (the wrong-password line comes and goes).
    grid->setSizeConstraint(QLayout::SetFixedSize);
    icon = new QLabel(sheet);
    icon->setFixedSize(64, 64);
    icon->setAlignment(Qt::AlignTop);
    grid->addWidget(icon, 0, Qt::AlignTop);
    content = new QVBoxLayout;
    content->setSpacing(6);
    title = new QLabel(sheet);
    QFont f = title->font();
    f.setBold(true);
    title->setFont(f);
    title->setTextInteractionFlags(Qt::TextSelectableByMouse);
    info = new QLabel(sheet);
    info->setForegroundRole(QPalette::PlaceholderText);
    content->addWidget(title);
    content->addWidget(info);
    grid->addLayout(content, 1);
    return sheet;
}

} // namespace

QVSourceFileViewController::QVSourceFileViewController(QWidget* parent)
    : QWidget(parent), fileChooser_(std::make_shared<QVFileChooser>()) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tv_sourceFileList_ = new QListView(this);
    model_ = new QVSourceFileListModel(this);
    cellView_ = new QVSourceTableCellView(this);
    cellView_->setDelegate(this);
    tv_sourceFileList_->setModel(model_);
    tv_sourceFileList_->setItemDelegate(cellView_);
    tv_sourceFileList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tv_sourceFileList_->setUniformItemSizes(true);
    // Rows take the list's width: the window's minimum keeps it wide enough.
    tv_sourceFileList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tv_sourceFileList_->setResizeMode(QListView::Adjust);
    tv_sourceFileList_->setDragEnabled(true);
    tv_sourceFileList_->setAcceptDrops(true);
    tv_sourceFileList_->setDropIndicatorShown(true);
    tv_sourceFileList_->setDragDropMode(QAbstractItemView::DragDrop);
    tv_sourceFileList_->setDefaultDropAction(Qt::MoveAction);
    tv_sourceFileList_->setMouseTracking(true);
    tv_sourceFileList_->viewport()->setAttribute(Qt::WA_Hover);
    tv_sourceFileList_->setFrameShape(QFrame::NoFrame);
    tv_sourceFileList_->setContextMenuPolicy(Qt::CustomContextMenu);
    tv_sourceFileList_->viewport()->installEventFilter(this);
    layout->addWidget(tv_sourceFileList_);

    nv_emptyMsg_ = new QLabel(tv_sourceFileList_->viewport());
    nv_emptyMsg_->setAlignment(Qt::AlignCenter);
    nv_emptyMsg_->setWordWrap(true);
    nv_emptyMsg_->setText(QStringLiteral(
        "<div style='font-size:15pt; color:#6b7280'>Drop PDF files here</div>"
        "<div style='color:#9aa0a6; margin-top:6px'>or choose Add Files… to pick them</div>"));
    nv_emptyMsg_->setAttribute(Qt::WA_TransparentForMouseEvents);

    connect(model_, &QVSourceFileListModel::filesDropped, this,
            [this](const QStringList& paths, int row) { addDroppedFilesToCheckQueue(paths, row); });
    connect(model_, &QVSourceFileListModel::rowsMoved, this, [this](const QList<int>& rows) {
        // The moved rows stay selected in their new place.
        QItemSelection selection;
        for (int r : rows)
            selection.select(model_->index(r), model_->index(r));
        tv_sourceFileList_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        if (!rows.isEmpty())
            tv_sourceFileList_->selectionModel()->setCurrentIndex(model_->index(rows.back()),
                                                                  QItemSelectionModel::NoUpdate);
    });
    connect(tv_sourceFileList_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (delegate_)
            delegate_->QVSourceFileViewControllerDidUpdateSelection(*this);
    });
    connect(tv_sourceFileList_, &QWidget::customContextMenuRequested, this,
            &QVSourceFileViewController::showContextMenu);
    buildSheets();
    showOrHiddenEmptyMsg(false);
}

QVSourceFileViewController::~QVSourceFileViewController() = default;

void QVSourceFileViewController::setFileChooser(std::shared_ptr<QVFileChooser> chooser) {
    fileChooser_ = chooser ? std::move(chooser) : std::make_shared<QVFileChooser>();
}

void QVSourceFileViewController::buildSheets() {
    QVBoxLayout* content = nullptr;
    win_unsupported_ = makeSheet(window(), btn_unsupported_sourceIcon_, tf_unsupported_sourceTitle_,
                                 tf_unsupported_sourceInfo_, content);
    win_unsupported_->setWindowTitle(QStringLiteral("Unsupported File"));
    auto* why = new QLabel(QStringLiteral("This file is not a PDF document that can be converted. "
                                          "You can open it in its own application, or leave it out."),
                           win_unsupported_);
    why->setWordWrap(true);
    why->setFixedWidth(340);
    content->addSpacing(6);
    content->addWidget(why);
    auto* buttons = new QDialogButtonBox(win_unsupported_);
    QPushButton* open = buttons->addButton(QStringLiteral("Open File"), QDialogButtonBox::ActionRole);
    QPushButton* discard = buttons->addButton(QStringLiteral("Leave Out"), QDialogButtonBox::RejectRole);
    discard->setDefault(true);
    content->addSpacing(10);
    content->addWidget(buttons);
    connect(open, &QPushButton::clicked, this, &QVSourceFileViewController::openCheckSourceItem);
    connect(discard, &QPushButton::clicked, this, &QVSourceFileViewController::discardUnsupportedFile);
    // Escape or the window's close button leaves the file out too.
    connect(win_unsupported_, &QDialog::rejected, this, [this] {
        if (readyToCheckItem_ && !ma_readyToAddSourceItems_.empty() &&
            ma_readyToAddSourceItems_.front() == readyToCheckItem_)
            ma_readyToAddSourceItems_.pop_front();
    });
    connect(win_unsupported_, &QDialog::finished, this, [this] { windowModelSheetDidEnd(); });

    win_inputPassword_ = makeSheet(window(), btn_inputPassword_sourceIcon_, tf_inputPassword_sourceTitle_,
                                   tf_inputPassword_sourceInfo_, content);
    win_inputPassword_->setWindowTitle(QStringLiteral("Password Required"));
    auto* ask = new QLabel(QStringLiteral("This PDF is locked, or its printing is restricted. "
                                          "Enter its password to add it:"),
                           win_inputPassword_);
    ask->setWordWrap(true);
    ask->setFixedWidth(340);
    tf_inputPassword_inputPassowrd_ = new QLineEdit(win_inputPassword_);
    tf_inputPassword_inputPassowrd_->setEchoMode(QLineEdit::Password);
    tf_inputPassword_inputPassowrd_->setPlaceholderText(QStringLiteral("Password"));
    tf_inputPassword_passwordInfo_ = new QLabel(
        QStringLiteral("<span style='color:#c0392b'>The password is not correct, or it does not "
                       "allow printing. Try the owner password.</span>"),
        win_inputPassword_);
    tf_inputPassword_passwordInfo_->setWordWrap(true);
    tf_inputPassword_passwordInfo_->setFixedWidth(340);
    tf_inputPassword_passwordInfo_->hide();
    content->addSpacing(6);
    content->addWidget(ask);
    content->addWidget(tf_inputPassword_inputPassowrd_);
    content->addWidget(tf_inputPassword_passwordInfo_);
    auto* pwButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, win_inputPassword_);
    content->addSpacing(10);
    content->addWidget(pwButtons);
    connect(pwButtons, &QDialogButtonBox::accepted, this, &QVSourceFileViewController::finishInputPassword);
    connect(pwButtons, &QDialogButtonBox::rejected, this, &QVSourceFileViewController::cancelInputPassword);
    connect(tf_inputPassword_inputPassowrd_, &QLineEdit::textEdited, this,
            [this] { tf_inputPassword_passwordInfo_->hide(); });
    connect(win_inputPassword_, &QDialog::rejected, this, [this] {
        if (readyToCheckItem_ && !ma_readyToAddSourceItems_.empty() &&
            ma_readyToAddSourceItems_.front() == readyToCheckItem_)
            ma_readyToAddSourceItems_.pop_front();
    });
    connect(win_inputPassword_, &QDialog::finished, this, [this] { windowModelSheetDidEnd(); });
}

const std::vector<QVSourceFileViewController::Item>& QVSourceFileViewController::ma_sourceItems() const {
    return model_->items();
}

QVSourceFileViewController::Item QVSourceFileViewController::selectedItem() const {
    const std::vector<Item> items = selectedItems();
    return items.empty() ? nullptr : items.back();
}

std::vector<QVSourceFileViewController::Item> QVSourceFileViewController::selectedItems() const {
    std::vector<int> rows;
    for (const QModelIndex& i : tv_sourceFileList_->selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    std::vector<Item> items;
    for (int r : rows)
        if (Item item = model_->itemAt(r))
            items.push_back(item);
    return items;
}

void QVSourceFileViewController::showOrHiddenEmptyMsg(bool hide) {
    nv_emptyMsg_->setVisible(!hide);
    nv_emptyMsg_->setGeometry(tv_sourceFileList_->viewport()->rect());
}

void QVSourceFileViewController::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    nv_emptyMsg_->setGeometry(tv_sourceFileList_->viewport()->rect());
}

bool QVSourceFileViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tv_sourceFileList_->viewport()) {
        if (event->type() == QEvent::Resize)
            nv_emptyMsg_->setGeometry(tv_sourceFileList_->viewport()->rect());
        // The remove button shows only on the hovered row: repaint as the
        // mouse leaves the list.
        if (event->type() == QEvent::Leave)
            tv_sourceFileList_->viewport()->update();
    }
    return QWidget::eventFilter(watched, event);
}

void QVSourceFileViewController::notifyCount() {
    showOrHiddenEmptyMsg(!model_->items().empty());
    if (delegate_)
        delegate_->QVSourceFileViewControllerDidUpdateCount(*this);
}

void QVSourceFileViewController::addSourceItemsToTable(const std::vector<Item>& items, int row) {
    const Item selected = selectedItem();
    model_->insertItems(row, items);
    if (selected)
        selectTableRowWithItem(selected);
    notifyCount();
}

void QVSourceFileViewController::addFilesToCheckQueue(const QStringList& paths) {
    std::vector<Item> items;
    QStringList missing;
    for (const QString& path : paths) {
        if (!platform::pathExists(path.toStdString())) {
            missing << path;
            continue;
        }
        for (const Item& item :
             QVSourceFileItem::CreateSourceItemsOfFileOrDirectoryAtPath(path.toStdString()))
            items.push_back(item);
    }
    if (!missing.isEmpty())
        showNotAdded(missing);
    startBatch(std::move(items), std::nullopt);
}

void QVSourceFileViewController::showNotAdded(const QStringList& paths) {
    // Named files that are not there are said, not passed over.
    QStringList lines;
    for (const QString& p : paths)
        lines << QStringLiteral("%1: no such file or folder").arg(p);
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Files Not Added"),
                                paths.size() == 1 ? QStringLiteral("This file could not be added:")
                                                  : QStringLiteral("These files could not be added:"),
                                QMessageBox::Ok, window());
    box->setObjectName(QStringLiteral("filesNotAdded"));
    box->setInformativeText(lines.join(QLatin1Char('\n')));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
}

std::vector<QVSourceFileViewController::Item> QVSourceFileViewController::withoutListed(std::vector<Item> items) {
    // A file already listed (or twice in one batch) is not added again; the
    // row it has is selected instead.
    auto key = [](const std::string& path) {
        std::error_code ec;
        const auto canonical = std::filesystem::weakly_canonical(path, ec);
        return ec ? path : canonical.string();
    };
    std::set<std::string> seen;
    std::map<std::string, Item> listed;
    for (const Item& item : model_->items())
        listed.emplace(key(item->sourcePath()), item);
    for (const Batch& waiting : ma_waitingBatches_)
        for (const Item& item : waiting.items)
            seen.insert(key(item->sourcePath()));
    std::vector<Item> kept;
    Item again;
    for (const Item& item : items) {
        const std::string k = key(item->sourcePath());
        if (auto it = listed.find(k); it != listed.end()) {
            again = it->second;
            continue;
        }
        if (seen.insert(k).second)
            kept.push_back(item);
    }
    if (again)
        selectTableRowWithItem(again);
    return kept;
}

void QVSourceFileViewController::addDroppedFilesToCheckQueue(const QStringList& paths, int row) {
    std::vector<Item> items;
    // A dropped folder is one item, which the check turns away.
    for (const QString& path : paths)
        if (Item item = QVSourceFileItem::create(path.toStdString()))
            items.push_back(item);
    startBatch(std::move(items), row);
}

void QVSourceFileViewController::sourceFileBrowse() {
    QPointer<QVSourceFileViewController> self(this);
    fileChooser_->chooseFiles(window(), QStringLiteral("Select PDF Files to Convert"),
                              [self](const QStringList& paths) {
                                  if (!self || paths.isEmpty())
                                      return;
                                  std::vector<Item> items;
                                  for (const QString& path : paths)
                                      if (Item item = QVSourceFileItem::create(path.toStdString()))
                                          items.push_back(item);
                                  const int row = static_cast<int>(self->model_->items().size());
                                  // Let the dialog close before a sheet may come up.
                                  QTimer::singleShot(500, self, [self, items, row] {
                                      if (self)
                                          self->startBatch(items, row);
                                  });
                              });
}

void QVSourceFileViewController::startBatch(std::vector<Item> items, std::optional<int> row) {
    items = withoutListed(std::move(items));
    if (items.empty())
        return;
    if (checking_) {
        ma_waitingBatches_.push_back({std::move(items), row});
        return;
    }
    checking_ = true;
    readyToAddIndex_ = row ? *row : static_cast<int>(model_->items().size());
    ma_readyToAddSourceItems_.assign(items.begin(), items.end());
    ma_checkedSourceItems_.clear();
    continueCheckPDFPassword();
}

void QVSourceFileViewController::continueCheckPDFPassword() {
    while (!ma_readyToAddSourceItems_.empty()) {
        const Item item = ma_readyToAddSourceItems_.front();
        if (!QVCPDFUtilities::isPDFDocumentValidAtPath(item->sourcePath())) {
            showAlertModalSheet(item);
            return;
        }
        if (QVCPDFUtilities::isPDFDocumentLockPritingAtPath(item->sourcePath())) {
            showInputPasswordModalSheet(item);
            return;
        }
        ma_checkedSourceItems_.push_back(item);
        ma_readyToAddSourceItems_.pop_front();
    }
    // Listed meanwhile (the same file in a batch that waited): not twice.
    ma_checkedSourceItems_ = withoutListed(std::move(ma_checkedSourceItems_));
    if (!ma_checkedSourceItems_.empty()) {
        const int count = static_cast<int>(model_->items().size());
        readyToAddIndex_ = std::clamp(readyToAddIndex_, 0, count);
        std::vector<Item> checked;
        checked.swap(ma_checkedSourceItems_);
        addSourceItemsToTable(checked, readyToAddIndex_);
    }
    readyToCheckItem_.reset();
    checking_ = false;
    if (!ma_waitingBatches_.empty()) {
        Batch next = std::move(ma_waitingBatches_.front());
        ma_waitingBatches_.pop_front();
        startBatch(std::move(next.items), next.row);
    }
}

void QVSourceFileViewController::showAlertModalSheet(const Item& item) {
    readyToCheckItem_ = item;
    btn_unsupported_sourceIcon_->setPixmap(
        QVImages::pixmap(QStringLiteral("icon_unknown"), QSize(64, 64), devicePixelRatioF()));
    tf_unsupported_sourceTitle_->setText(fileName(*item));
    tf_unsupported_sourceInfo_->setText(QString::fromStdString(item->fileSizeString()));
    win_unsupported_->open();
}

void QVSourceFileViewController::showInputPasswordModalSheet(const Item& item) {
    readyToCheckItem_ = item;
    btn_inputPassword_sourceIcon_->setPixmap(QVImages::pixmap(
        QString::fromStdString(item->sourceFileIcon()), QSize(64, 64), devicePixelRatioF()));
    tf_inputPassword_sourceTitle_->setText(fileName(*item));
    tf_inputPassword_sourceInfo_->setText(QString::fromStdString(item->fileSizeString()));
    tf_inputPassword_inputPassowrd_->clear();
    tf_inputPassword_passwordInfo_->hide();
    win_inputPassword_->open();
    tf_inputPassword_inputPassowrd_->setFocus();
}

void QVSourceFileViewController::windowModelSheetDidEnd() {
    // Resume once the sheet has gone, so the next sheet is not opened from
    // inside the closing one.
    QMetaObject::invokeMethod(this, &QVSourceFileViewController::continueCheckPDFPassword,
                              Qt::QueuedConnection);
}

void QVSourceFileViewController::finishInputPassword() {
    if (!readyToCheckItem_ || ma_readyToAddSourceItems_.empty())
        return;
    const std::string password = tf_inputPassword_inputPassowrd_->text().toStdString();
    if (!QVCPDFUtilities::isAllowPrintingPDFDcoumentAtPath(readyToCheckItem_->sourcePath(), password)) {
        tf_inputPassword_passwordInfo_->show();
        return;
    }
    readyToCheckItem_->setSourcePassword(password);
    ma_checkedSourceItems_.push_back(readyToCheckItem_);
    ma_readyToAddSourceItems_.pop_front();
    win_inputPassword_->done(QDialog::Accepted);
}

void QVSourceFileViewController::cancelInputPassword() { win_inputPassword_->reject(); }

void QVSourceFileViewController::discardUnsupportedFile() { win_unsupported_->reject(); }

void QVSourceFileViewController::openCheckSourceItem() {
    if (readyToCheckItem_)
        QVWorkspace::sharedWorkspace().openFile(QString::fromStdString(readyToCheckItem_->sourcePath()));
}

void QVSourceFileViewController::removeItemsFromTable(const std::vector<Item>& items) {
    std::optional<int> remembered;
    if (Item selected = selectedItem()) {
        const int row = model_->indexOfItem(selected.get());
        if (row >= 0)
            remembered = row;
    }
    model_->removeRowsAt(QVCUtilities::indexSetOfObjects(model_->items(), items));
    const int count = static_cast<int>(model_->items().size());
    tv_sourceFileList_->clearSelection();
    if (remembered && count > 0) {
        const QModelIndex i = model_->index(std::min(*remembered, count - 1));
        tv_sourceFileList_->selectionModel()->select(i, QItemSelectionModel::ClearAndSelect);
        tv_sourceFileList_->setCurrentIndex(i);
        tv_sourceFileList_->scrollTo(i);
    }
    notifyCount();
}

void QVSourceFileViewController::applyFormatToAllData(const Item& item) {
    if (!item)
        return;
    for (const Item& other : model_->items())
        if (other != item)
            other->setWithFileItem(*item);
}

void QVSourceFileViewController::reloadTableView() {
    model_->refreshAll();
    if (Item selected = selectedItem())
        tv_sourceFileList_->scrollTo(model_->index(model_->indexOfItem(selected.get())));
}

void QVSourceFileViewController::resetBeforeConversion(const std::vector<Item>& items) {
    for (const Item& item : items) {
        item->setOutputPath(std::nullopt);
        item->setConversionError(std::nullopt);
        model_->setLastError(item.get(), {});
    }
    model_->refreshAll();
}

void QVSourceFileViewController::selectTableRowWithItem(const Item& item) {
    const int row = item ? model_->indexOfItem(item.get()) : -1;
    if (row < 0)
        return;
    const QModelIndex i = model_->index(row);
    tv_sourceFileList_->selectionModel()->select(i, QItemSelectionModel::ClearAndSelect);
    tv_sourceFileList_->setCurrentIndex(i);
    tv_sourceFileList_->scrollTo(i);
}

void QVSourceFileViewController::updateConversion(const QVSourceFileItem* item, double progress) {
    const bool running = converterManager_ && converterManager_->isConverting();
    model_->setConversion(item && running ? item : nullptr, progress);
}

void QVSourceFileViewController::QVSourceTableCellViewDidPressRemove(QVSourceTableCellView&,
                                                                     const QModelIndex& index) {
    if (Item item = model_->itemAt(index.row()))
        removeItemsFromTable({item});
}

void QVSourceFileViewController::QVSourceTableCellViewDidPressOpenOutputFile(QVSourceTableCellView&,
                                                                             const QModelIndex& index) {
    Item item = model_->itemAt(index.row());
    if (item && item->outputPath())
        QVWorkspace::sharedWorkspace().openFile(QString::fromStdString(*item->outputPath()));
}

void QVSourceFileViewController::sourceFileRemoveItemFromQueue() { removeItemsFromTable(selectedItems()); }

void QVSourceFileViewController::sourceFileRemoveAllFromQueue() { removeItemsFromTable(model_->items()); }

void QVSourceFileViewController::sourceFileRemoveItemFromQueue_Clicked() {
    if (clickedItem_)
        removeItemsFromTable({clickedItem_});
}

void QVSourceFileViewController::sourceFileRevealInFinder() {
    if (Item item = selectedItem())
        QVWorkspace::sharedWorkspace().selectFile(QString::fromStdString(item->sourcePath()));
}

void QVSourceFileViewController::outputFileRevealInFinder() {
    Item item = selectedItem();
    if (item && item->outputFileIconEnable())
        QVWorkspace::sharedWorkspace().selectFile(QString::fromStdString(*item->outputPath()));
}

void QVSourceFileViewController::sourceFileRevealInFinder_Clicked() {
    if (clickedItem_)
        QVWorkspace::sharedWorkspace().selectFile(QString::fromStdString(clickedItem_->sourcePath()));
}

void QVSourceFileViewController::outputFileClickedRevealInFinder_Clicked() {
    if (clickedItem_ && clickedItem_->outputFileIconEnable())
        QVWorkspace::sharedWorkspace().selectFile(QString::fromStdString(*clickedItem_->outputPath()));
}

void QVSourceFileViewController::showContextMenu(const QPoint& at) {
    clickedItem_ = model_->itemAt(tv_sourceFileList_->indexAt(at).row());
    if (!clickedItem_)
        return;
    QMenu menu(this);
    menu.addAction(QStringLiteral("Show Source File in File Manager"), this,
                   &QVSourceFileViewController::sourceFileRevealInFinder_Clicked);
    QAction* output = menu.addAction(QStringLiteral("Show Output File in File Manager"), this,
                                     &QVSourceFileViewController::outputFileClickedRevealInFinder_Clicked);
    output->setEnabled(clickedItem_->outputFileIconEnable());
    menu.addSeparator();
    menu.addAction(QStringLiteral("Remove"), this,
                   &QVSourceFileViewController::sourceFileRemoveItemFromQueue_Clicked);
    menu.exec(tv_sourceFileList_->viewport()->mapToGlobal(at));
    clickedItem_.reset();
}
