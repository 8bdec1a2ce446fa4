#include "app/PreferenceKeys.h"
#include "services/BackgroundSettings.h"
#include "services/LoginHelperChannel.h"
#include "services/LoginItem.h"
#include "support/TestPlatform.h"

#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace PreferenceKeys;

namespace {

// Points XDG_CONFIG_HOME at a temporary folder for the test's life.
class TemporaryConfigHome
{
public:
    TemporaryConfigHome()
        : m_old(qgetenv("XDG_CONFIG_HOME"))
        , m_hadOld(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    }
    ~TemporaryConfigHome()
    {
        if (m_hadOld)
            qputenv("XDG_CONFIG_HOME", m_old);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
    bool m_hadOld;
};

} // namespace

TEST(LoginItem, StartAtLoginWritesAndRemovesTheAutostartEntry)
{
    TemporaryConfigHome config;
    TestPlatform test;
    BackgroundSettings settings(test.platform().defaults());
    LoginItem item([&test]() -> AlertPresenter & { return test.alerts(); }, settings, QStringLiteral(SWEEPLING_HELPER_PATH));
    const QString entry = config.path() + QStringLiteral("/autostart/com.brindlecast.AdwareHelper.desktop");
    EXPECT_EQ(LoginItem::entryPath(), entry);

    item.setStartAtLoginEnabled(true);
    ASSERT_TRUE(QFile::exists(entry));
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nType=Application\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nExec=\"%1\"\n").arg(QStringLiteral(SWEEPLING_HELPER_PATH))));
    EXPECT_TRUE(text.contains(QStringLiteral("\nX-GNOME-Autostart-enabled=true\n")));
    EXPECT_TRUE(settings.runOnStart());
    EXPECT_TRUE(test.alerts().requests().isEmpty());

    item.setStartAtLoginEnabled(false);
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_FALSE(settings.runOnStart());
    // Removing what is not there is no error.
    item.setStartAtLoginEnabled(false);
    EXPECT_TRUE(test.alerts().requests().isEmpty());
}

TEST(LoginItem, ExecQuotesOddPaths)
{
    // Quoted, with ", `, $ and \ escaped, then every backslash doubled for
    // the value and % doubled for field codes.
    EXPECT_EQ(LoginItem::execArgument(QStringLiteral("/opt/my app/h")), QStringLiteral("\"/opt/my app/h\""));
    EXPECT_EQ(LoginItem::execArgument(QStringLiteral("/a\"b$c%d")), QStringLiteral("\"/a\\\\\"b\\\\$c%%d\""));
    EXPECT_FALSE(LoginItem::entryContents(QStringLiteral("/x\nExec=/bin/evil")).contains("\nExec=/bin/evil"));
}

TEST(LoginItem, AFailedRegistrationAlertsAndStillStoresTheSetting)
{
    TemporaryConfigHome config;
    // A file where the autostart folder belongs: no folder can be made, even as root.
    QFile blocker(config.path() + QStringLiteral("/autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TestPlatform test;
    BackgroundSettings settings(test.platform().defaults());
    LoginItem item([&test]() -> AlertPresenter & { return test.alerts(); }, settings, QStringLiteral(SWEEPLING_HELPER_PATH));
    item.setStartAtLoginEnabled(true);
    const auto requests = test.alerts().requests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests.first().messageText, QStringLiteral("Error"));
    EXPECT_EQ(requests.first().informativeText, QStringLiteral("Error in setting at start at login"));
    EXPECT_EQ(requests.first().buttons, QStringList{QStringLiteral("ok")});
    EXPECT_TRUE(UserDefaults(test.settingsFile()).boolForKey(kIsRunOnStart));
}

TEST(LoginHelper, StartsTheApplicationAndEndsOnTheTerminateMessage)
{
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("started"));
    const QString server = QStringLiteral("sweepling-helper-test-%1").arg(QCoreApplication::applicationPid());
    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedChannels);
    // The "application" is touch, which leaves a marker file.
    helper.start(QStringLiteral(SWEEPLING_HELPER_PATH),
                 {QStringLiteral("--app"), QStringLiteral("/usr/bin/touch"), QStringLiteral("--server"), server, marker});
    ASSERT_TRUE(helper.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
    // Something else than the message does not end it.
    {
        QLocalSocket socket;
        QTRY_VERIFY_WITH_TIMEOUT((socket.connectToServer(server), socket.waitForConnected(1000)), 10000);
        socket.write("HELLO\n");
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
    }
    EXPECT_FALSE(helper.waitForFinished(200));
    EXPECT_EQ(helper.state(), QProcess::Running);
    ASSERT_TRUE(LoginHelperChannel::sendTerminate(server));
    ASSERT_TRUE(helper.waitForFinished(10000));
    EXPECT_EQ(helper.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(helper.exitCode(), 0);
    EXPECT_FALSE(LoginHelperChannel::sendTerminate(server));
}

TEST(LoginHelper, DoesNotStartAnApplicationThatRuns)
{
    QTemporaryDir dir;
    // The "application": a copy of sh, running while the helper starts.
    const QString app = dir.filePath(QStringLiteral("fakeapp"));
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sh"), app));
    QProcess running;
    running.start(app, {QStringLiteral("-c"), QStringLiteral("read line")});
    ASSERT_TRUE(running.waitForStarted(10000));

    const QString marker = dir.filePath(QStringLiteral("started"));
    const QString server = QStringLiteral("sweepling-helper-test-running-%1").arg(QCoreApplication::applicationPid());
    QProcess helper;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SWEEPLING_LOG"), QStringLiteral("1"));
    helper.setProcessEnvironment(env);
    helper.start(QStringLiteral(SWEEPLING_HELPER_PATH),
                 {QStringLiteral("--app"), app, QStringLiteral("--server"), server, QStringLiteral("-c"),
                  QStringLiteral("touch '%1'").arg(marker)});
    ASSERT_TRUE(helper.waitForStarted(10000));
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += helper.readAllStandardError(), said.contains("already runs")), 10000);
    ASSERT_TRUE(LoginHelperChannel::sendTerminate(server));
    ASSERT_TRUE(helper.waitForFinished(10000));
    EXPECT_FALSE(QFile::exists(marker));
    running.closeWriteChannel();
    running.kill();
    running.waitForFinished(10000);
}
