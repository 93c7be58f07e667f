#include "QVSingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {
// Paths go one per line, UTF-8, ended by an empty line.
QByteArray encode(const QStringList& paths) {
    QByteArray bytes;
    for (const QString& p : paths)
        bytes += QFileInfo(p).absoluteFilePath().toUtf8() + '\n';
    return bytes + '\n';
}
} // namespace

QString QVSingleInstance::defaultServerName() {
    const QByteArray custom = qgetenv("CORVALA_INSTANCE_NAME");
    if (!custom.isEmpty())
        return QString::fromLocal8Bit(custom);
    return QStringLiteral("corvala-app-%1").arg(::getuid());
}

QVSingleInstance::QVSingleInstance(QString serverName, QObject* parent)
    : QObject(parent), serverName_(std::move(serverName)) {}

QVSingleInstance::~QVSingleInstance() = default;

bool QVSingleInstance::sendToRunningInstance(const QStringList& paths, int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(encode(paths));
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The running instance closes the connection once it has read the list.
    socket.waitForDisconnected(timeoutMs);
    return true;
}

bool QVSingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(serverName_)) {
        // No one answered before, so the socket file is a crashed instance's.
        QLocalServer::removeServer(serverName_);
        if (!server_->listen(serverName_))
            return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
                *buffer += socket->readAll();
                // A sender that never finishes its list cannot hold memory.
                if (buffer->size() > (1 << 20)) {
                    socket->abort();
                    return;
                }
                if (!buffer->endsWith("\n\n") && *buffer != "\n")
                    return;
                QStringList paths;
                for (const QByteArray& line : buffer->split('\n'))
                    if (!line.isEmpty())
                        paths << QString::fromUtf8(line);
                buffer->clear();
                socket->disconnectFromServer();
                emit filesReceived(paths);
            });
        }
    });
    return true;
}
