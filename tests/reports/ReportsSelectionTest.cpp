#include "app/NotificationNames.h"
#include "reports/ReportsFixture.h"

#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class ReportsSelectionTest : public ::testing::Test, public ReportsFixture
{
protected:
    ReportsSelectionTest()
        : reports(test.platform())
    {
        first = threat(QStringLiteral("/Library/LaunchAgents/first.plist"));
        second = threat(QStringLiteral("~/Library/Application Support/Genieo/x.db"));
        third = threat(QStringLiteral("/Applications/Codec-M.app/Contents/Info.plist"));
        report = makeReport({first, second, third});
        reports.updateReportInDefaults(report);
        reports.reloadReportDates();
    }

    QList<AdwarePtr> openThreats() const { return reports.selectedReport()->adwareList(); }

    Reports reports;
    AdwarePtr first, second, third;
    ReportPtr report;
};

} // namespace

TEST_F(ReportsSelectionTest, OpeningAReportRechecksPresenceAndChecksEveryPresentThreat)
{
    QFile::remove(second->path());
    QSignalSpy header(&reports, &Reports::detailHeaderChanged);

    reports.openThisReport(0);

    ASSERT_TRUE(reports.selectedReport());
    EXPECT_EQ(reports.selectedReport(), reports.tempReport());
    EXPECT_EQ(reports.selectedReport()->reportId(), report->reportId());
    EXPECT_EQ(header.count(), 1);
    const auto threats = openThreats();
    EXPECT_TRUE(threats.at(0)->isChecked());
    EXPECT_FALSE(threats.at(1)->isChecked());
    EXPECT_FALSE(threats.at(1)->isAvail());
    EXPECT_EQ(threats.at(1)->redGreen(), NamedColour::grey());
    EXPECT_EQ(reports.checkAllState(), Qt::Checked);
    EXPECT_TRUE(reports.checkAllEnabled());
    EXPECT_TRUE(reports.isReportDetails());
    EXPECT_EQ(reports.box(), Reports::Box::Detail);
    EXPECT_TRUE(reports.printEnabled());
    EXPECT_TRUE(reports.quarantineBtn());
    EXPECT_TRUE(reports.quarantineBtnHide());
    EXPECT_TRUE(reports.removeButtonShown());
    EXPECT_EQ(reports.arrAdwarePath(), paths({first, second, third}));
}

TEST_F(ReportsSelectionTest, WithNothingLeftOnDiskTheCheckAllBoxIsOffAndDisabled)
{
    for (const AdwarePtr &adware : {first, second, third})
        QFile::remove(adware->path());
    reports.openThisReport(0);
    EXPECT_EQ(reports.checkAllState(), Qt::Unchecked);
    EXPECT_FALSE(reports.checkAllEnabled());
    EXPECT_FALSE(reports.removeButtonShown());
    EXPECT_FALSE(reports.quarantineBtnHide());
    EXPECT_FALSE(reports.quarantineBtn());
}

TEST_F(ReportsSelectionTest, OneOfTwoPresentThreatsCheckedIsMixedAndClickingItChecksBoth)
{
    QFile::remove(third->path());
    reports.openThisReport(0);
    reports.checkClicked(1, false);
    EXPECT_EQ(reports.checkAllState(), Qt::PartiallyChecked);
    EXPECT_TRUE(reports.quarantineBtn());

    reports.checkAllAction(Qt::PartiallyChecked);
    EXPECT_EQ(reports.checkAllState(), Qt::Checked);
    EXPECT_TRUE(openThreats().at(0)->isChecked());
    EXPECT_TRUE(openThreats().at(1)->isChecked());
    EXPECT_FALSE(openThreats().at(2)->isChecked());

    reports.checkAllAction(Qt::Unchecked);
    EXPECT_EQ(reports.checkAllState(), Qt::Unchecked);
    EXPECT_FALSE(reports.quarantineBtn());
    EXPECT_TRUE(reports.quarantineBtnHide());
    reports.checkClicked(7, true);
    EXPECT_FALSE(reports.quarantineBtn());
}

TEST_F(ReportsSelectionTest, OpeningTwoReportsKeepsThePathsOfBoth)
{
    const AdwarePtr other = threat(QStringLiteral("/Library/LaunchAgents/other.plist"));
    reports.updateReportInDefaults(makeReport({other}));
    reports.reloadReportDates();
    reports.openThisReport(1);
    reports.backtoReportList();
    reports.openThisReport(0);
    EXPECT_EQ(reports.arrAdwarePath(), paths({first, second, third, other}));
    reports.openThisReport(5);
    EXPECT_EQ(reports.arrAdwarePath().size(), 4);
}

TEST_F(ReportsSelectionTest, AReportWithoutThreatsIsDeletedFromItsRowAfterTheQuestion)
{
    const ReportPtr empty = makeReport({});
    reports.updateReportInDefaults(empty);
    reports.reloadReportDates();
    ASSERT_EQ(reports.reportList().first()->reportId(), empty->reportId());

    reports.openThisReport(0);
    EXPECT_EQ(questions(), QStringList{QStringLiteral("Are you sure you want to delete this report?")});
    EXPECT_EQ(reports.reportList().size(), 2);
    EXPECT_FALSE(reports.isReportDetails());

    test.alerts().answer(QStringLiteral("Yes"));
    reports.openThisReport(0);
    EXPECT_EQ(ids(reports.reportList()), ids({report}));
    EXPECT_EQ(ids(stored()), ids({report}));
    EXPECT_FALSE(reports.isReportDetails());
}

TEST_F(ReportsSelectionTest, TrashingAsksAndDeletesTheOpenReportByItsIdentifier)
{
    reports.openThisReport(0);
    reports.trashReport();
    EXPECT_EQ(ids(stored()), ids({report}));
    EXPECT_TRUE(reports.isReportDetails());

    test.alerts().answer(QStringLiteral("Yes"));
    reports.trashReport();
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_FALSE(reports.isReportAvailable());
    EXPECT_FALSE(reports.isReportDetails());
    EXPECT_FALSE(reports.printEnabled());
    EXPECT_EQ(reports.box(), Reports::Box::List);
}

TEST_F(ReportsSelectionTest, AReportPostedByTheScanPageIsShownAndCanBeDeletedById)
{
    // The Scan page posts the driver's object; the list holds a re-read copy.
    test.platform().notifications().post(NotificationNames::RefreshReport, QVariant::fromValue(report));
    ASSERT_EQ(reports.selectedReport(), report);
    EXPECT_NE(reports.reportList().first(), report);
    EXPECT_EQ(reports.tempReport(), report);
    EXPECT_EQ(reports.box(), Reports::Box::Detail);
    EXPECT_EQ(reports.checkAllState(), Qt::Checked);
    EXPECT_TRUE(reports.removeButtonShown());
    EXPECT_TRUE(reports.removeButtonEnabled());
    EXPECT_EQ(reports.arrAdwarePath(), paths({first, second, third}));

    test.alerts().answer(QStringLiteral("Yes"));
    reports.trashReport();
    EXPECT_TRUE(reports.reportList().isEmpty());
    EXPECT_TRUE(stored().isEmpty());
}

TEST_F(ReportsSelectionTest, APostedReportWithNothingOnDiskDisablesTheRemoveButton)
{
    for (const AdwarePtr &adware : {first, second, third})
        QFile::remove(adware->path());
    reports.refreshReport(report);
    EXPECT_EQ(reports.checkAllState(), Qt::Unchecked);
    EXPECT_FALSE(reports.checkAllEnabled());
    EXPECT_FALSE(reports.removeButtonShown());
    EXPECT_FALSE(reports.removeButtonEnabled());
    EXPECT_TRUE(reports.printEnabled());
}

// The remove button has one state, set by the selection rules: a report
// whose threats are all gone hides and disables it, and opening one with
// present, checked threats shows and enables it again.
TEST_F(ReportsSelectionTest, TheRemoveButtonIsEnabledAgainByAReportWithPresentCheckedThreats)
{
    const AdwarePtr gone = threat(QStringLiteral("/Library/LaunchAgents/gone.plist"));
    QFile::remove(gone->path());
    reports.refreshReport(makeReport({gone}));
    EXPECT_FALSE(reports.removeButtonShown());
    EXPECT_FALSE(reports.removeButtonEnabled());

    reports.openThisReport(0);
    ASSERT_EQ(reports.selectedReport()->reportId(), report->reportId());
    EXPECT_TRUE(reports.removeButtonShown());
    EXPECT_TRUE(reports.removeButtonEnabled());

    reports.checkAllAction(Qt::Unchecked);
    EXPECT_TRUE(reports.removeButtonShown());
    EXPECT_FALSE(reports.removeButtonEnabled());
    reports.checkClicked(1, true);
    EXPECT_TRUE(reports.removeButtonEnabled());

    reports.backtoReportList();
    EXPECT_FALSE(reports.removeButtonShown());
    EXPECT_FALSE(reports.removeButtonEnabled());
}
