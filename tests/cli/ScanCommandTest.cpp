#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include "CliRunner.h"
#include "support/VolumePlace.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Every scan runs on a sample volume at a plain path and on one mounted below
// folders named with signature and product words, a leading dot and a
// bundle extension.
class ScanCommandTest : public ::testing::TestWithParam<VolumePlace>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        volume = placedVolumeRoot(dir.path(), GetParam());
        settings = dir.filePath(QStringLiteral("settings.ini"));
        ASSERT_EQ(cli({QStringLiteral("sample-volume"), volume, QStringLiteral("--user"), QStringLiteral("demo")}).code, 0);
    }

    static CliRun cli(const QStringList &args) { return runCli(args); }

    CliRun scan(const QStringList &args) const
    {
        return cli(QStringList{QStringLiteral("--root"), volume, QStringLiteral("--user"), QStringLiteral("demo"),
                               QStringLiteral("--settings"), settings, QStringLiteral("scan")}
                   + args);
    }

    static QJsonObject json(const CliRun &run)
    {
        return QJsonDocument::fromJson(run.out.toUtf8()).object();
    }

    static QStringList threats(const QJsonObject &result, const QString &key)
    {
        QStringList values;
        for (const QJsonValue &threat : result.value(QStringLiteral("threats")).toArray())
            values.append(threat.toObject().value(key).toString());
        return values;
    }

    // The threats' paths on the volume mounted at root, sorted.
    static QStringList volumePaths(const QJsonObject &result, const QString &root)
    {
        QStringList paths;
        for (const QString &path : threats(result, QStringLiteral("path"))) {
            EXPECT_TRUE(path.startsWith(root + QLatin1Char('/'))) << qPrintable(path);
            paths.append(path.mid(root.size()));
        }
        paths.sort();
        return paths;
    }

    QTemporaryDir dir;
    QString volume;
    QString settings;
};

} // namespace

TEST_P(ScanCommandTest, QuickScanOfTheSampleVolumeFindsEveryPlantedFamilyInDetectorOrder)
{
    const CliRun run = scan({QStringLiteral("quick"), QStringLiteral("--json")});
    ASSERT_EQ(run.code, 1) << qPrintable(run.err);
    const QJsonObject result = json(run);
    EXPECT_EQ(result.value(QStringLiteral("reportType")).toString(), QStringLiteral("Quick Scan"));
    EXPECT_EQ(result.value(QStringLiteral("adwareCount")).toInt(), 14);
    EXPECT_FALSE(result.value(QStringLiteral("reportId")).toString().isEmpty());
    EXPECT_EQ(threats(result, QStringLiteral("infections")),
              (QStringList{QStringLiteral("FkCodec"), QStringLiteral("Fake Adobe Flash Players"), QStringLiteral("Conduit"),
                           QStringLiteral("Conduit"), QStringLiteral("Genieo"), QStringLiteral("Genieo"),
                           QStringLiteral("Genieo"), QStringLiteral("Genieo"), QStringLiteral("Genieo"),
                           QStringLiteral("Bundlore"), QStringLiteral("Infected Extantion"), QStringLiteral("VSearch"),
                           QStringLiteral("MacKeeper"), QStringLiteral("Other")}));
    const QStringList names = threats(result, QStringLiteral("name"));
    EXPECT_TRUE(names.contains(QStringLiteral("Search Protect (Person 1)")));
    EXPECT_FALSE(names.contains(QStringLiteral("Sweepling.app")));
    EXPECT_FALSE(names.contains(QStringLiteral("Safari.app")));
    for (const QString &path : threats(result, QStringLiteral("path")))
        EXPECT_TRUE(path.startsWith(volume + QLatin1Char('/'))) << qPrintable(path);
}

TEST_P(ScanCommandTest, FullAndCustomScansReportTheWalksFindings)
{
    const QJsonObject full = json(scan({QStringLiteral("full"), QStringLiteral("--json")}));
    EXPECT_EQ(full.value(QStringLiteral("reportType")).toString(), QStringLiteral("Full System Scan"));
    const QStringList fullNames = threats(full, QStringLiteral("name"));
    EXPECT_TRUE(fullNames.contains(QStringLiteral("Trovi Toolbar Installer.dmg")));
    EXPECT_FALSE(fullNames.contains(QStringLiteral("Codec-M.app"))) << "outside the home folder";
    for (const QString &type : threats(full, QStringLiteral("infections")))
        EXPECT_EQ(type, QStringLiteral("Adware"));

    const QJsonObject whole = json(scan({QStringLiteral("full"), QStringLiteral("--whole-disk"), QStringLiteral("--json")}));
    EXPECT_TRUE(threats(whole, QStringLiteral("name")).contains(QStringLiteral("Codec-M.app")));

    const QString downloads = volume + QStringLiteral("/Users/demo/Downloads");
    const CliRun custom = scan({QStringLiteral("custom"), downloads, QStringLiteral("--json")});
    EXPECT_EQ(custom.code, 1);
    const QStringList paths = threats(json(custom), QStringLiteral("path"));
    ASSERT_FALSE(paths.isEmpty());
    for (const QString &path : paths)
        EXPECT_TRUE(path.startsWith(downloads + QLatin1Char('/'))) << qPrintable(path);
    EXPECT_TRUE(threats(json(custom), QStringLiteral("name")).contains(QStringLiteral("Scanned_Copy_of_parcel_MV_45_QA566.app")));
}

TEST_P(ScanCommandTest, ACleanVolumeExitsZeroAndBadInputExitsTwo)
{
    const QString clean = dir.filePath(QStringLiteral("clean"));
    QDir().mkpath(clean + QStringLiteral("/Users/ann/Documents"));
    CliRun run = cli({QStringLiteral("--root"), clean, QStringLiteral("--user"), QStringLiteral("ann"), QStringLiteral("--settings"),
                   settings, QStringLiteral("scan"), QStringLiteral("quick"), QStringLiteral("--json")});
    EXPECT_EQ(run.code, 0) << qPrintable(run.err);
    // Real-time protection is on by default: no report, the result all the same.
    EXPECT_TRUE(json(run).value(QStringLiteral("reportId")).isNull());
    EXPECT_EQ(json(run).value(QStringLiteral("adwareCount")).toInt(), 0);

    run = cli({QStringLiteral("--root"), clean, QStringLiteral("--user"), QStringLiteral("nobody"), QStringLiteral("--settings"),
               settings, QStringLiteral("scan"), QStringLiteral("quick")});
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Users/nobody")));
    EXPECT_EQ(scan({QStringLiteral("sideways")}).code, 2);
    EXPECT_EQ(scan({QStringLiteral("custom"), dir.filePath(QStringLiteral("missing"))}).code, 2);
    EXPECT_EQ(cli({QStringLiteral("--root")}).code, 2);
    EXPECT_EQ(cli({QStringLiteral("--bogus"), QStringLiteral("help")}).code, 2);
    EXPECT_EQ(cli({QStringLiteral("--version")}).code, 0);
}

// A whole-disk scan finds the same threats, as paths on the volume, wherever
// the volume is mounted, and removing them all leaves the volume's own
// folders in place.
TEST_P(ScanCommandTest, WholeDiskScanAndRemoveAllTakeOnlyTheThreatsWhereverTheVolumeIsMounted)
{
    QTemporaryDir plainDir;
    const QString plain = placedVolumeRoot(plainDir.path(), VolumePlace::Plain);
    ASSERT_EQ(cli({QStringLiteral("sample-volume"), plain, QStringLiteral("--user"), QStringLiteral("demo")}).code, 0);
    const CliRun reference = cli({QStringLiteral("--root"), plain, QStringLiteral("--user"), QStringLiteral("demo"),
                                  QStringLiteral("--settings"), plainDir.filePath(QStringLiteral("settings.ini")),
                                  QStringLiteral("scan"), QStringLiteral("full"), QStringLiteral("--whole-disk"),
                                  QStringLiteral("--json")});
    ASSERT_EQ(reference.code, 1) << qPrintable(reference.err);
    const QStringList expected = volumePaths(json(reference), plain);
    ASSERT_TRUE(expected.contains(QStringLiteral("/Applications/Codec-M.app")));

    const CliRun run = scan({QStringLiteral("full"), QStringLiteral("--whole-disk"), QStringLiteral("--json")});
    ASSERT_EQ(run.code, 1) << qPrintable(run.err);
    const QJsonObject result = json(run);
    EXPECT_EQ(volumePaths(result, volume).join(QLatin1Char('\n')).toStdString(), expected.join(QLatin1Char('\n')).toStdString());

    const CliRun removed = cli({QStringLiteral("--root"), volume, QStringLiteral("--user"), QStringLiteral("demo"),
                                QStringLiteral("--settings"), settings, QStringLiteral("remove"),
                                result.value(QStringLiteral("reportId")).toString(), QStringLiteral("--all")});
    EXPECT_EQ(removed.code, 0) << qPrintable(removed.out + removed.err);
    for (const QString &folder : {QStringLiteral("/Applications"), QStringLiteral("/Library"), QStringLiteral("/Users"),
                                  QStringLiteral("/Users/demo/Library"), QStringLiteral("/Users/demo/Downloads")})
        EXPECT_TRUE(QFileInfo(volume + folder).isDir()) << qPrintable(folder);
    for (const QString &path : expected)
        EXPECT_FALSE(QFileInfo::exists(volume + path)) << qPrintable(path);
}

INSTANTIATE_TEST_SUITE_P(VolumePlaces, ScanCommandTest, everyVolumePlace(), volumePlaceName);
