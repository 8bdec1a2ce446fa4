#include "remedy/FourceQuitBrowserView.h"
#include "remedy/RemovalFixture.h"
#include "remedy/ScanRemoval.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class ScanRemovalTest : public ::testing::Test, public RemovalFixture
{
protected:
    ScanRemovalTest()
        : scan(test.platform(), &remover)
    {
        genieo = threatAt(mac.app(QStringLiteral("/Applications/Genieo.app")), QStringLiteral("Genieo"));
        agent = threat(QStringLiteral("/Library/LaunchAgents/com.vsearch.agent.plist"), QStringLiteral("VSearch"));
        extension = threat(QStringLiteral("~/Library/Application Support/Google/Chrome/Default/Extensions/bad/1.0/m.json"),
                           QStringLiteral("Extension"));
        notes = threat(QStringLiteral("~/Documents/kept.txt"));
        const QList<AdwarePtr> all{genieo, agent, extension, notes};
        report = AdwareScanReport::ScanReportWithAdwareList(all, QDateTime::currentDateTime(), QStringLiteral("5 seconds"),
                                                            QStringLiteral("Quick Scan"));
        scan.scanEnded(all, report);
    }

    ScanRemoval scan;
    AdwarePtr genieo, agent, extension, notes;
    ReportPtr report;
};

} // namespace

TEST_F(ScanRemovalTest, RemovesTheSelectedThreatsAndListsFailedRemovedThenLeftAlone)
{
    scan.checkBoxAction(3, false);
    remover.refusedNames = {"com.vsearch.agent.plist"};
    test.alerts().answer(QStringLiteral("Yes"));
    QSignalSpy summaries(&scan, &ScanRemoval::summaryChanged);

    scan.removeAdwarePressed();

    EXPECT_EQ(paths(report->adwareList()), paths({agent, genieo, extension, notes}));
    EXPECT_TRUE(notes->isNoAction());
    EXPECT_TRUE(Adware::fileExistsAtPath(notes->path()));
    EXPECT_FALSE(Adware::fileExistsAtPath(genieo->path()));
    EXPECT_TRUE(scan.outcomeShown());
    ASSERT_EQ(summaries.count(), 1);
    EXPECT_EQ(scan.summary().resultText, QStringLiteral("  1 Failed"));
    EXPECT_EQ(scan.summary().threatInfo, QStringLiteral("One Threat Remaining"));
    EXPECT_EQ(report->adwareCount(), 4u);
}

TEST_F(ScanRemovalTest, TwoFailuresReadMultipleThreatsRemaining)
{
    remover.refusedNames = {"com.vsearch.agent.plist", "Genieo.app"};
    test.alerts().answer(QStringLiteral("Yes"));
    scan.removeAdwarePressed();
    EXPECT_EQ(scan.summary().resultText, QStringLiteral("  2 Failed"));
    EXPECT_EQ(scan.summary().threatInfo, QStringLiteral("Multiple Threats Remaining"));
    EXPECT_EQ(scan.removal().deletedCount(), 2);
}

TEST_F(ScanRemovalTest, DecliningKeepsEveryFileAndOnlyTheNoActionMarking)
{
    scan.checkBoxAction(0, false);
    scan.removeAdwarePressed();
    for (const AdwarePtr &adware : {genieo, agent, extension, notes}) {
        EXPECT_TRUE(Adware::fileExistsAtPath(adware->path()));
        EXPECT_FALSE(adware->isDeleted());
    }
    EXPECT_TRUE(genieo->isNoAction());
    EXPECT_FALSE(scan.outcomeShown());
    EXPECT_EQ(report->adwareList().size(), 4);
}

TEST_F(ScanRemovalTest, ARetryAfterChromeQuitRemovesTheEarlierSelectionIntoTheRememberedReport)
{
    scan.checkBoxAction(3, false);
    test.workspace().running = {QStringLiteral("Google Chrome"), QStringLiteral("Safari")};
    test.alerts().answer(QStringLiteral("Yes"));
    remover.refusedNames = {"Genieo.app"};

    scan.removeAdwarePressed();
    FourceQuitBrowserView &panel = scan.browserGuard().panel();
    ASSERT_TRUE(panel.sheetShown());
    EXPECT_TRUE(Adware::fileExistsAtPath(extension->path()));

    // A later scan's report does not receive this removal's outcome.
    const ReportPtr later = AdwareScanReport::ScanReportWithAdwareList({}, QDateTime::currentDateTime(),
                                                                       QStringLiteral("1 second"), QStringLiteral("Quick Scan"));
    scan.setReport(later);
    test.workspace().running = {QStringLiteral("Safari")};
    panel.retryAction();

    EXPECT_FALSE(panel.sheetShown());
    EXPECT_FALSE(Adware::fileExistsAtPath(extension->path()));
    EXPECT_EQ(paths(report->adwareList()), paths({genieo, notes, agent, extension}));
    EXPECT_TRUE(later->adwareList().isEmpty());
    EXPECT_EQ(scan.summary().resultText, QStringLiteral("  1 Failed"));
}

TEST_F(ScanRemovalTest, ARetryWhileAScanRunsRemovesNothing)
{
    test.workspace().running = {QStringLiteral("Google Chrome")};
    test.alerts().answer(QStringLiteral("Yes"));
    scan.removeAdwarePressed();
    bool scanning = true;
    scan.setIsScanning([&scanning] { return scanning; });
    test.workspace().running.clear();
    scan.browserGuard().panel().retryAction();
    EXPECT_TRUE(Adware::fileExistsAtPath(genieo->path()));
    EXPECT_FALSE(scan.outcomeShown());
}

TEST_F(ScanRemovalTest, SelectionFollowsTheCheckBoxesAndAScanStartEmptiesIt)
{
    QSignalSpy enabled(&scan, &ScanRemoval::quarantineEnabledChanged);
    for (int row = 0; row < 4; ++row)
        scan.checkBoxAction(row, false);
    EXPECT_FALSE(scan.quarantineEnabled());
    scan.checkBoxAction(2, true);
    scan.checkBoxAction(2, true);
    EXPECT_EQ(paths(scan.arrThreats()), paths({extension}));
    scan.checkBoxAction(9, true);
    EXPECT_EQ(scan.arrAdWarePath(), paths({genieo, agent, extension, notes}));
    scan.scanStarted();
    EXPECT_TRUE(scan.arrAdwareList().isEmpty());
    EXPECT_TRUE(scan.arrThreats().isEmpty());
    EXPECT_FALSE(enabled.isEmpty());
}
