#include "QVPreferencesWindowController.h"

#include "QVAppDelegate.h"
#include "QVAutoUpdate.h"

#include "app/QVUserDefaults.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {
std::unique_ptr<QVPreferencesWindowController>& slot() {
    static std::unique_ptr<QVPreferencesWindowController> instance;
    return instance;
}
constexpr double kDay = 86400;
constexpr double kWeek = 604800;
constexpr double kThirtyDays = 2592000;
} // namespace

QVPreferencesWindowController* QVPreferencesWindowController::sharedInstance() {
    if (!slot())
        slot().reset(new QVPreferencesWindowController());
    return slot().get();
}

void QVPreferencesWindowController::releaseSharedInstance() { slot().reset(); }

double QVPreferencesWindowController::intervalForItem(int index) {
    return index == 0 ? kDay : index == 2 ? kThirtyDays : kWeek;
}

QVPreferencesWindowController::QVPreferencesWindowController() : QWidget(nullptr, Qt::Window) {
    setWindowTitle(QStringLiteral("Preferences"));
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tb_top_ = new QToolBar(this);
    tb_top_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto* group = new QActionGroup(this);
    QAction* general = tb_top_->addAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView),
                                          QStringLiteral("General"), this,
                                          &QVPreferencesWindowController::toolbarItemGeneralAction);
    general->setObjectName(QStringLiteral("QVToolbarItem_General"));
    QAction* update = tb_top_->addAction(style()->standardIcon(QStyle::SP_BrowserReload),
                                         QStringLiteral("Update"), this,
                                         &QVPreferencesWindowController::toolbarItemUpdateAction);
    update->setObjectName(QStringLiteral("QVToolbarItem_Update"));
    for (QAction* a : {general, update}) {
        a->setCheckable(true);
        group->addAction(a);
    }
    general->setChecked(true);
    layout->addWidget(tb_top_);

    contentView_ = new QStackedWidget(this);
    preView_General_ = new QWidget(contentView_);
    auto* g = new QVBoxLayout(preView_General_);
    g->setContentsMargins(24, 18, 24, 12);
    btn_openFile_ = new QCheckBox(QStringLiteral("Open each document after its conversion"), preView_General_);
    g->addWidget(btn_openFile_);
    auto* hint = new QLabel(QStringLiteral("Only documents that converted successfully are opened, "
                                           "each with its default application."),
                            preView_General_);
    hint->setWordWrap(true);
    hint->setForegroundRole(QPalette::PlaceholderText);
    hint->setContentsMargins(24, 0, 0, 0);
    g->addWidget(hint);
    g->addStretch();

    preView_Update_ = new QWidget(contentView_);
    auto* u = new QVBoxLayout(preView_Update_);
    u->setContentsMargins(24, 18, 24, 12);
    btn_autoUpdate_ = new QCheckBox(QStringLiteral("Check for updates automatically"), preView_Update_);
    u->addWidget(btn_autoUpdate_);
    auto* intervalRow = new QHBoxLayout;
    intervalRow->setContentsMargins(24, 0, 0, 0);
    auto* every = new QLabel(QStringLiteral("Check:"), preView_Update_);
    pub_autoUpdateInterval_ = new QComboBox(preView_Update_);
    pub_autoUpdateInterval_->addItems({QStringLiteral("Daily"), QStringLiteral("Weekly"),
                                       QStringLiteral("Every 30 days")});
    every->setBuddy(pub_autoUpdateInterval_);
    intervalRow->addWidget(every);
    intervalRow->addWidget(pub_autoUpdateInterval_);
    intervalRow->addStretch();
    u->addLayout(intervalRow);
    auto* nowRow = new QHBoxLayout;
    btn_checkNow_ = new QPushButton(QStringLiteral("Check Now"), preView_Update_);
    nowRow->addWidget(btn_checkNow_);
    tf_lastCheck_ = new QLabel(preView_Update_);
    tf_lastCheck_->setForegroundRole(QPalette::PlaceholderText);
    nowRow->addWidget(tf_lastCheck_, 1);
    u->addSpacing(6);
    u->addLayout(nowRow);
    auto* about = new QLabel(QStringLiteral("Corvala asks its web site whether a newer version exists and tells "
                                            "you. It downloads and installs nothing itself: that stays with you "
                                            "or your system's package manager."),
                             preView_Update_);
    about->setWordWrap(true);
    about->setForegroundRole(QPalette::PlaceholderText);
    u->addSpacing(6);
    u->addWidget(about);
    u->addStretch();

    contentView_->addWidget(preView_General_);
    contentView_->addWidget(preView_Update_);
    layout->addWidget(contentView_, 1);

    // A Close button, Esc and Ctrl+W: the window closes without a window
    // manager's help too.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setContentsMargins(12, 0, 12, 12);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    layout->addWidget(buttons);
    resize(460, 260);

    connect(btn_openFile_, &QCheckBox::clicked, this, &QVPreferencesWindowController::openFileAfterConversionAction);
    connect(btn_autoUpdate_, &QCheckBox::clicked, this, &QVPreferencesWindowController::setAutoUpdateAction);
    connect(pub_autoUpdateInterval_, &QComboBox::activated, this,
            &QVPreferencesWindowController::setAutoUpdateTimeIntervalAction);
    connect(btn_checkNow_, &QPushButton::clicked, this, &QVPreferencesWindowController::checkUpdateNowAction);
    connect(&QVUpdater::sharedUpdater(), &QVUpdater::checkFinished, this, [this] { showLastCheck(); });
    loadSettings();
}

void QVPreferencesWindowController::loadSettings() {
    loadUpdateSettings();
}

void QVPreferencesWindowController::loadUpdateSettings() {
    const bool on = QVAutoUpdate::autoCheckForUpdates();
    btn_autoUpdate_->setChecked(on);
    pub_autoUpdateInterval_->setEnabled(on);
    const double interval = QVAutoUpdate::updateCheckInterval();
    if (interval == kDay) {
        pub_autoUpdateInterval_->setCurrentIndex(0);
    } else if (interval == kThirtyDays) {
        pub_autoUpdateInterval_->setCurrentIndex(2);
    } else {
        // An interval the popup cannot show becomes one week.
        pub_autoUpdateInterval_->setCurrentIndex(1);
        if (interval != kWeek)
            QVAutoUpdate::setUpdateCheckInterval(kWeek);
    }
    // An absent key reads as off.
    openFileAfterConversion_ = QVUserDefaults::standardUserDefaults().boolForKey(kOpenFileAfterConversionKey);
    btn_openFile_->setChecked(openFileAfterConversion_);
    showLastCheck();
}

void QVPreferencesWindowController::showLastCheck() {
    const auto last = QVUpdater::sharedUpdater().lastUpdateCheckDate();
    tf_lastCheck_->setText(last ? QStringLiteral("Last checked: %1")
                                      .arg(QLocale().toString(last->toLocalTime(), QLocale::ShortFormat))
                                : QStringLiteral("Never checked"));
}

void QVPreferencesWindowController::showWindow() {
    if (visible_) {
        close();
        return;
    }
    loadSettings();
    // Centred on the main window (with no window manager to place it, it
    // would open at the screen's corner, over the main window's menus).
    adjustSize();
    resize(size().expandedTo(QSize(460, 260)));
    QWidget* main = QVAppDelegate::sharedInstance();
    const bool overMain = main && main->isVisible();
    if (QScreen* s = overMain ? main->screen() : screen()) {
        QRect r(QPoint(0, 0), size());
        r.moveCenter(overMain ? main->frameGeometry().center() : s->availableGeometry().center());
        const QPoint corner = s->availableGeometry().topLeft();
        r.moveTopLeft(QPoint(std::max(r.left(), corner.x()), std::max(r.top(), corner.y())));
        move(r.topLeft());
    }
    show();
    raise();
    activateWindow();
    visible_ = true;
}

void QVPreferencesWindowController::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || event->matches(QKeySequence::Close) ||
        (event->key() == Qt::Key_W && event->modifiers() == Qt::ControlModifier)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void QVPreferencesWindowController::closeEvent(QCloseEvent* event) {
    visible_ = false;
    QWidget::closeEvent(event);
}

void QVPreferencesWindowController::openFileAfterConversionAction() {
    openFileAfterConversion_ = btn_openFile_->isChecked();
    QVUserDefaults& d = QVUserDefaults::standardUserDefaults();
    d.setObject(kOpenFileAfterConversionKey, openFileAfterConversion_);
    d.synchronize();
}

void QVPreferencesWindowController::setAutoUpdateAction() {
    QVAutoUpdate::setAutoCheckForUpdates(btn_autoUpdate_->isChecked());
    pub_autoUpdateInterval_->setEnabled(btn_autoUpdate_->isChecked());
}

void QVPreferencesWindowController::setAutoUpdateTimeIntervalAction() {
    QVAutoUpdate::setUpdateCheckInterval(intervalForItem(pub_autoUpdateInterval_->currentIndex()));
}

void QVPreferencesWindowController::checkUpdateNowAction() { QVAutoUpdate::checkForUpdate(this); }

void QVPreferencesWindowController::toolbarItemGeneralAction() {
    if (QAction* a = tb_top_->findChild<QAction*>(QStringLiteral("QVToolbarItem_General")))
        a->setChecked(true);
    contentView_->setCurrentWidget(preView_General_);
}

void QVPreferencesWindowController::toolbarItemUpdateAction() {
    if (QAction* a = tb_top_->findChild<QAction*>(QStringLiteral("QVToolbarItem_Update")))
        a->setChecked(true);
    contentView_->setCurrentWidget(preView_Update_);
}
