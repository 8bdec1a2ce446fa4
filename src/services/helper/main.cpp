// sweepling-helper: run from the user's autostart entry at login. Starts the
// application unless it already runs, then waits for the application's
// "TERMINATEHELPERAdware" on its local socket and ends.
//
//   sweepling-helper [--app PATH] [--server NAME] [ARGS...]
// PATH defaults to "sweepling" beside the helper; NAME to the per-user
// default; ARGS are passed to the application.

#include "platform/Log.h"
#include "services/LoginHelperChannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTimer>
#include <unistd.h>

namespace {
// True when a process of this user runs the executable at path.
bool isRunning(const QString &path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty())
        return false;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        bool numeric = false;
        pid.toLongLong(&numeric);
        if (!numeric)
            continue;
        // The folder belongs to the process's user; the executable's own
        // owner says nothing about who runs it.
        if (QFileInfo(QStringLiteral("/proc/") + pid).ownerId() != ::getuid())
            continue;
        if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() == target)
            return true;
    }
    return false;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Log::setVerbose(qEnvironmentVariableIntValue("SWEEPLING_LOG") != 0);
    QStringList args = app.arguments().mid(1);
    QString appPath = QCoreApplication::applicationDirPath() + QStringLiteral("/sweepling");
    QString serverName = LoginHelperChannel::defaultServerName();
    while (args.size() >= 2 && (args.first() == QStringLiteral("--app") || args.first() == QStringLiteral("--server"))) {
        (args.first() == QStringLiteral("--app") ? appPath : serverName) = args.at(1);
        args = args.mid(2);
    }

    QLocalServer server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server.listen(serverName)) {
        // A helper left by a crash leaves its socket file; one that still
        // answers means another helper runs, and this one is not needed.
        QLocalSocket probe;
        probe.connectToServer(serverName);
        if (probe.waitForConnected(1000)) {
            Log::warning(QStringLiteral("Another login helper runs"));
            return 0;
        }
        QLocalServer::removeServer(serverName);
        if (!server.listen(serverName)) {
            Log::warning(QStringLiteral("The login helper cannot listen: %1").arg(server.errorString()));
            return 1;
        }
    }
    QObject::connect(&server, &QLocalServer::newConnection, &app, [&] {
        while (QLocalSocket *socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, &app, [socket] {
                while (socket->canReadLine()) {
                    if (QString::fromUtf8(socket->readLine()).trimmed() == LoginHelperChannel::terminateMessage()) {
                        Log::line(QStringLiteral("The application started; the login helper ends"));
                        QCoreApplication::quit();
                    }
                }
                // A peer that sends a long line without its end is cut off.
                if (socket->bytesAvailable() > 256)
                    socket->abort();
            });
        }
    });

    if (isRunning(appPath))
        Log::line(QStringLiteral("%1 already runs").arg(appPath));
    else if (!QProcess::startDetached(appPath, args))
        Log::warning(QStringLiteral("%1 could not be started").arg(appPath));

    // An application that never says it started (start at login was turned
    // off meanwhile, or it failed) does not keep the helper for ever.
    QTimer::singleShot(10 * 60 * 1000, &app, [] {
        Log::line(QStringLiteral("No word from the application; the login helper ends"));
        QCoreApplication::quit();
    });
    return app.exec();
}
