#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include "CliRunner.h"
#include "support/Unprivileged.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>
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

// A folder given as a link is resolved once and its target scanned and
// named; a file or a missing path is refused. The summary names the folder
// that was scanned, not the volume.
TEST_P(ScanCommandTest, ACustomScanOfALinkScansTheTargetAndAFileOrMissingPathIsRefused)
{
    const QString downloads = volume + QStringLiteral("/Users/demo/Downloads");
    const QString link = dir.filePath(QStringLiteral("shortcut"));
    ASSERT_TRUE(QFile::link(downloads, link));
    const CliRun viaLink = scan({QStringLiteral("custom"), link});
    EXPECT_EQ(viaLink.code, 1) << qPrintable(viaLink.out + viaLink.err);
    EXPECT_TRUE(viaLink.out.startsWith(QStringLiteral("Custom Scan of %1 finished").arg(downloads))) << qPrintable(viaLink.out);
    EXPECT_TRUE(viaLink.out.contains(QLatin1String("Trovi Toolbar Installer.dmg")));

    const CliRun plain = scan({QStringLiteral("custom"), downloads});
    EXPECT_TRUE(plain.out.startsWith(QStringLiteral("Custom Scan of %1 finished").arg(downloads))) << qPrintable(plain.out);

    const QString file = downloads + QStringLiteral("/Trovi Toolbar Installer.dmg");
    const CliRun onFile = scan({QStringLiteral("custom"), file});
    EXPECT_EQ(onFile.code, 2);
    EXPECT_TRUE(onFile.err.contains(QStringLiteral("'%1' is not a folder").arg(file))) << qPrintable(onFile.err);
    const QString missing = dir.filePath(QStringLiteral("missing"));
    const CliRun onMissing = scan({QStringLiteral("custom"), missing});
    EXPECT_EQ(onMissing.code, 2);
    EXPECT_TRUE(onMissing.err.contains(QStringLiteral("'%1' does not exist").arg(missing))) << qPrintable(onMissing.err);
    EXPECT_TRUE(onMissing.out.isEmpty());
}

// A scan that read nothing must not read as clean.
TEST_P(ScanCommandTest, AHomeFolderThatIsALinkIsNotScannedAsClean)
{
    const QString home = volume + QStringLiteral("/Users/demo");
    const QString moved = volume + QStringLiteral("/Users/demo-real");
    ASSERT_TRUE(QDir().rename(home, moved));
    ASSERT_TRUE(QFile::link(moved, home));
    for (const QString &kind : {QStringLiteral("quick"), QStringLiteral("full")}) {
        const CliRun run = scan({kind, QStringLiteral("--json")});
        EXPECT_EQ(run.code, 2) << qPrintable(kind);
        EXPECT_TRUE(run.err.contains(home)) << qPrintable(run.err);
        EXPECT_TRUE(run.out.isEmpty()) << qPrintable(run.out);
    }
}

// Root runs the command line as "nobody" here: for root, a folder of mode 000
// is readable.
TEST_P(ScanCommandTest, UnreadableFoldersAreCountedAndAnUnreadableChosenFolderIsAnError)
{
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const QString shared = dir.filePath(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkpath(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0777), 0);
    const QString sharedSettings = shared + QStringLiteral("/settings.ini");
    const QString downloads = volume + QStringLiteral("/Users/demo/Downloads");
    const QString locked = downloads + QStringLiteral("/Locked");
    ASSERT_TRUE(QDir().mkpath(locked + QStringLiteral("/Codec-M")));
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    const auto asNobody = [&](const QStringList &args) {
        return runCommand(AsUnprivilegedUser::commandAsUnprivilegedUser(
            QStringLiteral(SWEEPLING_CLI_PATH), QStringList{QStringLiteral("--root"), volume, QStringLiteral("--user"),
                                                            QStringLiteral("demo"), QStringLiteral("--settings"),
                                                            sharedSettings, QStringLiteral("scan")}
                                                    + args));
    };

    const CliRun json = asNobody({QStringLiteral("custom"), downloads, QStringLiteral("--json")});
    EXPECT_EQ(json.code, 1) << qPrintable(json.err);
    EXPECT_EQ(ScanCommandTest::json(json).value(QStringLiteral("unreadable")).toInt(-1), 1) << qPrintable(json.out);
    EXPECT_TRUE(json.err.contains(locked)) << "the warning names the folder: " << qPrintable(json.err);
    const CliRun text = asNobody({QStringLiteral("custom"), downloads});
    EXPECT_EQ(text.code, 1);
    EXPECT_TRUE(text.out.contains(QLatin1String("Warning: 1 folder could not be read"))) << qPrintable(text.out);

    const CliRun onLocked = asNobody({QStringLiteral("custom"), locked});
    EXPECT_EQ(onLocked.code, 2) << qPrintable(onLocked.out);
    EXPECT_TRUE(onLocked.err.contains(locked)) << qPrintable(onLocked.err);
    EXPECT_FALSE(onLocked.out.contains(QLatin1String("No threats found")));

    // Root reads everything: nothing is counted.
    EXPECT_EQ(ScanCommandTest::json(scan({QStringLiteral("custom"), downloads, QStringLiteral("--json")}))
                  .value(QStringLiteral("unreadable"))
                  .toInt(-1),
              ::geteuid() == 0 ? 0 : 1);
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0755), 0);
}

// Names on the volume are chosen by adware authors: an ESC sequence or a
// newline in one must not reach the terminal as it is.
TEST_P(ScanCommandTest, NamesWithControlCharactersArePrintedEscapedAndJsonKeepsThemExact)
{
    const QString downloads = volume + QStringLiteral("/Users/demo/Downloads");
    const QString name = QStringLiteral("Codec-M\x1b]2;owned\a\nReport 1 stored.\r\u009b\u202e.zip");
    QFile planted(downloads + QLatin1Char('/') + name);
    ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
    planted.close();

    const CliRun text = scan({QStringLiteral("custom"), downloads});
    EXPECT_EQ(text.code, 1);
    EXPECT_TRUE(text.out.contains(QLatin1String("Codec-M\\e]2;owned\\a\\nReport 1 stored.\\r\\u009b\\u202e.zip")))
        << qPrintable(text.out);
    for (const QChar c : text.out + text.err)
        EXPECT_TRUE(c == QLatin1Char('\n') || (c.unicode() >= 0x20 && c.unicode() != 0x7f && (c.unicode() < 0x80 || c.unicode() > 0x9f)))
            << "raw control " << int(c.unicode());
    for (const QString &line : text.out.split(QLatin1Char('\n')))
        EXPECT_FALSE(line.startsWith(QLatin1String("Report 1 stored."))) << "a forged line";

    const CliRun json = scan({QStringLiteral("custom"), downloads, QStringLiteral("--json")});
    EXPECT_TRUE(threats(ScanCommandTest::json(json), QStringLiteral("name")).contains(name));
}

TEST_P(ScanCommandTest, TheUserMustBeAPlainLoginName)
{
    // Each of these reaches an existing folder today; none is a login name.
    ASSERT_TRUE(QDir().mkpath(volume + QStringLiteral("/Users/demo/x")));
    for (const QString &user : {QStringLiteral("../Users/demo"), QStringLiteral("demo/"), QStringLiteral("demo/x"),
                                QStringLiteral(".."), QStringLiteral("."), QStringLiteral("de\nmo"), QStringLiteral("de\x1bmo")}) {
        const CliRun run = cli({QStringLiteral("--root"), volume, QStringLiteral("--user"), user, QStringLiteral("--settings"),
                                settings, QStringLiteral("scan"), QStringLiteral("quick")});
        EXPECT_EQ(run.code, 2) << qPrintable(user);
        EXPECT_TRUE(run.err.contains(QLatin1String("is not a login name"))) << qPrintable(run.err);
        EXPECT_FALSE(run.err.contains(QChar(0x1b)));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &user : {QStringLiteral("../Users/demo"), QString()}) {
        environment.insert(QStringLiteral("SWEEPLING_USER"), user);
        const CliRun run = runCommand({QStringLiteral(SWEEPLING_CLI_PATH), QStringLiteral("--root"), volume,
                                       QStringLiteral("--settings"), settings, QStringLiteral("scan"), QStringLiteral("quick")},
                                      environment);
        EXPECT_EQ(run.code, 2) << qPrintable(user);
        EXPECT_TRUE(run.err.contains(QLatin1String("is not a login name"))) << qPrintable(run.err);
    }
    environment.insert(QStringLiteral("SWEEPLING_USER"), QStringLiteral("demo"));
    EXPECT_EQ(runCommand({QStringLiteral(SWEEPLING_CLI_PATH), QStringLiteral("--root"), volume, QStringLiteral("--settings"),
                          settings, QStringLiteral("scan"), QStringLiteral("quick")},
                         environment)
                  .code,
              1);
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
