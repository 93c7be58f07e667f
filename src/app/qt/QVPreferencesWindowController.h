#pragma once
// The preferences window: General (open each output file after its
// conversion) and Updates. Linux packages are updated by the system's
// package manager, so the Updates pane says so instead of offering checks
// that nothing would act on. One window for the process.

#include <QWidget>

class QCheckBox;
class QStackedWidget;
class QToolBar;

class QVPreferencesWindowController : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kOpenFileAfterConversionKey =
        "QVPDFConverterSettings_OpenFileAfterConversion";

    /// The one window, made on first use; it lives until releaseSharedInstance.
    static QVPreferencesWindowController* sharedInstance();
    static void releaseSharedInstance();

    bool openFileAfterConversion() const { return openFileAfterConversion_; }
    void setOpenFileAfterConversion(bool v) { openFileAfterConversion_ = v; }
    bool visible() const { return visible_; }
    QCheckBox* btn_openFile() const { return btn_openFile_; }

public slots:
    /// Shows the window, or closes it when it is showing.
    void showWindow();
    void openFileAfterConversionAction();
    void toolbarItemGeneralAction();
    void toolbarItemUpdateAction();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QVPreferencesWindowController();
    void loadSettings();

    QToolBar* tb_top_ = nullptr;
    QStackedWidget* contentView_ = nullptr;
    QWidget* preView_General_ = nullptr;
    QWidget* preView_Update_ = nullptr;
    QCheckBox* btn_openFile_ = nullptr;
    bool openFileAfterConversion_ = false;
    bool visible_ = false;
};
