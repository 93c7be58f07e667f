#pragma once
// The main window and the application's behaviour around it: the source list
// on the left, the settings panel on the right, the convert/cancel button;
// it owns the one queue manager and turns its reports into row progress,
// takes files from the command line and later launches, carries the menus,
// and decides about closing (closing the window quits, after asking when a
// run is active).

#include "QVSettingsViewController.h"
#include "QVSourceFileViewController.h"

#include "app/QVPDFConverterManagerDelegate.h"
#include "converter/QVPDFConverter.h"

#include <QMainWindow>

#include <memory>
#include <vector>

class QAction;
class QLabel;
class QVFileChooser;
class QVImageButton;
class QVPDFConverterManager;

class QVAppDelegate : public QMainWindow,
                      public QVSourceFileViewControllerDelegate,
                      public QVSettingsViewControllerDelegate,
                      public QVPDFConverterManagerDelegate {
    Q_OBJECT
public:
    static constexpr const char* kHiddenSettingsKey = "setttings_isHiddenSettings";

    /// With the engine's converter, or another one (a scripted one in tests).
    explicit QVAppDelegate(std::unique_ptr<QVPDFConverter> converter = nullptr);
    ~QVAppDelegate() override;

    /// The process-wide window; none before it was made.
    static QVAppDelegate* sharedInstance();

    QVPDFConverterManager& converterManager() { return *converterManager_; }
    QVSourceFileViewController* sourceFileViewController() const { return sourceFileViewController_; }
    QVSettingsViewController* settingsViewController() const { return settingsViewController_; }
    QVImageButton* btn_convert() const { return btn_convert_; }
    QWidget* rightView() const { return rightView_; }
    /// The open dialogs of the list and the panel (a stand-in in tests).
    void setFileChooser(std::shared_ptr<QVFileChooser> chooser);

    // QVPDFConverterManagerDelegate
    void managerWillStartConversion(QVPDFConverterManager&) override;
    void managerDidEndConversion(QVPDFConverterManager&) override;
    void didStartConversion(QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>&,
                            const std::optional<QVError>&) override;
    void didEndConversion(QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>&,
                          const std::optional<QVError>&) override;
    void didConversionConvertPDFPageIndex(QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>&,
                                          int64_t pageNumber, size_t writeWordPageIndex,
                                          size_t finshedWordPageCount) override;
    void didConversionWillSaveDoc(QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>&) override;
    void didConversionCatchException(QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>&,
                                     const QVException&) override;
    /// The listed files whose custom page range selects none of their pages.
    std::vector<std::shared_ptr<QVSourceFileItem>> itemsWhoseRangeSelectsNoPage() const;

    // QVSourceFileViewControllerDelegate
    void QVSourceFileViewControllerDidUpdateSelection(QVSourceFileViewController&) override;
    void QVSourceFileViewControllerDidUpdateCount(QVSourceFileViewController&) override;
    // QVSettingsViewControllerDelegate
    void QVSettingsViewControllerDidUpdateSettings(QVSettingsViewController&) override;
    void QVSettingsViewControllerDidCreationFirstOutputDirectory(QVSettingsViewController&) override;

public slots:
    /// Files from the command line or a later launch: checked and listed.
    void application_openFiles(const QStringList& paths);
    void startOrStopConversion();
    void startOrStopConversionGo();
    void hidenSettingView();
    void showOrHidenSettingView();
    void showAboutBox();
    void showPreferences();
    /// The menu's "Check for Updates…": a check that always answers.
    void checkForUpdates();
    void support_copySampleFiles();
    void support_userManual();
    void support_TechnicalSupport();
    void support_tellAFriend();
    void support_followUs();
    void support_VisitProductPage();
    void support_VistOurWebsite();

signals:
    /// The window closed for good: the application should end.
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void askAboutEmptyRanges(const std::vector<std::shared_ptr<QVSourceFileItem>>& bad);
    /// Makes sure of an output folder, then starts the run.
    void startWithOutputFolder();
    void setConvertImages(bool cancel);
    void updateMinimumSize();
    void updateActions();

    std::unique_ptr<QVPDFConverterManager> converterManager_;
    QVSourceFileViewController* sourceFileViewController_ = nullptr;
    QVSettingsViewController* settingsViewController_ = nullptr;
    QWidget* leftView_ = nullptr;
    QWidget* rightView_ = nullptr;
    QVImageButton* btn_convert_ = nullptr;
    QLabel* tf_summary_ = nullptr;
    QAction* mi_convert_ = nullptr;
    QAction* mi_showSettings_ = nullptr;
    QAction* mi_remove_ = nullptr;
    QAction* mi_removeAll_ = nullptr;
    QAction* mi_showSource_ = nullptr;
    QAction* mi_showOutput_ = nullptr;
    size_t currentPageCount_ = 0;
    bool quitting_ = false;
    std::vector<std::shared_ptr<QVSourceFileItem>> leftOut_; ///< not in the next run (range selects no page)
};
