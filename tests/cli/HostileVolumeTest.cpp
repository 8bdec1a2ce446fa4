#include "platform/FileName.h"
#include "support/HostileFiles.h"
#include "support/MacVolumeBuilder.h"
#include "support/TestPlatform.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include "CliRunner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Files an attacker can place on the scanned volume. Every run goes through
// runCli, which gives up after a minute: a read that blocks fails the test
// (code -1) instead of stalling the suite, and so does a crash.
class HostileVolumeTest : public ::testing::Test
{
protected:
    HostileVolumeTest()
        : mac(test.volume())
    {
        mac.app(QStringLiteral("/Applications/Safari.app"));
        mac.app(QStringLiteral("/Applications/Google Chrome.app"));
    }

    CliRun run(const QStringList &arguments) const { return runCli(test, arguments); }
    CliRun scanQuick() const { return run({QStringLiteral("scan"), QStringLiteral("quick"), QStringLiteral("--json")}); }
    CliRun cleanList() const { return run({QStringLiteral("clean"), QStringLiteral("list"), QStringLiteral("--json")}); }

    // The Info.plist of a bundle, replaced by what the test makes there.
    QString infoPlist(const QString &bundle) const
    {
        const QString path = mac.app(bundle) + QStringLiteral("/Contents/Info.plist");
        QFile::remove(path);
        return path;
    }
    QString localState() const
    {
        return mac.dir(QStringLiteral("~/Library/Application Support/Google/Chrome")) + QStringLiteral("/Local State");
    }

    static bool exists(const QByteArray &path)
    {
        struct stat info;
        return ::lstat(path.constData(), &info) == 0;
    }

    TestPlatform test;
    MacVolumeBuilder mac;
};

QStringList threatPaths(const CliRun &run)
{
    QStringList paths;
    const QJsonObject result = QJsonDocument::fromJson(run.out.toUtf8()).object();
    for (const QJsonValue &threat : result.value(QStringLiteral("threats")).toArray())
        paths.append(threat.toObject().value(QStringLiteral("path")).toString());
    return paths;
}

} // namespace

TEST_F(HostileVolumeTest, AnInfoPlistNestedTooDeepIsRefusedNotParsed)
{
    // A finding named with one of the maker's product words makes the scan
    // read the installed product's Info.plist; the catalogue reads Safari's.
    const QString finding = mac.app(QStringLiteral("/Applications/Memoravel WebTools.app"));
    for (const QString &bundle :
         {QStringLiteral("/Applications/Memoravel Memory Optimizer.app"), QStringLiteral("/Applications/Safari.app")}) {
        QFile file(infoPlist(bundle));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(HostileFiles::nestedBinary(100000));
    }
    const CliRun scan = scanQuick();
    EXPECT_EQ(scan.code, 1) << scan.err.toStdString();
    EXPECT_TRUE(threatPaths(scan).contains(finding)) << scan.out.toStdString();
    const CliRun clean = cleanList();
    EXPECT_EQ(clean.code, 0) << clean.err.toStdString();
    EXPECT_TRUE(run({QStringLiteral("--verbose"), QStringLiteral("clean"), QStringLiteral("list")})
                    .err.contains(QStringLiteral("nested more than 512 levels deep")));
}

TEST_F(HostileVolumeTest, FifosAsLocalStateOrInfoPlistDoNotBlock)
{
    ASSERT_TRUE(HostileFiles::makeFifo(localState()));
    ASSERT_TRUE(HostileFiles::makeFifo(infoPlist(QStringLiteral("/Applications/Waiting.app"))));
    ASSERT_TRUE(HostileFiles::makeFifo(infoPlist(QStringLiteral("/Applications/Safari.app"))));
    const CliRun clean = cleanList();
    EXPECT_EQ(clean.code, 0) << clean.err.toStdString();
    EXPECT_TRUE(clean.err.contains(QStringLiteral("a FIFO"))) << clean.err.toStdString();
    EXPECT_EQ(scanQuick().code, 0);
}

TEST_F(HostileVolumeTest, ALocalStateLinkedToADeviceIsNotRead)
{
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), localState()));
    const CliRun clean = cleanList();
    EXPECT_EQ(clean.code, 0) << clean.err.toStdString();
    EXPECT_TRUE(clean.err.contains(QStringLiteral("a symbolic link"))) << clean.err.toStdString();
    EXPECT_EQ(scanQuick().code, 0);
}

TEST_F(HostileVolumeTest, ALaunchAgentNamedWithBytesThatAreNotUtf8IsFoundStoredAndRemoved)
{
    const QByteArray agent = HostileFiles::fileWithRawName(mac.dir(QStringLiteral("~/Library/LaunchAgents")),
                                                           "com.pcbooster\xff.4821.plist");
    ASSERT_FALSE(agent.isEmpty());
    const QString text = FileName::decode(agent);

    const CliRun scan = scanQuick();
    EXPECT_EQ(scan.code, 1) << scan.err.toStdString();
    EXPECT_EQ(threatPaths(scan), QStringList{text});
    const QString reportId =
        QJsonDocument::fromJson(scan.out.toUtf8()).object().value(QStringLiteral("reportId")).toString();
    ASSERT_FALSE(reportId.isEmpty());

    const CliRun shown = run({QStringLiteral("reports"), QStringLiteral("show"), reportId, QStringLiteral("--json")});
    EXPECT_EQ(threatPaths(shown), QStringList{text}) << shown.out.toStdString();

    // Named on the command line by its bytes (QProcess would recode them,
    // so a shell writes the byte).
    const QString prefix = FileName::decode(agent.left(agent.indexOf('\xff')));
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("exec \"$0\" --root \"$1\" --user \"$2\" --settings \"$3\" remove \"$4\" "
                                "\"$(printf '%s\\377.4821.plist' \"$5\")\""),
                 QStringLiteral(SWEEPLING_CLI_PATH), test.volume().root(), test.volume().loginName(),
                 test.settingsFile(), reportId, prefix});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
    EXPECT_FALSE(exists(agent));
}

TEST_F(HostileVolumeTest, TrashEntriesNamedWithBytesThatAreNotUtf8AreRemoved)
{
    const QString trash = mac.dir(QStringLiteral("~/.Trash"));
    const QByteArray file = HostileFiles::fileWithRawName(trash, "bad\xfe\xff.txt", QByteArray(5000, 't'));
    const QByteArray folder = QFile::encodeName(trash) + "/dir\xc3";
    ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
    ASSERT_EQ(::mkdir((folder + "/inside\x80").constData(), 0755), 0);

    const CliRun result = run({QStringLiteral("clean"), QStringLiteral("run"), QStringLiteral("System/Trash Files"),
                               QStringLiteral("--yes")});
    EXPECT_EQ(result.code, 0) << result.out.toStdString() << result.err.toStdString();
    EXPECT_FALSE(exists(file));
    EXPECT_FALSE(exists(folder));
    EXPECT_TRUE(exists(QFile::encodeName(trash)));
}
