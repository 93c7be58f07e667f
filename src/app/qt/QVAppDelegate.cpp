#include "QVAppDelegate.h"

#include "QVAboutWindowController.h"
#include "QVAutoUpdate.h"
#include "QVFileChooser.h"
#include "QVImageButton.h"
#include "QVImages.h"
#include "QVPreferencesWindowController.h"
#include "QVSourceFileListModel.h"
#include "QVSourceItemText.h"
#include "QVSupport.h"
#include "QVWorkspace.h"

#include "app/QVCUtilities.h"
#include "app/QVPDFConverterManager.h"
#include "app/QVSandBoxUtilities.h"
#include "app/QVSourceFileItem.h"
#include "app/QVUserDefaults.h"
#include "converter/QVPDFConverter.h"
#include "platform/Files.h"
#include "platform/Resources.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {
QVAppDelegate* gShared = nullptr;
constexpr int kSettingsWidth = 300;
constexpr int kListMinimumWidth = 440;
} // namespace

QVAppDelegate* QVAppDelegate::sharedInstance() { return gShared; }

QVAppDelegate::QVAppDelegate(std::unique_ptr<QVPDFConverter> converter) {
    // The feed address goes into the settings at every launch.
    QVAutoUpdate::setDefaults();
    setWindowTitle(QStringLiteral("Corvala"));
    setWindowIcon(QVImages::applicationIcon());
    setUnifiedTitleAndToolBarOnMac(true);

    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);

    leftView_ = new QWidget(central);
    auto* left = new QVBoxLayout(leftView_);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    sourceFileViewController_ = new QVSourceFileViewController(leftView_);
    sourceFileViewController_->setDelegate(this);
    left->addWidget(sourceFileViewController_, 1);

    auto* bar = new QWidget(leftView_);
    bar->setObjectName(QStringLiteral("bottomBar"));
    bar->setStyleSheet(QStringLiteral("#bottomBar { border-top: 1px solid palette(mid); }"));
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(12, 8, 12, 8);
    auto* add = new QPushButton(QStringLiteral("Add Files…"), bar);
    connect(add, &QPushButton::clicked, sourceFileViewController_, &QVSourceFileViewController::sourceFileBrowse);
    barLayout->addWidget(add);
    tf_summary_ = new QLabel(bar);
    tf_summary_->setForegroundRole(QPalette::PlaceholderText);
    barLayout->addSpacing(8);
    barLayout->addWidget(tf_summary_, 1);
    btn_convert_ = new QVImageButton(bar);
    btn_convert_->setFixedSize(132, 34);
    btn_convert_->setToolTip(QStringLiteral("Convert every file of the list"));
    connect(btn_convert_, &QAbstractButton::clicked, this, &QVAppDelegate::startOrStopConversion);
    barLayout->addWidget(btn_convert_);
    left->addWidget(bar);
    columns->addWidget(leftView_, 1);

    rightView_ = new QWidget(central);
    rightView_->setObjectName(QStringLiteral("rightView"));
    rightView_->setStyleSheet(QStringLiteral("#rightView { border-left: 1px solid palette(mid); }"));
    rightView_->setFixedWidth(kSettingsWidth);
    auto* right = new QVBoxLayout(rightView_);
    right->setContentsMargins(0, 0, 0, 0);
    settingsViewController_ = new QVSettingsViewController(rightView_);
    settingsViewController_->setDelegate(this);
    settingsViewController_->setLastErrorOf([this](const QVSourceFileItem* item) {
        return sourceFileViewController_->model()->lastError(item);
    });
    right->addWidget(settingsViewController_);
    columns->addWidget(rightView_);
    setCentralWidget(central);
    setConvertImages(false);
    buildMenus();

    // The list keeps room for a row's name, status and icons; the window's
    // minimum follows what its columns need, with or without the panel.
    leftView_->setMinimumWidth(kListMinimumWidth);
    updateMinimumSize();
    resize(std::max(900, minimumWidth()), std::max(600, minimumHeight()));
    if (QVCUtilities::boolValueForKey(kHiddenSettingsKey, false))
        hidenSettingView();

    converterManager_ = converter ? std::make_unique<QVPDFConverterManager>(std::move(converter))
                                  : std::make_unique<QVPDFConverterManager>();
    converterManager_->setDelegate(this);
    sourceFileViewController_->setConverterManager(converterManager_.get());
    QVSourceFileViewControllerDidUpdateCount(*sourceFileViewController_);
    gShared = this;
    // Automatic checks, when the user turned them on, come up over this window.
    QVUpdater::sharedUpdater().setWindow(this);
    QVUpdater::sharedUpdater().scheduleNextCheck();
}

QVAppDelegate::~QVAppDelegate() {
    converterManager_->setDelegate(nullptr);
    // A run still going ends here: the converter stops and joins its worker,
    // the name reserved for its output is given back, and the scratch folder
    // (work folders, extracted images) goes, however the run ended.
    const std::shared_ptr<QVSourceFileItem> inFlight =
        converterManager_->isConverting() ? converterManager_->currentConvertItem() : nullptr;
    converterManager_.reset();
    if (inFlight)
        inFlight->releaseOutputReservation();
    platform::removeAll(platform::scratchFolder());
    QVPreferencesWindowController::releaseSharedInstance();
    QVUpdater::releaseSharedUpdater();
    if (gShared == this)
        gShared = nullptr;
}

void QVAppDelegate::setFileChooser(std::shared_ptr<QVFileChooser> chooser) {
    sourceFileViewController_->setFileChooser(chooser);
    settingsViewController_->setFileChooser(chooser);
}

void QVAppDelegate::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* add = file->addAction(QStringLiteral("&Add Files…"), sourceFileViewController_,
                                   &QVSourceFileViewController::sourceFileBrowse);
    add->setShortcut(QKeySequence::Open);
    file->addSeparator();
    mi_showSource_ = file->addAction(QStringLiteral("Show Source File in File Manager"), sourceFileViewController_,
                                     &QVSourceFileViewController::sourceFileRevealInFinder);
    mi_showOutput_ = file->addAction(QStringLiteral("Show Output File in File Manager"), sourceFileViewController_,
                                     &QVSourceFileViewController::outputFileRevealInFinder);
    file->addSeparator();
    mi_remove_ = file->addAction(QStringLiteral("&Remove"), sourceFileViewController_,
                                 &QVSourceFileViewController::sourceFileRemoveItemFromQueue);
    mi_remove_->setShortcuts({QKeySequence::Delete, QKeySequence(Qt::Key_Backspace)});
    mi_removeAll_ = file->addAction(QStringLiteral("Remove &All"), sourceFileViewController_,
                                    &QVSourceFileViewController::sourceFileRemoveAllFromQueue);
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("&Quit"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    QAction* prefs = edit->addAction(QStringLiteral("&Preferences…"), this, &QVAppDelegate::showPreferences);
    prefs->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    mi_showSettings_ = view->addAction(QStringLiteral("Show Settings"), this, &QVAppDelegate::showOrHidenSettingView);
    mi_showSettings_->setCheckable(true);
    mi_showSettings_->setChecked(true);
    mi_showSettings_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+S")));

    QMenu* convert = menuBar()->addMenu(QStringLiteral("&Convert"));
    mi_convert_ = convert->addAction(QStringLiteral("Convert All"), this, &QVAppDelegate::startOrStopConversion);
    mi_convert_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Return")));

    QMenu* support = menuBar()->addMenu(QStringLiteral("&Support"));
    support->addAction(QStringLiteral("Add Sample PDF"), this, &QVAppDelegate::support_copySampleFiles);
    support->addSeparator();
    support->addAction(QStringLiteral("User Manual"), this, &QVAppDelegate::support_userManual);
    support->addAction(QStringLiteral("Technical Support…"), this, &QVAppDelegate::support_TechnicalSupport);
    support->addAction(QStringLiteral("Tell a Friend…"), this, &QVAppDelegate::support_tellAFriend);
    support->addSeparator();
    support->addAction(QStringLiteral("Follow Us"), this, &QVAppDelegate::support_followUs);
    support->addAction(QStringLiteral("Visit Product Page"), this, &QVAppDelegate::support_VisitProductPage);
    support->addAction(QStringLiteral("Visit Our Website"), this, &QVAppDelegate::support_VistOurWebsite);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* check = help->addAction(QStringLiteral("Check for &Updates…"), this, &QVAppDelegate::checkForUpdates);
    check->setObjectName(QStringLiteral("checkForUpdates"));
    help->addSeparator();
    help->addAction(QStringLiteral("&About Corvala"), this, &QVAppDelegate::showAboutBox);
    updateActions();
}

void QVAppDelegate::updateActions() {
    if (!mi_remove_)
        return;
    const auto selected = sourceFileViewController_->selectedItem();
    const bool any = !sourceFileViewController_->ma_sourceItems().empty();
    mi_remove_->setEnabled(selected != nullptr);
    mi_removeAll_->setEnabled(any);
    mi_showSource_->setEnabled(selected != nullptr);
    mi_showOutput_->setEnabled(selected && selected->outputFileIconEnable());
}

void QVAppDelegate::setConvertImages(bool cancel) {
    if (cancel)
        btn_convert_->setImages("btn-cancel", "btn-cancel-down", "btn-cancel-hover");
    else
        btn_convert_->setImages("btn-convert", "btn-convert-down", "btn-convert-hover");
    btn_convert_->setToolTip(cancel ? QStringLiteral("Stop the conversion") : QStringLiteral("Convert every file of the list"));
    if (mi_convert_)
        mi_convert_->setText(cancel ? QStringLiteral("Cancel Conversion") : QStringLiteral("Convert All"));
}

void QVAppDelegate::application_openFiles(const QStringList& paths) {
    // The window first, so a sheet the check opens comes up over it.
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    if (!paths.isEmpty())
        sourceFileViewController_->addFilesToCheckQueue(paths);
}

// --- Conversion ---------------------------------------------------------

std::vector<std::shared_ptr<QVSourceFileItem>> QVAppDelegate::itemsWhoseRangeSelectsNoPage() const {
    std::vector<std::shared_ptr<QVSourceFileItem>> bad;
    for (const auto& item : sourceFileViewController_->ma_sourceItems())
        if (item->settings_pageRangeType() == 1 && item->sourcePages() > 0 && item->outputPDFPageIndexs().empty())
            bad.push_back(item);
    return bad;
}

void QVAppDelegate::startOrStopConversion() {
    if (converterManager_->isConverting()) {
        startOrStopConversionGo();
        return;
    }
    if (sourceFileViewController_->ma_sourceItems().empty())
        return;
    // A range that selects no page would be passed over without a word:
    // name those files first, and let the user mend them or leave them out.
    leftOut_.clear();
    if (const auto bad = itemsWhoseRangeSelectsNoPage(); !bad.empty()) {
        askAboutEmptyRanges(bad);
        return;
    }
    startWithOutputFolder();
}

void QVAppDelegate::askAboutEmptyRanges(const std::vector<std::shared_ptr<QVSourceFileItem>>& bad) {
    QStringList lines;
    for (const auto& item : bad)
        lines << QStringLiteral("%1: “%2”")
                     .arg(QString::fromStdString(platform::lastPathComponent(item->sourcePath())),
                          QString::fromStdString(item->settings_customPageRange()));
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Page Range Selects No Page"),
                                bad.size() == 1 ? QStringLiteral("The page range of this file selects no page:")
                                                : QStringLiteral("The page ranges of these files select no page:"),
                                QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("pageRangeProblem"));
    box->setInformativeText(lines.join(QLatin1Char('\n')) +
                            QStringLiteral("\n\nFix the range, or convert the other files and leave these out."));
    QPushButton* fix = box->addButton(QStringLiteral("Fix Range"), QMessageBox::RejectRole);
    QPushButton* leave = box->addButton(QStringLiteral("Leave Out and Convert"), QMessageBox::AcceptRole);
    fix->setObjectName(QStringLiteral("fixRange"));
    leave->setObjectName(QStringLiteral("leaveOut"));
    leave->setEnabled(bad.size() < sourceFileViewController_->ma_sourceItems().size());
    box->setDefaultButton(fix);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    connect(box, &QMessageBox::buttonClicked, this, [this, leave, bad](QAbstractButton* b) {
        if (b == leave) {
            leftOut_ = bad;
            startWithOutputFolder();
            return;
        }
        if (rightView_->isHidden())
            showOrHidenSettingView();
        sourceFileViewController_->selectTableRowWithItem(bad.front());
        settingsViewController_->tf_ouputPageRange()->setFocus();
        settingsViewController_->tf_ouputPageRange()->selectAll();
    });
    box->open();
}

void QVAppDelegate::startWithOutputFolder() {
    if (QVSandBoxUtilities::isReadAndWritableUserSelectedOutputURLBookmark()) {
        startOrStopConversionGo();
        return;
    }
    settingsViewController_->browseOutputDirectryBeforeConversion();
}

void QVAppDelegate::startOrStopConversionGo() {
    if (!sourceFileViewController_->ma_sourceItems().empty() && !converterManager_->isConverting()) {
        std::vector<std::shared_ptr<QVSourceFileItem>> items;
        for (const auto& item : sourceFileViewController_->ma_sourceItems())
            if (std::find(leftOut_.begin(), leftOut_.end(), item) == leftOut_.end())
                items.push_back(item);
        leftOut_.clear();
        if (items.empty())
            return;
        converterManager_->setMa_sourceItems(items);
        setConvertImages(true);
        converterManager_->startConversion();
    } else {
        converterManager_->stopConversion();
        setConvertImages(false);
    }
}

void QVAppDelegate::managerWillStartConversion(QVPDFConverterManager& manager) {
    // Every item of the run starts again from Ready, on screen or not.
    const auto& queue = manager.ma_readyToConvertItems();
    sourceFileViewController_->resetBeforeConversion({queue.begin(), queue.end()});
}

void QVAppDelegate::didStartConversion(QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>& item,
                                       const std::optional<QVError>&) {
    currentPageCount_ = item->outputPDFPageIndexs().size();
    sourceFileViewController_->model()->setLastError(item.get(), {});
    sourceFileViewController_->selectTableRowWithItem(item);
    sourceFileViewController_->updateConversion(item.get(), 1.0);
}

void QVAppDelegate::didConversionConvertPDFPageIndex(QVPDFConverterManager&,
                                                     const std::shared_ptr<QVSourceFileItem>& item, int64_t,
                                                     size_t, size_t finshedWordPageCount) {
    const double pages = static_cast<double>(std::max<size_t>(currentPageCount_, 1));
    sourceFileViewController_->updateConversion(
        item.get(), std::max(0.1, 85.0 * static_cast<double>(finshedWordPageCount) / pages));
}

void QVAppDelegate::didConversionCatchException(QVPDFConverterManager&,
                                                const std::shared_ptr<QVSourceFileItem>& item,
                                                const QVException& exception) {
    sourceFileViewController_->model()->setLastError(item.get(), exception.reason);
}

void QVAppDelegate::didConversionWillSaveDoc(QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>& item) {
    sourceFileViewController_->updateConversion(item.get(), 90.0);
}

void QVAppDelegate::didEndConversion(QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>& item,
                                     const std::optional<QVError>& error) {
    sourceFileViewController_->updateConversion(item.get(), 100.0);
    updateActions();
    // The panel shows the file's outcome (why it failed) when it is the one shown.
    if (settingsViewController_->sourceFileItem() == item)
        settingsViewController_->setSourceFileItem(item);
    // Only a document that was written is opened; a failed or cancelled one
    // has nothing to show.
    if (!error && item->outputFileIconEnable() &&
        QVPreferencesWindowController::sharedInstance()->openFileAfterConversion()) {
        const QString path = QString::fromStdString(*item->outputPath());
        if (!QVWorkspace::sharedWorkspace().openFile(path))
            QVWorkspace::sharedWorkspace().selectFile(path);
    }
}

void QVAppDelegate::managerDidEndConversion(QVPDFConverterManager&) {
    sourceFileViewController_->updateConversion(nullptr, 0);
    setConvertImages(false);
    updateActions();
    raise();
    activateWindow();
}

// --- List and panel -----------------------------------------------------

void QVAppDelegate::QVSourceFileViewControllerDidUpdateSelection(QVSourceFileViewController& list) {
    settingsViewController_->setSourceFileItem(list.selectedItem());
    updateActions();
}

void QVAppDelegate::QVSourceFileViewControllerDidUpdateCount(QVSourceFileViewController& list) {
    // The count the Dock badge would carry goes into the title.
    const size_t n = list.ma_sourceItems().size();
    setWindowTitle(n == 0 ? QStringLiteral("Corvala")
                          : QStringLiteral("Corvala — %1 %2").arg(n).arg(n == 1 ? "file" : "files"));
    tf_summary_->setText(n == 0 ? QString() : QStringLiteral("%1 %2").arg(n).arg(n == 1 ? "file" : "files"));
    updateActions();
}

void QVAppDelegate::QVSettingsViewControllerDidUpdateSettings(QVSettingsViewController& panel) {
    if (panel.btn_outputApplyToAll()->isChecked())
        sourceFileViewController_->applyFormatToAllData(panel.sourceFileItem());
    sourceFileViewController_->reloadTableView();
}

void QVAppDelegate::QVSettingsViewControllerDidCreationFirstOutputDirectory(QVSettingsViewController&) {
    startOrStopConversionGo();
}

void QVAppDelegate::updateMinimumSize() {
    setMinimumSize(0, 0);
    if (QLayout* l = centralWidget()->layout())
        l->activate();
    if (layout())
        layout()->activate();
    setMinimumSize(minimumSizeHint().expandedTo(QSize(560, 520)));
}

void QVAppDelegate::hidenSettingView() {
    if (rightView_->isHidden())
        return;
    rightView_->hide();
    updateMinimumSize();
    resize(std::max(minimumWidth(), width() - kSettingsWidth), height());
    if (mi_showSettings_)
        mi_showSettings_->setChecked(false);
}

void QVAppDelegate::showOrHidenSettingView() {
    if (rightView_->isHidden()) {
        rightView_->show();
        updateMinimumSize();
        const int max = maximumWidth();
        resize(std::min(max, width() + kSettingsWidth), height());
    } else {
        hidenSettingView();
    }
    mi_showSettings_->setChecked(!rightView_->isHidden());
    QVUserDefaults& d = QVUserDefaults::standardUserDefaults();
    d.setObject(kHiddenSettingsKey, rightView_->isHidden());
    d.synchronize();
}

// --- Windows and menus --------------------------------------------------

void QVAppDelegate::showAboutBox() {
    auto* about = new QVAboutWindowController(this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setObjectName(QStringLiteral("aboutBox"));
    about->open();
}

void QVAppDelegate::checkForUpdates() { QVAutoUpdate::checkForUpdate(this); }

void QVAppDelegate::showPreferences() { QVPreferencesWindowController::sharedInstance()->showWindow(); }

void QVAppDelegate::support_copySampleFiles() {
    const std::string sample = platform::appendPathComponent(platform::resourceRoot(), "Print-Area.pdf");
    if (platform::pathExists(sample))
        sourceFileViewController_->addFilesToCheckQueue({QString::fromStdString(sample)});
}

void QVAppDelegate::support_userManual() { QVWorkspace::sharedWorkspace().openURL(QUrl(QVSupport::kSupportPage)); }

void QVAppDelegate::support_TechnicalSupport() { QVWorkspace::sharedWorkspace().openURL(QV_TechnicalSupportMailURL()); }

void QVAppDelegate::support_tellAFriend() {
    const std::string text = platform::appendPathComponent(platform::resourceRoot(), "tellfriend-short.txt");
    QVWorkspace::sharedWorkspace().openURL(QV_TellAFriendMailURL(QString::fromStdString(text)));
}

void QVAppDelegate::support_followUs() { QVWorkspace::sharedWorkspace().openURL(QUrl(QVSupport::kFollowUsPage)); }

void QVAppDelegate::support_VisitProductPage() { QVWorkspace::sharedWorkspace().openURL(QUrl(QVSupport::kProductPage)); }

void QVAppDelegate::support_VistOurWebsite() { QVWorkspace::sharedWorkspace().openURL(QUrl(QVSupport::kHomePage)); }

void QVAppDelegate::closeEvent(QCloseEvent* event) {
    if (converterManager_->isConverting() && !quitting_) {
        // With no dock to bring the window back, closing ends the program;
        // a run in progress is not thrown away without asking.
        event->ignore();
        auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Quit Corvala?"),
                                    QStringLiteral("A conversion is in progress."), QMessageBox::NoButton, this);
        box->setObjectName(QStringLiteral("quitConfirmation"));
        box->setInformativeText(QStringLiteral("Quitting cancels it; the file being converted is not saved."));
        QPushButton* quit = box->addButton(QStringLiteral("Cancel Conversion and Quit"), QMessageBox::DestructiveRole);
        QPushButton* keep = box->addButton(QStringLiteral("Keep Converting"), QMessageBox::RejectRole);
        box->setDefaultButton(keep);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::WindowModal);
        connect(box, &QMessageBox::buttonClicked, this, [this, quit](QAbstractButton* b) {
            if (b != quit)
                return;
            quitting_ = true;
            converterManager_->stopConversion();
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        });
        box->open();
        return;
    }
    event->accept();
    if (QVPreferencesWindowController* prefs = QVPreferencesWindowController::sharedInstance(); prefs->isVisible())
        prefs->close();
    emit quitRequested();
}
