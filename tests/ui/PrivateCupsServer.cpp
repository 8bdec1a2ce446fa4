#include "PrivateCupsServer.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <unistd.h>

namespace {
bool writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) == text.toUtf8().size();
}
} // namespace

PrivateCupsServer::PrivateCupsServer() = default;

PrivateCupsServer::~PrivateCupsServer()
{
    if (m_cupsd.state() != QProcess::NotRunning) {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(5000)) {
            m_cupsd.kill();
            m_cupsd.waitForFinished(5000);
        }
    }
}

QString PrivateCupsServer::address() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

QString PrivateCupsServer::outputFile() const
{
    return m_dir.filePath(QStringLiteral("out/printed.pdf"));
}

QString PrivateCupsServer::printedOptions() const
{
    QFile file(outputFile() + QStringLiteral(".options"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

QString PrivateCupsServer::log() const
{
    QFile file(m_dir.filePath(QStringLiteral("log/error_log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool PrivateCupsServer::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_error = QStringLiteral("%1 failed: %2").arg(program, QString::fromUtf8(process.readAllStandardError()));
        return false;
    }
    return true;
}

bool PrivateCupsServer::start()
{
    const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin")});
    const QString lpadmin = QStandardPaths::findExecutable(QStringLiteral("lpadmin"), {QStringLiteral("/usr/sbin")});
    if (cupsd.isEmpty() || lpadmin.isEmpty()) {
        m_error = QStringLiteral("cupsd or lpadmin is not installed (Debian packages cups, cups-client)");
        return false;
    }
    if (geteuid() != 0) {
        m_error = QStringLiteral("a private cupsd needs root here");
        return false;
    }
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0)) {
            m_error = QStringLiteral("no free port on 127.0.0.1");
            return false;
        }
        m_port = probe.serverPort();
    }
    const QDir dir(m_dir.path());
    for (const char *sub : {"cache", "state", "spool", "tmp", "log", "out", "ppd", "bin/backend"})
        dir.mkpath(QString::fromLatin1(sub));
    // The server's programs are the system's, except for one backend: a
    // virtual printer that writes each job's document, and the options it
    // came with, to the file its device names.
    for (const char *sub : {"filter", "daemon", "cgi-bin", "notifier", "monitor"})
        QFile::link(QStringLiteral("/usr/lib/cups/%1").arg(QString::fromLatin1(sub)),
                    dir.filePath(QStringLiteral("bin/%1").arg(QString::fromLatin1(sub))));
    const QString backend = dir.filePath(QStringLiteral("bin/backend/testfile"));
    if (!writeFile(backend, QStringLiteral("#!/bin/sh\n"
                                           "if [ $# -eq 0 ]; then echo 'file testfile \"Unknown\" \"Virtual\"'; exit 0; fi\n"
                                           "out=\"${DEVICE_URI#testfile:}\"\n"
                                           "printf '%s\\n' \"$5\" > \"$out.options\"\n"
                                           "if [ -n \"$6\" ]; then cat \"$6\" > \"$out.part\"; else cat > \"$out.part\"; fi\n"
                                           "mv \"$out.part\" \"$out\"\n")) ||
        !QFile::setPermissions(backend, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        m_error = QStringLiteral("cannot write the virtual printer's backend");
        return false;
    }
    // The scheduler's filters run as lp: they must reach the folders.
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                            QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(dir.filePath(QStringLiteral("out")), QFileDevice::Permissions(0x7777));
    const QString root = m_dir.path();
    const QString files = QStringLiteral("ServerRoot %1\nCacheDir %1/cache\nStateDir %1/state\nRequestRoot %1/spool\n"
                                         "TempDir %1/tmp\nAccessLog %1/log/access_log\nErrorLog %1/log/error_log\n"
                                         "PageLog %1/log/page_log\nPrintcap %1/printcap\n"
                                         "ServerBin %1/bin\nDataDir /usr/share/cups\n"
                                         "SystemGroup root\n")
                              .arg(root);
    const QString conf = QStringLiteral("Listen 127.0.0.1:%1\nLogLevel warn\nBrowsing No\nWebInterface No\n"
                                        "DefaultAuthType None\nMaxJobs 10\nPreserveJobFiles No\n"
                                        "<Location />\n  Order allow,deny\n  Allow 127.0.0.1\n</Location>\n"
                                        "<Location /admin>\n  Order allow,deny\n  Allow 127.0.0.1\n</Location>\n"
                                        "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                                        "</Policy>\n")
                             .arg(m_port);
    if (!writeFile(dir.filePath(QStringLiteral("cups-files.conf")), files) ||
        !writeFile(dir.filePath(QStringLiteral("cupsd.conf")), conf)) {
        m_error = QStringLiteral("cannot write the server's configuration");
        return false;
    }
    m_cupsd.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_cupsd.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), dir.filePath(QStringLiteral("cupsd.conf")),
                          QStringLiteral("-s"), dir.filePath(QStringLiteral("cups-files.conf"))});
    if (!m_cupsd.waitForStarted(10000)) {
        m_error = QStringLiteral("cupsd did not start");
        return false;
    }
    const bool listening = QTest::qWaitFor(
        [this] {
            if (m_cupsd.state() == QProcess::NotRunning)
                return true;
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, quint16(m_port));
            return socket.waitForConnected(200);
        },
        15000);
    if (!listening || m_cupsd.state() == QProcess::NotRunning) {
        m_error = QStringLiteral("cupsd did not listen on %1: %2").arg(address(), log());
        return false;
    }
    return run(lpadmin, {QStringLiteral("-h"), address(), QStringLiteral("-p"), printerName(), QStringLiteral("-v"),
                         QStringLiteral("testfile:%1").arg(outputFile()), QStringLiteral("-m"), QStringLiteral("raw"),
                         QStringLiteral("-E")});
}

bool PrivateCupsServer::hasActiveJobs() const
{
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-h"), address(), QStringLiteral("-o"), printerName()});
    lpstat.waitForFinished(10000);
    return !lpstat.readAllStandardOutput().trimmed().isEmpty();
}
