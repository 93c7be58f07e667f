#include "QVAboutWindowController.h"

#include "QVImages.h"
#include "QVSupport.h"

#include "platform/AppInfo.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

QVAboutWindowController::QVAboutWindowController(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Corvala"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 18);
    layout->setSpacing(8);
    auto* icon = new QLabel(this);
    icon->setPixmap(QVImages::applicationIcon().pixmap(QSize(96, 96), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    auto* name = new QLabel(QStringLiteral("<h2 style='margin:0'>%1</h2>")
                                .arg(QString::fromStdString(platform::applicationDisplayName())),
                            this);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    auto* version = new QLabel(
        QStringLiteral("Version %1").arg(QString::fromStdString(platform::applicationVersion())), this);
    version->setAlignment(Qt::AlignCenter);
    version->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(version);
    auto* what = new QLabel(QStringLiteral("Converts PDF documents into Excel workbooks, tab-separated "
                                           "text and other editable documents."),
                            this);
    what->setWordWrap(true);
    what->setAlignment(Qt::AlignCenter);
    layout->addSpacing(6);
    layout->addWidget(what);
    auto* site = new QLabel(QStringLiteral("<a href='%1'>%1</a>").arg(QString::fromLatin1(QVSupport::kHomePage)), this);
    site->setOpenExternalLinks(true);
    site->setAlignment(Qt::AlignCenter);
    layout->addWidget(site);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    setFixedWidth(360);
}
