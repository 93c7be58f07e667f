// The main window against a scripted converter: the progress sequence of a
// row, what a run resets, which results are opened, the folder question,
// closing and quitting, and the settings keys as the program writes them.

#include "TestSupport.h"

#include "QVAboutWindowController.h"
#include "QVAppDelegate.h"
#include "QVImageButton.h"
#include "QVPreferencesWindowController.h"
#include "QVSingleInstance.h"
#include "QVSourceFileListModel.h"

#include "app/QVPDFConverterManager.h"
#include "app/QVSandBoxUtilities.h"
#include "app/QVSourceFileItem.h"
#include "platform/Dispatch.h"
#include "platform/Files.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <map>

namespace {

// Plays a script per source file name: one report per posted main-queue
// task, as the engine posts one per page. "fail" ends with an error.
class ScriptedConverter : public QVPDFConverter {
public:
    std::map<std::string, bool> failing;
    bool hold = false; ///< keep the end report back until released
    std::function<void()> release;

    bool convertPDFAtPath(const std::string& pdfPath, const std::optional<std::string>&,
                          const std::vector<int64_t>& pages, const std::string&, const std::string&,
                          const QVPDFOptions&) override {
        cancelled_ = false;
        if (delegate())
            delegate()->didStartConversion(*this, std::nullopt);
        const bool fail = failing.count(platform::lastPathComponent(pdfPath)) > 0;
        for (size_t i = 0; i < pages.size(); ++i)
            post([this, i, page = pages[i]] {
                if (!cancelled_)
                    delegate()->convertPDFPageIndex(*this, page, i + 1, i + 1);
            });
        post([this] {
            if (!cancelled_)
                delegate()->willSaveDoc(*this);
        });
        auto end = [this, fail] {
            std::optional<QVError> error;
            if (cancelled_)
                error = QVError{"d", 406, "Conversion has been canceled."};
            else if (fail)
                error = QVError{"d", 405, "Can't load the PDF file."};
            delegate()->didEndConversion(*this, error);
        };
        if (hold)
            release = [this, end] { post(end); };
        else
            post(end);
        return true;
    }
    void stopConvertsionIfNeed() override { cancelled_ = true; }

private:
    void post(std::function<void()> fn) { platform::MainQueue::shared().async(std::move(fn)); }
    bool cancelled_ = false;
};

} // namespace

class AppDelegateTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    ScriptedConverter* converter = nullptr;
    std::unique_ptr<QVAppDelegate> window;
    std::string out;

    void makeWindow() {
        auto c = std::make_unique<ScriptedConverter>();
        converter = c.get();
        window = std::make_unique<QVAppDelegate>(std::move(c));
        window->setFileChooser(env->chooser);
        window->show();
    }
    QVSourceFileViewController& list() { return *window->sourceFileViewController(); }
    void add(const QStringList& paths) {
        list().addFilesToCheckQueue(paths);
        QTRY_VERIFY(!list().isChecking());
    }
    QString status(int row) {
        return list().model()->data(list().model()->index(row), QVSourceFileListModel::StatusRole).toString();
    }

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>("window");
        out = env->dir + "/out";
        std::filesystem::create_directories(out);
        makeWindow();
    }
    void cleanup() {
        window.reset();
        env.reset();
    }

    void progressOfARow() {
        QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(out);
        add({env->pdf("four.pdf", 4)});
        QVSourceFileListModel* m = list().model();
        QList<double> seen;
        connect(m, &QAbstractItemModel::dataChanged, this, [&](const QModelIndex& i) {
            if (!m->data(i, QVSourceFileListModel::ConvertingRole).toBool())
                return;
            const double p = m->data(i, QVSourceFileListModel::ProgressRole).toDouble();
            if (seen.isEmpty() || seen.back() != p)
                seen << p;
        });
        QTest::mouseClick(window->btn_convert(), Qt::LeftButton);
        QCOMPARE(window->btn_convert()->normalImage(), QString("btn-cancel"));
        QTRY_VERIFY(!window->converterManager().isConverting());
        QCOMPARE(seen, (QList<double>{1.0, 21.25, 42.5, 63.75, 85.0, 90.0, 100.0}));
        QVERIFY(status(0).endsWith("Success!"));
        QCOMPARE(m->data(m->index(0), QVSourceFileListModel::StatusIconRole).toString(), QString("status_success"));
        QVERIFY(!m->data(m->index(0), QVSourceFileListModel::ConvertingRole).toBool());
        QCOMPARE(window->btn_convert()->normalImage(), QString("btn-convert"));
        QCOMPARE(window->windowTitle(), QString("Corvala — 1 file"));
    }

    void aRunResetsEveryItemAndOpensOnlySuccesses() {
        QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(out);
        add({env->pdf("a.pdf"), env->pdf("b.pdf")});
        window->startOrStopConversion();
        QTRY_VERIFY(!window->converterManager().isConverting());
        QVERIFY(status(1).endsWith("Success!"));

        // Second run: b was converted before, and is Ready again when a starts,
        // whether its row is on screen or not; b now fails.
        QString bWhenAStarts;
        connect(list().model(), &QAbstractItemModel::dataChanged, this, [&] {
            if (bWhenAStarts.isEmpty() && list().model()->data(list().model()->index(0),
                                                                QVSourceFileListModel::ConvertingRole).toBool())
                bWhenAStarts = status(1);
        });
        converter->failing["b.pdf"] = true;
        QVPreferencesWindowController::sharedInstance()->btn_openFile()->click();
        QVERIFY(QVPreferencesWindowController::sharedInstance()->openFileAfterConversion());
        env->workspace->opened.clear();
        window->startOrStopConversion();
        QTRY_VERIFY(!window->converterManager().isConverting());
        QVERIFY2(bWhenAStarts.endsWith("Ready!"), qPrintable(bWhenAStarts));
        QVERIFY(status(1).endsWith("Failed!"));
        QCOMPARE(env->workspace->opened.size(), 1);
        QVERIFY(env->workspace->opened[0].endsWith("a 2.xlsx"));
        QVERIFY(env->workspace->selected.isEmpty());
    }

    void cancelStopsTheRun() {
        QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(out);
        add({env->pdf("a.pdf", 2), env->pdf("b.pdf")});
        converter->hold = true;
        window->startOrStopConversion();
        QTRY_VERIFY(list().model()->data(list().model()->index(0), QVSourceFileListModel::ProgressRole).toDouble() >= 90);
        window->startOrStopConversion(); // the button now cancels
        QCOMPARE(window->btn_convert()->normalImage(), QString("btn-convert"));
        QVERIFY(window->converterManager().isConverting()); // until the end report
        converter->release();
        QTRY_VERIFY(!window->converterManager().isConverting());
        QVERIFY(status(0).endsWith("Failed!"));
        QVERIFY(status(1).endsWith("Ready!"));
    }

    void unusableFolderIsNamedAndAnotherOffered() {
        add({env->pdf("a.pdf")});
        // No folder stored: the folder dialog; a cancelled one starts nothing.
        window->startOrStopConversion();
        QCOMPARE(env->chooser->folderCalls, 1);
        QVERIFY(!window->converterManager().isConverting());
        // A stored folder that has gone away is named, and another offered.
        const std::string gone = env->dir + "/gone";
        std::filesystem::create_directories(gone);
        QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(gone);
        std::filesystem::remove(gone);
        window->startOrStopConversion();
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = window->findChild<QMessageBox*>("outputFolderProblem")) && box->isVisible());
        QVERIFY(box->text().contains(QString::fromStdString(gone)));
        QVERIFY(box->text().contains("does not exist"));
        env->chooser->folder = QString::fromStdString(out);
        for (QAbstractButton* b : box->buttons())
            if (b->text().startsWith("Choose Another"))
                b->click();
        QTRY_VERIFY(list().ma_sourceItems()[0]->outputPath().has_value());
        QTRY_VERIFY(!window->converterManager().isConverting());
        QVERIFY(status(0).endsWith("Success!"));
        QVERIFY(list().ma_sourceItems()[0]->outputPath()->rfind(out, 0) == 0);
    }

    void closingQuitsAfterAskingDuringARun() {
        QSignalSpy quits(window.get(), &QVAppDelegate::quitRequested);
        QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(out);
        add({env->pdf("a.pdf")});
        converter->hold = true;
        window->startOrStopConversion();
        window->close();
        QVERIFY(window->isVisible());
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = window->findChild<QMessageBox*>("quitConfirmation")) && box->isVisible());
        for (QAbstractButton* b : box->buttons())
            if (b->text() == "Keep Converting")
                b->click();
        QTest::qWait(50);
        QVERIFY(window->isVisible());
        QCOMPARE(quits.count(), 0);
        window->close();
        QTRY_VERIFY((box = window->findChild<QMessageBox*>("quitConfirmation")) && box->isVisible());
        for (QAbstractButton* b : box->buttons())
            if (b->text().startsWith("Cancel Conversion"))
                b->click();
        QTRY_COMPARE(quits.count(), 1);
        QVERIFY(!window->isVisible());
        converter->release();
        QTRY_VERIFY(!window->converterManager().isConverting());

        // Idle, with files never converted: closing quits at once.
        makeWindow();
        QSignalSpy idleQuits(window.get(), &QVAppDelegate::quitRequested);
        add({env->pdf("b.pdf")});
        window->close();
        QCOMPARE(idleQuits.count(), 1);
    }

    void aboutAndPreferences() {
        window->showAboutBox();
        QTRY_VERIFY(window->findChild<QVAboutWindowController*>() &&
                    window->findChild<QVAboutWindowController*>()->isVisible());
        window->showPreferences();
        QVERIFY(QVPreferencesWindowController::sharedInstance()->isVisible());
        window->showPreferences(); // the menu item toggles
        QVERIFY(!QVPreferencesWindowController::sharedInstance()->isVisible());
    }

    void settingsKeysLetterForLetter() {
        QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(out);
        add({env->pdf("a.pdf")});
        window->showOrHidenSettingView();
        QVERIFY(window->rightView()->isHidden());
        QVPreferencesWindowController::sharedInstance()->btn_openFile()->click();
        const QString ini = env->settingsText();
        for (const char* line : {"settings_outputFormat=Microsoft Excel(.xlsx)", "settings_excel_formatStyle=0",
                                 "setttings_isHiddenSettings=true",
                                 "QVPDFConverterSettings_OpenFileAfterConversion=true",
                                 "QVDefaulExportDirectory_SandBox="})
            QVERIFY2(ini.contains(QLatin1String(line)), line);
        // The hidden panel stays hidden in the next launch.
        makeWindow();
        QVERIFY(window->rightView()->isHidden());
    }

    void handsOverToTheRunningWindow() {
        // A second launch of the program with a PDF gives it to this window.
        QVSingleInstance server(QStringLiteral("corvala-test-%1").arg(QCoreApplication::applicationPid()));
        QVERIFY(server.listen());
        connect(&server, &QVSingleInstance::filesReceived, window.get(), &QVAppDelegate::application_openFiles);
        QProcess second;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("CORVALA_INSTANCE_NAME", QStringLiteral("corvala-test-%1").arg(QCoreApplication::applicationPid()));
        second.setProcessEnvironment(e);
        second.start(QStringLiteral(CORVALA_BINARY_DIR "/bin/corvala-app"), {env->pdf("handed.pdf")});
        QTRY_COMPARE_WITH_TIMEOUT(listedNames(list()), QStringList{"handed.pdf"}, 10000);
        QVERIFY(second.state() == QProcess::NotRunning || second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
    }
};

std::unique_ptr<QObject> makeAppDelegateTest() { return std::make_unique<AppDelegateTest>(); }

#include "AppDelegateTest.moc"
