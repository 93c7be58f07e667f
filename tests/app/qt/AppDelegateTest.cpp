// The main window against a scripted converter: the progress sequence of a
// row, what a run resets, which results are opened, the folder question,
// closing and quitting, and the settings keys as the program writes them.

#include "TestSupport.h"

#include "QVAboutWindowController.h"
#include "QVAppDelegate.h"
#include "QVImageButton.h"
#include "QVPreferencesWindowController.h"
#include "QVSingleInstance.h"
#include "QVSettingsViewController.h"
#include "QVSourceFileListModel.h"

#include "app/QVPDFConverterManager.h"
#include "app/QVSandBoxUtilities.h"
#include "app/QVSourceFileItem.h"
#include "platform/Dispatch.h"
#include "platform/Files.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <functional>
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
        QVERIFY2(status(0).endsWith("Canceled"), qPrintable(status(0)));
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

    // A failed row says why, in the command line's words, on the row and in the panel.
    void aFailedRowSaysWhy() {
        QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(out);
        add({env->pdf("a.pdf"), env->pdf("b.pdf")});
        converter->failing["b.pdf"] = true;
        window->startOrStopConversion();
        QTRY_VERIFY(!window->converterManager().isConverting());
        QVERIFY(status(1).endsWith("Failed!"));
        const QString tip = list().model()->data(list().model()->index(1), Qt::ToolTipRole).toString();
        QVERIFY2(tip.contains("Failed: Can't load the PDF file."), qPrintable(tip));
        QVERIFY(tip.startsWith(env->path("b.pdf")));
        // A success says nothing of the kind.
        QVERIFY(!list().model()->data(list().model()->index(0), Qt::ToolTipRole).toString().contains("Failed"));
        list().selectTableRowWithItem(list().ma_sourceItems()[1]);
        const QString info = window->settingsViewController()->tf_previewInfo()->text();
        QVERIFY2(info.contains("Failed: Can't load the PDF file."), qPrintable(info));
    }

    // A listed file that went away or can no longer be opened shows the
    // unknown-file picture and says so; one page reads "1 Page".
    void filesThatCannotBeOpened() {
        add({env->pdf("gone.pdf"), env->pdf("damaged.pdf", 2), env->pdf("one.pdf")});
        QVSourceFileListModel* m = list().model();
        auto role = [m](int row, int r) { return m->data(m->index(row), r).toString(); };
        QVERIFY2(role(2, QVSourceFileListModel::InfoRole).startsWith("1 Page, "), qPrintable(role(2, QVSourceFileListModel::InfoRole)));
        QVERIFY(role(1, QVSourceFileListModel::InfoRole).startsWith("2 Pages, "));
        QCOMPARE(role(0, QVSourceFileListModel::SourceIconRole), QString("icon_pdf"));
        std::filesystem::remove(env->path("gone.pdf").toStdString());
        {
            QFile f(env->path("damaged.pdf"));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("%PDF-1.4\nthis is not a document any more\n");
        }
        for (int row : {0, 1}) {
            QVERIFY2(role(row, QVSourceFileListModel::InfoRole).contains("cannot be opened"),
                     qPrintable(role(row, QVSourceFileListModel::InfoRole)));
            QCOMPARE(role(row, QVSourceFileListModel::SourceIconRole), QString("icon_unknown"));
            list().selectTableRowWithItem(list().ma_sourceItems()[static_cast<size_t>(row)]);
            QVERIFY(window->settingsViewController()->tf_previewInfo()->text().contains("cannot be opened"));
        }
    }

    // A range that selects no page is named before the run; the user fixes
    // it or leaves the file out.
    void emptyRangeIsNamedBeforeTheRun() {
        QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(out);
        add({env->pdf("a.pdf", 3), env->pdf("b.pdf")});
        auto a = list().ma_sourceItems()[0];
        a->setSettings_pageRangeType(1);
        a->setSettings_customPageRange("abc");
        auto ask = [this]() -> QMessageBox* {
            QMessageBox* box = nullptr;
            window->startOrStopConversion();
            [&] { QTRY_VERIFY((box = window->findChild<QMessageBox*>("pageRangeProblem")) && box->isVisible()); }();
            return box;
        };
        QMessageBox* box = ask();
        QVERIFY(box);
        QVERIFY(!window->converterManager().isConverting());
        QVERIFY2(box->informativeText().contains("a.pdf: “abc”"), qPrintable(box->informativeText()));
        QVERIFY(!box->informativeText().contains("b.pdf"));
        list().tv_sourceFileList()->clearSelection();
        box->findChild<QPushButton*>("fixRange")->click();
        QCOMPARE(list().selectedItem(), a);
        QVERIFY(!window->converterManager().isConverting());
        QTRY_VERIFY(!window->findChild<QMessageBox*>("pageRangeProblem"));

        box = ask();
        QVERIFY(box);
        box->findChild<QPushButton*>("leaveOut")->click();
        QTRY_VERIFY(!window->converterManager().isConverting());
        QVERIFY(status(1).endsWith("Success!"));
        QVERIFY(status(0).endsWith("Ready!"));
        QVERIFY(!a->outputPath());
    }

    // At the minimum size every control of the panel is on screen at its
    // own width, and the list needs no horizontal scrolling.
    void everyControlFitsAtTheMinimumSize() {
        add({env->pdf("a-file-with-a-rather-long-name-for-the-list.pdf")});
        list().selectTableRowWithItem(list().ma_sourceItems()[0]);
        window->resize(window->minimumSize());
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_COMPARE(window->size(), window->minimumSize());
        QVERIFY(window->minimumWidth() >= 560 && window->minimumHeight() >= 520);
        const QRect inside = window->centralWidget()->rect();
        QVERIFY(!window->rightView()->isHidden());
        for (QWidget* w : window->settingsViewController()->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(window.get()) || w->isWindow() || w->window() != window.get() ||
                (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QComboBox*>(w) && !qobject_cast<QLineEdit*>(w)))
                continue;
            const QRect r(w->mapTo(window->centralWidget(), QPoint(0, 0)), w->size());
            QVERIFY2(inside.contains(r), qPrintable(w->metaObject()->className() + QString(" ") + w->objectName()));
            QVERIFY2(w->width() >= w->minimumSizeHint().width(), w->metaObject()->className());
        }
        QVERIFY(!list().tv_sourceFileList()->horizontalScrollBar()->isVisible());
        // With the panel hidden the window may be narrower, not the list.
        window->hidenSettingView();
        window->resize(window->minimumSize());
        QTRY_COMPARE(window->size(), window->minimumSize());
        QVERIFY(!list().tv_sourceFileList()->horizontalScrollBar()->isVisible());
    }

    void preferencesCloseByKeyAndOpenCentred() {
        window->resize(900, 600);
        window->move(100, 80);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVPreferencesWindowController* prefs = QVPreferencesWindowController::sharedInstance();
        struct Way {
            const char* name;
            std::function<void()> close;
        };
        const Way ways[] = {
            {"Esc", [prefs] { QTest::keyClick(prefs, Qt::Key_Escape); }},
            {"Ctrl+W", [prefs] { QTest::keyClick(prefs, Qt::Key_W, Qt::ControlModifier); }},
            {"Close button", [prefs] {
                 for (QPushButton* b : prefs->findChildren<QPushButton*>())
                     if (b->text().remove('&') == "Close")
                         b->click();
             }},
        };
        for (const Way& way : ways) {
            window->showPreferences();
            QVERIFY(prefs->isVisible());
            QVERIFY2((prefs->frameGeometry().center() - window->frameGeometry().center()).manhattanLength() <= 4,
                     way.name);
            way.close();
            QVERIFY2(!prefs->isVisible(), way.name);
            QVERIFY(!prefs->visible());
        }
        // The Ctrl of Ctrl+W was let go over a closed window: let the
        // application know it is up again.
        QTest::keyRelease(window.get(), Qt::Key_Control);
    }

    void helpAndVersionPrintAndEnd() {
        struct Case {
            QString arg;
            QString says;
        };
        for (const Case& c : {Case{"--help", "Usage: corvala-app"}, Case{"-h", "--version"},
                              Case{"--version", "corvala-app 0.1.0"}, Case{"-V", "corvala-app "}}) {
            QProcess p;
            QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
            e.insert("CORVALA_INSTANCE_NAME", QStringLiteral("corvala-help-%1").arg(QCoreApplication::applicationPid()));
            p.setProcessEnvironment(e);
            p.start(QStringLiteral(CORVALA_BINARY_DIR "/bin/corvala-app"), {c.arg});
            const bool ended = p.waitForFinished(10000);
            if (!ended) {
                p.kill();
                p.waitForFinished();
            }
            QVERIFY2(ended, qPrintable(c.arg));
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            QCOMPARE(p.exitCode(), 0);
            const QString text = QString::fromUtf8(p.readAllStandardOutput());
            QVERIFY2(text.contains(c.says), qPrintable(c.arg + ": " + text));
        }
    }

    // Named files that are not there are said; a file listed already is
    // not listed again, its row is selected.
    void missingAndRepeatedFiles() {
        const QString a = env->pdf("a.pdf");
        window->application_openFiles({env->path("missing.pdf"), a, env->path("also-missing.pdf")});
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = window->findChild<QMessageBox*>("filesNotAdded")) && box->isVisible());
        QVERIFY(box->informativeText().contains(env->path("missing.pdf") + ": no such file or folder"));
        QVERIFY(box->informativeText().contains(env->path("also-missing.pdf")));
        QVERIFY(!box->informativeText().contains(a));
        box->close();
        QTRY_COMPARE(listedNames(list()), QStringList{"a.pdf"});
        add({env->pdf("b.pdf")});
        list().tv_sourceFileList()->clearSelection();
        add({a, QString::fromStdString(env->dir) + "/./a.pdf"});
        window->application_openFiles({a});
        QTRY_VERIFY(!list().isChecking());
        QCOMPARE(listedNames(list()), (QStringList{"a.pdf", "b.pdf"}));
        QCOMPARE(list().selectedItem(), list().ma_sourceItems()[0]);
        for (QMessageBox* b : window->findChildren<QMessageBox*>("filesNotAdded"))
            QVERIFY(!b->isVisible());
    }

    // The dialogs' titles in plain grammar; the five formats of the window.
    void wordingAndFormats() {
        env->chooser->files = {};
        list().sourceFileBrowse();
        window->settingsViewController()->browseOutputDirectry();
        QCOMPARE(env->chooser->titles,
                 (QStringList{"Select PDF Files to Convert", "Choose the Folder to Save Converted Documents In"}));
        QComboBox* formats = window->settingsViewController()->pub_outputFormat();
        QStringList titles;
        for (int i = 0; i < formats->count(); ++i) {
            titles << formats->itemText(i);
            QVERIFY(qobject_cast<QStandardItemModel*>(formats->model())->item(i)->isEnabled());
        }
        QCOMPARE(titles, (QStringList{"Microsoft Excel(.xlsx)", "Comma-Separated Values(.csv)",
                                      "UTF-8 Plain Text(.txt)", "Rich Text File(.rtf)", "Web Source File(.html)"}));
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
