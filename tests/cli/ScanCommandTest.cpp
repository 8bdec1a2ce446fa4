#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include "CliRunner.h"

#include <gtest/gtest.h>

namespace {

class ScanCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        volume = dir.filePath(QStringLiteral("volume"));
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

    QTemporaryDir dir;
    QString volume;
    QString settings;
};

} // namespace

TEST_F(ScanCommandTest, QuickScanOfTheSampleVolumeFindsEveryPlantedFamilyInDetectorOrder)
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

TEST_F(ScanCommandTest, FullAndCustomScansReportTheWalksFindings)
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

TEST_F(ScanCommandTest, ACleanVolumeExitsZeroAndBadInputExitsTwo)
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
