#include "remedy/FourceQuitBrowserView.h"
#include "reports/ReportsFixture.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class ReportsRemovalTest : public ::testing::Test, public ReportsFixture
{
protected:
    ReportsRemovalTest()
        : reports(test.platform())
    {
        reports.setRemover(&remover);
        extension = threat(QStringLiteral("~/Library/Application Support/Google/Chrome/Default/Extensions/bad/m.json"));
        agent = threat(QStringLiteral("/Library/LaunchAgents/com.vsearch.plist"));
        bundle = threatAt(mac.app(QStringLiteral("/Applications/Genieo.app")));
        kept = threat(QStringLiteral("~/Library/Application Support/Kept/kept.db"));
        reports.updateReportInDefaults(makeReport({extension, agent, bundle, kept}));
        reports.reloadReportDates();
        reports.openThisReport(0);
        reports.checkClicked(3, false);
    }

    QList<AdwarePtr> outcome() const { return reports.tempReport()->adwareList(); }
    QStringList statusOf(const QList<AdwarePtr> &list) const
    {
        QStringList words;
        for (const AdwarePtr &adware : list)
            words << OutcomeDisplay::row(*adware).status;
        return words;
    }
    QStringList storedPaths() const { return paths(stored().first()->adwareList()); }

    Reports reports;
    AdwarePtr extension, agent, bundle, kept;
};

} // namespace

TEST_F(ReportsRemovalTest, RemovingListsFailedThenRemovedThenLeftAloneWithThePlainFailureText)
{
    remover.refusedNames = {"com.vsearch.plist"};
    test.alerts().answer(QStringLiteral("Yes"));
    QSignalSpy outcomeTable(&reports, &Reports::outcomeTableChanged);

    reports.removeSelected();

    EXPECT_EQ(paths(outcome()), paths({agent, extension, bundle, kept}));
    EXPECT_EQ(statusOf(outcome()), (QStringList{"Failed", "Removed", "Removed", "No Action"}));
    EXPECT_EQ(reports.summary().resultText, QStringLiteral("1 Failed"));
    EXPECT_EQ(reports.summary().threatInfo, QStringLiteral("One Threat Remaining"));
    EXPECT_EQ(reports.box(), Reports::Box::Outcome);
    EXPECT_EQ(outcomeTable.count(), 1);
    EXPECT_TRUE(Adware::fileExistsAtPath(kept->path()));
    EXPECT_FALSE(Adware::fileExistsAtPath(bundle->path()));
    // The outcome lives in memory only.
    EXPECT_EQ(storedPaths(), paths({extension, agent, bundle, kept}));
    reports.backtoReportList();
    EXPECT_EQ(paths(reports.reportList().first()->adwareList()), paths({extension, agent, bundle, kept}));
}

TEST_F(ReportsRemovalTest, TwoFailuresAndNoFailuresReadAsTheirSummaries)
{
    remover.refusedNames = {"com.vsearch.plist", "Genieo.app"};
    test.alerts().answer(QStringList{QStringLiteral("Yes"), QStringLiteral("Yes")});
    reports.removeSelected();
    EXPECT_EQ(reports.summary().resultText, QStringLiteral("2 Failed"));
    EXPECT_EQ(reports.summary().threatInfo, QStringLiteral("Multiple Threats Remaining"));

    reports.viewReport();
    EXPECT_EQ(reports.box(), Reports::Box::Detail);
    remover.refusedNames.clear();
    reports.checkAllAction(Qt::Checked);
    reports.removeSelected();
    EXPECT_EQ(reports.summary().resultText, QStringLiteral("Successful"));
    EXPECT_EQ(reports.summary().threatInfo, QStringLiteral("All threats are Removed"));
    EXPECT_EQ(reports.summary().statusImage, QStringLiteral("icn_white_check"));
}

TEST_F(ReportsRemovalTest, DecliningRemovesNothing)
{
    reports.removeSelected();
    for (const AdwarePtr &adware : {extension, agent, bundle, kept})
        EXPECT_TRUE(Adware::fileExistsAtPath(adware->path()));
    EXPECT_EQ(reports.box(), Reports::Box::Detail);
    EXPECT_TRUE(reports.removal().notActionAdware().isEmpty());
}

TEST_F(ReportsRemovalTest, ChromeRunningHoldsRemovalUntilARetryThenListsRemovedFirst)
{
    test.workspace().running = {QStringLiteral("Google Chrome")};
    remover.refusedNames = {"Genieo.app"};
    test.alerts().answer(QStringLiteral("Yes"));

    reports.removeSelected();
    FourceQuitBrowserView &panel = reports.browserGuard().panel();
    ASSERT_TRUE(panel.sheetShown());
    EXPECT_EQ(panel.browserList().first().NameBrowser, QStringLiteral("Chrome"));
    EXPECT_TRUE(Adware::fileExistsAtPath(extension->path()));
    EXPECT_EQ(reports.box(), Reports::Box::Detail);

    test.workspace().running.clear();
    panel.retryAction();

    EXPECT_FALSE(panel.sheetShown());
    EXPECT_FALSE(Adware::fileExistsAtPath(extension->path()));
    EXPECT_EQ(statusOf(outcome()), (QStringList{"Removed", "Removed", "Failed", "No Action"}));
    EXPECT_EQ(reports.summary().resultText, QStringLiteral("  1 Failed"));
    EXPECT_EQ(reports.box(), Reports::Box::Outcome);
}

TEST_F(ReportsRemovalTest, RemovalFromTheReportAsksNothingAndRechecksPresence)
{
    reports.removeAdwareFromReport();
    EXPECT_TRUE(test.alerts().requests().isEmpty());
    EXPECT_FALSE(Adware::fileExistsAtPath(agent->path()));
    EXPECT_TRUE(Adware::fileExistsAtPath(kept->path()));
    const auto threats = reports.selectedReport()->adwareList();
    EXPECT_FALSE(threats.at(0)->isAvail());
    EXPECT_TRUE(threats.at(3)->isAvail());
    EXPECT_TRUE(threats.at(3)->isChecked());
    EXPECT_FALSE(threats.at(3)->isNoAction());
    EXPECT_EQ(reports.checkAllState(), Qt::Checked);
}

TEST_F(ReportsRemovalTest, TheShowButtonRevealsTheThreatOfItsOutcomeRow)
{
    remover.refusedNames = {"com.vsearch.plist"};
    test.alerts().answer(QStringLiteral("Yes"));
    reports.removeSelected();
    reports.showAdwareInFileDelegate(0);
    reports.showAdwareInFileDelegate(99);
    EXPECT_EQ(test.workspace().revealed, QStringList{agent->path()});
}

// Whatever a stored report says, a home folder, "/Users" written another
// way or a home folder's Library is never removed: each is a failure with
// its reason logged, and everything in them stays.
TEST_F(ReportsRemovalTest, AStoredReportNamingProtectedFoldersRemovesNoneOfThem)
{
    const QString thesis = mac.file(QStringLiteral("~/Documents/thesis.txt"));
    const AdwarePtr home = threatAt(test.volume().homeFolder());
    const AdwarePtr users = threatAt(test.volume().host(QStringLiteral("/Applications/../Users")));
    const AdwarePtr library = threatAt(test.volume().home(QStringLiteral("/Library")));
    reports.updateReportInDefaults(makeReport({home, users, library, agent}));
    reports.reloadReportDates();
    reports.openThisReport(0);
    test.alerts().answer(QStringLiteral("Yes"));

    reports.removeSelected();

    EXPECT_EQ(paths(reports.removal().unDeletedAdware()), paths({home, users, library}));
    EXPECT_EQ(paths(reports.removal().deletedAdware()), paths({agent}));
    EXPECT_EQ(reports.summary().threatInfo, QStringLiteral("Multiple Threats Remaining"));
    for (const AdwarePtr &adware : {home, users, library})
        EXPECT_FALSE(adware->isDeleted()) << adware->path().toStdString();
    EXPECT_TRUE(QFileInfo::exists(thesis));
    EXPECT_TRUE(QFileInfo::exists(kept->path()));
}
