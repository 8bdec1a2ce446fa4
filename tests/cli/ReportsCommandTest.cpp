#include "support/MacVolumeBuilder.h"
#include "support/TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include "CliRunner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <sys/mount.h>

namespace {

// A volume with a few planted footprints, scanned by the command line so
// that its reports are stored in the test's preferences file.
class ReportsCommandTest : public ::testing::Test
{
protected:
    ReportsCommandTest()
        : mac(test.volume())
    {
        genieo = mac.app(QStringLiteral("/Applications/Genieo.app"), QStringLiteral("com.genieo.app"));
        agent = mac.file(QStringLiteral("/Library/LaunchAgents/com.genieo.engine.plist"));
        vsearch = QFileInfo(mac.file(QStringLiteral("/Library/Application Support/VSearch/agent.log"))).absolutePath();
    }

    CliRun run(const QStringList &arguments) const { return runCli(test, arguments); }

    // Runs a Quick Scan and answers the identifier of its stored report.
    QString scan() const
    {
        const CliRun result = run({QStringLiteral("scan"), QStringLiteral("quick"), QStringLiteral("--json")});
        EXPECT_EQ(result.code, 1) << result.err.toStdString();
        return QJsonDocument::fromJson(result.out.toUtf8()).object().value(QStringLiteral("reportId")).toString();
    }

    QJsonObject show(const QString &reportId) const
    {
        const CliRun result = run({QStringLiteral("reports"), QStringLiteral("show"), reportId, QStringLiteral("--json")});
        EXPECT_EQ(result.code, 0) << result.err.toStdString();
        return QJsonDocument::fromJson(result.out.toUtf8()).object();
    }

    static QJsonObject threatAt(const QJsonObject &report, const QString &path)
    {
        for (const QJsonValue &threat : report.value(QStringLiteral("threats")).toArray()) {
            if (threat.toObject().value(QStringLiteral("path")).toString() == path)
                return threat.toObject();
        }
        ADD_FAILURE() << "no threat at " << path.toStdString();
        return {};
    }

    // "Removed", "Failed" or "No Action" for each printed path.
    static QMap<QString, QString> outcomes(const QString &out)
    {
        QMap<QString, QString> map;
        for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            map.insert(line.mid(11), line.left(9).trimmed());
        return map;
    }

    TestPlatform test;
    MacVolumeBuilder mac;
    QString genieo, agent, vsearch;
};

} // namespace

TEST_F(ReportsCommandTest, ScansShowInTheListNewestFirst)
{
    const QString first = scan();
    const QString second = scan();
    ASSERT_FALSE(first.isEmpty());

    const CliRun json = run({QStringLiteral("reports"), QStringLiteral("list"), QStringLiteral("--json")});
    ASSERT_EQ(json.code, 0) << json.err.toStdString();
    const QJsonArray list = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.at(0).toObject().value(QStringLiteral("reportId")).toString(), second);
    EXPECT_EQ(list.at(1).toObject().value(QStringLiteral("reportId")).toString(), first);
    EXPECT_EQ(list.at(0).toObject().keys(), (QStringList{"adwareCount", "reportDateDisplay", "reportId", "reportType",
                                                         "scanDate", "scanDuration"}));
    EXPECT_GE(list.at(0).toObject().value(QStringLiteral("adwareCount")).toInt(), 3);
    EXPECT_TRUE(QDateTime::fromString(list.at(0).toObject().value(QStringLiteral("scanDate")).toString(), Qt::ISODate)
                    .isValid());

    const CliRun text = run({QStringLiteral("reports"), QStringLiteral("list")});
    EXPECT_TRUE(text.out.startsWith(second + QStringLiteral("  Quick Scan  "))) << text.out.toStdString();
    EXPECT_EQ(text.out.count(QLatin1Char('\n')), 2);
}

TEST_F(ReportsCommandTest, ShowRechecksWhatIsStillOnDisk)
{
    const QString reportId = scan();
    QFile::remove(agent);
    const QJsonObject report = show(reportId);
    EXPECT_EQ(report.value(QStringLiteral("reportId")).toString(), reportId);
    EXPECT_EQ(report.value(QStringLiteral("reportType")).toString(), QStringLiteral("Quick Scan"));
    const QJsonObject gone = threatAt(report, agent);
    EXPECT_FALSE(gone.value(QStringLiteral("isAvail")).toBool());
    EXPECT_FALSE(gone.value(QStringLiteral("isChecked")).toBool());
    EXPECT_TRUE(threatAt(report, genieo).value(QStringLiteral("isAvail")).toBool());
    EXPECT_EQ(gone.keys(), (QStringList{"infections", "isAvail", "isChecked", "name", "path", "risk", "size"}));
}

TEST_F(ReportsCommandTest, RemoveChosenPathsLeavesTheOthersAlone)
{
    const QString reportId = scan();
    const CliRun result = run({QStringLiteral("remove"), reportId, genieo, vsearch});
    ASSERT_EQ(result.code, 0) << result.err.toStdString();
    const auto printed = outcomes(result.out);
    EXPECT_EQ(printed.value(genieo), QStringLiteral("Removed"));
    EXPECT_EQ(printed.value(vsearch), QStringLiteral("Removed"));
    EXPECT_EQ(printed.value(agent), QStringLiteral("No Action"));
    EXPECT_FALSE(QFileInfo::exists(genieo));
    EXPECT_FALSE(QFileInfo::exists(vsearch));
    EXPECT_TRUE(QFileInfo::exists(agent));
    EXPECT_TRUE(result.out.startsWith(QStringLiteral("Removed")));

    EXPECT_FALSE(threatAt(show(reportId), genieo).value(QStringLiteral("isAvail")).toBool());
}

TEST_F(ReportsCommandTest, RemoveAllReportsWhatCouldNotBeRemovedAndExitsWithOne)
{
    const QString reportId = scan();
    // Something is mounted on the VSearch folder now: removal refuses it
    // before touching anything, and what is mounted there is kept.
    const QByteArray folder = QFile::encodeName(vsearch);
    if (::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "mounting is not allowed here";
    const std::unique_ptr<const char, void (*)(const char *)> unmount(
        folder.constData(), [](const char *path) { ::umount2(path, MNT_DETACH); });
    const QString mounted = mac.file(QStringLiteral("/Library/Application Support/VSearch/mounted.dat"));

    const CliRun result = run({QStringLiteral("remove"), reportId, QStringLiteral("--all")});
    EXPECT_EQ(result.code, 1) << result.err.toStdString();
    const auto printed = outcomes(result.out);
    EXPECT_EQ(printed.value(vsearch), QStringLiteral("Failed"));
    EXPECT_EQ(printed.value(genieo), QStringLiteral("Removed"));
    EXPECT_EQ(printed.value(agent), QStringLiteral("Removed"));
    EXPECT_TRUE(result.out.startsWith(QStringLiteral("Failed")));
    EXPECT_TRUE(QFileInfo::exists(mounted));
}

// An add-on path in a planted extensions.json that names a home folder, or
// "/Users" in disguise, is never a finding, and removing everything the
// report holds leaves every home folder as it was.
TEST_F(ReportsCommandTest, APlantedAddonPathNeverMakesAHomeFolderAThreat)
{
    const QString thesis = mac.file(QStringLiteral("~/Documents/thesis.txt"));
    const QString photo = mac.file(QStringLiteral("/Users/other/Desktop/photo.jpg"));
    const QString addon = QStringLiteral("~/Library/Application Support/Firefox/Profiles/x.default/extensions/c.xpi");
    const QString addonHost = mac.file(addon);
    mac.firefoxProfile(QStringLiteral("x.default"),
                       {{QStringLiteral("Yontoo"), QStringLiteral("/Users/tester")},
                        {QStringLiteral("Trovi Search"), QStringLiteral("/Applications/../Users")},
                        {QStringLiteral("Conduit Toolbar"), test.volume().volumePath(addonHost)}});

    const QString reportId = scan();
    QStringList found;
    for (const QJsonValue &threat : show(reportId).value(QStringLiteral("threats")).toArray())
        found << test.volume().volumePath(threat.toObject().value(QStringLiteral("path")).toString());
    EXPECT_TRUE(found.contains(test.volume().volumePath(addonHost))) << found.join(u',').toStdString();
    for (const QString &path : std::as_const(found))
        EXPECT_TRUE(path != QLatin1String("/Users") && path != QLatin1String("/Users/tester")) << path.toStdString();

    const CliRun result = run({QStringLiteral("remove"), reportId, QStringLiteral("--all")});
    EXPECT_EQ(result.code, 0) << result.out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(thesis));
    EXPECT_TRUE(QFileInfo::exists(photo));
    EXPECT_FALSE(QFileInfo::exists(addonHost));
}

// On a Mac "/tmp" is a link to "private/tmp": a catalogue path through it
// is found, and what is found is removed.
TEST_F(ReportsCommandTest, AThreatBehindTheVolumesTmpLinkIsFoundAndRemoved)
{
    const QString real = mac.file(QStringLiteral("/private/tmp/mcyahooChecker.sh"));
    const QString link = mac.symlink(QStringLiteral("/tmp"), QStringLiteral("private/tmp"));
    const QString threat = mac.host(QStringLiteral("/tmp/mcyahooChecker.sh"));

    const QString reportId = scan();
    EXPECT_TRUE(threatAt(show(reportId), threat).value(QStringLiteral("isAvail")).toBool());
    const CliRun result = run({QStringLiteral("remove"), reportId, threat});
    EXPECT_EQ(result.code, 0) << result.out.toStdString();
    EXPECT_EQ(outcomes(result.out).value(threat), QStringLiteral("Removed"));
    EXPECT_FALSE(QFileInfo::exists(real));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

TEST_F(ReportsCommandTest, PdfAndDeleteWorkOnAStoredReport)
{
    const QString kept = scan();
    const QString deleted = scan();
    const QString pdf = test.volume().root() + QStringLiteral("/out.pdf");
    const CliRun written = run({QStringLiteral("reports"), QStringLiteral("pdf"), kept, pdf});
    ASSERT_EQ(written.code, 0) << written.err.toStdString();
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(60000));
    const QString facts = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(facts.contains(QLatin1String("Adware Report")));
    EXPECT_TRUE(facts.contains(QLatin1String("595 x 842 pts")));
    EXPECT_EQ(run({QStringLiteral("reports"), QStringLiteral("pdf"), kept, QStringLiteral("/no/such/folder/x.pdf")}).code, 2);

    const CliRun removed = run({QStringLiteral("reports"), QStringLiteral("delete"), deleted});
    ASSERT_EQ(removed.code, 0) << removed.err.toStdString();
    const QJsonArray list = QJsonDocument::fromJson(
                                run({QStringLiteral("reports"), QStringLiteral("list"), QStringLiteral("--json")}).out.toUtf8())
                                .array();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list.at(0).toObject().value(QStringLiteral("reportId")).toString(), kept);
}

TEST_F(ReportsCommandTest, UnknownReportsAndBadArgumentsExitWithTwo)
{
    const QString reportId = scan();
    for (const QStringList &arguments :
         {QStringList{"reports", "show", "NO-SUCH-ID"}, QStringList{"reports", "pdf", "NO-SUCH-ID", "x.pdf"},
          QStringList{"reports", "delete", "NO-SUCH-ID"}, QStringList{"remove", "NO-SUCH-ID", "--all"}}) {
        const CliRun result = run(arguments);
        EXPECT_EQ(result.code, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(QLatin1String("NO-SUCH-ID"))) << result.err.toStdString();
    }
    EXPECT_EQ(run({QStringLiteral("remove"), reportId}).code, 2);
    EXPECT_EQ(run({QStringLiteral("remove"), reportId, QStringLiteral("--all"), genieo}).code, 2);
    EXPECT_EQ(run({QStringLiteral("remove"), reportId, QStringLiteral("/not/in/the/report")}).code, 2);
    EXPECT_EQ(run({QStringLiteral("reports"), QStringLiteral("frobnicate")}).code, 2);
    EXPECT_TRUE(QFileInfo::exists(genieo));
}

// Writing onto an existing file keeps what its owner set: its mode, and a
// read-only file stays as it is (root could write it, so the mode bits are
// read). An empty file name is an error of its own.
TEST_F(ReportsCommandTest, PdfOntoAnExistingFileKeepsItsModeAndRefusesAReadOnlyOne)
{
    const QString reportId = scan();
    const auto plant = [&](const QString &name, mode_t mode) {
        const QString path = test.volume().root() + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("earlier");
        file.close();
        EXPECT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
        return path;
    };
    const auto modeOf = [](const QString &path) {
        struct stat st{};
        EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        return st.st_mode & 07777;
    };

    const QString shared = plant(QStringLiteral("shared.pdf"), 0640);
    const CliRun written = run({QStringLiteral("reports"), QStringLiteral("pdf"), reportId, shared});
    EXPECT_EQ(written.code, 0) << qPrintable(written.err);
    EXPECT_EQ(modeOf(shared), 0640u);
    QFile document(shared);
    ASSERT_TRUE(document.open(QIODevice::ReadOnly));
    EXPECT_TRUE(document.readAll().startsWith("%PDF"));

    const QString readOnly = plant(QStringLiteral("kept.pdf"), 0444);
    const CliRun refused = run({QStringLiteral("reports"), QStringLiteral("pdf"), reportId, readOnly});
    EXPECT_EQ(refused.code, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("%1 is read-only").arg(readOnly))) << qPrintable(refused.err);
    QFile kept(readOnly);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("earlier"));
    EXPECT_EQ(modeOf(readOnly), 0444u);

    const CliRun empty = run({QStringLiteral("reports"), QStringLiteral("pdf"), reportId, QString()});
    EXPECT_EQ(empty.code, 2);
    EXPECT_TRUE(empty.err.contains(QLatin1String("file name"))) << qPrintable(empty.err);
    EXPECT_FALSE(empty.err.contains(QLatin1String("QPainter"))) << qPrintable(empty.err);
}

TEST_F(ReportsCommandTest, ListWarnsOnceAboutAStoredValueItCannotRead)
{
    {
        QSettings settings(test.settingsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("kSaveReport"), QByteArray("not an archive"));
    }
    const CliRun listed = run({QStringLiteral("reports"), QStringLiteral("list")});
    EXPECT_EQ(listed.err.count(QLatin1String("cannot be read")), 1) << qPrintable(listed.err);
    EXPECT_EQ(listed.err.count(QLatin1String("Starting with no reports")), 1) << qPrintable(listed.err);
}

// Stored reports are read back from a file any process could have written;
// what they say is printed escaped like names from the volume.
TEST_F(ReportsCommandTest, ShowAndRemovePrintStoredPathsEscaped)
{
    const QString folder = mac.dir(QStringLiteral("~/Downloads"));
    mac.file(QStringLiteral("~/Downloads/Codec-M\x1b[2J\nDeleted report X.zip"));
    const CliRun scanned = run({QStringLiteral("scan"), QStringLiteral("custom"), folder, QStringLiteral("--json")});
    ASSERT_EQ(scanned.code, 1) << qPrintable(scanned.err);
    const QString reportId =
        QJsonDocument::fromJson(scanned.out.toUtf8()).object().value(QStringLiteral("reportId")).toString();
    const QString escaped = QStringLiteral("Codec-M\\e[2J\\nDeleted report X.zip");
    for (const QStringList &arguments : {QStringList{QStringLiteral("reports"), QStringLiteral("show"), reportId},
                                         QStringList{QStringLiteral("remove"), reportId, QStringLiteral("--all")}}) {
        const CliRun shown = run(arguments);
        EXPECT_FALSE(shown.out.contains(QChar(0x1b))) << qPrintable(arguments.join(' '));
        EXPECT_TRUE(shown.out.contains(escaped)) << qPrintable(shown.out);
    }
}
