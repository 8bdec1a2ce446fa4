#include "app/PreferenceKeys.h"
#include "app/RemoteFlag.h"
#include "platform/UserDefaults.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A one-file HTTP server on 127.0.0.1 answering every request with the
// given status and body.
class TinyHttpServer : public QObject
{
public:
    TinyHttpServer(int status, QByteArray body)
        : m_status(status)
        , m_body(std::move(body))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (!socket->readAll().contains("\r\n\r\n"))
                        return;
                    const QByteArray reason = m_status == 200 ? "OK" : "Error";
                    socket->write("HTTP/1.1 " + QByteArray::number(m_status) + ' ' + reason
                                  + "\r\nContent-Type: text/plain\r\nConnection: close\r\nContent-Length: "
                                  + QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QString url() const { return QStringLiteral("http://127.0.0.1:%1/flag.txt").arg(m_server.serverPort()); }

private:
    QTcpServer m_server;
    int m_status;
    QByteArray m_body;
};

bool fetch(UserDefaults &defaults, const QString &url)
{
    defaults.setObject(url, PreferenceKeys::SandboxingURL);
    RemoteFlag flag(defaults);
    QSignalSpy finished(&flag, &RemoteFlag::finished);
    flag.checkDataFromURL();
    EXPECT_TRUE(finished.wait(10000));
    EXPECT_EQ(finished.size(), 1);
    return defaults.boolForKey(PreferenceKeys::SandboxingDone);
}

} // namespace

TEST(RemoteFlag, OnlyTheExactBodyTrueGrantsTheWholeDisk)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("s.ini")));
    TinyHttpServer yes(200, "true");
    EXPECT_TRUE(fetch(defaults, yes.url()));
    TinyHttpServer newline(200, "true\n");
    EXPECT_FALSE(fetch(defaults, newline.url()));
    TinyHttpServer no(200, "false");
    EXPECT_FALSE(fetch(defaults, no.url()));
}

TEST(RemoteFlag, FailuresStoreNo)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("s.ini")));
    defaults.setBool(true, PreferenceKeys::SandboxingDone);
    TinyHttpServer broken(500, "true");
    EXPECT_FALSE(fetch(defaults, broken.url()));
    defaults.setBool(true, PreferenceKeys::SandboxingDone);
    // Nothing listens on this port once the server is gone.
    QString closedUrl;
    {
        TinyHttpServer gone(200, "true");
        closedUrl = gone.url();
    }
    EXPECT_FALSE(fetch(defaults, closedUrl));
    EXPECT_TRUE(defaults.contains(PreferenceKeys::SandboxingDone));
}

TEST(RemoteFlag, DefaultsToTheMakersAddress)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("s.ini")));
    RemoteFlag flag(defaults);
    EXPECT_EQ(flag.url(), RemoteFlag::defaultUrl());
    EXPECT_EQ(flag.url().scheme(), QStringLiteral("https"));
}
