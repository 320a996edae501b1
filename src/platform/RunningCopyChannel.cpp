#include "RunningCopyChannel.h"

#include <QLocalServer>
#include <QLocalSocket>

using namespace Qt::Literals::StringLiterals;

namespace Platform {

namespace {

// A path is short; anything longer is not one of ours and is dropped.
constexpr qint64 kMaxMessage = 64 * 1024;

} // namespace

RunningCopyChannel::RunningCopyChannel(const QString& lockPath, QObject* parent) : QObject(parent)
{
    m_socketPath = lockPath;
    if (m_socketPath.endsWith(u".lock"_s))
        m_socketPath.chop(5);
    m_socketPath += u".socket"_s;
}

RunningCopyChannel::~RunningCopyChannel() = default;

bool RunningCopyChannel::listen()
{
    if (m_server)
        return m_server->isListening();
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(m_socketPath);
    connect(m_server, &QLocalServer::newConnection, this, &RunningCopyChannel::acceptConnection);
    return m_server->listen(m_socketPath);
}

void RunningCopyChannel::acceptConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        auto buffer = std::make_shared<QByteArray>();
        auto take = [socket, buffer] {
            buffer->append(socket->readAll());
            if (buffer->size() > kMaxMessage)
                socket->abort();
        };
        connect(socket, &QLocalSocket::readyRead, this, take);
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, buffer, take] {
            take();
            socket->deleteLater();
            // One message: the folder in UTF-8, ended by a line feed, so a
            // sender that died half-way delivers nothing.
            if (buffer->size() > kMaxMessage || !buffer->endsWith('\n'))
                return;
            const QString folder = QString::fromUtf8(buffer->chopped(1));
            if (!folder.isEmpty())
                Q_EMIT folderReceived(folder);
        });
    }
}

bool RunningCopyChannel::send(const QString& folder, int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    const QByteArray message = folder.toUtf8() + '\n';
    if (socket.write(message) != message.size())
        return false;
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs))
            return false;
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return true;
}

} // namespace Platform
