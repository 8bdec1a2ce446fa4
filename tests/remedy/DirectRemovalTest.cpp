#include "app/NotificationNames.h"
#include "remedy/DirectRemoval.h"
#include "remedy/FileList.h"
#include "remedy/RemovalFixture.h"

#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class DirectRemovalTest : public ::testing::Test, public RemovalFixture
{
protected:
    DirectRemovalTest()
        : direct(test.platform(), &remover)
    {
    }

    QStringList informs()
    {
        QStringList texts;
        for (const auto &request : test.alerts().requests()) {
            if (request.kind == QLatin1String("inform"))
                texts << request.informativeText;
        }
        return texts;
    }

    DirectRemoval direct;
};

} // namespace

TEST_F(DirectRemovalTest, CheckedThreatsAreRemovedAndSuccessIsConfirmed)
{
    const AdwarePtr agent = threat(QStringLiteral("/Library/LaunchAgents/a.plist"));
    const AdwarePtr unchecked = threat(QStringLiteral("/Library/LaunchAgents/b.plist"));
    unchecked->setIsChecked(false);
    QSignalSpy changed(&direct, &DirectRemoval::changeInListRequested);

    direct.removeAdwarepressed({agent, unchecked});

    EXPECT_FALSE(Adware::fileExistsAtPath(agent->path()));
    EXPECT_TRUE(Adware::fileExistsAtPath(unchecked->path()));
    EXPECT_EQ(informs(), QStringList{QStringLiteral("Selected adware successfully removed.")});
    EXPECT_EQ(test.alerts().requests().first().messageText, QStringLiteral("Alert"));
    EXPECT_FALSE(direct.fileList().sheetShown());
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(DirectRemovalTest, WhatCannotBeRemovedIsListedInTheSheetWithoutTheSuccessAlert)
{
    const AdwarePtr agent = threat(QStringLiteral("/Library/LaunchAgents/a.plist"));
    const AdwarePtr locked = threat(QStringLiteral("/Library/LaunchAgents/locked.plist"));
    remover.refusedNames = {"locked.plist"};

    direct.removeAdwarepressed({agent, locked});

    EXPECT_TRUE(informs().isEmpty());
    EXPECT_TRUE(direct.fileList().sheetShown());
    EXPECT_FALSE(direct.fileList().isReport());
    EXPECT_EQ(direct.fileList().urls(), QList<QUrl>{locked->url()});

    // Nothing removed at all: no alert either.
    direct.removeAdwarepressed({});
    EXPECT_TRUE(informs().isEmpty());
    EXPECT_TRUE(direct.fileList().urls().isEmpty());
}

TEST_F(DirectRemovalTest, ANotificationCardsThreatThatCannotBeDeletedStaysListed)
{
    const AdwarePtr locked = threatAt(mac.app(QStringLiteral("/Applications/Locked.app")));
    remover.refusedNames = {"Locked.app"};
    QSignalSpy changed(&direct, &DirectRemoval::changeInListRequested);

    direct.removeThisAndReloadData(locked);

    EXPECT_TRUE(Adware::fileExistsAtPath(locked->path()));
    EXPECT_EQ(direct.fileList().urls(), QList<QUrl>{locked->url()});
    EXPECT_TRUE(informs().isEmpty());
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(DirectRemovalTest, ClosingTheListDropsWhatIsGoneAndPostsListChange)
{
    const QString kept = mac.file(QStringLiteral("/Library/LaunchAgents/kept.plist"));
    const QString gone = mac.file(QStringLiteral("/Library/LaunchAgents/gone.plist"));
    FileList &list = direct.fileList();
    int posted = 0;
    test.platform().notifications().addObserver(NotificationNames::listChange, &list,
                                                [&posted](const Notification &) { ++posted; });
    list.beginSheet();
    list.addObjects({QUrl::fromLocalFile(kept), QUrl::fromLocalFile(gone)});
    QFile::remove(gone);

    list.closeSelfAndReload();

    EXPECT_FALSE(list.sheetShown());
    EXPECT_EQ(list.urls(), QList<QUrl>{QUrl::fromLocalFile(kept)});
    EXPECT_EQ(posted, 1);
}
