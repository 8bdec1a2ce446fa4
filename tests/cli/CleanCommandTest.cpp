#include "support/MacVolumeBuilder.h"
#include "support/TestPlatform.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include "CliRunner.h"

#include <gtest/gtest.h>

#include <QFile>
#include <memory>
#include <sys/mount.h>

namespace {

class CleanCommandTest : public ::testing::Test
{
protected:
    CleanCommandTest()
        : mac(test.volume())
    {
        mac.app(QStringLiteral("/Applications/Safari.app"));
        history = mac.file(QStringLiteral("~/Library/Safari/History.db"), QByteArray(5000, 'h'));
        cookies = mac.file(QStringLiteral("~/Library/Cookies/Cookies.binarycookies"), QByteArray(5000, 'c'));
        trashed = mac.file(QStringLiteral("~/.Trash/old.txt"), QByteArray(5000, 't'));
    }

    CliRun run(const QStringList &arguments) const { return runCli(test, arguments); }

    QString home(const QString &rest) const { return test.volume().home(rest); }
    static bool present(const QString &path) { return QFileInfo::exists(path); }

    TestPlatform test;
    MacVolumeBuilder mac;
    QString history, cookies, trashed;
};

QJsonObject entryNamed(const QJsonArray &entries, const QString &name)
{
    for (const QJsonValue &entry : entries) {
        if (entry.toObject().value(QStringLiteral("Name")).toString() == name)
            return entry.toObject();
    }
    ADD_FAILURE() << "no entry " << name.toStdString();
    return {};
}

} // namespace

TEST_F(CleanCommandTest, ListAsJsonGivesTheEntriesInOrderWithTheirKeys)
{
    const CliRun result = run({QStringLiteral("clean"), QStringLiteral("list"), QStringLiteral("--json")});
    ASSERT_EQ(result.code, 0) << result.err.toStdString();
    const QJsonArray entries = QJsonDocument::fromJson(result.out.toUtf8()).array();
    QStringList names;
    for (const QJsonValue &entry : entries)
        names << entry.toObject().value(QStringLiteral("Name")).toString();
    EXPECT_EQ(names, (QStringList{"Safari", "Adult History", "Browser Extensions", "System"}));

    const QJsonObject safari = entryNamed(entries, QStringLiteral("Safari"));
    for (const char *key : {"Size", "isChecked", "isEnabled", "isFromAdware", "List"})
        EXPECT_TRUE(safari.contains(QLatin1String(key))) << key;
    EXPECT_EQ(safari.value(QStringLiteral("isFromAdware")), QJsonValue(false));
    const QJsonObject historyItem = safari.value(QStringLiteral("List")).toArray().at(2).toObject();
    EXPECT_EQ(historyItem.value(QStringLiteral("NameText")).toString(), QStringLiteral("History"));
    EXPECT_EQ(historyItem.value(QStringLiteral("AllList")).toArray().first().toString(), history);
    for (const char *key : {"sizeText", "isEnabled", "isHeader", "isExt"})
        EXPECT_TRUE(historyItem.contains(QLatin1String(key))) << key;
    EXPECT_EQ(historyItem.value(QStringLiteral("isEnabled")), QJsonValue(true));

    const QJsonObject adult = entryNamed(entries, QStringLiteral("Adult History"));
    EXPECT_FALSE(adult.contains(QStringLiteral("Size")));
    const QJsonObject row = adult.value(QStringLiteral("List")).toArray().first().toObject();
    EXPECT_EQ(row.value(QStringLiteral("Path")).toString(), history);
    EXPECT_FALSE(row.contains(QStringLiteral("AllList")));
    EXPECT_EQ(entryNamed(entries, QStringLiteral("Browser Extensions")).value(QStringLiteral("isFromAdware")),
              QJsonValue(true));
}

TEST_F(CleanCommandTest, ListAsTextShowsEntriesItemsAndSizes)
{
    const CliRun result = run({QStringLiteral("clean"), QStringLiteral("list")});
    ASSERT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.startsWith(QStringLiteral("Safari: "))) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("\n  Downloads: 0 byte (nothing to clean)\n")));
    EXPECT_TRUE(result.out.contains(QStringLiteral("\n  Trash Files: ")));
}

TEST_F(CleanCommandTest, RunWithoutYesOnlyPreviews)
{
    const CliRun result = run({QStringLiteral("clean"), QStringLiteral("run"), QStringLiteral("Safari/History")});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("Would remove: ") + history));
    EXPECT_TRUE(present(history));
}

TEST_F(CleanCommandTest, RunRemovesExactlyTheNamedItems)
{
    const CliRun result = run({QStringLiteral("clean"), QStringLiteral("run"), QStringLiteral("Safari/History"),
                                  QStringLiteral("System/Trash Files"), QStringLiteral("--yes")});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_FALSE(present(history));
    EXPECT_FALSE(present(trashed));
    EXPECT_TRUE(present(cookies));
    EXPECT_TRUE(present(home("/.Trash")));
    EXPECT_TRUE(result.out.contains(QStringLiteral("Removed: ") + history));
    EXPECT_TRUE(result.out.contains(QStringLiteral("You have successfully cleared selected data.")));
}

TEST_F(CleanCommandTest, AnUnknownItemRemovesNothingAndExitsWithTwo)
{
    const CliRun result = run({QStringLiteral("clean"), QStringLiteral("run"), QStringLiteral("Safari/History"),
                                  QStringLiteral("Safari/Nope"), QStringLiteral("--yes")});
    EXPECT_EQ(result.code, 2);
    EXPECT_TRUE(result.err.contains(QStringLiteral("unknown item 'Safari/Nope'")));
    EXPECT_TRUE(present(history));
    EXPECT_EQ(run({QStringLiteral("clean"), QStringLiteral("run"), QStringLiteral("--yes")}).code, 2);
    EXPECT_EQ(run({QStringLiteral("clean"), QStringLiteral("bogus")}).code, 2);
}

// A link names a folder of the volume: one written as a host path leads to
// nothing there, and what it points to on the host is kept.
TEST_F(CleanCommandTest, ALinkedFolderLeadsOnlyInsideTheVolume)
{
    mac.app(QStringLiteral("/Applications/Utilities/Adobe Flash Player Install Manager.app"));
    const QString precious = mac.file(QStringLiteral("/outside/Flash Player/precious.sol"));
    mac.symlink(QStringLiteral("~/Library/Caches/Adobe"), test.volume().host(QStringLiteral("/outside")));
    const CliRun result = run({QStringLiteral("clean"), QStringLiteral("run"), QStringLiteral("Flash"),
                                  QStringLiteral("--yes")});
    EXPECT_EQ(result.code, 0) << result.out.toStdString();
    EXPECT_TRUE(present(precious));
}

TEST_F(CleanCommandTest, AUserWithNoHomeFolderExitsWithTwoLikeScan)
{
    for (const QString &action : {QStringLiteral("list"), QStringLiteral("run")}) {
        const CliRun result = runCli({QStringLiteral("--root"), test.volume().root(), QStringLiteral("--user"),
                                      QStringLiteral("nosuchuser"), QStringLiteral("--settings"), test.settingsFile(),
                                      QStringLiteral("clean"), action, QStringLiteral("Safari")});
        EXPECT_EQ(result.code, 2) << qPrintable(action);
        EXPECT_TRUE(result.err.contains(QLatin1String("Users/nosuchuser"))) << qPrintable(result.err);
    }
}

// Extension names are chosen by their authors and listed as they are named.
TEST_F(CleanCommandTest, ListPrintsExtensionNamesEscaped)
{
    mac.app(QStringLiteral("/Applications/Google Chrome.app"));
    mac.chromeLocalState({{QStringLiteral("Default"), QStringLiteral("Person 1")}});
    mac.chromeExtension(QStringLiteral("Default"), QStringLiteral("abcdefghijklmnopabcdefghijklmnop"),
                        QStringLiteral("Helper\x1b]2;owned\a\nYou have successfully cleared selected data."));
    const CliRun result = run({QStringLiteral("clean"), QStringLiteral("list")});
    ASSERT_EQ(result.code, 0) << qPrintable(result.err);
    EXPECT_FALSE(result.out.contains(QChar(0x1b)));
    EXPECT_TRUE(result.out.contains(QLatin1String("Helper\\e]2;owned\\a\\nYou have successfully cleared selected data.")))
        << qPrintable(result.out);
}

// A folder of the catalogue that is a mount point is not emptied: the clean
// reports it and what is mounted there stays.
TEST_F(CleanCommandTest, AMountPointIsNotEmptiedAndExitsWithOne)
{
    mac.app(QStringLiteral("/Applications/Utilities/Adobe Flash Player Install Manager.app"));
    const QString folder = mac.dir(QStringLiteral("~/Library/Caches/Adobe/Flash Player"));
    const QByteArray path = QFile::encodeName(folder);
    if (::mount("tmpfs", path.constData(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "mounting is not allowed here";
    const std::unique_ptr<const char, void (*)(const char *)> unmount(
        path.constData(), [](const char *where) { ::umount2(where, MNT_DETACH); });
    const QString kept = mac.file(QStringLiteral("~/Library/Caches/Adobe/Flash Player/kept.sol"));

    const CliRun result = run({QStringLiteral("clean"), QStringLiteral("run"), QStringLiteral("Flash"),
                                  QStringLiteral("--yes")});
    EXPECT_EQ(result.code, 1) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("Could not remove: ") + folder + QStringLiteral(" (")))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("mount point"))) << result.out.toStdString();
    EXPECT_TRUE(present(kept));
}
