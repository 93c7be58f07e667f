#include "QVSettingsViewController.h"

#include "QVFileChooser.h"
#include "QVFilePreview.h"
#include "QVImages.h"
#include "QVSourceItemText.h"
#include "QVWorkspace.h"

#include "app/QVCUtilities.h"
#include "app/QVPageRange.h"
#include "app/QVSandBoxUtilities.h"
#include "app/QVSourceFileItem.h"
#include "app/QVUserDefaults.h"
#include "converter/QVPDFConverter.h"
#include "platform/Files.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace {
constexpr const char* kOutputFormatKey = "settings_outputFormat";
constexpr const char* kDefaultFormatTitle = "Microsoft Excel(.xlsx)";
const QSize kPreviewBox(260, 220);

QLabel* sectionLabel(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}
} // namespace

const char* const QVSettingsViewController::kNoOutputFolderText = "No output folder chosen";

QStringList QVSettingsViewController::outputFormatTitles() {
    return {QStringLiteral("Microsoft Excel(.xlsx)"), QStringLiteral("Comma-Separated Values(.csv)"),
            QStringLiteral("UTF-8 Plain Text(.txt)"), QStringLiteral("Rich Text File(.rtf)"),
            QStringLiteral("Web Source File(.html)")};
}

QVSettingsViewController::QVSettingsViewController(QWidget* parent)
    : QWidget(parent), fileChooser_(std::make_shared<QVFileChooser>()) {
    preview_ = new QVFilePreview(this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 14, 16, 14);
    outer->setSpacing(8);

    iv_previewIcon_ = new QLabel(this);
    iv_previewIcon_->setFixedSize(kPreviewBox);
    iv_previewIcon_->setAlignment(Qt::AlignCenter);
    iv_previewIcon_->setStyleSheet(QStringLiteral("background:#eef0f3; border-radius:6px;"));
    outer->addWidget(iv_previewIcon_, 0, Qt::AlignHCenter);
    tf_previewTitle_ = new QLabel(this);
    QFont tf = tf_previewTitle_->font();
    tf.setBold(true);
    tf.setPointSizeF(tf.pointSizeF() * 1.1);
    tf_previewTitle_->setFont(tf);
    tf_previewTitle_->setAlignment(Qt::AlignHCenter);
    tf_previewTitle_->setMinimumWidth(10);
    tf_previewInfo_ = new QLabel(this);
    tf_previewInfo_->setAlignment(Qt::AlignHCenter);
    tf_previewInfo_->setWordWrap(true);
    tf_previewInfo_->setForegroundRole(QPalette::PlaceholderText);
    outer->addWidget(tf_previewTitle_);
    outer->addWidget(tf_previewInfo_);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    outer->addSpacing(4);
    outer->addWidget(line);

    outer->addWidget(sectionLabel(QStringLiteral("Output format"), this));
    pub_outputFormat_ = new QComboBox(this);
    pub_outputFormat_->addItems(outputFormatTitles());
    // Formats this build cannot write yet stay visible but cannot be chosen.
    if (auto* m = qobject_cast<QStandardItemModel*>(pub_outputFormat_->model())) {
        const auto keys = QVSourceFileItem::docFormatTypeDictionary();
        for (int i = 0; i < pub_outputFormat_->count(); ++i) {
            auto it = keys.find(pub_outputFormat_->itemText(i).toStdString());
            if (it != keys.end() && !QVPDFConverter::hasExporterForDocType(it->second)) {
                m->item(i)->setEnabled(false);
                m->item(i)->setToolTip(QStringLiteral("Not available in this version"));
            }
        }
    }
    outer->addWidget(pub_outputFormat_);
    btn_moreSettings_ = new QPushButton(QStringLiteral("Spreadsheet Settings…"), this);
    outer->addWidget(btn_moreSettings_, 0, Qt::AlignLeft);

    outer->addWidget(sectionLabel(QStringLiteral("Pages"), this));
    mtx_ouputPageRange_ = new QButtonGroup(this);
    auto* all = new QRadioButton(QStringLiteral("All pages"), this);
    auto* custom = new QRadioButton(QStringLiteral("Pages:"), this);
    mtx_ouputPageRange_->addButton(all, 0);
    mtx_ouputPageRange_->addButton(custom, 1);
    tf_ouputPageRange_ = new QLineEdit(this);
    tf_ouputPageRange_->setPlaceholderText(QStringLiteral("e.g. 1-3,5"));
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(custom);
    rangeRow->addWidget(tf_ouputPageRange_, 1);
    outer->addWidget(all);
    outer->addLayout(rangeRow);

    btn_outputApplyToAll_ = new QCheckBox(QStringLiteral("Apply these settings to all files"), this);
    outer->addWidget(btn_outputApplyToAll_);

    auto* line2 = new QFrame(this);
    line2->setFrameShape(QFrame::HLine);
    line2->setFrameShadow(QFrame::Sunken);
    outer->addSpacing(4);
    outer->addWidget(line2);
    outer->addWidget(sectionLabel(QStringLiteral("Output folder"), this));
    tf_ouputPath_ = new QLineEdit(this);
    tf_ouputPath_->setReadOnly(true);
    outer->addWidget(tf_ouputPath_);
    auto* folderRow = new QHBoxLayout;
    btn_ouputbrowse_ = new QPushButton(QStringLiteral("Choose…"), this);
    btn_ouputReveal_ = new QPushButton(QStringLiteral("Show in File Manager"), this);
    folderRow->addWidget(btn_ouputbrowse_);
    folderRow->addWidget(btn_ouputReveal_);
    folderRow->addStretch();
    outer->addLayout(folderRow);
    outer->addStretch(1);

    panel_moreSettings_ = new QDialog(this);
    panel_moreSettings_->setWindowTitle(QStringLiteral("Spreadsheet Settings"));
    panel_moreSettings_->setWindowModality(Qt::WindowModal);
    auto* panelLayout = new QVBoxLayout(panel_moreSettings_);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    settings_Excel_ = new QVExcelSettings(panel_moreSettings_);
    settings_Excel_->setDelegate(this);
    panelLayout->addWidget(settings_Excel_);

    connect(pub_outputFormat_, &QComboBox::activated, this, &QVSettingsViewController::settingsButtonPressed);
    connect(mtx_ouputPageRange_, &QButtonGroup::idClicked, this, &QVSettingsViewController::settingsButtonPressed);
    connect(tf_ouputPageRange_, &QLineEdit::textEdited, this, &QVSettingsViewController::settingsButtonPressed);
    connect(btn_moreSettings_, &QPushButton::clicked, this, &QVSettingsViewController::moreSettingsAction);
    connect(btn_ouputbrowse_, &QPushButton::clicked, this, &QVSettingsViewController::browseOutputDirectry);
    connect(btn_ouputReveal_, &QPushButton::clicked, this, &QVSettingsViewController::revealOutputDirectry);
    connect(preview_, &QVFilePreview::ready, this, [this](const QString& path) {
        if (sourceFileItem_ && QString::fromStdString(sourceFileItem_->sourcePath()) == path)
            showPreview();
    });

    // Start: the stored folder, the stored format, nothing shown.
    QVSandBoxUtilities::startAccessingUserSelectedOutputURLBookmark();
    showOutputFolder();
    pub_outputFormat_->setCurrentText(QString::fromStdString(
        QVCUtilities::stringValueForKey(kOutputFormatKey, kDefaultFormatTitle)));
    setSourceFileItem(nullptr);
}

QVSettingsViewController::~QVSettingsViewController() = default;

void QVSettingsViewController::setFileChooser(std::shared_ptr<QVFileChooser> chooser) {
    fileChooser_ = chooser ? std::move(chooser) : std::make_shared<QVFileChooser>();
}

void QVSettingsViewController::showOutputFolder() {
    if (auto folder = QVSandBoxUtilities::UserSelectedOutputURLBookmark()) {
        tf_ouputPath_->setText(QString::fromStdString(*folder));
        tf_ouputPath_->setToolTip(tf_ouputPath_->text());
        tf_ouputPath_->setCursorPosition(0);
    } else {
        // What is stored may name a folder that has gone: say so rather than
        // pretend a default that nothing writes into.
        tf_ouputPath_->setText(QString::fromLatin1(kNoOutputFolderText));
        tf_ouputPath_->setToolTip(QString());
    }
    btn_ouputReveal_->setEnabled(QVSandBoxUtilities::UserSelectedOutputURLBookmark().has_value());
}

void QVSettingsViewController::showPreview() {
    const qreal dpr = devicePixelRatioF();
    if (!sourceFileItem_) {
        iv_previewIcon_->setPixmap(QVImages::pixmap(QStringLiteral("default-eye"), QSize(140, 140), dpr));
        return;
    }
    const QString path = QString::fromStdString(sourceFileItem_->sourcePath());
    QImage page = preview_->imageForPath(path, sourceFileItem_->sourcePassword(),
                                         (QSizeF(kPreviewBox - QSize(16, 16)) * dpr).toSize());
    if (!page.isNull()) {
        page.setDevicePixelRatio(dpr);
        iv_previewIcon_->setPixmap(QPixmap::fromImage(page));
    } else {
        iv_previewIcon_->setPixmap(QVImages::pixmap(QVSourceItemText::icon(*sourceFileItem_),
                                                    QSize(120, 120), dpr));
    }
}

void QVSettingsViewController::setSourceFileItem(std::shared_ptr<QVSourceFileItem> item) {
    sourceFileItem_ = std::move(item);
    showPreview();
    const bool on = sourceFileItem_ != nullptr;
    for (QWidget* w : std::initializer_list<QWidget*>{btn_outputApplyToAll_, pub_outputFormat_,
                                                      tf_ouputPageRange_, btn_moreSettings_})
        w->setEnabled(on);
    for (QAbstractButton* b : mtx_ouputPageRange_->buttons())
        b->setEnabled(on);
    if (!on) {
        tf_previewTitle_->setText(QStringLiteral("No File Selected"));
        tf_previewInfo_->setText(QString());
        return;
    }
    const QString name = QString::fromStdString(platform::lastPathComponent(sourceFileItem_->sourcePath()));
    tf_previewTitle_->setText(fontMetrics().elidedText(name, Qt::ElideMiddle, kPreviewBox.width()));
    tf_previewTitle_->setToolTip(name);
    // The page count and size, and why the last conversion failed.
    QString info = QVSourceItemText::info(*sourceFileItem_);
    const QString why = QVSourceItemText::failure(
        *sourceFileItem_, lastErrorOf_ ? lastErrorOf_(sourceFileItem_.get()) : std::string());
    if (!why.isEmpty())
        info += QStringLiteral("\n") + why;
    tf_previewInfo_->setText(info);
    pub_outputFormat_->setCurrentText(QString::fromStdString(sourceFileItem_->settings_outputFormat()));
    if (QAbstractButton* b = mtx_ouputPageRange_->button(sourceFileItem_->settings_pageRangeType() == 1 ? 1 : 0))
        b->setChecked(true);
    tf_ouputPageRange_->setText(QString::fromStdString(sourceFileItem_->settings_customPageRange()));
    updateUI();
}

void QVSettingsViewController::updateUI() {
    if (!sourceFileItem_) {
        pub_outputFormat_->setCurrentText(QString::fromStdString(
            QVCUtilities::stringValueForKey(kOutputFormatKey, kDefaultFormatTitle)));
        return;
    }
    tf_ouputPageRange_->setEnabled(mtx_ouputPageRange_->checkedId() != 0);
    const QString format = QString::fromStdString(sourceFileItem_->outputFileFormat());
    btn_moreSettings_->setEnabled(format == "xlsx" || format == "csv");
    // A range that cannot be read is marked where it is typed.
    const auto problem = QVPageRange::syntaxProblem(tf_ouputPageRange_->text().toStdString());
    const bool bad = tf_ouputPageRange_->isEnabled() && problem.has_value();
    tf_ouputPageRange_->setStyleSheet(bad ? QStringLiteral("QLineEdit { border: 1px solid #c0392b; }") : QString());
    tf_ouputPageRange_->setToolTip(bad ? QString::fromStdString(*problem) : QString());
}

void QVSettingsViewController::settingsButtonPressed() {
    if (!sourceFileItem_)
        return;
    sourceFileItem_->setSettings_outputFormat(pub_outputFormat_->currentText().toStdString());
    sourceFileItem_->setSettings_pageRangeType(mtx_ouputPageRange_->checkedId() == 1 ? 1 : 0);
    sourceFileItem_->setSettings_customPageRange(tf_ouputPageRange_->text().toStdString());
    updateUI();
    if (delegate_)
        delegate_->QVSettingsViewControllerDidUpdateSettings(*this);
}

void QVSettingsViewController::moreSettingsAction() {
    if (!sourceFileItem_)
        return;
    settings_Excel_->updateValues(sourceFileItem_);
    panel_moreSettings_->adjustSize();
    panel_moreSettings_->open();
}

void QVSettingsViewController::conversionSettingsValueUpdated(QVPDFConversionSettings& settings) {
    auto* excel = qobject_cast<QVExcelSettings*>(&settings);
    if (!excel || !sourceFileItem_)
        return;
    QVExcelOptions& o = *sourceFileItem_->convertOpts().excelOptions();
    o.setExcelFormatOption(static_cast<uint64_t>(std::max(0, excel->mtx_dataStruct()->checkedId())));
    o.setThousandSepartor(static_cast<uint64_t>(std::max(0, excel->pub_thousandSepartor()->currentIndex())));
    o.setAllInOneSheet(excel->mtx_eachPageSheet()->checkedId() != 0);
    o.setAiosAddToRow(excel->mtx_aiosAddToRow()->checkedId() == 0);
    settingsButtonPressed();
}

void QVSettingsViewController::conversionSettingsButtonDoneAction(QVPDFConversionSettings&) {
    panel_moreSettings_->done(0);
}

void QVSettingsViewController::chooseFolder(bool tellDelegate) {
    const QString start = QString::fromStdString(QVSandBoxUtilities::UserSelectedOutputURLBookmark().value_or(""));
    QPointer<QVSettingsViewController> self(this);
    fileChooser_->chooseDirectory(
        window(), QStringLiteral("Choose the Folder to Save Converted Documents In"), start,
        [self, tellDelegate](const QString& folder) {
            // No folder is no answer: nothing is stored and no run starts.
            if (!self || folder.isEmpty())
                return;
            QVSandBoxUtilities::stopAccessingUserSelectedOutputURLBookmark();
            if (!QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(folder.toStdString()))
                return;
            QVSandBoxUtilities::startAccessingUserSelectedOutputURLBookmark();
            self->showOutputFolder();
            if (tellDelegate && self->delegate_ && QVSandBoxUtilities::isReadAndWritableUserSelectedOutputURLBookmark())
                self->delegate_->QVSettingsViewControllerDidCreationFirstOutputDirectory(*self);
            else if (tellDelegate)
                self->browseOutputDirectryBeforeConversion();
        });
}

void QVSettingsViewController::browseOutputDirectryBeforeConversion() {
    const std::optional<std::string> stored =
        QVUserDefaults::standardUserDefaults().stringForKey(QVSandBoxUtilities::kDefaultKey);
    if (!stored || stored->empty()) {
        chooseFolder(true);
        return;
    }
    // A stored folder that went away or cannot be written: say which and why,
    // and offer another.
    const std::string problem = QVSandBoxUtilities::problemWithFolder(*stored).value_or("cannot be used");
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Output Folder Unavailable"),
                                QStringLiteral("The output folder “%1” %2.")
                                    .arg(QString::fromStdString(*stored), QString::fromStdString(problem)),
                                QMessageBox::Cancel, window());
    box->setInformativeText(QStringLiteral("Choose another folder to save the converted documents in."));
    QPushButton* choose = box->addButton(QStringLiteral("Choose Another Folder…"), QMessageBox::AcceptRole);
    box->setDefaultButton(choose);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setObjectName(QStringLiteral("outputFolderProblem"));
    QPointer<QVSettingsViewController> self(this);
    connect(box, &QMessageBox::buttonClicked, this, [self, box, choose](QAbstractButton* b) {
        if (self && b == choose)
            QMetaObject::invokeMethod(self, [self] { if (self) self->chooseFolder(true); }, Qt::QueuedConnection);
        (void)box;
    });
    box->open();
}

void QVSettingsViewController::browseOutputDirectry() { chooseFolder(false); }

void QVSettingsViewController::revealOutputDirectry() {
    if (auto folder = QVSandBoxUtilities::UserSelectedOutputURLBookmark())
        QVWorkspace::sharedWorkspace().openFile(QString::fromStdString(*folder));
}
