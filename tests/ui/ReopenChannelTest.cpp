#include "ui/ReopenChannel.h"

#include <QFile>
#include <QLocalServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ReopenChannel, ASecondStartAsksTheRunningOneToReopen)
{
    QTemporaryDir dir;
    ReopenChannel running(dir.filePath(QStringLiteral("settings.ini")));
    ReopenChannel second(dir.filePath(QStringLiteral("settings.ini")));
    ReopenChannel other(dir.filePath(QStringLiteral("other.ini")));
    EXPECT_EQ(running.serverName(), second.serverName());
    EXPECT_NE(running.serverName(), other.serverName());

    // Nobody runs yet.
    EXPECT_FALSE(second.askRunningInstance());
    ASSERT_TRUE(running.listen());
    QSignalSpy reopened(&running, &ReopenChannel::reopenRequested);
    EXPECT_TRUE(second.askRunningInstance());
    ASSERT_TRUE(reopened.wait(5000));
    EXPECT_FALSE(other.askRunningInstance());
}

TEST(ReopenChannel, ASocketLeftByACrashedInstanceIsTakenOver)
{
    QTemporaryDir dir;
    ReopenChannel channel(dir.filePath(QStringLiteral("settings.ini")));
    {
        // A server that stops without removing its socket file, as after a crash.
        QLocalServer stale;
        stale.setSocketOptions(QLocalServer::UserAccessOption);
        ASSERT_TRUE(stale.listen(channel.serverName()));
        const QString path = stale.fullServerName();
        stale.close();
        QFile(path).open(QIODevice::WriteOnly);
    }
    EXPECT_FALSE(channel.askRunningInstance());
    EXPECT_TRUE(channel.listen());
}
