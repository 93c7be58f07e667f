#pragma once
// The right-hand panel: the selected file's preview, name, pages and size;
// its output format and page range (written into the item at each change);
// the spreadsheet settings sheet; and the one output folder all conversions
// write into, chosen once and kept in the settings.

#include "QVExcelSettings.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QVFileChooser;
class QVFilePreview;
class QVSettingsViewController;
class QVSourceFileItem;

class QVSettingsViewControllerDelegate {
public:
    virtual ~QVSettingsViewControllerDelegate() = default;
    /// The shown item's settings were just written.
    virtual void QVSettingsViewControllerDidUpdateSettings(QVSettingsViewController&) {}
    /// The folder question before a conversion was answered with a folder.
    virtual void QVSettingsViewControllerDidCreationFirstOutputDirectory(QVSettingsViewController&) {}
};

class QVSettingsViewController : public QWidget, public QVPDFConversionSettingsDelegate {
    Q_OBJECT
public:
    /// The five output formats offered, in the popup's order.
    static QStringList outputFormatTitles();
    static const char* const kNoOutputFolderText; // "No output folder chosen"

    explicit QVSettingsViewController(QWidget* parent = nullptr);
    ~QVSettingsViewController() override;

    QVSettingsViewControllerDelegate* delegate() const { return delegate_; }
    void setDelegate(QVSettingsViewControllerDelegate* d) { delegate_ = d; }
    void setFileChooser(std::shared_ptr<QVFileChooser> chooser);

    const std::shared_ptr<QVSourceFileItem>& sourceFileItem() const { return sourceFileItem_; }
    void setSourceFileItem(std::shared_ptr<QVSourceFileItem> item);
    void updateUI();

    QCheckBox* btn_outputApplyToAll() const { return btn_outputApplyToAll_; }
    QComboBox* pub_outputFormat() const { return pub_outputFormat_; }
    QButtonGroup* mtx_ouputPageRange() const { return mtx_ouputPageRange_; }
    QLineEdit* tf_ouputPageRange() const { return tf_ouputPageRange_; }
    QLineEdit* tf_ouputPath() const { return tf_ouputPath_; }
    QLabel* tf_previewTitle() const { return tf_previewTitle_; }
    QLabel* tf_previewInfo() const { return tf_previewInfo_; }
    /// Where the panel learns the last error caught while an item converted.
    void setLastErrorOf(std::function<std::string(const QVSourceFileItem*)> f) { lastErrorOf_ = std::move(f); }
    QLabel* iv_previewIcon() const { return iv_previewIcon_; }
    QPushButton* btn_moreSettings() const { return btn_moreSettings_; }
    QDialog* panel_moreSettings() const { return panel_moreSettings_; }
    QVExcelSettings* settings_Excel() const { return settings_Excel_; }

    // QVPDFConversionSettingsDelegate
    void conversionSettingsValueUpdated(QVPDFConversionSettings& settings) override;
    void conversionSettingsButtonDoneAction(QVPDFConversionSettings& settings) override;

public slots:
    void settingsButtonPressed();
    void moreSettingsAction();
    /// Before a run with no usable output folder: says what is wrong with a
    /// stored one and asks for a folder; the delegate hears of a new one.
    void browseOutputDirectryBeforeConversion();
    void browseOutputDirectry();
    void revealOutputDirectry();

private:
    void showOutputFolder();
    void showPreview();
    void chooseFolder(bool tellDelegate);

    QVSettingsViewControllerDelegate* delegate_ = nullptr;
    std::shared_ptr<QVFileChooser> fileChooser_;
    QLabel* iv_previewIcon_ = nullptr;
    QLabel* tf_previewTitle_ = nullptr;
    QLabel* tf_previewInfo_ = nullptr;
    QCheckBox* btn_outputApplyToAll_ = nullptr;
    QComboBox* pub_outputFormat_ = nullptr;
    QButtonGroup* mtx_ouputPageRange_ = nullptr;
    QLineEdit* tf_ouputPageRange_ = nullptr;
    QLineEdit* tf_ouputPath_ = nullptr;
    QPushButton* btn_ouputbrowse_ = nullptr;
    QPushButton* btn_ouputReveal_ = nullptr;
    QPushButton* btn_moreSettings_ = nullptr;
    QDialog* panel_moreSettings_ = nullptr;
    QVExcelSettings* settings_Excel_ = nullptr;
    QVFilePreview* preview_ = nullptr;
    std::shared_ptr<QVSourceFileItem> sourceFileItem_;
    std::function<std::string(const QVSourceFileItem*)> lastErrorOf_;
};
