#include "services/LoginHelperChannel.h"

#include "platform/Log.h"

#include <QLocalSocket>
#include <unistd.h>

QString LoginHelperChannel::defaultServerName()
{
    return QStringLiteral("%1-%2").arg(helperIdentifier()).arg(::getuid());
}

bool LoginHelperChannel::sendTerminate(const QString &serverName)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    // A local connection is made at once or refused at once.
    if (!socket.waitForConnected(1000))
        return false;
    socket.write(terminateMessage().toUtf8() + '\n');
    const bool sent = socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    if (sent)
        Log::line(QStringLiteral("Sent %1 to the login helper").arg(terminateMessage()));
    return sent;
}
