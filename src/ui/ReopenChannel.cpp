#include "ui/ReopenChannel.h"

#include "platform/Log.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {
const QByteArray kReopen = QByteArrayLiteral("reopen\n");
}

ReopenChannel::ReopenChannel(const QString &key, QObject *parent)
    : QObject(parent)
    , m_serverName(QStringLiteral("sweepling-%1-%2")
                       .arg(getuid())
                       .arg(QString::fromLatin1(
                           QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(16))))
{
}

ReopenChannel::~ReopenChannel() = default;

bool ReopenChannel::askRunningInstance() const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(500))
        return false;
    socket.write(kReopen);
    const bool sent = socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return sent;
}

bool ReopenChannel::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_serverName)) {
        // A socket left behind by a crashed instance: nobody answered above.
        QLocalServer::removeServer(m_serverName);
        if (!m_server->listen(m_serverName)) {
            Log::warning(QStringLiteral("Cannot listen for reopen requests: %1").arg(m_server->errorString()));
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains(kReopen))
                    Q_EMIT reopenRequested();
            });
        }
    });
    return true;
}
