#include "app/DateWording.h"
#include "reports/ReportsFixture.h"
#include "scan/ReportArchive.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using PreferenceKeys::kSaveReport;

namespace {
class ReportStoreTest : public ::testing::Test, public ReportsFixture
{
};
} // namespace

TEST_F(ReportStoreTest, ReportsAreStoredNewestFirstAndAReportHandedTwiceStaysOnce)
{
    Reports reports(test.platform());
    EXPECT_FALSE(reports.isReportAvailable());
    QSignalSpy redraws(&reports, &Reports::reportListChanged);
    const ReportPtr older = makeReport({threat(QStringLiteral("/Library/LaunchAgents/a.plist"))});
    const ReportPtr newer = makeReport({}, QStringLiteral("Full System Scan"));

    reports.updateReportInDefaults(older);
    reports.updateReportInDefaults(newer);
    reports.updateReportInDefaults(older);

    EXPECT_EQ(ids(reports.reportList()), ids({older, newer}));
    EXPECT_EQ(ids(stored()), ids({older, newer}));
    EXPECT_TRUE(reports.isReportAvailable());
    EXPECT_EQ(redraws.count(), 3);

    Reports reread(test.platform());
    ASSERT_EQ(reread.reportList().size(), 2);
    EXPECT_EQ(reread.reportList().first()->adwareCount(), 1u);
    EXPECT_EQ(reread.reportList().last()->reportType(), QStringLiteral("Full System Scan"));
}

TEST_F(ReportStoreTest, AStoredValueThatCannotBeReadIsKeptUntilTheNextWriteAndThenSetAside)
{
    const QByteArray garbage("\xff\x00 not an archive", 17);
    test.platform().defaults().setObject(garbage, kSaveReport);
    test.platform().defaults().synchronize();

    Reports reports(test.platform());
    reports.reloadReportDates();
    reports.backtoReportList();
    EXPECT_TRUE(reports.reportList().isEmpty());
    EXPECT_FALSE(reports.isReportAvailable());
    EXPECT_EQ(UserDefaults(test.settingsFile()).dataForKey(kSaveReport), garbage);

    const ReportPtr report = makeReport({});
    reports.updateReportInDefaults(report);
    EXPECT_EQ(ids(stored()), ids({report}));
    EXPECT_EQ(UserDefaults(test.settingsFile()).dataForKey(ReportListStore::unreadableKey(kSaveReport)), garbage);
}

TEST_F(ReportStoreTest, TwoWritersSharingThePreferencesKeepEachOthersReports)
{
    Platform otherProcess(test.volume(), test.settingsFile());
    Reports gui(test.platform());
    Reports cli(otherProcess);

    const ReportPtr fromCli = makeReport({}, QStringLiteral("Quick Scan"), QDateTime::currentDateTime().addSecs(-30));
    cli.updateReportInDefaults(fromCli);
    const ReportPtr fromGui = makeReport({}, QStringLiteral("Custom Scan"), QDateTime::currentDateTime());
    gui.updateReportInDefaults(fromGui);

    EXPECT_EQ(ids(stored()), ids({fromGui, fromCli}));
    EXPECT_EQ(ids(gui.reportList()), ids({fromGui, fromCli}));

    // The command line adds another while the application still holds the
    // older list: both survive the application's next write.
    const ReportPtr second = makeReport({}, QStringLiteral("Quick Scan"), QDateTime::currentDateTime().addSecs(10));
    cli.updateReportInDefaults(second);
    const ReportPtr third = makeReport({}, QStringLiteral("Quick Scan"), QDateTime::currentDateTime().addSecs(20));
    gui.updateReportInDefaults(third);
    EXPECT_EQ(ids(stored()), ids({third, second, fromGui, fromCli}));
}

TEST_F(ReportStoreTest, DeletionsByEitherWriterAreNotUndoneByTheOther)
{
    const ReportPtr kept = makeReport({});
    const ReportPtr deletedHere = makeReport({});
    const ReportPtr deletedThere = makeReport({});
    {
        Reports seed(test.platform());
        for (const ReportPtr &report : {kept, deletedHere, deletedThere})
            seed.updateReportInDefaults(report);
    }
    Platform otherProcess(test.volume(), test.settingsFile());
    Reports gui(test.platform());
    Reports cli(otherProcess);
    auto cliAlerts = std::make_unique<ScriptedAlerts>();
    cliAlerts->answer(QStringLiteral("Yes"));
    otherProcess.setAlerts(std::move(cliAlerts));
    test.alerts().answer(QStringLiteral("Yes"));

    // Zero-threat rows delete from the list directly.
    cli.openThisReport(int(ids(cli.reportList()).indexOf(deletedThere->reportId())));
    gui.openThisReport(int(ids(gui.reportList()).indexOf(deletedHere->reportId())));
    const ReportPtr added = makeReport({});
    gui.updateReportInDefaults(added);

    EXPECT_EQ(ids(stored()), ids({added, kept}));
    EXPECT_EQ(ids(gui.reportList()), ids({added, kept}));
}

TEST_F(ReportStoreTest, ReloadingRereadsTheStoreAndRewordsTheDates)
{
    Reports reports(test.platform());
    const ReportPtr report = makeReport({}, QStringLiteral("Quick Scan"), QDateTime::currentDateTime().addDays(-3),
                                        QStringLiteral("Stopped"));
    reports.updateReportInDefaults(report);
    report->setReportDateDisplay(QStringLiteral("stale"));

    reports.reloadReportDates();

    ASSERT_EQ(reports.reportList().size(), 1);
    EXPECT_NE(reports.reportList().first(), report);
    EXPECT_EQ(reports.reportList().first()->reportDateDisplay(),
              DateWording::relativeDateStringForDate(report->scanDate()));
    EXPECT_EQ(reports.reportList().first()->scanDuration(), QStringLiteral("Stopped"));
}

TEST_F(ReportStoreTest, SaveListReportWritesAWholeListUnderAnyKey)
{
    Reports reports(test.platform());
    const QList<ReportPtr> list{makeReport({}), makeReport({})};
    reports.saveListReport(list, QStringLiteral("kOtherReports"));
    EXPECT_EQ(ids(reports.loadListReportWithKey(QStringLiteral("kOtherReports"))), ids(list));
    EXPECT_TRUE(reports.loadListReportWithKey(kSaveReport).isEmpty());
}

TEST_F(ReportStoreTest, EveryUnreadableValueIsKeptAsideNoneOverwritesAnother)
{
    Reports reports(test.platform());
    const QByteArray first("\xff first damaged value", 22);
    const QByteArray second("\xff second damaged value", 23);
    UserDefaults &defaults = test.platform().defaults();
    for (const QByteArray &garbage : {first, second, second}) {
        defaults.setObject(garbage, kSaveReport);
        ASSERT_TRUE(defaults.synchronize());
        reports.updateReportInDefaults(makeReport({}));
        EXPECT_TRUE(reports.storeError().isEmpty()) << reports.storeError().toStdString();
    }

    UserDefaults reread(test.settingsFile());
    EXPECT_EQ(reread.dataForKey(ReportListStore::unreadableKey(kSaveReport)), first);
    QList<QByteArray> kept;
    for (const QString &key : reread.allKeys()) {
        if (key.startsWith(ReportListStore::unreadableKey(kSaveReport)))
            kept.append(reread.dataForKey(key));
    }
    // The same value found twice is kept once.
    EXPECT_EQ(kept.size(), 2);
    EXPECT_TRUE(kept.contains(second));
    EXPECT_EQ(ReportArchive::unarchive(reread.dataForKey(kSaveReport))->size(), 1);
}

TEST_F(ReportStoreTest, AFailedWriteLeavesTheStoreAsItWasAndSaysWhy)
{
    Reports reports(test.platform());
    const ReportPtr kept = makeReport({});
    reports.updateReportInDefaults(kept);
    ASSERT_TRUE(reports.storeError().isEmpty());
    QSignalSpy failures(&reports, &Reports::storeFailed);

    // The settings file is replaced by a folder: nothing can be written.
    ASSERT_TRUE(QFile::remove(test.settingsFile()));
    ASSERT_TRUE(QDir().mkpath(test.settingsFile()));
    reports.updateReportInDefaults(makeReport({}));

    EXPECT_TRUE(reports.storeError().contains(QStringLiteral("is a folder"))) << reports.storeError().toStdString();
    ASSERT_EQ(failures.count(), 1);
    EXPECT_EQ(failures.first().first().toString(), reports.storeError());
    // The list shows the store as it is, without the report that was not stored.
    EXPECT_EQ(ids(reports.reportList()), ids({kept}));
    EXPECT_TRUE(QDir(test.settingsFile()).isEmpty());
}
