#include "remedy/OutcomeDisplay.h"
#include "remedy/RemovalFixture.h"
#include "remedy/ThreatRemoval.h"

#include <gtest/gtest.h>

namespace {

class ThreatRemovalTest : public ::testing::Test, public RemovalFixture
{
protected:
    ThreatRemovalTest()
        : removal(test.volume().root())
    {
        removal.setRemover(&remover);
    }

    ThreatRemoval removal;
};

} // namespace

TEST_F(ThreatRemovalTest, SortsEachThreatIntoRemovedOrFailedAndSetsItsFlags)
{
    const AdwarePtr agent = threat(QStringLiteral("/Library/LaunchAgents/com.genieo.plist"));
    const AdwarePtr locked = threat(QStringLiteral("/Library/LaunchAgents/locked.plist"));
    const AdwarePtr gone = threatAt(mac.host(QStringLiteral("/Applications/AlreadyGone.app")));
    locked->setIsNoAction(true);
    remover.refusedNames = {"locked.plist"};

    removal.removeThisAdware({agent, locked, gone});

    EXPECT_EQ(paths(removal.deletedAdware()), paths({agent, gone}));
    EXPECT_EQ(paths(removal.unDeletedAdware()), paths({locked}));
    EXPECT_EQ(removal.deletedCount(), 2);
    EXPECT_TRUE(agent->isDeleted());
    EXPECT_TRUE(gone->isDeleted());
    EXPECT_FALSE(locked->isDeleted());
    EXPECT_FALSE(locked->isNoAction());
    EXPECT_FALSE(Adware::fileExistsAtPath(agent->path()));
    EXPECT_TRUE(Adware::fileExistsAtPath(locked->path()));
}

TEST_F(ThreatRemovalTest, AThreatListedTwiceIsCountedOnceAndTheCountRestartsEachTime)
{
    const AdwarePtr agent = threat(QStringLiteral("/Library/LaunchAgents/a.plist"));
    const AdwarePtr locked = threat(QStringLiteral("/Library/LaunchAgents/locked.plist"));
    remover.refusedNames = {"locked.plist"};

    removal.removeThisAdware({agent, agent, locked, locked});
    EXPECT_EQ(removal.deletedAdware().size(), 1);
    EXPECT_EQ(removal.unDeletedAdware().size(), 1);
    EXPECT_EQ(removal.deletedCount(), 1);

    removal.emptyLists();
    removal.removeThisAdware({locked});
    EXPECT_EQ(removal.deletedCount(), 0);
    EXPECT_EQ(removal.unDeletedAdware().size(), 1);
}

TEST_F(ThreatRemovalTest, OutcomeListsAreJoinedInTheRequestedOrder)
{
    const AdwarePtr removed = threat(QStringLiteral("/Library/LaunchAgents/r.plist"));
    const AdwarePtr failed = threat(QStringLiteral("/Library/LaunchAgents/f.plist"));
    const AdwarePtr alone = threat(QStringLiteral("/Library/LaunchAgents/n.plist"));
    remover.refusedNames = {"f.plist"};
    removal.markNoAction(alone);
    removal.removeThisAdware({removed, failed});

    using Order = ThreatRemoval::Order;
    EXPECT_EQ(paths(removal.outcomeList(Order::FailedRemovedLeftAlone)), paths({failed, removed, alone}));
    EXPECT_EQ(paths(removal.outcomeList(Order::FailedLeftAloneRemoved)), paths({failed, alone, removed}));
    EXPECT_EQ(paths(removal.outcomeList(Order::RemovedFailedLeftAlone)), paths({removed, failed, alone}));
    EXPECT_TRUE(alone->isNoAction());
    EXPECT_TRUE(Adware::fileExistsAtPath(alone->path()));

    removal.emptyRemovedAndFailed();
    EXPECT_EQ(paths(removal.outcomeList(Order::RemovedFailedLeftAlone)), paths({alone}));
}

TEST(OutcomeDisplay, SummaryFollowsTheNumberOfFailures)
{
    const auto none = OutcomeDisplay::summary(0, OutcomeDisplay::failedFormat(), OutcomeDisplay::successText());
    EXPECT_EQ(none.resultText, QStringLiteral("Successful"));
    EXPECT_EQ(none.threatInfo, QStringLiteral("All threats are Removed"));
    EXPECT_EQ(none.backgroundImage, QStringLiteral("no_threats_bg"));
    EXPECT_EQ(none.statusImage, QStringLiteral("icn_white_check"));
    EXPECT_EQ(none.baselineOffset, 0);
    EXPECT_EQ(OutcomeDisplay::summary(0, OutcomeDisplay::spacedFailedFormat()).resultText, QString());

    const auto one = OutcomeDisplay::summary(1, OutcomeDisplay::spacedFailedFormat());
    EXPECT_EQ(one.resultText, QStringLiteral("  1 Failed"));
    EXPECT_EQ(one.threatInfo, QStringLiteral("One Threat Remaining"));
    EXPECT_EQ(one.backgroundImage, QStringLiteral("report_bg"));
    EXPECT_EQ(one.statusImage, QStringLiteral("icn_white"));
    EXPECT_EQ(one.baselineOffset, 2);

    const auto two = OutcomeDisplay::summary(2, OutcomeDisplay::failedFormat());
    EXPECT_EQ(two.resultText, QStringLiteral("2 Failed"));
    EXPECT_EQ(two.threatInfo, QStringLiteral("Multiple Threats Remaining"));
}

TEST(OutcomeDisplay, RowStatusWithNoActionOverridingTheDeletionFlag)
{
    Adware adware;
    adware.setIsDeleted(true);
    auto row = OutcomeDisplay::row(adware);
    EXPECT_EQ(row.status, QStringLiteral("Removed"));
    EXPECT_EQ(row.colour, OutcomeDisplay::removedGreen());
    EXPECT_EQ(row.indicatorImage, QStringLiteral("icn_gray"));
    EXPECT_FALSE(row.showButtonVisible);

    adware.setIsDeleted(false);
    row = OutcomeDisplay::row(adware);
    EXPECT_EQ(row.status, QStringLiteral("Failed"));
    EXPECT_EQ(row.indicatorImage, QStringLiteral("icn_light_red"));
    EXPECT_TRUE(row.showButtonVisible);

    adware.setIsDeleted(true);
    adware.setIsNoAction(true);
    row = OutcomeDisplay::row(adware);
    EXPECT_EQ(row.status, QStringLiteral("No Action"));
    EXPECT_EQ(row.colour, OutcomeDisplay::failedRed());
    EXPECT_FALSE(row.showButtonVisible);
}
