#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace Platform {

// Hands a folder from a second launch to the copy that already runs: a local
// socket beside the single-instance lock (SingleInstance::lockPath() with
// ".socket" for ".lock"), which only this user can connect to. The running copy
// listens; a second launch with a folder sends it and ends quietly.
class RunningCopyChannel : public QObject
{
    Q_OBJECT

public:
    explicit RunningCopyChannel(const QString& lockPath, QObject* parent = nullptr);
    ~RunningCopyChannel() override;

    // Starts listening; call only while holding the single-instance lock, since
    // a socket left by a copy that died is removed first. False when it cannot.
    bool listen();
    // Sends `folder` to the copy that listens. False when no copy listens or the
    // folder could not be written to it within `timeoutMs`.
    bool send(const QString& folder, int timeoutMs = 2000) const;
    QString socketPath() const { return m_socketPath; }

Q_SIGNALS:
    void folderReceived(const QString& folder);

private:
    void acceptConnection();

    QString m_socketPath;
    QLocalServer* m_server = nullptr;
};

} // namespace Platform
