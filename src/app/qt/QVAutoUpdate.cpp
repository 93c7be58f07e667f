#include "QVAutoUpdate.h"

#include "QVImages.h"
#include "QVWorkspace.h"

#include "app/QVUserDefaults.h"
#include "platform/AppInfo.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <QXmlStreamReader>

#include <cmath>
#include <cstdio>
#include <memory>

// --- The feed -----------------------------------------------------------

namespace QVAppcast {

const char* const kNamespace = "http://www.andymatuschak.org/xml-namespaces/sparkle";

namespace {
bool isWebAddress(const QUrl& url) {
    return url.isValid() && (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http")) &&
           !url.host().isEmpty();
}

// A version names a release only when it starts with a number.
bool looksLikeVersion(const QString& v) { return !v.isEmpty() && v.front().isDigit(); }
} // namespace

QUrl Item::downloadPage() const {
    if (isWebAddress(link))
        return link;
    if (isWebAddress(downloadURL))
        return downloadURL;
    return {};
}

Feed parse(const QByteArray& xml) {
    Feed feed;
    QXmlStreamReader r(xml);
    const QString ns = QString::fromLatin1(kNamespace);
    bool sawRss = false;
    bool inItem = false;
    Item item;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            const QStringView name = r.name();
            const bool plain = r.namespaceUri().isEmpty();
            if (!inItem) {
                if (plain && name == QLatin1String("rss"))
                    sawRss = true;
                else if (plain && name == QLatin1String("item") && sawRss) {
                    inItem = true;
                    item = Item{};
                }
                continue;
            }
            if (r.namespaceUri() == ns) {
                // Newer feeds also give the versions as elements of the item.
                if (name == QLatin1String("version"))
                    item.version = r.readElementText().trimmed();
                else if (name == QLatin1String("shortVersionString"))
                    item.shortVersion = r.readElementText().trimmed();
                else if (name == QLatin1String("releaseNotesLink"))
                    item.releaseNotesLink = QUrl(r.readElementText().trimmed());
            } else if (plain) {
                if (name == QLatin1String("title"))
                    item.title = r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
                else if (name == QLatin1String("pubDate"))
                    item.pubDate = QDateTime::fromString(r.readElementText().trimmed(), Qt::RFC2822Date);
                else if (name == QLatin1String("description"))
                    item.description = r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
                else if (name == QLatin1String("link"))
                    item.link = QUrl(r.readElementText().trimmed());
                else if (name == QLatin1String("enclosure")) {
                    const QXmlStreamAttributes a = r.attributes();
                    item.downloadURL = QUrl(a.value(QLatin1String("url")).toString().trimmed());
                    // The enclosure's attributes are the classic place and win.
                    const QString v = a.value(ns, QLatin1String("version")).toString().trimmed();
                    const QString s = a.value(ns, QLatin1String("shortVersionString")).toString().trimmed();
                    if (!v.isEmpty())
                        item.version = v;
                    if (!s.isEmpty())
                        item.shortVersion = s;
                }
            }
        } else if (r.isEndElement() && inItem && r.namespaceUri().isEmpty() && r.name() == QLatin1String("item")) {
            inItem = false;
            if (!looksLikeVersion(item.shortVersion))
                item.shortVersion.clear();
            if (!looksLikeVersion(item.version))
                item.version.clear();
            if (item.displayVersion().isEmpty())
                ++feed.itemsWithoutVersion;
            else
                feed.items.push_back(item);
        }
    }
    if (r.hasError()) {
        feed.items.clear();
        feed.error = QStringLiteral("%1 (line %2)").arg(r.errorString()).arg(r.lineNumber());
    } else if (!sawRss) {
        feed.error = QStringLiteral("it is not an RSS feed");
    }
    return feed;
}

std::optional<Item> newest(const std::vector<Item>& items) {
    std::optional<Item> best;
    for (const Item& i : items)
        if (!best || QVCompareVersions(i.displayVersion(), best->displayVersion()) > 0)
            best = i;
    return best;
}

} // namespace QVAppcast

int QVCompareVersions(const QString& a, const QString& b) {
    const QStringList pa = a.trimmed().split(QLatin1Char('.'));
    const QStringList pb = b.trimmed().split(QLatin1Char('.'));
    const qsizetype n = std::max(pa.size(), pb.size());
    for (qsizetype i = 0; i < n; ++i) {
        const QString x = i < pa.size() ? pa[i] : QStringLiteral("0");
        const QString y = i < pb.size() ? pb[i] : QStringLiteral("0");
        auto split = [](const QString& part) {
            qsizetype d = 0;
            while (d < part.size() && part[d].isDigit())
                ++d;
            QString digits = part.left(d);
            // Compared as digit strings: no part is too long for a number.
            while (digits.size() > 1 && digits.front() == QLatin1Char('0'))
                digits.remove(0, 1);
            return std::make_pair(digits.isEmpty() ? QStringLiteral("0") : digits, part.mid(d));
        };
        const auto [nx, sx] = split(x);
        const auto [ny, sy] = split(y);
        if (nx.size() != ny.size())
            return nx.size() < ny.size() ? -1 : 1;
        if (const int c = nx.compare(ny); c != 0)
            return c < 0 ? -1 : 1;
        if (sx.isEmpty() != sy.isEmpty())
            return sx.isEmpty() ? 1 : -1;
        if (const int c = sx.compare(sy); c != 0)
            return c < 0 ? -1 : 1;
    }
    return 0;
}

// --- The updater --------------------------------------------------------

namespace {
std::unique_ptr<QVUpdater>& updaterSlot() {
    static std::unique_ptr<QVUpdater> updater;
    return updater;
}

// A release-notes view that shows the text it is given and loads nothing:
// no images or style sheets from the web or from this computer.
class NotesView : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

QString kilobytes(qint64 bytes) { return QString::number((bytes + 1023) / 1024); }

void setNotes(QTextBrowser* view, const QString& text) {
    if (Qt::mightBeRichText(text))
        view->setHtml(text);
    else
        view->setPlainText(text);
}
} // namespace

QVUpdater& QVUpdater::sharedUpdater() {
    if (!updaterSlot())
        updaterSlot().reset(new QVUpdater());
    return *updaterSlot();
}

void QVUpdater::releaseSharedUpdater() { updaterSlot().reset(); }

QVUpdater::QVUpdater()
    : network_(new QNetworkAccessManager(this)), timer_(new QTimer(this)),
      currentVersion_(QString::fromStdString(platform::applicationVersion())) {
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { checkIfDue(); });
}

QVUpdater::~QVUpdater() {
    // A check cut short by the window's end tells no one.
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

bool QVUpdater::isChecking() const { return !reply_.isNull(); }

bool QVUpdater::automaticallyChecksForUpdates() const {
    // Off until the user turns it on: a first launch checks nothing.
    const auto v = QVUserDefaults::standardUserDefaults().objectForKey(kAutomaticChecksKey);
    return v && QVUserDefaults::standardUserDefaults().boolForKey(kAutomaticChecksKey);
}

void QVUpdater::setAutomaticallyChecksForUpdates(bool on) {
    QVUserDefaults& d = QVUserDefaults::standardUserDefaults();
    d.setObject(kAutomaticChecksKey, on);
    d.synchronize();
    scheduleNextCheck();
}

double QVUpdater::updateCheckInterval() const {
    if (!QVUserDefaults::standardUserDefaults().objectForKey(kCheckIntervalKey))
        return kDefaultInterval;
    return QVUserDefaults::standardUserDefaults().floatForKey(kCheckIntervalKey);
}

void QVUpdater::setUpdateCheckInterval(double seconds) {
    QVUserDefaults& d = QVUserDefaults::standardUserDefaults();
    d.setObject(kCheckIntervalKey, seconds);
    d.synchronize();
    scheduleNextCheck();
}

std::optional<QDateTime> QVUpdater::lastUpdateCheckDate() const {
    const auto text = QVUserDefaults::standardUserDefaults().stringForKey(kLastCheckTimeKey);
    if (!text)
        return std::nullopt;
    QDateTime t = QDateTime::fromString(QString::fromStdString(*text), Qt::ISODate);
    if (!t.isValid())
        return std::nullopt;
    return t;
}

std::optional<QDateTime> QVUpdater::nextCheckDate() const {
    if (!automaticallyChecksForUpdates())
        return std::nullopt;
    const QDateTime current = now();
    const auto last = lastUpdateCheckDate();
    if (!last)
        return current;
    double interval = updateCheckInterval();
    // A stored interval that is no interval, or a tiny one, would have the
    // program ask the server at every turn.
    if (!std::isfinite(interval) || interval <= 0)
        interval = kDefaultInterval;
    interval = std::clamp(interval, kShortestInterval, 365.0 * 86400);
    // A last check in the future (the clock was set back) counts as now, so
    // checks wait one interval rather than stop until that moment.
    const QDateTime from = *last > current ? current : *last;
    return from.addMSecs(static_cast<qint64>(interval * 1000));
}

void QVUpdater::scheduleNextCheck() {
    timer_->stop();
    const auto next = nextCheckDate();
    if (!next)
        return;
    const qint64 wait = now().msecsTo(*next);
    // A timer runs at most a day; then the due date is worked out again
    // (the interval or the clock may have changed meanwhile).
    timer_->start(static_cast<int>(std::clamp<qint64>(wait, 0, 86400000)));
}

bool QVUpdater::checkIfDue() {
    const auto next = nextCheckDate();
    if (!next)
        return false;
    if (*next > now() || isChecking()) {
        scheduleNextCheck();
        return false;
    }
    checkForUpdatesInBackground();
    return true;
}

void QVUpdater::checkForUpdates(QWidget* parent) {
    parent_ = parent;
    if (isChecking()) {
        // An automatic check under way answers the user now.
        userInitiated_ = true;
        return;
    }
    startCheck(true, parent);
}

void QVUpdater::checkForUpdatesInBackground() {
    if (isChecking())
        return;
    startCheck(false, nullptr);
}

void QVUpdater::startCheck(bool userInitiated, QWidget* parent) {
    userInitiated_ = userInitiated;
    parent_ = parent;
    timer_->stop();
    // Kept at the start, so a server that fails is not asked again at once.
    QVUserDefaults& d = QVUserDefaults::standardUserDefaults();
    d.setObject(kLastCheckTimeKey, now().toUTC().toString(Qt::ISODate).toStdString());
    d.synchronize();
    if (!feedURL_.isValid() || feedURL_.isEmpty()) {
        finishCheck({}, QStringLiteral("No update feed is set."));
        return;
    }
    fetch(feedURL_, this, [this](const QByteArray& body, const QString&, const QString& error) {
        finishCheck(body, error);
    });
}

void QVUpdater::fetch(const QUrl& url, QObject* context,
                      std::function<void(const QByteArray&, const QString&, const QString&)> done) {
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs_);
    // Never from https down to http on a redirect.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Corvala/%1").arg(currentVersion_));
    QNetworkReply* reply = network_->get(request);
    if (context == this)
        reply_ = reply;
    auto body = std::make_shared<QByteArray>();
    auto tooLarge = std::make_shared<bool>(false);
    const qint64 cap = maxBytes_;
    auto overCap = [reply, tooLarge] {
        *tooLarge = true;
        reply->abort();
    };
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, cap, overCap] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > cap)
            overCap();
    });
    connect(reply, &QNetworkReply::readyRead, reply, [reply, body, tooLarge, cap, overCap] {
        if (*tooLarge)
            return;
        body->append(reply->read(cap + 1 - body->size()));
        if (body->size() > cap)
            overCap();
    });
    const int timeoutSeconds = std::max(1, timeoutMs_ / 1000);
    connect(reply, &QNetworkReply::finished, context ? context : this,
            [reply, body, tooLarge, cap, timeoutSeconds, done = std::move(done)] {
                reply->deleteLater();
                if (!*tooLarge && body->size() <= cap && reply->isOpen())
                    body->append(reply->read(cap + 1 - body->size()));
                const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                const QString host = reply->url().host();
                QString error;
                if (*tooLarge || body->size() > cap) {
                    error = QStringLiteral("The answer from %1 is larger than %2 KB, more than an update feed "
                                           "can be; it was not read.")
                                .arg(host, kilobytes(cap));
                } else if (status >= 300) {
                    const QString phrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
                    error = QStringLiteral("The update server %1 answered HTTP %2%3.")
                                .arg(host)
                                .arg(status)
                                .arg(phrase.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(phrase));
                } else if (reply->error() == QNetworkReply::OperationCanceledError ||
                           reply->error() == QNetworkReply::TimeoutError) {
                    error = QStringLiteral("The update server %1 did not answer within %2 seconds.")
                                .arg(host)
                                .arg(timeoutSeconds);
                } else if (reply->error() != QNetworkReply::NoError) {
                    error = QStringLiteral("The update server %1 could not be reached: %2. Check the network "
                                           "connection.")
                                .arg(host, reply->errorString());
                }
                done(error.isEmpty() ? *body : QByteArray(),
                     reply->header(QNetworkRequest::ContentTypeHeader).toString(), error);
            });
}

void QVUpdater::finishCheck(const QByteArray& body, const QString& error) {
    reply_ = nullptr;
    QVUpdateResult result;
    result.userInitiated = userInitiated_;
    result.currentVersion = currentVersion_;
    if (!error.isEmpty()) {
        result.reason = error;
    } else {
        const QVAppcast::Feed feed = QVAppcast::parse(body);
        if (!feed.error.isEmpty())
            result.reason = QStringLiteral("The update feed could not be read: %1.").arg(feed.error);
        else if (const auto newest = QVAppcast::newest(feed.items)) {
            result.item = *newest;
            result.kind = QVCompareVersions(newest->displayVersion(), currentVersion_) > 0
                              ? QVUpdateResult::Kind::UpdateAvailable
                              : QVUpdateResult::Kind::UpToDate;
        } else if (feed.itemsWithoutVersion > 0)
            result.reason = QStringLiteral("The update feed names no version for its releases.");
        else
            result.reason = QStringLiteral("The update feed lists no release.");
    }
    present(result);
    scheduleNextCheck();
}

void QVUpdater::present(const QVUpdateResult& result) {
    emit checkFinished(result);
    if (!result.userInitiated && result.kind != QVUpdateResult::Kind::UpdateAvailable) {
        // An automatic check does not interrupt the user for this.
        if (result.kind == QVUpdateResult::Kind::Failed)
            std::fprintf(stderr, "corvala-app: automatic update check: %s\n", qPrintable(result.reason));
        return;
    }
    if (!showsDialogs_)
        return;
    QWidget* over = parent_ ? parent_.data() : window_.data();
    if (result.kind == QVUpdateResult::Kind::UpToDate || result.kind == QVUpdateResult::Kind::Failed) {
        const bool ok = result.kind == QVUpdateResult::Kind::UpToDate;
        auto* box = new QMessageBox(ok ? QMessageBox::Information : QMessageBox::Warning,
                                    QStringLiteral("Software Update"),
                                    ok ? QStringLiteral("You're up to date")
                                       : QStringLiteral("Corvala could not check for updates"),
                                    QMessageBox::Ok, over);
        box->setObjectName(ok ? QStringLiteral("upToDate") : QStringLiteral("updateCheckFailed"));
        box->setInformativeText(ok ? QStringLiteral("Corvala %1 is the newest version available.")
                                         .arg(result.currentVersion)
                                   : result.reason);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }

    const QVAppcast::Item& item = result.item;
    auto* dialog = new QDialog(over);
    dialog->setObjectName(QStringLiteral("updateAvailable"));
    dialog->setWindowTitle(QStringLiteral("Software Update"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* columns = new QHBoxLayout(dialog);
    columns->setContentsMargins(20, 20, 20, 16);
    columns->setSpacing(16);
    auto* icon = new QLabel(dialog);
    icon->setPixmap(QVImages::applicationIcon().pixmap(64, 64));
    columns->addWidget(icon, 0, Qt::AlignTop);
    auto* content = new QVBoxLayout;
    columns->addLayout(content, 1);
    auto* heading = new QLabel(QStringLiteral("Corvala %1 is available — you have %2")
                                   .arg(item.displayVersion(), result.currentVersion),
                               dialog);
    heading->setObjectName(QStringLiteral("heading"));
    QFont f = heading->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.15);
    heading->setFont(f);
    heading->setWordWrap(true);
    content->addWidget(heading);
    if (item.pubDate.isValid()) {
        auto* date = new QLabel(QStringLiteral("Released %1.")
                                    .arg(QLocale().toString(item.pubDate.date(), QLocale::LongFormat)),
                                dialog);
        date->setForegroundRole(QPalette::PlaceholderText);
        content->addWidget(date);
    }
    content->addSpacing(6);
    content->addWidget(new QLabel(QStringLiteral("Release notes:"), dialog));
    auto* notes = new NotesView(dialog);
    notes->setObjectName(QStringLiteral("releaseNotes"));
    notes->setOpenLinks(false);
    notes->setMinimumSize(440, 180);
    connect(notes, &QTextBrowser::anchorClicked, dialog, [](const QUrl& url) {
        if (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"))
            QVWorkspace::sharedWorkspace().openURL(url);
    });
    content->addWidget(notes, 1);
    const QUrl notesLink = item.releaseNotesLink;
    if (!item.description.isEmpty()) {
        setNotes(notes, item.description);
    } else if (notesLink.isValid() &&
               (notesLink.scheme() == QLatin1String("https") || notesLink.scheme() == QLatin1String("http"))) {
        notes->setPlainText(QStringLiteral("Loading the release notes…"));
        fetch(notesLink, dialog, [notes, notesLink](const QByteArray& body, const QString&, const QString& error) {
            if (!error.isEmpty())
                notes->setPlainText(QStringLiteral("The release notes could not be loaded from %1.\n%2")
                                        .arg(notesLink.toString(), error));
            else
                setNotes(notes, QString::fromUtf8(body));
        });
    } else {
        notes->setPlainText(QStringLiteral("No release notes were given for this version."));
    }
    auto* note = new QLabel(QStringLiteral("Corvala does not download or install updates by itself: get the new "
                                           "version from its download page, or install it with your system's "
                                           "package manager."),
                            dialog);
    note->setObjectName(QStringLiteral("installNote"));
    note->setWordWrap(true);
    content->addWidget(note);
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* download = buttons->addButton(QStringLiteral("Open Download Page"), QDialogButtonBox::AcceptRole);
    download->setObjectName(QStringLiteral("openDownloadPage"));
    QPushButton* later = buttons->addButton(QStringLiteral("Later"), QDialogButtonBox::RejectRole);
    later->setObjectName(QStringLiteral("later"));
    const QUrl page = item.downloadPage();
    download->setEnabled(page.isValid());
    download->setDefault(page.isValid());
    if (!page.isValid())
        download->setToolTip(QStringLiteral("The update feed gives no web address to download from."));
    connect(download, &QPushButton::clicked, dialog, [dialog, page] {
        QVWorkspace::sharedWorkspace().openURL(page);
        dialog->accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    content->addWidget(buttons);
    dialog->open();
}

// --- The application's side ----------------------------------------------

const char* const QVAutoUpdate::kFeedURL = "https://corvala.example/release/corvala/App_Update.xml";
const char* const QVAutoUpdate::kFeedEnvironmentVariable = "CORVALA_UPDATE_FEED_URL";

QString QVAutoUpdate::feedURLString() {
    const QString other = qEnvironmentVariable(kFeedEnvironmentVariable).trimmed();
    return other.isEmpty() ? QString::fromLatin1(kFeedURL) : other;
}

void QVAutoUpdate::setDefaults() {
    const QString feed = feedURLString();
    QVUserDefaults& d = QVUserDefaults::standardUserDefaults();
    d.setObject(kFeedURLKey, feed.toStdString());
    d.synchronize();
    QVUpdater::sharedUpdater().setFeedURL(QUrl(feed));
}

void QVAutoUpdate::checkForUpdate(QWidget* sender) {
    QVUpdater& updater = QVUpdater::sharedUpdater();
    updater.setFeedURL(QUrl(feedURLString()));
    updater.checkForUpdates(sender ? sender->window() : nullptr);
}

void QVAutoUpdate::setAutoCheckForUpdates(bool on) { QVUpdater::sharedUpdater().setAutomaticallyChecksForUpdates(on); }

bool QVAutoUpdate::autoCheckForUpdates() { return QVUpdater::sharedUpdater().automaticallyChecksForUpdates(); }

void QVAutoUpdate::setUpdateCheckInterval(double seconds) {
    QVUpdater::sharedUpdater().setUpdateCheckInterval(seconds);
}

double QVAutoUpdate::updateCheckInterval() { return QVUpdater::sharedUpdater().updateCheckInterval(); }
