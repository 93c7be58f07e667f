#pragma once
// The update check. A small updater of our own over Qt Network: it fetches
// the update feed (an RSS appcast), picks its newest version, compares it
// with the program's and tells the user. It neither downloads nor installs
// anything: that stays with the user or the system's package manager.
//
// QVAutoUpdate is the thin face the rest of the window talks to; QVUpdater is
// the process-wide updater behind it, which keeps the automatic-check switch,
// the interval and the last check's time in the settings.

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;
class QWidget;

/// The appcast: RSS 2.0 items, each with an enclosure whose version
/// attributes are in the appcast namespace.
namespace QVAppcast {
extern const char* const kNamespace;

struct Item {
    QString title;
    QDateTime pubDate;
    QString description;   ///< release notes given inline (HTML or text)
    QUrl releaseNotesLink; ///< release notes on a page of their own
    QUrl link;             ///< the item's web page
    QString version;       ///< machine version (sparkle:version)
    QString shortVersion;  ///< version shown to people (sparkle:shortVersionString)
    QUrl downloadURL;      ///< the enclosure's url
    /// The version compared with the program's and shown: the short version
    /// when the feed gives one, else the machine version.
    QString displayVersion() const { return shortVersion.isEmpty() ? version : shortVersion; }
    /// The page the download button opens: the item's page, else the
    /// enclosure; only http and https addresses.
    QUrl downloadPage() const;
};

struct Feed {
    std::vector<Item> items; ///< items that carry a version, in feed order
    int itemsWithoutVersion = 0;
    QString error; ///< why the feed could not be read; empty when it was
};

Feed parse(const QByteArray& xml);
/// The item with the highest version; none for no items.
std::optional<Item> newest(const std::vector<Item>& items);
} // namespace QVAppcast

/// Dotted versions compared part by part as numbers ("1.10" > "1.9"; a
/// missing part is 0, so "1.2" == "1.2.0"); a part with letters after its
/// number ("2b1") ranks below the bare number. <0, 0 or >0.
int QVCompareVersions(const QString& a, const QString& b);

struct QVUpdateResult {
    enum class Kind { UpdateAvailable, UpToDate, Failed };
    Kind kind = Kind::Failed;
    bool userInitiated = false;
    QString currentVersion;
    QVAppcast::Item item; ///< the newest item (UpdateAvailable, UpToDate)
    QString reason;       ///< why the check failed (Failed)
};

class QVUpdater : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kAutomaticChecksKey = "SUEnableAutomaticChecks";
    static constexpr const char* kCheckIntervalKey = "SUScheduledCheckInterval";
    static constexpr const char* kLastCheckTimeKey = "SULastCheckTime";
    static constexpr double kDefaultInterval = 604800;
    /// Automatic checks never come closer together than this, whatever is stored.
    static constexpr double kShortestInterval = 3600;

    static QVUpdater& sharedUpdater();
    /// Ends the shared updater (the window's end, tests).
    static void releaseSharedUpdater();

    QUrl feedURL() const { return feedURL_; }
    void setFeedURL(const QUrl& url) { feedURL_ = url; }

    bool automaticallyChecksForUpdates() const;
    /// On: a check is planned (at once when one is due); off: none.
    void setAutomaticallyChecksForUpdates(bool on);
    double updateCheckInterval() const;
    void setUpdateCheckInterval(double seconds);
    std::optional<QDateTime> lastUpdateCheckDate() const;

    /// A check the user asked for: it always answers, in a dialog over `parent`.
    void checkForUpdates(QWidget* parent);
    /// An automatic check: it speaks only when there is a newer version.
    void checkForUpdatesInBackground();
    bool isChecking() const;

    /// When the next automatic check is due (now or earlier: at once); none
    /// while automatic checks are off.
    std::optional<QDateTime> nextCheckDate() const;
    /// Starts an automatic check when one is due, else sets the timer for it.
    void scheduleNextCheck();

    // For tests and the curious: what the clock says, how long a fetch may
    // take, how large the feed may be, which version the program is.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    void setTimeout(int milliseconds) { timeoutMs_ = milliseconds; }
    void setMaximumFeedSize(qint64 bytes) { maxBytes_ = bytes; }
    qint64 maximumFeedSize() const { return maxBytes_; }
    void setCurrentVersion(const QString& v) { currentVersion_ = v; }
    QString currentVersion() const { return currentVersion_; }
    /// Dialogs of the check (off in tests that only read the results).
    void setShowsDialogs(bool shows) { showsDialogs_ = shows; }
    /// The window the dialogs of automatic checks come up over.
    void setWindow(QWidget* window) { window_ = window; }
    /// The automatic check's timer: checks when one is due, else waits on.
    /// True when it started a check.
    bool checkIfDue();

    /// Fetches `url` with the updater's timeout and size cap; `done` gets
    /// the body, or the reason it could not be had. Used for the feed and
    /// for release notes on a page of their own.
    void fetch(const QUrl& url, QObject* context,
               std::function<void(const QByteArray& body, const QString& contentType, const QString& error)> done);

    ~QVUpdater() override;

signals:
    void checkFinished(const QVUpdateResult& result);

private:
    QVUpdater();
    void startCheck(bool userInitiated, QWidget* parent);
    void finishCheck(const QByteArray& body, const QString& error);
    void present(const QVUpdateResult& result);
    QDateTime now() const { return clock_ ? clock_() : QDateTime::currentDateTimeUtc(); }

    QNetworkAccessManager* network_ = nullptr;
    QTimer* timer_ = nullptr;
    QPointer<QNetworkReply> reply_;
    QUrl feedURL_;
    bool userInitiated_ = false;
    QPointer<QWidget> parent_;
    QPointer<QWidget> window_;
    std::function<QDateTime()> clock_;
    int timeoutMs_ = 20000;
    qint64 maxBytes_ = 1024 * 1024;
    QString currentVersion_;
    bool showsDialogs_ = true;
};

/// The application's side of the updater.
class QVAutoUpdate {
public:
    /// The feed's constant address.
    static const char* const kFeedURL;
    /// The variable that names another feed (tests, a private mirror).
    static const char* const kFeedEnvironmentVariable;
    static constexpr const char* kFeedURLKey = "SUFeedURL";

    /// The address in use: the variable's when set, else the constant.
    static QString feedURLString();
    /// Stores the feed address under "SUFeedURL" and hands it to the updater.
    static void setDefaults();
    /// A check the user asked for (answers in a dialog over `sender`'s window).
    static void checkForUpdate(QWidget* sender);
    static void setAutoCheckForUpdates(bool on);
    static bool autoCheckForUpdates();
    static void setUpdateCheckInterval(double seconds);
    static double updateCheckInterval();
};
