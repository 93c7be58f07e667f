#include "QVSupport.h"

#include "platform/AppInfo.h"

#include <QFile>
#include <QLocale>
#include <QStringList>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

namespace QVSupport {
// Placeholders under the reserved .example domain until the project has its
// own site and mailbox.
const char* const kHomePage = "https://corvala.example/";
const char* const kSupportPage = "https://corvala.example/support";
const char* const kProductPage = "https://corvala.example/corvala";
const char* const kFollowUsPage = "https://social.corvala.example/@corvala";
const char* const kSupportMailbox = "Corvala Support<support@corvala.example>";
} // namespace QVSupport

namespace {
QString readLine(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readLine()).trimmed();
}

QString userFullName() {
    if (const passwd* pw = ::getpwuid(::getuid())) {
        QString gecos = QString::fromLocal8Bit(pw->pw_gecos ? pw->pw_gecos : "").section(',', 0, 0).trimmed();
        return gecos.isEmpty() ? QString::fromLocal8Bit(pw->pw_name) : gecos;
    }
    return {};
}
} // namespace

QString QV_SystemVersionString(const QString& osReleasePath) {
    QFile f(osReleasePath);
    QString pretty, name, version;
    if (f.open(QIODevice::ReadOnly)) {
        for (const QString& line : QString::fromUtf8(f.readAll()).split('\n')) {
            const int eq = line.indexOf('=');
            if (eq <= 0)
                continue;
            QString value = line.mid(eq + 1).trimmed();
            if (value.size() >= 2 && (value.startsWith('"') || value.startsWith('\'')))
                value = value.mid(1, value.size() - 2);
            const QString key = line.left(eq).trimmed();
            if (key == "PRETTY_NAME")
                pretty = value;
            else if (key == "NAME")
                name = value;
            else if (key == "VERSION_ID")
                version = value;
        }
    }
    if (!pretty.isEmpty())
        return pretty;
    if (!name.isEmpty())
        return version.isEmpty() ? name : name + ' ' + version;
    return QStringLiteral("Linux ") + QSysInfo::kernelVersion();
}

QString QV_MachineModelString(const QString& dmiFolder) {
    const QString vendor = readLine(dmiFolder + "/sys_vendor");
    const QString product = readLine(dmiFolder + "/product_name");
    if (product.isEmpty())
        return QStringLiteral("Unknown Machine");
    return vendor.isEmpty() || product.startsWith(vendor) ? product : vendor + ' ' + product;
}

QUrl QV_MailURL(const QString& recipient, const QString& subject, const QString& body) {
    const auto esc = [](const QString& s) { return QString::fromLatin1(QUrl::toPercentEncoding(s)); };
    return QUrl(QStringLiteral("mailto:%1?SUBJECT=%2&BODY=%3").arg(esc(recipient), esc(subject), esc(body)),
                QUrl::StrictMode);
}

QUrl QV_TechnicalSupportMailURL() {
    const QString subject = QString::fromStdString(platform::applicationDisplayName()) +
                            QStringLiteral(" - %1: %2").arg(QString::fromStdString(platform::applicationVersion()),
                                                            QStringLiteral("Technical Support"));
    const QLocale locale;
    const QStringList parts = locale.name().split('_');
    QString body = QStringLiteral("\n \n \n \n \nMy Device Short Info:\n ");
    body += QStringLiteral("User Name:%1\n ").arg(userFullName());
    body += QStringLiteral("Device Model:%1\n ").arg(QV_MachineModelString());
    body += QStringLiteral("System Version:%1\n ").arg(QV_SystemVersionString());
    body += QStringLiteral("Country:%1\n ").arg(parts.size() > 1 ? parts[1] : QString());
    body += QStringLiteral("Language:%1\n ").arg(parts.value(0));
    return QV_MailURL(QString::fromLatin1(QVSupport::kSupportMailbox), subject, body);
}

QUrl QV_TellAFriendMailURL(const QString& bodyPath) {
    QFile f(bodyPath);
    const QString body = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    return QV_MailURL(QString::fromLatin1(QVSupport::kSupportMailbox),
                      QStringLiteral("Try out \"%1\" on the %2").arg(QStringLiteral("Corvala"), QStringLiteral("Linux desktop")),
                      body);
}
