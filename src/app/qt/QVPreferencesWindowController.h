#pragma once
// The preferences window: General (open each output file after its
// conversion) and Update (automatic update checks, their interval, a check
// at once). One window for the process.

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
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
    QCheckBox* btn_autoUpdate() const { return btn_autoUpdate_; }
    QComboBox* pub_autoUpdateInterval() const { return pub_autoUpdateInterval_; }
    QPushButton* btn_checkNow() const { return btn_checkNow_; }
    QWidget* preView_General() const { return preView_General_; }
    QWidget* preView_Update() const { return preView_Update_; }
    QStackedWidget* contentView() const { return contentView_; }

    /// The interval of a popup item (0: a day, 1: a week, 2: thirty days).
    static double intervalForItem(int index);

public slots:
    /// Shows the window, or closes it when it is showing.
    void showWindow();
    void openFileAfterConversionAction();
    void setAutoUpdateAction();
    void setAutoUpdateTimeIntervalAction();
    void checkUpdateNowAction();
    void toolbarItemGeneralAction();
    void toolbarItemUpdateAction();
    /// Fills the Update pane from the updater.
    void loadUpdateSettings();

protected:
    void closeEvent(QCloseEvent* event) override;
    /// Esc and Ctrl+W close the window.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QVPreferencesWindowController();
    void loadSettings();
    void showLastCheck();

    QToolBar* tb_top_ = nullptr;
    QStackedWidget* contentView_ = nullptr;
    QWidget* preView_General_ = nullptr;
    QWidget* preView_Update_ = nullptr;
    QCheckBox* btn_openFile_ = nullptr;
    QCheckBox* btn_autoUpdate_ = nullptr;
    QComboBox* pub_autoUpdateInterval_ = nullptr;
    QPushButton* btn_checkNow_ = nullptr;
    QLabel* tf_lastCheck_ = nullptr;
    bool openFileAfterConversion_ = false;
    bool visible_ = false;
};
