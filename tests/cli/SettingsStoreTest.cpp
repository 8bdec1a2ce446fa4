#include "support/MacVolumeBuilder.h"
#include "support/TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include "CliRunner.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

// The preferences file shared by many sweepling-cli processes, damaged, or
// impossible to write: no stored report is ever lost, and a failure says so.
namespace {

// Sorted and joined, so a failed comparison prints readable identifiers.
std::string sortedIds(QStringList ids)
{
    ids.sort();
    return ids.join(QLatin1Char(' ')).toStdString();
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A small tmpfs mounted for one test; unmounted (lazily) at the end.
class ScratchMount
{
public:
    ScratchMount(const QString &path, const char *options)
        : m_path(QFile::encodeName(path))
    {
        QDir().mkpath(path);
        if (::mount("tmpfs", m_path.constData(), "tmpfs", 0, options) == 0)
            m_mounted = true;
        else
            m_error = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~ScratchMount()
    {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString error() const { return m_error; }
    bool remountReadOnly()
    {
        return ::mount(nullptr, m_path.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    QByteArray m_path;
    bool m_mounted = false;
    QString m_error;
};

// Sets or clears the immutable flag (the one way to make a file read-only for root).
bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

class SettingsStoreTest : public ::testing::Test
{
protected:
    SettingsStoreTest()
        : mac(test.volume())
    {
        mac.app(QStringLiteral("/Applications/Genieo.app"), QStringLiteral("com.genieo.app"));
        settings = test.settingsFile();
    }

    QStringList global() const
    {
        return {QStringLiteral("--root"), test.volume().root(), QStringLiteral("--user"), test.volume().loginName(),
                QStringLiteral("--settings"), settings};
    }
    CliRun run(const QStringList &arguments) const { return runCli(global() + arguments); }

    // Starts sweepling-cli without waiting; timeZone empty keeps the test's own.
    QProcess *start(const QStringList &arguments, const QString &timeZone = QString())
    {
        auto *process = new QProcess;
        processes.emplace_back(process);
        if (!timeZone.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("TZ"), timeZone);
            process->setProcessEnvironment(environment);
        }
        process->start(QStringLiteral(SWEEPLING_CLI_PATH), global() + arguments);
        return process;
    }
    static CliRun finish(QProcess *process)
    {
        CliRun result;
        if (!process->waitForFinished(120000))
            return result;
        result.code = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
        result.out = QString::fromUtf8(process->readAllStandardOutput());
        result.err = QString::fromUtf8(process->readAllStandardError());
        return result;
    }

    QString scan()
    {
        const CliRun result = run({QStringLiteral("scan"), QStringLiteral("quick"), QStringLiteral("--json")});
        EXPECT_EQ(result.code, 1) << result.err.toStdString();
        return QJsonDocument::fromJson(result.out.toUtf8()).object().value(QStringLiteral("reportId")).toString();
    }

    QStringList storedIds() const
    {
        const CliRun result = run({QStringLiteral("reports"), QStringLiteral("list"), QStringLiteral("--json")});
        EXPECT_EQ(result.code, 0) << result.err.toStdString();
        QStringList ids;
        for (const QJsonValue &report : QJsonDocument::fromJson(result.out.toUtf8()).array())
            ids.append(report.toObject().value(QStringLiteral("reportId")).toString());
        return ids;
    }

    // A scan and a delete against preferences that cannot be written: both
    // fail with exit 2, neither claims success, the file is unchanged.
    void expectStoreFailsAndChangesNothing(const QString &kept)
    {
        const QByteArray before = readAll(settings);
        const CliRun scanned = run({QStringLiteral("scan"), QStringLiteral("quick")});
        EXPECT_EQ(scanned.code, 2) << scanned.out.toStdString() << scanned.err.toStdString();
        EXPECT_FALSE(scanned.out.contains(QStringLiteral("stored."))) << scanned.out.toStdString();
        EXPECT_TRUE(scanned.err.contains(QStringLiteral("was not stored"))) << scanned.err.toStdString();

        const CliRun deleted = run({QStringLiteral("reports"), QStringLiteral("delete"), kept});
        EXPECT_EQ(deleted.code, 2) << deleted.out.toStdString() << deleted.err.toStdString();
        EXPECT_FALSE(deleted.out.contains(QStringLiteral("Deleted report"))) << deleted.out.toStdString();
        EXPECT_TRUE(deleted.err.contains(QStringLiteral("was not deleted"))) << deleted.err.toStdString();

        EXPECT_EQ(readAll(settings), before);
        EXPECT_EQ(storedIds(), QStringList{kept});
    }

    TestPlatform test;
    MacVolumeBuilder mac;
    QString settings;
    std::vector<std::unique_ptr<QProcess>> processes;
};

} // namespace

TEST_F(SettingsStoreTest, ConcurrentScansAndDeletesKeepAnExactCount)
{
    constexpr int kRounds = 5;
    constexpr int kWriters = 20;
    constexpr int kDeletes = 5;
    QSet<QString> expected;
    for (int round = 0; round < kRounds; ++round) {
        QList<QProcess *> writers;
        for (int i = 0; i < kWriters; ++i)
            writers.append(start({QStringLiteral("scan"), QStringLiteral("quick"), QStringLiteral("--json")}));
        // Deletes of reports stored in earlier rounds run beside the scans.
        QStringList doomed;
        for (const QString &reportId : std::as_const(expected)) {
            if (doomed.size() == kDeletes)
                break;
            doomed.append(reportId);
        }
        QList<QProcess *> deleters;
        for (const QString &reportId : std::as_const(doomed))
            deleters.append(start({QStringLiteral("reports"), QStringLiteral("delete"), reportId}));

        for (QProcess *writer : std::as_const(writers)) {
            const CliRun result = finish(writer);
            ASSERT_EQ(result.code, 1) << result.err.toStdString();
            const QString reportId =
                QJsonDocument::fromJson(result.out.toUtf8()).object().value(QStringLiteral("reportId")).toString();
            ASSERT_FALSE(reportId.isEmpty());
            expected.insert(reportId);
        }
        for (QProcess *deleter : std::as_const(deleters)) {
            const CliRun result = finish(deleter);
            ASSERT_EQ(result.code, 0) << result.err.toStdString();
        }
        for (const QString &reportId : std::as_const(doomed))
            expected.remove(reportId);

        const QStringList stored = storedIds();
        EXPECT_EQ(stored.size(), expected.size()) << "round " << round;
        EXPECT_EQ(sortedIds(stored), sortedIds(expected.values())) << "round " << round;
        processes.clear();
    }
    EXPECT_EQ(expected.size(), kRounds * kWriters - (kRounds - 1) * kDeletes);
}

TEST_F(SettingsStoreTest, ADamagedSettingsFileIsNeverRewritten)
{
    const QString first = scan();
    const QString second = scan();
    ASSERT_EQ(storedIds().size(), 2);
    const QByteArray good = readAll(settings);
    const QByteArray damaged = "a stray line that is not a setting\n" + good;
    {
        QFile file(settings);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged);
    }

    const QList<QStringList> commands = {
        {QStringLiteral("reports"), QStringLiteral("list")},
        {QStringLiteral("scan"), QStringLiteral("quick")},
        {QStringLiteral("reports"), QStringLiteral("delete"), first},
        {QStringLiteral("remove"), second, QStringLiteral("--all")},
    };
    for (const QStringList &command : commands) {
        const CliRun result = run(command);
        EXPECT_EQ(result.code, 2) << command.join(' ').toStdString() << ": " << result.out.toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("cannot be parsed (line 1: \"a stray line that is not a setting\")")))
            << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(settings)) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("move the file aside"))) << result.err.toStdString();
        EXPECT_FALSE(result.err.contains(QStringLiteral("Could not write"))) << result.err.toStdString();
        EXPECT_FALSE(result.out.contains(QStringLiteral("No reports stored."))) << result.out.toStdString();
        EXPECT_EQ(readAll(settings), damaged) << command.join(' ').toStdString();
    }
    EXPECT_EQ(QDir(QFileInfo(settings).absolutePath()).entryList(QDir::Files), QStringList{QStringLiteral("settings.ini")});

    // Repaired, the file is used again with every report it held.
    {
        QFile file(settings);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(good);
    }
    EXPECT_EQ(sortedIds(storedIds()), sortedIds({first, second}));
}

TEST_F(SettingsStoreTest, ASettingsPathThatIsAFolderFailsEveryStore)
{
    ASSERT_TRUE(QDir().mkpath(settings));
    const CliRun scanned = run({QStringLiteral("scan"), QStringLiteral("quick")});
    EXPECT_EQ(scanned.code, 2);
    EXPECT_FALSE(scanned.out.contains(QStringLiteral("stored."))) << scanned.out.toStdString();
    EXPECT_TRUE(scanned.err.contains(QStringLiteral("is a folder"))) << scanned.err.toStdString();
    EXPECT_TRUE(QDir(settings).isEmpty());
}

TEST_F(SettingsStoreTest, AnImmutableSettingsFileFailsTheStoreAndKeepsItsReports)
{
    const QString kept = scan();
    if (!setImmutable(settings, true))
        GTEST_SKIP() << "the file system of " << settings.toStdString() << " has no immutable flag";
    expectStoreFailsAndChangesNothing(kept);
    EXPECT_TRUE(setImmutable(settings, false));
}

TEST_F(SettingsStoreTest, AReadOnlySettingsFolderFailsTheStoreAndKeepsItsReports)
{
    QTemporaryDir dir;
    ScratchMount mount(dir.filePath(QStringLiteral("ro")), "size=1m");
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here (" << mount.error().toStdString() << ")";
    settings = dir.filePath(QStringLiteral("ro/settings.ini"));
    const QString kept = scan();
    ASSERT_TRUE(mount.remountReadOnly());
    expectStoreFailsAndChangesNothing(kept);
}

TEST_F(SettingsStoreTest, AFullDiskFailsTheStoreAndKeepsItsReports)
{
    QTemporaryDir dir;
    ScratchMount mount(dir.filePath(QStringLiteral("full")), "size=256k");
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here (" << mount.error().toStdString() << ")";
    settings = dir.filePath(QStringLiteral("full/settings.ini"));
    const QString kept = scan();
    {
        QFile filler(dir.filePath(QStringLiteral("full/filler")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    expectStoreFailsAndChangesNothing(kept);
}

TEST_F(SettingsStoreTest, AReportWrittenInNewYorkReadsTheSameInstantInTokyo)
{
    const CliRun written = finish(start({QStringLiteral("scan"), QStringLiteral("quick"), QStringLiteral("--json")},
                                        QStringLiteral("America/New_York")));
    ASSERT_EQ(written.code, 1) << written.err.toStdString();
    const QJsonObject report = QJsonDocument::fromJson(written.out.toUtf8()).object();
    const QDateTime when = QDateTime::fromString(report.value(QStringLiteral("scanDate")).toString(), Qt::ISODate);
    ASSERT_TRUE(when.isValid());

    const CliRun read = finish(start({QStringLiteral("reports"), QStringLiteral("list"), QStringLiteral("--json")},
                                     QStringLiteral("Asia/Tokyo")));
    ASSERT_EQ(read.code, 0) << read.err.toStdString();
    const QJsonArray list = QJsonDocument::fromJson(read.out.toUtf8()).array();
    ASSERT_EQ(list.size(), 1);
    const QString shown = list.at(0).toObject().value(QStringLiteral("scanDate")).toString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("+09:00"))) << shown.toStdString();
    EXPECT_EQ(QDateTime::fromString(shown, Qt::ISODate).toSecsSinceEpoch(), when.toSecsSinceEpoch()) << shown.toStdString();
}
