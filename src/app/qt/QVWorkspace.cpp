#include "QVWorkspace.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>

namespace {
std::shared_ptr<QVWorkspace>& slot() {
    static std::shared_ptr<QVWorkspace> workspace = std::make_shared<QVWorkspace>();
    return workspace;
}
} // namespace

QVWorkspace& QVWorkspace::sharedWorkspace() { return *slot(); }

void QVWorkspace::setSharedWorkspace(std::shared_ptr<QVWorkspace> workspace) {
    slot() = workspace ? std::move(workspace) : std::make_shared<QVWorkspace>();
}

bool QVWorkspace::openURL(const QUrl& url) { return QDesktopServices::openUrl(url); }

bool QVWorkspace::openFile(const QString& path) {
    return QFileInfo::exists(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QVWorkspace::selectFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return;
    // The freedesktop file-manager interface selects the item in its folder
    // (Nautilus, Dolphin, Nemo, Thunar and others answer it).
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString service = QStringLiteral("org.freedesktop.FileManager1");
    if (bus.isConnected() && bus.interface() &&
        bus.interface()->isServiceRegistered(service).value()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            service, QStringLiteral("/org/freedesktop/FileManager1"), service,
            QStringLiteral("ShowItems"));
        call << QStringList{QUrl::fromLocalFile(info.absoluteFilePath()).toString()} << QString();
        if (bus.send(call))
            return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(info.isDir() ? info.absoluteFilePath()
                                                               : info.absolutePath()));
}
