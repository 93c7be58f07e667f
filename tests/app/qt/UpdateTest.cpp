// The update check against a feed server of the test's own on 127.0.0.1:
// what the user is told for each feed and each way the fetch can fail, what
// an automatic check says and when it runs (by a clock the test sets), the
// Update pane, the feed address written at every launch, and the menu item.

#include "TestSupport.h"

#include "QVAppDelegate.h"
#include "QVAutoUpdate.h"
#include "QVPreferencesWindowController.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextBrowser>

#include <map>
#include <memory>

namespace {

// A tiny HTTP/1.0 server: each path answers with its status and body, or
// not at all ("hang"); every request is counted.
class FeedServer : public QObject {
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        bool hang = false;
        bool sendLength = true;
    };
    std::map<QString, Answer> answers;
    int requests = 0;
    QList<QTcpSocket*> held;

    FeedServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                auto buffer = std::make_shared<QByteArray>();
                connect(s, &QTcpSocket::readyRead, s, [this, s, buffer] {
                    buffer->append(s->readAll());
                    if (!buffer->contains("\r\n\r\n"))
                        return;
                    ++requests;
                    const QList<QByteArray> line = buffer->left(buffer->indexOf("\r\n")).split(' ');
                    const QString path = line.size() > 1 ? QString::fromLatin1(line[1]) : QString();
                    auto it = answers.find(path);
                    Answer a = it != answers.end() ? it->second : Answer{404, "not here"};
                    if (a.hang) {
                        held << s;
                        return;
                    }
                    QByteArray head = "HTTP/1.0 " + QByteArray::number(a.status) +
                                      (a.status == 200 ? " OK" : a.status == 404 ? " Not Found" : " Error") +
                                      "\r\nContent-Type: application/rss+xml\r\n";
                    if (a.sendLength)
                        head += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
                    s->write(head + "\r\n" + a.body);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }

private:
    QTcpServer server_;
};

QByteArray item(const QString& version, const QString& shortVersion, const QString& notes = QString(),
                const QString& extra = QString()) {
    QString enclosure = QStringLiteral("<enclosure url=\"https://corvala.example/download/corvala-%1.tar.gz\"")
                            .arg(shortVersion.isEmpty() ? version : shortVersion);
    if (!version.isEmpty())
        enclosure += QStringLiteral(" sparkle:version=\"%1\"").arg(version);
    if (!shortVersion.isEmpty())
        enclosure += QStringLiteral(" sparkle:shortVersionString=\"%1\"").arg(shortVersion);
    enclosure += QStringLiteral(" length=\"100\" type=\"application/octet-stream\"/>");
    return QStringLiteral("<item><title>Corvala %1</title><pubDate>Tue, 01 Dec 2026 10:00:00 +0000</pubDate>"
                          "%2%3<link>https://corvala.example/download</link>%4</item>")
        .arg(shortVersion.isEmpty() ? version : shortVersion,
             notes.isEmpty() ? QString() : QStringLiteral("<description><![CDATA[%1]]></description>").arg(notes),
             extra, enclosure)
        .toUtf8();
}

QByteArray feed(const QByteArray& items) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">"
           "<channel><title>Corvala</title>" +
           items + "</channel></rss>";
}

template <class T> T* topLevel(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->objectName() == name && t->isVisible())
            return t;
    return nullptr;
}

void closeUpdateDialogs() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "updateAvailable" || w->objectName() == "upToDate" ||
            w->objectName() == "updateCheckFailed")
            w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class UpdateTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<FeedServer> server;
    QDateTime clock;

    QVUpdater& updater() { return QVUpdater::sharedUpdater(); }
    void useFeed(const QString& path) { updater().setFeedURL(QUrl(server->url(path))); }
    QVUpdateResult checkAndWait(bool user) {
        QSignalSpy done(&updater(), &QVUpdater::checkFinished);
        if (user)
            updater().checkForUpdates(nullptr);
        else
            updater().checkForUpdatesInBackground();
        if (!done.wait(15000))
            return {};
        return done.takeFirst().at(0).value<QVUpdateResult>();
    }

private slots:
    void initTestCase() { qRegisterMetaType<QVUpdateResult>(); }
    void init() {
        env = std::make_unique<TestEnvironment>("update");
        server = std::make_unique<FeedServer>();
        clock = QDateTime(QDate(2026, 12, 1), QTime(12, 0), Qt::UTC);
        updater().setClock([this] { return clock; });
        updater().setCurrentVersion(QStringLiteral("1.9.3"));
    }
    void cleanup() {
        closeUpdateDialogs();
        QVPreferencesWindowController::releaseSharedInstance();
        QVUpdater::releaseSharedUpdater();
        qunsetenv(QVAutoUpdate::kFeedEnvironmentVariable);
        server.reset();
        env.reset();
    }

    void versionsCompareAsNumbers_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        QTest::newRow("1.10 after 1.9") << "1.10" << "1.9" << 1;
        QTest::newRow("missing part is 0") << "1.2" << "1.2.0" << 0;
        QTest::newRow("leading zeros") << "01.02" << "1.2" << 0;
        QTest::newRow("10 after 9") << "9" << "10" << -1;
        QTest::newRow("beta before release") << "2.0b1" << "2.0" << -1;
        QTest::newRow("beta 2 after beta 1") << "2.0b2" << "2.0b1" << 1;
        QTest::newRow("longer than any integer") << "1.123456789012345678901234" << "1.99" << 1;
        QTest::newRow("third part decides") << "0.1.1" << "0.1.0" << 1;
    }
    void versionsCompareAsNumbers() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        QCOMPARE(QVCompareVersions(a, b), expected);
        QCOMPARE(QVCompareVersions(b, a), -expected);
    }

    void feedItemsAreRead() {
        const QVAppcast::Feed f = QVAppcast::parse(feed(
            item("210", "2.1", "<p>Faster.</p>") + item("", "") +
            "<item><title>Corvala 2.2</title><sparkle:version>220</sparkle:version>"
            "<sparkle:shortVersionString>2.2</sparkle:shortVersionString>"
            "<sparkle:releaseNotesLink>https://corvala.example/notes/2.2.html</sparkle:releaseNotesLink>"
            "<enclosure url=\"javascript:alert(1)\"/></item>"));
        QVERIFY2(f.error.isEmpty(), qPrintable(f.error));
        QCOMPARE(f.itemsWithoutVersion, 1);
        QCOMPARE(f.items.size(), size_t(2));
        QCOMPARE(f.items[0].version, QString("210"));
        QCOMPARE(f.items[0].shortVersion, QString("2.1"));
        QCOMPARE(f.items[0].description, QString("<p>Faster.</p>"));
        QCOMPARE(f.items[0].pubDate, QDateTime(QDate(2026, 12, 1), QTime(10, 0), Qt::UTC));
        QCOMPARE(f.items[0].downloadPage(), QUrl("https://corvala.example/download"));
        QCOMPARE(f.items[1].displayVersion(), QString("2.2"));
        QCOMPARE(f.items[1].releaseNotesLink, QUrl("https://corvala.example/notes/2.2.html"));
        // A download address that is no web page is never opened.
        QVERIFY(!f.items[1].downloadPage().isValid());
        QCOMPARE(QVAppcast::newest(f.items)->displayVersion(), QString("2.2"));
        // The version attributes count only in the appcast namespace.
        const QVAppcast::Feed other = QVAppcast::parse(
            "<rss xmlns:x=\"urn:other\"><channel><item><enclosure url=\"https://a.example/x\" "
            "x:version=\"9.0\"/></item></channel></rss>");
        QVERIFY(other.items.empty());
        QCOMPARE(other.itemsWithoutVersion, 1);
    }

    // A user's check answers in every case, in words that say what happened.
    void userCheckAnswers_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("hang");
        QTest::addColumn<bool>("sendLength");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("says");
        const QByteArray big = feed(QByteArray(20000, ' ') + item("300", "3.0"));
        QTest::newRow("newer") << feed(item("190", "1.9.0") + item("1100", "1.10.0", "<b>New:</b> faster tables") +
                                       item("150", "1.5"))
                               << 200 << false << true << "updateAvailable"
                               << "Corvala 1.10.0 is available — you have 1.9.3";
        QTest::newRow("same") << feed(item("193", "1.9.3")) << 200 << false << true << "upToDate"
                              << "You're up to date";
        QTest::newRow("older") << feed(item("120", "1.2") + item("9", "1.9.2")) << 200 << false << true << "upToDate"
                               << "You're up to date";
        QTest::newRow("malformed XML") << QByteArray("<rss><channel><item><title>x</channel>") << 200 << false << true
                                       << "updateCheckFailed" << "The update feed could not be read";
        QTest::newRow("not a feed") << QByteArray("<html><body>Hello</body></html>") << 200 << false << true
                                    << "updateCheckFailed" << "it is not an RSS feed";
        QTest::newRow("item without version") << feed(item("", "")) << 200 << false << true << "updateCheckFailed"
                                              << "names no version";
        QTest::newRow("HTTP 404") << QByteArray("gone") << 404 << false << true << "updateCheckFailed"
                                  << "answered HTTP 404";
        QTest::newRow("never answers") << QByteArray() << 200 << true << true << "updateCheckFailed"
                                       << "did not answer within 1 seconds";
        QTest::newRow("oversized, length given") << big << 200 << false << true << "updateCheckFailed"
                                                 << "larger than 8 KB";
        QTest::newRow("oversized, no length") << big << 200 << false << false << "updateCheckFailed"
                                              << "larger than 8 KB";
    }
    void userCheckAnswers() {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(bool, hang);
        QFETCH(bool, sendLength);
        QFETCH(QString, dialog);
        QFETCH(QString, says);
        server->answers["/release/corvala/App_Update.xml"] = {status, body, hang, sendLength};
        useFeed("/release/corvala/App_Update.xml");
        updater().setTimeout(1000);
        updater().setMaximumFeedSize(8 * 1024);
        const QVUpdateResult r = checkAndWait(true);
        QVERIFY(r.userInitiated);
        QWidget* shown = nullptr;
        QTRY_VERIFY((shown = topLevel<QWidget>(dialog)) != nullptr);
        QString text;
        if (auto* box = qobject_cast<QMessageBox*>(shown))
            text = box->text() + "\n" + box->informativeText();
        else
            text = shown->findChild<QLabel*>("heading")->text();
        QVERIFY2(text.contains(says), qPrintable(text));
        QCOMPARE(server->requests, 1);
        // The check is remembered, whatever it found.
        QCOMPARE(updater().lastUpdateCheckDate(), clock);
    }

    void theNewVersionsDialog() {
        server->answers["/feed.xml"] = {200, feed(item("1100", "1.10.0", "<b>New:</b> faster tables") +
                                                  item("1200", "1.11.0", QString(),
                                                       "<sparkle:releaseNotesLink>" + server->url("/notes.html") +
                                                           "</sparkle:releaseNotesLink>"))};
        server->answers["/notes.html"] = {200, "<h1>Corvala 1.11</h1><p>Reads <i>every</i> table.</p>"};
        useFeed("/feed.xml");
        checkAndWait(true);
        QDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = topLevel<QDialog>("updateAvailable")) != nullptr);
        QCOMPARE(dialog->findChild<QLabel*>("heading")->text(), QString("Corvala 1.11.0 is available — you have 1.9.3"));
        // The notes come from their own page, fetched for the dialog.
        auto* notes = dialog->findChild<QTextBrowser*>("releaseNotes");
        QTRY_VERIFY(notes->toPlainText().contains("Reads every table."));
        QVERIFY(dialog->findChild<QLabel*>("installNote")->text().contains("package manager"));
        dialog->findChild<QPushButton*>("openDownloadPage")->click();
        QCOMPARE(env->workspace->urls, QList<QUrl>{QUrl("https://corvala.example/download")});
        QTRY_VERIFY(!topLevel<QDialog>("updateAvailable"));
    }

    // An automatic check speaks only of a newer version.
    void automaticCheckSpeaksOnlyOfNews_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("speaks");
        QTest::newRow("newer") << feed(item("200", "2.0")) << 200 << true;
        QTest::newRow("same") << feed(item("193", "1.9.3")) << 200 << false;
        QTest::newRow("404") << QByteArray() << 404 << false;
        QTest::newRow("malformed") << QByteArray("<rss") << 200 << false;
    }
    void automaticCheckSpeaksOnlyOfNews() {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(bool, speaks);
        server->answers["/feed.xml"] = {status, body};
        useFeed("/feed.xml");
        const QVUpdateResult r = checkAndWait(false);
        QVERIFY(!r.userInitiated);
        QCoreApplication::processEvents();
        const bool spoke = topLevel<QWidget>("updateAvailable") || topLevel<QWidget>("upToDate") ||
                           topLevel<QWidget>("updateCheckFailed");
        QCOMPARE(spoke, speaks);
    }

    void automaticChecksFollowTheInterval() {
        server->answers["/feed.xml"] = {200, feed(item("193", "1.9.3"))};
        useFeed("/feed.xml");
        updater().setShowsDialogs(false);
        // Off by default: nothing is planned, nothing asked.
        QVERIFY(!updater().automaticallyChecksForUpdates());
        QVERIFY(!updater().nextCheckDate());
        QVERIFY(!updater().checkIfDue());
        QVERIFY(!env->settingsText().contains(QVUpdater::kAutomaticChecksKey));

        // Turned on, never checked: at once.
        QSignalSpy done(&updater(), &QVUpdater::checkFinished);
        updater().setUpdateCheckInterval(86400);
        updater().setAutomaticallyChecksForUpdates(true);
        QVERIFY(done.wait(10000));
        QCOMPARE(server->requests, 1);
        QCOMPARE(updater().lastUpdateCheckDate(), clock);
        QVERIFY(env->settingsText().contains("SULastCheckTime="));

        struct Step {
            double interval;
            qint64 later; // seconds after the last check
            bool due;
        };
        const Step steps[] = {{86400, 23 * 3600, false},     {86400, 86400, true},
                              {604800, 6 * 86400, false},    {604800, 7 * 86400 + 1, true},
                              {2592000, 29 * 86400, false},  {2592000, 30 * 86400, true},
                              {0, 6 * 86400, false},         {-5, 7 * 86400, true},
                              {60, 30 * 60, false},          {60, 3600, true}};
        for (const Step& s : steps) {
            const QDateTime last = *updater().lastUpdateCheckDate();
            updater().setUpdateCheckInterval(s.interval);
            clock = last.addSecs(s.later);
            const int before = server->requests;
            QCOMPARE(updater().checkIfDue(), s.due);
            if (s.due) {
                QVERIFY(done.wait(10000));
                QCOMPARE(server->requests, before + 1);
                QCOMPARE(updater().lastUpdateCheckDate(), clock);
            } else {
                QCOMPARE(server->requests, before);
                QVERIFY(*updater().nextCheckDate() > clock);
            }
        }

        // A last check in the future (the clock was set back): one interval
        // from now, not a wait until then.
        updater().setUpdateCheckInterval(86400);
        clock = clock.addDays(-100);
        QCOMPARE(*updater().nextCheckDate(), clock.addDays(1));
        // Off again: nothing planned.
        updater().setAutomaticallyChecksForUpdates(false);
        QVERIFY(!updater().nextCheckDate());
        clock = clock.addYears(1);
        QVERIFY(!updater().checkIfDue());
    }

    void updatePane_data() {
        QTest::addColumn<double>("stored");
        QTest::addColumn<int>("item");
        QTest::addColumn<double>("after");
        QTest::newRow("an hour shows a week") << 3600.0 << 1 << 604800.0;
        QTest::newRow("a day") << 86400.0 << 0 << 86400.0;
        QTest::newRow("a week") << 604800.0 << 1 << 604800.0;
        QTest::newRow("thirty days") << 2592000.0 << 2 << 2592000.0;
    }
    void updatePane() {
        QFETCH(double, stored);
        QFETCH(int, item);
        QFETCH(double, after);
        QVAutoUpdate::setUpdateCheckInterval(stored);
        QVPreferencesWindowController* prefs = QVPreferencesWindowController::sharedInstance();
        prefs->showWindow();
        QCOMPARE(prefs->pub_autoUpdateInterval()->currentIndex(), item);
        QCOMPARE(QVAutoUpdate::updateCheckInterval(), after);
        // Off: the popup is disabled; the switch enables it at once.
        QVERIFY(!prefs->btn_autoUpdate()->isChecked());
        QVERIFY(!prefs->pub_autoUpdateInterval()->isEnabled());
        useFeed("/feed.xml"); // answers 404: the switch's first check fails quietly
        prefs->btn_autoUpdate()->click();
        QVERIFY(prefs->pub_autoUpdateInterval()->isEnabled());
        QVERIFY(QVAutoUpdate::autoCheckForUpdates());
        prefs->pub_autoUpdateInterval()->setCurrentIndex((item + 1) % 3);
        emit prefs->pub_autoUpdateInterval()->activated((item + 1) % 3);
        QCOMPARE(QVAutoUpdate::updateCheckInterval(),
                 QVPreferencesWindowController::intervalForItem((item + 1) % 3));
        prefs->btn_autoUpdate()->click();
        QVERIFY(!prefs->pub_autoUpdateInterval()->isEnabled());
        QVERIFY(!QVAutoUpdate::autoCheckForUpdates());
        prefs->close();
    }

    void checkNowAnswersOverThePane() {
        server->answers["/feed.xml"] = {200, feed(item("193", "1.9.3"))};
        useFeed("/feed.xml");
        qputenv(QVAutoUpdate::kFeedEnvironmentVariable, server->url("/feed.xml").toUtf8());
        QVPreferencesWindowController* prefs = QVPreferencesWindowController::sharedInstance();
        prefs->showWindow();
        prefs->toolbarItemUpdateAction();
        QCOMPARE(prefs->contentView()->currentWidget(), prefs->preView_Update());
        prefs->btn_checkNow()->click();
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = topLevel<QMessageBox>("upToDate")) != nullptr);
        QCOMPARE(box->parentWidget(), prefs);
        QCOMPARE(server->requests, 1);
        prefs->close();
    }

    // Every launch writes the feed address, replacing what was stored; the
    // menu item checks against it.
    void launchStoresTheFeedAndTheMenuChecks() {
        env->defaults->setObject(QVAutoUpdate::kFeedURLKey, std::string("http://elsewhere.example/feed.xml"));
        QVERIFY(QVAutoUpdate::feedURLString().startsWith("https://corvala.example/release/corvala/"));
        QVERIFY(QVAutoUpdate::feedURLString().endsWith("/App_Update.xml"));
        server->answers["/feed.xml"] = {200, feed(item("300", "3.0", "Three"))};
        qputenv(QVAutoUpdate::kFeedEnvironmentVariable, server->url("/feed.xml").toUtf8());
        {
            QVAppDelegate window;
            window.show();
            QVERIFY(env->settingsText().contains("SUFeedURL=" + server->url("/feed.xml")));
            // The first launch asks nothing and checks nothing.
            QCoreApplication::processEvents();
            QCOMPARE(server->requests, 0);
            QAction* check = window.menuBar()->findChild<QAction*>("checkForUpdates");
            QVERIFY(check);
            QCOMPARE(check->text(), QString("Check for &Updates…"));
            check->trigger();
            QDialog* dialog = nullptr;
            QTRY_VERIFY((dialog = topLevel<QDialog>("updateAvailable")) != nullptr);
            QCOMPARE(dialog->parentWidget(), &window);
            QVERIFY(dialog->findChild<QTextBrowser*>("releaseNotes")->toPlainText().contains("Three"));
            closeUpdateDialogs();
        }
        // A launch with automatic checks on and a check due asks at once.
        QVUpdater::sharedUpdater().setClock([this] { return clock; });
        QVUpdater::sharedUpdater().setCurrentVersion("3.0");
        env->defaults->setObject(QVUpdater::kAutomaticChecksKey, true);
        env->defaults->removeObjectForKey(QVUpdater::kLastCheckTimeKey);
        QVAppDelegate again;
        QTRY_COMPARE(server->requests, 2);
    }

    // For the eye: the Update pane and the dialog of a new version (under
    // Xvfb also as the screen shows them).
    void screenshots() {
        const QString shots = QStringLiteral(CORVALA_BINARY_DIR "/screenshots");
        QDir().mkpath(shots);
        const bool realScreen = QGuiApplication::platformName() == QLatin1String("xcb");
        server->answers["/feed.xml"] = {
            200, feed(item("1100", "1.10.0",
                           "<h3>What's new</h3><ul><li>Tables split across pages read as one.</li>"
                           "<li>Right-to-left text keeps its order.</li><li>Faster start.</li></ul>"))};
        useFeed("/feed.xml");
        QVAutoUpdate::setAutoCheckForUpdates(false);
        QVPreferencesWindowController* prefs = QVPreferencesWindowController::sharedInstance();
        prefs->showWindow();
        prefs->toolbarItemUpdateAction();
        QVERIFY(QTest::qWaitForWindowExposed(prefs));
        QVERIFY(prefs->grab().save(shots + "/preferences-update.png"));
        if (realScreen)
            QVERIFY(prefs->screen()->grabWindow(0).save(shots + "/screen-preferences-update.png"));
        prefs->close();
        updater().checkForUpdates(nullptr);
        QDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = topLevel<QDialog>("updateAvailable")) != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QVERIFY(dialog->grab().save(shots + "/update-available.png"));
        if (realScreen)
            QVERIFY(dialog->screen()->grabWindow(0).save(shots + "/screen-update-available.png"));
    }
};

std::unique_ptr<QObject> makeUpdateTest() { return std::make_unique<UpdateTest>(); }

#include "UpdateTest.moc"
