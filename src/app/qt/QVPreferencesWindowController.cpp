#include "QVPreferencesWindowController.h"

#include "app/QVUserDefaults.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QStackedWidget>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <memory>

namespace {
std::unique_ptr<QVPreferencesWindowController>& slot() {
    static std::unique_ptr<QVPreferencesWindowController> instance;
    return instance;
}
} // namespace

QVPreferencesWindowController* QVPreferencesWindowController::sharedInstance() {
    if (!slot())
        slot().reset(new QVPreferencesWindowController());
    return slot().get();
}

void QVPreferencesWindowController::releaseSharedInstance() { slot().reset(); }

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
                                         QStringLiteral("Updates"), this,
                                         &QVPreferencesWindowController::toolbarItemUpdateAction);
    for (QAction* a : {general, update}) {
        a->setCheckable(true);
        group->addAction(a);
    }
    general->setChecked(true);
    layout->addWidget(tb_top_);

    contentView_ = new QStackedWidget(this);
    preView_General_ = new QWidget(contentView_);
    auto* g = new QVBoxLayout(preView_General_);
    g->setContentsMargins(24, 18, 24, 24);
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
    u->setContentsMargins(24, 18, 24, 24);
    auto* text = new QLabel(QStringLiteral("Corvala is updated together with your system: install "
                                           "updates with your distribution's software updater or "
                                           "package manager. The application does not download or "
                                           "install updates by itself."),
                            preView_Update_);
    text->setWordWrap(true);
    u->addWidget(text);
    u->addStretch();
    contentView_->addWidget(preView_General_);
    contentView_->addWidget(preView_Update_);
    layout->addWidget(contentView_);
    resize(440, 200);

    connect(btn_openFile_, &QCheckBox::clicked, this, &QVPreferencesWindowController::openFileAfterConversionAction);
    loadSettings();
}

void QVPreferencesWindowController::loadSettings() {
    // An absent key reads as off.
    openFileAfterConversion_ = QVUserDefaults::standardUserDefaults().boolForKey(kOpenFileAfterConversionKey);
    btn_openFile_->setChecked(openFileAfterConversion_);
}

void QVPreferencesWindowController::showWindow() {
    if (visible_) {
        close();
        return;
    }
    loadSettings();
    show();
    raise();
    activateWindow();
    visible_ = true;
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

void QVPreferencesWindowController::toolbarItemGeneralAction() { contentView_->setCurrentWidget(preView_General_); }

void QVPreferencesWindowController::toolbarItemUpdateAction() { contentView_->setCurrentWidget(preView_Update_); }
