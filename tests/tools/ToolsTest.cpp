#include "CleaningFixture.h"

#include "support/RefusingItemRemover.h"
#include "tools/Tools.h"
#include "tools/customCell.h"

#include <QFileInfo>
#include <QSignalSpy>

class ToolsTest : public CleaningFixture
{
protected:
    ToolsTest()
        : tools(test.platform())
    {
        mac.app(QStringLiteral("/Applications/Safari.app"));
        cookies = mac.file(QStringLiteral("~/Library/Cookies/Cookies.binarycookies"), QByteArray(5000, 'c'));
        history = mac.file(QStringLiteral("~/Library/Safari/History.db"), QByteArray(5000, 'h'));
        logs = mac.file(QStringLiteral("~/Library/Logs/system.log"), QByteArray(5000, 'l'));
    }

    // Runs one refresh to its end.
    void refresh()
    {
        QSignalSpy finished(&tools, &Tools::refreshFinished);
        ASSERT_TRUE(tools.resetAndAddavailbleApplications());
        ASSERT_TRUE(finished.wait(10000));
    }

    int row(const QString &name) const { return int(names(tools.availbleApp()).indexOf(name)); }
    void check(const QString &entry, const QString &item)
    {
        tools.ShowDetailsFor(row(entry));
        ASSERT_TRUE(tools.CheckBoxAction(item, 1));
        tools.AddDetailsForRemoval();
    }
    QString lastInform()
    {
        const auto requests = test.alerts().requests();
        return requests.isEmpty() ? QString() : requests.last().informativeText;
    }
    static bool present(const QString &path) { return QFileInfo::exists(path); }

    Tools tools;
    QString cookies, history, logs;
};

TEST_F(ToolsTest, ARefreshDeliversEntriesOneByOneInOrderAndRunsOnce)
{
    QSignalSpy appended(&tools, &Tools::entryAppended);
    QSignalSpy finished(&tools, &Tools::refreshFinished);
    ASSERT_TRUE(tools.resetAndAddavailbleApplications());
    EXPECT_TRUE(tools.isScanRunningForDetails());
    EXPECT_FALSE(tools.resetAndAddavailbleApplications());
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_FALSE(tools.isScanRunningForDetails());
    EXPECT_TRUE(tools.scanningDone());
    ASSERT_EQ(appended.count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(appended.at(i).at(0).toInt(), i);
    EXPECT_EQ(names(tools.availbleApp()), (QStringList{"Safari", "Adult History", "Browser Extensions", "System"}));
    // A built catalogue is not rebuilt by coming back to the page.
    EXPECT_FALSE(tools.resetAndAddavailbleApplications());
}

TEST_F(ToolsTest, NoRefreshWithoutAccessOrAwayFromTheToolsPage)
{
    bool allowed = false;
    tools.setRefreshCondition([&allowed] { return allowed; });
    EXPECT_FALSE(tools.resetAndAddavailbleApplications());
    EXPECT_FALSE(tools.isScanRunningForDetails());
    allowed = true;
    refresh();
}

TEST_F(ToolsTest, TableAndDetailListSizes)
{
    EXPECT_EQ(Tools::tableHeightFor(0), 91);
    EXPECT_EQ(Tools::tableHeightFor(1), 90);
    EXPECT_EQ(Tools::tableHeightFor(5), 390);
    EXPECT_EQ(Tools::tableHeightFor(6), 389);
    refresh();
    tools.ShowDetailsFor(row("Safari"));
    Tools::DetailListLayout layout = tools.detailListLayout();
    EXPECT_EQ(layout.rowHeight, 50);
    EXPECT_TRUE(layout.alternatingRows);
    EXPECT_EQ(layout.rows, 4);
    EXPECT_EQ(layout.height, 202);
    tools.ShowDetailsFor(row("Browser Extensions"));
    layout = tools.detailListLayout();
    EXPECT_EQ(layout.rowHeight, 36);
    EXPECT_FALSE(layout.alternatingRows);
    EXPECT_EQ(layout.rows, 1);
    EXPECT_EQ(layout.height, 38);
}

TEST_F(ToolsTest, TheRemoveButtonFollowsTheEntries)
{
    refresh();
    QSignalSpy reloaded(&tools, &Tools::tableReloaded);
    EXPECT_FALSE(tools.removeButtonOn());
    check("Safari", "History");
    EXPECT_EQ(tools.availbleApp().at(row("Safari")).isChecked, -1);
    EXPECT_TRUE(tools.removeButtonOn());
    tools.checkBoxAction(row("Safari"), 0);
    EXPECT_FALSE(tools.removeButtonOn());
    EXPECT_GE(reloaded.count(), 2);
}

TEST_F(ToolsTest, ACleanRemovesWhatIsCheckedAndNothingElseThenRebuilds)
{
    refresh();
    check("Safari", "History");
    check("System", "System Log Files");
    test.alerts().answer(QStringLiteral("Yes"));
    QSignalSpy finished(&tools, &Tools::refreshFinished);
    ASSERT_TRUE(tools.cleanAndReloadData());
    EXPECT_FALSE(present(history));
    EXPECT_FALSE(present(logs));
    EXPECT_TRUE(present(cookies));
    EXPECT_TRUE(present(home("/Library/Safari")));
    EXPECT_EQ(lastInform(), QStringLiteral("You have successfully cleared selected data."));
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_FALSE(tools.removeButtonOn());
    const CleaningEntry &safari = tools.availbleApp().at(row("Safari"));
    EXPECT_EQ(itemNamed(safari, "History").sizeText, QStringLiteral("0 byte"));
    EXPECT_EQ(itemNamed(safari, "History").isChecked, 0);
}

TEST_F(ToolsTest, AnsweringNoRemovesNothingAndKeepsTheSelection)
{
    refresh();
    tools.checkBoxAction(row("Safari"), 1);
    test.alerts().answer(QStringLiteral("No"));
    EXPECT_FALSE(tools.cleanAndReloadData());
    EXPECT_TRUE(present(history));
    EXPECT_TRUE(present(cookies));
    EXPECT_EQ(tools.availbleApp().at(row("Safari")).isChecked, 1);
    EXPECT_TRUE(tools.scanningDone());
}

TEST_F(ToolsTest, ACheckedHistoryRowRemovesNothing)
{
    refresh();
    check("Adult History", "Safari Adult History");
    test.alerts().answer(QStringLiteral("Yes"));
    QSignalSpy finished(&tools, &Tools::refreshFinished);
    ASSERT_TRUE(tools.cleanAndReloadData());
    EXPECT_TRUE(present(history));
    EXPECT_EQ(lastInform(), QStringLiteral("You have successfully cleared selected data."));
    ASSERT_TRUE(finished.wait(10000));
}

TEST_F(ToolsTest, WhatCouldNotBeRemovedIsCountedAndListedInsteadOfReportedAsSuccess)
{
    refresh();
    tools.setRemover(std::make_unique<RefusingItemRemover>(test.volume().root(), QSet<QByteArray>{"History.db"}));
    tools.checkBoxAction(row("Safari"), 1);
    test.alerts().answer(QStringLiteral("Yes"));
    QSignalSpy shown(&tools, &Tools::notRemovedListReady);
    QSignalSpy finished(&tools, &Tools::refreshFinished);
    ASSERT_TRUE(tools.cleanAndReloadData());
    EXPECT_FALSE(present(cookies));
    EXPECT_TRUE(present(history));
    EXPECT_TRUE(lastInform().startsWith(QStringLiteral("1 of the selected files and folders could not be removed")));
    ASSERT_EQ(shown.count(), 1);
    EXPECT_EQ(shown.at(0).at(0).value<QList<QUrl>>(), QList<QUrl>{QUrl::fromLocalFile(history)});
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_NE(itemNamed(tools.availbleApp().at(row("Safari")), "History").sizeText, QStringLiteral("0 byte"));
}

TEST_F(ToolsTest, APathCellRevealsItsTooltipPath)
{
    customCell cell(test.workspace(), history);
    EXPECT_EQ(cell.toolTip(), history);
    EXPECT_FALSE(cell.isShowInFinderHighlighted());
    EXPECT_TRUE(cell.showInFinderAction());
    EXPECT_EQ(test.workspace().revealed, QStringList{history});
}
