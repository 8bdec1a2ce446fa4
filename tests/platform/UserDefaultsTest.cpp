#include "platform/IniSyntaxCheck.h"
#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
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

namespace {
QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}
} // namespace

TEST(IniSyntaxCheck, FindsTheLinesQSettingsCannotParse)
{
    QTemporaryDir dir;
    const QByteArray good = "[General]\nkey=value\n; a comment\nquoted=\"a;b=c\"\ncarried=one\\\ntwo\n\n[Group]\nx=1\n";
    const QList<std::pair<QByteArray, int>> samples = {
        {good, 0},
        {"stray text\n" + good, 1},
        {good + "[Unclosed\ny=2\n", 10},
        {"[General]\nkey=value\n  no equals here ; but a comment\n", 3},
        {"\xef\xbb\xbf[General]\nkey=value\n", 1},
    };
    int sample = 0;
    for (const auto &[bytes, line] : samples) {
        const auto fault = IniSyntaxCheck::firstFault(bytes);
        EXPECT_EQ(fault ? fault->line : 0, line) << bytes.toStdString();
        // QSettings agrees that the file does or does not parse.
        const QString file = dir.filePath(QStringLiteral("sample%1.ini").arg(++sample));
        writeBytes(file, bytes);
        QSettings settings(file, QSettings::IniFormat);
        settings.allKeys();
        EXPECT_EQ(settings.status() == QSettings::FormatError, line != 0) << bytes.toStdString();
    }
    EXPECT_EQ(IniSyntaxCheck::firstFault("stray text\nk=v\n")->text, QStringLiteral("stray text"));
}

TEST(UserDefaults, ADamagedFileIsNeverWrittenAndIsUsedAgainOnceRepaired)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("s.ini"));
    {
        UserDefaults defaults(file);
        defaults.setObject(QByteArray("reports"), QStringLiteral("kSaveReport"));
        ASSERT_TRUE(defaults.synchronize());
    }
    const QByteArray good = fileBytes(file);
    const QByteArray damaged = "oops\n" + good;
    writeBytes(file, damaged);

    UserDefaults defaults(file);
    EXPECT_TRUE(defaults.loadError().contains(QStringLiteral("%1 cannot be parsed (line 1: \"oops\")").arg(file)))
        << defaults.loadError().toStdString();
    defaults.setObject(1, QStringLiteral("kLastScanDate"));
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_EQ(defaults.lastError(), defaults.loadError());
    EXPECT_FALSE(defaults.transaction([&] { defaults.setObject(2, QStringLiteral("other")); }));
    EXPECT_EQ(fileBytes(file), damaged);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("s.ini")});

    writeBytes(file, good);
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_TRUE(defaults.loadError().isEmpty());
    EXPECT_EQ(defaults.dataForKey(QStringLiteral("kSaveReport")), QByteArray("reports"));
    // What was set while the file was damaged was dropped, not written later.
    EXPECT_FALSE(defaults.contains(QStringLiteral("kLastScanDate")));
}

TEST(UserDefaults, ATransactionSeesWhatAnotherWriterStoredJustBefore)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("s.ini"));
    UserDefaults first(file);
    UserDefaults second(file);
    // Alternate writers whose file keeps the same size: each increment must
    // start from the other's last value, however quickly they follow.
    for (int i = 0; i < 40; ++i) {
        UserDefaults &writer = i % 2 ? second : first;
        ASSERT_TRUE(writer.transaction([&writer] {
            const int count = writer.objectForKey(QStringLiteral("count")).toInt();
            writer.setObject(QStringLiteral("%1").arg(count + 1, 4, 10, QLatin1Char('0')), QStringLiteral("count"));
        }));
    }
    EXPECT_EQ(UserDefaults(file).objectForKey(QStringLiteral("count")).toInt(), 40);
    EXPECT_FALSE(QFileInfo::exists(first.lockFileName()));
}

TEST(UserDefaults, ASettingsPathThatIsAFolderIsReportedAndNotWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.ini"));
    ASSERT_TRUE(QDir().mkpath(path));
    UserDefaults defaults(path);
    EXPECT_TRUE(defaults.loadError().contains(QStringLiteral("is a folder"))) << defaults.loadError().toStdString();
    defaults.setBool(true, QStringLiteral("flag"));
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_FALSE(defaults.lastError().contains(QStringLiteral("Could not write")));
    EXPECT_TRUE(QDir(path).isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

TEST(UserDefaults, ASynchronizeWithinATransactionLeavesTheWriteToIt)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("s.ini")));
    EXPECT_TRUE(defaults.transaction([&defaults] {
        defaults.setObject(1, QStringLiteral("a"));
        EXPECT_TRUE(defaults.synchronize());
    }));
    EXPECT_EQ(UserDefaults(defaults.fileName()).objectForKey(QStringLiteral("a")).toInt(), 1);
}
