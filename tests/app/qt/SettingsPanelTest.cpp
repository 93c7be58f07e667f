// The settings panel and the spreadsheet sheet: what is enabled when, and
// every change written into the shown item (and the stored format) at once.

#include "TestSupport.h"

#include "QVExcelSettings.h"
#include "QVSettingsViewController.h"

#include "app/QVSandBoxUtilities.h"
#include "app/QVSourceFileItem.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>

namespace {
struct Recorder : QVSettingsViewControllerDelegate {
    int updates = 0;
    int folders = 0;
    void QVSettingsViewControllerDidUpdateSettings(QVSettingsViewController&) override { ++updates; }
    void QVSettingsViewControllerDidCreationFirstOutputDirectory(QVSettingsViewController&) override { ++folders; }
};
} // namespace

class SettingsPanelTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<QVSettingsViewController> panel;
    Recorder recorder;

    std::shared_ptr<QVSourceFileItem> item(const std::string& name) {
        return QVSourceFileItem::create(env->pdf(name, 3).toStdString());
    }

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>("panel");
        recorder = Recorder{};
        panel = std::make_unique<QVSettingsViewController>();
        panel->setDelegate(&recorder);
        panel->setFileChooser(env->chooser);
        panel->show();
    }
    void cleanup() {
        panel.reset();
        env.reset();
    }

    void enablingRulesAndWriteThrough() {
        // Nothing shown: everything that edits an item is off.
        QCOMPARE(panel->tf_previewTitle()->text(), QString("No File Selected"));
        QCOMPARE(panel->pub_outputFormat()->currentText(), QString("Microsoft Excel(.xlsx)"));
        QVERIFY(env->settingsText().contains("settings_outputFormat=Microsoft Excel(.xlsx)"));
        for (QWidget* w : std::initializer_list<QWidget*>{panel->pub_outputFormat(), panel->tf_ouputPageRange(),
                                                          panel->btn_outputApplyToAll(),
                                                          panel->mtx_ouputPageRange()->button(1)})
            QVERIFY(!w->isEnabled());
        panel->settingsButtonPressed();
        QCOMPARE(recorder.updates, 0);

        auto a = item("a.pdf");
        panel->setSourceFileItem(a);
        QCOMPARE(panel->tf_previewInfo()->text(), QString::fromStdString(a->sourceInfo()));
        QVERIFY(panel->pub_outputFormat()->isEnabled());
        QVERIFY(!panel->tf_ouputPageRange()->isEnabled()); // all pages
        QCOMPARE(panel->tf_ouputPageRange()->text(), QString("All Pages"));
        panel->mtx_ouputPageRange()->button(1)->click();
        QVERIFY(panel->tf_ouputPageRange()->isEnabled());
        QCOMPARE(a->settings_pageRangeType(), int64_t(1));
        panel->tf_ouputPageRange()->clear();
        QTest::keyClicks(panel->tf_ouputPageRange(), "2-3");
        QCOMPARE(a->settings_customPageRange(), std::string("2-3"));
        QCOMPARE(a->outputPDFPageIndexs(), (std::vector<int64_t>{2, 3}));

        // The format goes into the item and becomes the next item's format.
        panel->pub_outputFormat()->setCurrentIndex(1);
        emit panel->pub_outputFormat()->activated(1);
        QCOMPARE(a->settings_outputFormat(), std::string("Comma-Separated Values(.csv)"));
        QVERIFY(env->settingsText().contains("settings_outputFormat=Comma-Separated Values(.csv)"));
        QCOMPARE(item("b.pdf")->outputFileFormat(), std::string("csv"));
        QVERIFY(recorder.updates >= 3);

        panel->setSourceFileItem(nullptr);
        QCOMPARE(panel->tf_previewTitle()->text(), QString("No File Selected"));
        QVERIFY(!panel->pub_outputFormat()->isEnabled());
    }

    void spreadsheetSheet() {
        auto a = item("a.pdf");
        panel->setSourceFileItem(a);
        panel->moreSettingsAction();
        QTRY_VERIFY(panel->panel_moreSettings()->isVisible());
        QVExcelSettings* sheet = panel->settings_Excel();
        QAbstractButton* beside = sheet->mtx_aiosAddToRow()->button(1);
        QVERIFY(!beside->isEnabled()); // one sheet per page
        sheet->mtx_eachPageSheet()->button(1)->click();
        QVERIFY(beside->isEnabled());
        beside->click();
        sheet->mtx_dataStruct()->button(2)->click();
        sheet->pub_thousandSepartor()->setCurrentIndex(1);
        emit sheet->pub_thousandSepartor()->activated(1);
        const QVExcelOptions& o = *a->convertOpts().excelOptions();
        QVERIFY(o.allInOneSheet());
        QVERIFY(!o.aiosAddToRow());
        QCOMPARE(o.excelFormatOption(), uint64_t(2));
        QCOMPARE(o.thousandSepartor(), uint64_t(1));
        // Back to one sheet per page: the row choice is disabled, kept, and still written.
        sheet->mtx_eachPageSheet()->button(0)->click();
        QVERIFY(!beside->isEnabled());
        QVERIFY(beside->isChecked());
        QVERIFY(!o.allInOneSheet());
        QVERIFY(!o.aiosAddToRow());
        sheet->btn_done()->click();
        QTRY_VERIFY(!panel->panel_moreSettings()->isVisible());
    }

    void outputFolder() {
        QCOMPARE(panel->tf_ouputPath()->text(), QString("No output folder chosen"));
        const std::string out = env->dir + "/out";
        std::filesystem::create_directories(out);
        // A cancelled folder dialog stores nothing and starts nothing.
        panel->browseOutputDirectryBeforeConversion();
        QCOMPARE(env->chooser->folderCalls, 1);
        QCOMPARE(recorder.folders, 0);
        env->chooser->folder = QString::fromStdString(out);
        panel->browseOutputDirectryBeforeConversion();
        QCOMPARE(recorder.folders, 1);
        QCOMPARE(panel->tf_ouputPath()->text(), QString::fromStdString(out));
        QVERIFY(env->settingsText().contains("QVDefaulExportDirectory_SandBox=" + QString::fromStdString(out)));
        panel->revealOutputDirectry();
        QCOMPARE(env->workspace->opened, QStringList{QString::fromStdString(out)});
    }
};

std::unique_ptr<QObject> makeSettingsPanelTest() { return std::make_unique<SettingsPanelTest>(); }

#include "SettingsPanelTest.moc"
