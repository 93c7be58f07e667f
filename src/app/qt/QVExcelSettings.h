#pragma once
// The spreadsheet settings sheet: data structure, thousand separator, one
// sheet per page or all pages in one sheet (pages below or beside each
// other). Every change goes to the delegate at once; Done only closes.

#include <QWidget>

#include <memory>

class QButtonGroup;
class QComboBox;
class QPushButton;
class QVPDFConversionSettings;
class QVSourceFileItem;

class QVPDFConversionSettingsDelegate {
public:
    virtual ~QVPDFConversionSettingsDelegate() = default;
    virtual void conversionSettingsValueUpdated(QVPDFConversionSettings&) {}
    virtual void conversionSettingsButtonDoneAction(QVPDFConversionSettings&) {}
};

/// The base of per-format settings views.
class QVPDFConversionSettings : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    QVPDFConversionSettingsDelegate* delegate() const { return delegate_; }
    void setDelegate(QVPDFConversionSettingsDelegate* d) { delegate_ = d; }
    virtual void updateValues(const std::shared_ptr<QVSourceFileItem>&) {}

protected:
    QVPDFConversionSettingsDelegate* delegate_ = nullptr;
};

class QVExcelSettings : public QVPDFConversionSettings {
    Q_OBJECT
public:
    explicit QVExcelSettings(QWidget* parent = nullptr);

    void updateValues(const std::shared_ptr<QVSourceFileItem>& item) override;

    QButtonGroup* mtx_dataStruct() const { return mtx_dataStruct_; }
    QComboBox* pub_thousandSepartor() const { return pub_thousandSepartor_; }
    QButtonGroup* mtx_eachPageSheet() const { return mtx_eachPageSheet_; }
    QButtonGroup* mtx_aiosAddToRow() const { return mtx_aiosAddToRow_; }
    QPushButton* btn_done() const { return btn_done_; }

public slots:
    void updateValueAction();
    void buttonDoneAction();

private:
    void enableAddToRow();
    QButtonGroup* mtx_dataStruct_ = nullptr;
    QComboBox* pub_thousandSepartor_ = nullptr;
    QButtonGroup* mtx_eachPageSheet_ = nullptr;
    QButtonGroup* mtx_aiosAddToRow_ = nullptr;
    QPushButton* btn_done_ = nullptr;
};
