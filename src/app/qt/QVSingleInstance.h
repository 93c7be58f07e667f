#pragma once
// One window per user session: the first launch listens on a local socket;
// a later launch hands its files to it and ends.

#include <QObject>
#include <QStringList>

class QLocalServer;

class QVSingleInstance : public QObject {
    Q_OBJECT
public:
    /// The socket name for this user ($CORVALA_INSTANCE_NAME overrides it).
    static QString defaultServerName();

    explicit QVSingleInstance(QString serverName, QObject* parent = nullptr);
    ~QVSingleInstance() override;

    /// Hands the paths (made absolute) to a running instance; true when one
    /// took them.
    bool sendToRunningInstance(const QStringList& paths, int timeoutMs = 2000) const;
    /// Starts listening (a socket left by a crashed instance is replaced).
    bool listen();

signals:
    /// Files handed over by another launch (an empty list: just show the window).
    void filesReceived(const QStringList& paths);

private:
    QString serverName_;
    QLocalServer* server_ = nullptr;
};
