// The window converts with the real engine: a fixture added as from the
// command line, the convert button pressed, the row reads "Success!" and the
// workbook is on disk. Screenshots of the main states are saved in the build
// tree (build/screenshots) for a person to look at.

#include "TestSupport.h"

#include "QVAppDelegate.h"
#include "QVExcelSettings.h"
#include "QVImageButton.h"
#include "QVSourceFileListModel.h"

#include "app/QVPDFConverterManager.h"
#include "app/QVSandBoxUtilities.h"
#include "app/QVSourceFileItem.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>

class EndToEndTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    QString shots = QStringLiteral(CORVALA_BINARY_DIR "/screenshots");

    void shoot(QWidget* w, const QString& name) {
        QDir().mkpath(shots);
        QVERIFY(w->grab().save(shots + "/" + name + ".png"));
    }

private slots:
    void init() { env = std::make_unique<TestEnvironment>("e2e"); }
    void cleanup() { env.reset(); }

    void convertsAFixture() {
        const std::string out = env->dir + "/out";
        std::filesystem::create_directories(out);
        QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(out);
        QVAppDelegate window;
        window.resize(900, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        shoot(&window, "main-empty");

        QVSourceFileViewController& list = *window.sourceFileViewController();
        window.application_openFiles({env->pdf("report.pdf", 3), env->pdf("long.pdf", 40)});
        QTRY_COMPARE(list.ma_sourceItems().size(), size_t(2));
        QVSourceFileListModel* m = list.model();
        bool shotTaken = false;
        connect(m, &QAbstractItemModel::dataChanged, this, [&](const QModelIndex& i) {
            const double p = m->data(i, QVSourceFileListModel::ProgressRole).toDouble();
            if (!shotTaken && i.row() == 1 && p > 20 && p < 85) {
                shotTaken = true;
                shoot(&window, "main-converting");
            }
        });
        QTest::mouseClick(window.btn_convert(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window.converterManager().isConverting(), 60000);
        for (int row = 0; row < 2; ++row) {
            const QString status = m->data(m->index(row), QVSourceFileListModel::StatusRole).toString();
            QVERIFY2(status.endsWith("Success!"), qPrintable(status));
        }
        const std::string xlsx = out + "/report.xlsx";
        QCOMPARE(*list.ma_sourceItems()[0]->outputPath(), xlsx);
        QFile f(QString::fromStdString(xlsx));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("PK\x03\x04"));
        QVERIFY(bytes.contains("xl/worksheets/sheet3.xml"));
        shoot(&window, "main-done");

        // The sheets, for the eye.
        window.sourceFileViewController()->selectTableRowWithItem(list.ma_sourceItems()[0]);
        window.settingsViewController()->moreSettingsAction();
        QDialog* sheet = window.settingsViewController()->panel_moreSettings();
        QTRY_VERIFY(sheet->isVisible());
        shoot(sheet, "settings-sheet");
        window.settingsViewController()->settings_Excel()->buttonDoneAction();
        list.addFilesToCheckQueue({env->pdf("locked.pdf", 1, fixtures::Encryption{"user", "owner", true})});
        QTRY_VERIFY(list.win_inputPassword()->isVisible());
        QTest::keyClicks(list.tf_inputPassword_inputPassowrd(), "nope");
        list.finishInputPassword();
        shoot(list.win_inputPassword(), "password-sheet");
        list.cancelInputPassword();
        QTRY_VERIFY(!list.isChecking());
    }

    // However a run ends (a file canceled, the window closed during a run),
    // nothing stays in the temporary folder, and no reserved name stays
    // empty in the output folder.
    void nothingStaysBehind() {
        const std::string out = env->dir + "/out";
        const std::string tmp = env->dir + "/tmp";
        std::filesystem::create_directories(out);
        std::filesystem::create_directories(tmp);
        struct RestoreTmpdir {
            QByteArray old = qgetenv("TMPDIR");
            ~RestoreTmpdir() { old.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", old); }
        } restore;
        qputenv("TMPDIR", QByteArray::fromStdString(tmp));
        QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(out);
        auto window = std::make_unique<QVAppDelegate>();
        window->show();
        QVSourceFileViewController& list = *window->sourceFileViewController();
        window->application_openFiles({env->pdf("a.pdf", 3), env->pdf("b.pdf", 1500), env->pdf("c.pdf", 1500)});
        QTRY_COMPARE(list.ma_sourceItems().size(), size_t(3));
        QVSourceFileListModel* m = list.model();
        auto status = [m](int row) { return m->data(m->index(row), QVSourceFileListModel::StatusRole).toString(); };

        // The first run: b is canceled as it starts converting.
        bool canceled = false;
        auto once = connect(m, &QAbstractItemModel::dataChanged, this, [&](const QModelIndex& i) {
            if (!canceled && i.row() == 1 && m->data(i, QVSourceFileListModel::ProgressRole).toDouble() > 1) {
                canceled = true;
                window->startOrStopConversion();
            }
        });
        window->startOrStopConversion();
        QTRY_VERIFY_WITH_TIMEOUT(!window->converterManager().isConverting(), 60000);
        disconnect(once);
        QVERIFY(status(0).endsWith("Success!"));
        QVERIFY2(status(1).endsWith("Canceled"), qPrintable(status(1)));
        QVERIFY(status(2).endsWith("Ready!"));

        // The second run: the window is closed while b converts.
        bool closed = false;
        connect(m, &QAbstractItemModel::dataChanged, this, [&](const QModelIndex& i) {
            if (!closed && i.row() == 1 && m->data(i, QVSourceFileListModel::ProgressRole).toDouble() > 1) {
                closed = true;
                QMetaObject::invokeMethod(window.get(), &QWidget::close, Qt::QueuedConnection);
            }
        });
        QSignalSpy quits(window.get(), &QVAppDelegate::quitRequested);
        window->startOrStopConversion();
        QMessageBox* box = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((box = window->findChild<QMessageBox*>("quitConfirmation")) && box->isVisible(), 60000);
        for (QAbstractButton* b : box->buttons())
            if (b->text().startsWith("Cancel Conversion"))
                b->click();
        QTRY_COMPARE(quits.count(), 1);
        window.reset();

        QStringList left;
        for (const auto& e : std::filesystem::recursive_directory_iterator(tmp))
            left << QString::fromStdString(e.path().string());
        QVERIFY2(left.isEmpty(), qPrintable(left.join(", ")));
        QStringList outputs;
        for (const auto& e : std::filesystem::directory_iterator(out)) {
            const QString name = QString::fromStdString(e.path().filename().string());
            QVERIFY2(!name.startsWith('.'), qPrintable(name));
            QVERIFY2(e.is_regular_file() && e.file_size() > 0, qPrintable(name));
            outputs << name;
        }
        outputs.sort();
        QCOMPARE(outputs, (QStringList{"a 2.xlsx", "a.xlsx"}));
    }
};

std::unique_ptr<QObject> makeEndToEndTest() { return std::make_unique<EndToEndTest>(); }

#include "EndToEndTest.moc"
