#include "services/DBusUserNotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A private session bus: dbus-daemon on a socket in a temporary folder.
class PrivateBus
{
public:
    PrivateBus()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return;
        m_daemon.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address"),
                                QStringLiteral("--address=unix:dir=%1").arg(m_dir.path())});
        if (!m_daemon.waitForStarted(10000))
            return;
        while (!m_daemon.canReadLine() && m_daemon.state() == QProcess::Running)
            m_daemon.waitForReadyRead(10000);
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        for (const QString &name : m_names)
            QDBusConnection::disconnectFromBus(name);
        m_daemon.terminate();
        m_daemon.waitForFinished(10000);
    }
    bool isRunning() const { return !m_address.isEmpty(); }
    QString address() const { return m_address; }
    QDBusConnection connect(const QString &name)
    {
        m_names.append(name);
        return QDBusConnection::connectToBus(m_address, name);
    }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QStringList m_names;
};

} // namespace

// The least a notification service does: take Notify and answer an id.
class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList summaries;
    QStringList bodies;
    QString application;

public Q_SLOTS:
    uint Notify(const QString &appName, uint replacesId, const QString &icon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int timeout)
    {
        Q_UNUSED(replacesId);
        Q_UNUSED(icon);
        Q_UNUSED(actions);
        Q_UNUSED(hints);
        Q_UNUSED(timeout);
        application = appName;
        summaries.append(summary);
        bodies.append(body);
        return static_cast<uint>(bodies.size());
    }
};

TEST(DBusUserNotifier, ANotificationServiceReceivesAdwareFound)
{
    PrivateBus bus;
    if (!bus.isRunning())
        GTEST_SKIP() << "dbus-daemon could not start a private session bus (install the package dbus)";
    QDBusConnection serverBus = bus.connect(QStringLiteral("notification-server"));
    ASSERT_TRUE(serverBus.isConnected());
    NotificationServer server;
    ASSERT_TRUE(serverBus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                                         QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(serverBus.registerService(QStringLiteral("org.freedesktop.Notifications")));

    DBusUserNotifier notifier(bus.connect(QStringLiteral("notifier")));
    QSignalSpy shown(&notifier, &DBusUserNotifier::shown);
    notifier.deliver(QStringLiteral("Sweepling"), QStringLiteral("Adware Found: Genieo"));
    ASSERT_TRUE(shown.wait(10000));
    EXPECT_EQ(shown.first().first().toUInt(), 1u);
    EXPECT_EQ(server.bodies, QStringList{QStringLiteral("Adware Found: Genieo")});
    EXPECT_EQ(server.summaries, QStringList{QStringLiteral("Sweepling")});
    EXPECT_EQ(server.application, QStringLiteral("Sweepling"));
    ASSERT_EQ(notifier.delivered().size(), 1);
}

TEST(DBusUserNotifier, WithoutAServiceTheNotificationGoesToTheLogOnly)
{
    PrivateBus bus;
    if (!bus.isRunning())
        GTEST_SKIP() << "dbus-daemon could not start a private session bus (install the package dbus)";
    DBusUserNotifier notifier(bus.connect(QStringLiteral("lonely")));
    QSignalSpy notShown(&notifier, &DBusUserNotifier::notShown);
    notifier.deliver(QStringLiteral("Sweepling"), QStringLiteral("Adware Found: Conduit"));
    ASSERT_TRUE(notShown.wait(10000));
    EXPECT_EQ(notifier.delivered().size(), 1);

    // No bus at all.
    DBusUserNotifier offline(QDBusConnection(QStringLiteral("never-connected")));
    QSignalSpy offlineSpy(&offline, &DBusUserNotifier::notShown);
    offline.deliver(QStringLiteral("Sweepling"), QStringLiteral("Adware Found: Conduit"));
    EXPECT_EQ(offlineSpy.size(), 1);
}

#include "DBusUserNotifierTest.moc"
