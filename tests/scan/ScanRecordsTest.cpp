#include "platform/FileName.h"
#include "scan/Adware.h"
#include "scan/AdwareScanReport.h"
#include "scan/ReportArchive.h"

#include <QCborArray>
#include <QCborValue>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {
QString touch(const QTemporaryDir &dir, const QString &name)
{
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    return f.fileName();
}

AdwarePtr threat(const QString &path, const QString &name = QStringLiteral("x"))
{
    return Adware::AdwareWithName(name, false, QStringLiteral("Genieo"), 42, QUrl::fromLocalFile(path),
                                  QStringLiteral("High Risk"));
}
} // namespace

TEST(Adware, DerivesPresenceSelectionAndColourFromTheFileSystem)
{
    QTemporaryDir dir;
    const auto present = threat(touch(dir, QStringLiteral("a")));
    EXPECT_TRUE(present->isAvail());
    EXPECT_TRUE(present->isChecked());
    EXPECT_FALSE(present->isNoAction());
    EXPECT_FALSE(present->isDeleted());
    EXPECT_EQ(present->redGreen(), NamedColour::black());

    const auto missing = Adware::AdwareWithName(QStringLiteral("gone"), true, QStringLiteral("Adware"), 0,
                                                QUrl::fromLocalFile(dir.filePath(QStringLiteral("gone"))),
                                                QStringLiteral("High Risk"));
    EXPECT_FALSE(missing->isAvail());
    EXPECT_FALSE(missing->isChecked());
    EXPECT_EQ(missing->redGreen(), NamedColour::grey());

    // A dangling link is still something at that path.
    QFile::link(dir.filePath(QStringLiteral("nowhere")), dir.filePath(QStringLiteral("link")));
    EXPECT_TRUE(threat(dir.filePath(QStringLiteral("link")))->isAvail());
}

TEST(AdwareScanReport, DerivedValuesFollowTheListAtCreation)
{
    QTemporaryDir dir;
    const auto empty = AdwareScanReport::ScanReportWithAdwareList({}, QDateTime::currentDateTime(),
                                                                  QStringLiteral(" 1 second"), QStringLiteral("Quick Scan"));
    EXPECT_FALSE(empty->isRed());
    EXPECT_EQ(empty->adwareCount(), 0u);
    EXPECT_EQ(empty->redGreen(), NamedColour::reportGreen());
    EXPECT_EQ(empty->openTrash(), QStringLiteral("btn_trash.tiff"));

    auto report = AdwareScanReport::ScanReportWithAdwareList({threat(touch(dir, QStringLiteral("a"))), threat(touch(dir, QStringLiteral("b")))},
                                                             QDateTime::currentDateTime(), QStringLiteral("Stopped"),
                                                             QStringLiteral("Full System Scan"));
    EXPECT_TRUE(report->isRed());
    EXPECT_EQ(report->openTrash(), QStringLiteral("btn_open.tiff"));
    EXPECT_EQ(report->redGreen(), NamedColour(QStringLiteral("red"), 181, 47, 53, 1.0));
    report->adwareList().clear();
    EXPECT_EQ(report->adwareCount(), 2u);
    EXPECT_TRUE(report->isRed());
    EXPECT_NE(report->reportId(), empty->reportId());
    EXPECT_EQ(report->reportDateDisplay(), QStringLiteral("In few seconds"));
}

TEST(ReportArchive, RoundTripsReportsExactlyAndRederivesPresence)
{
    QTemporaryDir dir;
    const QString kept = touch(dir, QStringLiteral("kept"));
    const QString deleted = touch(dir, QStringLiteral("deleted"));
    auto keptThreat = threat(kept, QStringLiteral("kept"));
    keptThreat->setIsChecked(false);
    auto deletedThreat = threat(deleted, QStringLiteral("deleted"));
    QList<AdwarePtr> list{keptThreat, deletedThreat};
    for (int i = 0; i < 298; ++i)
        list.append(threat(dir.filePath(QStringLiteral("missing-%1").arg(i)), QStringLiteral("m%1").arg(i)));
    const QDateTime when = QDateTime::currentDateTime().addDays(-3);
    auto report = AdwareScanReport::ScanReportWithAdwareList(list, when, QStringLiteral(" 2 minutes  5 seconds"),
                                                             QStringLiteral("Custom Scan"));
    auto second = AdwareScanReport::ScanReportWithAdwareList({}, when, QStringLiteral("Stopped"), QStringLiteral("Quick Scan"));

    const QByteArray data = ReportArchive::archivedDataWithRootObject({report, second});
    QFile::remove(deleted);
    const auto loaded = ReportArchive::unarchive(data);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->size(), 2);
    const ReportPtr back = loaded->first();
    EXPECT_EQ(back->adwareCount(), 300u);
    EXPECT_EQ(back->adwareList().size(), 300);
    EXPECT_EQ(back->reportType(), QStringLiteral("Custom Scan"));
    EXPECT_EQ(back->scanDate(), when);
    EXPECT_EQ(back->scanDuration(), QStringLiteral(" 2 minutes  5 seconds"));
    EXPECT_EQ(back->reportId(), report->reportId());
    EXPECT_TRUE(back->isRed());
    EXPECT_EQ(back->reportDateDisplay(), QStringLiteral("3 days ago"));
    // Selection follows presence at load time, whatever was stored.
    EXPECT_TRUE(back->adwareList().at(0)->isChecked());
    EXPECT_EQ(back->adwareList().at(0)->size(), 42);
    EXPECT_EQ(back->adwareList().at(0)->path(), kept);
    EXPECT_FALSE(back->adwareList().at(1)->isAvail());
    EXPECT_FALSE(back->adwareList().at(1)->isChecked());
    EXPECT_EQ(back->adwareList().at(1)->redGreen(), NamedColour::grey());
    EXPECT_EQ(loaded->at(1)->openTrash(), QStringLiteral("btn_trash.tiff"));
}

TEST(ReportArchive, NamesThatAreNotUtf8KeepTheirBytes)
{
    QTemporaryDir dir;
    const QByteArray raw = QFile::encodeName(dir.path()) + "/com.pcbooster\xff.4821 %41.plist";
    const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const QString path = FileName::decode(raw);
    auto report = AdwareScanReport::ScanReportWithAdwareList({threat(path, FileName::decode("com.pcbooster\xff.4821")),
                                                              threat(dir.filePath(QStringLiteral("plain é")))},
                                                             QDateTime::currentDateTime(), QStringLiteral("1 second"),
                                                             QStringLiteral("Quick Scan"));
    const auto loaded = ReportArchive::unarchive(ReportArchive::archivedDataWithRootObject({report}));
    ASSERT_TRUE(loaded);
    const QList<AdwarePtr> &list = loaded->first()->adwareList();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(FileName::encode(list.at(0)->path()), raw);
    EXPECT_EQ(FileName::encode(list.at(0)->name()), QByteArray("com.pcbooster\xff.4821"));
    EXPECT_TRUE(list.at(0)->isAvail());
    EXPECT_EQ(list.at(1)->path(), dir.filePath(QStringLiteral("plain é")));
    EXPECT_EQ(list.at(1)->url(), report->adwareList().at(1)->url());
    ::unlink(raw.constData());
}

TEST(ReportArchive, RejectsDataThatIsNotAReportList)
{
    QString error;
    EXPECT_FALSE(ReportArchive::unarchive(QByteArrayLiteral("\xff\x00garbage"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(ReportArchive::unarchive(QCborValue(QStringLiteral("text")).toCbor()));
    EXPECT_FALSE(ReportArchive::unarchive(QCborValue(QCborArray({1, 2})).toCbor()));
    const auto empty = ReportArchive::unarchive(ReportArchive::archivedDataWithRootObject({}));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isEmpty());
}

TEST(ReportArchive, WritesTheScanDateAsAnInstantAndReadsOlderLocalDatesAsLocal)
{
    const QDateTime local(QDate(2026, 3, 4), QTime(5, 6, 7, 890));
    auto report = AdwareScanReport::ScanReportWithAdwareList({}, local, QStringLiteral("1 second"),
                                                             QStringLiteral("Quick Scan"));
    const QCborMap map = ReportArchive::encodeReport(*report);
    const QCborValue written = map.value(QStringLiteral("scanDate"));
    ASSERT_TRUE(written.isDateTime());
    EXPECT_EQ(written.toDateTime().timeSpec(), Qt::UTC);
    EXPECT_EQ(written.toDateTime().toMSecsSinceEpoch(), local.toMSecsSinceEpoch());
    const ReportPtr reread = ReportArchive::decodeReport(map);
    EXPECT_EQ(reread->scanDate().toMSecsSinceEpoch(), local.toMSecsSinceEpoch());
    EXPECT_EQ(reread->scanDate().timeSpec(), Qt::LocalTime);

    // Archives written before carry the local wall-clock time with no offset.
    QCborMap older = map;
    older.insert(QStringLiteral("scanDate"),
                 QCborValue(QCborKnownTags::DateTimeString, QStringLiteral("2026-03-04T05:06:07.890")));
    EXPECT_EQ(ReportArchive::decodeReport(QCborValue::fromCbor(QCborValue(older).toCbor()).toMap())->scanDate(), local);
}
