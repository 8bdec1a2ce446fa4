#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

TEST(UserDefaults, StoresValuesOfEveryKindAcrossInstances)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("prefs/settings.ini"));
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(1700000000123);
    {
        UserDefaults defaults(file);
        defaults.setBool(true, QStringLiteral("flag"));
        defaults.setObject(QByteArray("\x00\x01\xff", 3), QStringLiteral("data"));
        defaults.setObject(when, QStringLiteral("date"));
        defaults.setObject(QStringLiteral("text"), QStringLiteral("string"));
        EXPECT_TRUE(defaults.synchronize());
    }
    UserDefaults reread(file);
    EXPECT_TRUE(reread.boolForKey(QStringLiteral("flag")));
    EXPECT_EQ(reread.dataForKey(QStringLiteral("data")), QByteArray("\x00\x01\xff", 3));
    EXPECT_EQ(reread.objectForKey(QStringLiteral("date")).toDateTime(), when);
    EXPECT_EQ(reread.valueForKey(QStringLiteral("string")).toString(), QStringLiteral("text"));
    EXPECT_FALSE(reread.contains(QStringLiteral("absent")));
    EXPECT_FALSE(reread.boolForKey(QStringLiteral("absent")));
}

TEST(UserDefaults, RegisteredDefaultsAnswerOnlyUnsetKeys)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("s.ini")));
    defaults.registerDefaults({{QStringLiteral("NSApplicationCrashOnExceptions"), true}});
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("NSApplicationCrashOnExceptions")));
    defaults.setBool(false, QStringLiteral("NSApplicationCrashOnExceptions"));
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("NSApplicationCrashOnExceptions")));
    defaults.removeObjectForKey(QStringLiteral("NSApplicationCrashOnExceptions"));
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("NSApplicationCrashOnExceptions")));
}

TEST(UserDefaults, TwoInstancesSeeEachOthersWritesAfterSynchronize)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("s.ini"));
    UserDefaults first(file);
    UserDefaults second(file);
    first.setObject(1, QStringLiteral("a"));
    first.synchronize();
    second.setObject(2, QStringLiteral("b"));
    second.synchronize();
    first.synchronize();
    EXPECT_EQ(first.objectForKey(QStringLiteral("b")).toInt(), 2);
    EXPECT_EQ(second.objectForKey(QStringLiteral("a")).toInt(), 1);
}

TEST(UserDefaults, ConcurrentWritersDoNotCorruptTheStore)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("s.ini")));
    QList<QThread *> threads;
    for (int t = 0; t < 4; ++t) {
        threads.append(QThread::create([&defaults, t] {
            for (int i = 0; i < 200; ++i)
                defaults.setObject(i, QStringLiteral("k%1").arg(t));
        }));
        threads.last()->start();
    }
    for (QThread *thread : threads) {
        thread->wait();
        delete thread;
    }
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(defaults.objectForKey(QStringLiteral("k%1").arg(t)).toInt(), 199);
}
