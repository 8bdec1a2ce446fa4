#include "PersonClicks.h"

#include "app/NotificationNames.h"
#include "remedy/FileList.h"
#include "support/MacVolumeBuilder.h"
#include "support/RefusingItemRemover.h"
#include "tools/Tools.h"
#include "ui/FileListWindow.h"
#include "ui/LaunchedApp.h"
#include "ui/SelectionView.h"
#include "ui/SpinnerView.h"
#include "ui/ToolsCell.h"
#include "ui/ToolsSelectionCell.h"
#include "ui/ToolsView.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// The launched application over a volume with Safari data and a system
// log, its Tools page shown and its catalogue built.
class ToolsViewTest : public ::testing::Test
{
protected:
    ToolsViewTest()
    {
        MacVolumeBuilder mac(app.test.volume());
        mac.app(QStringLiteral("/Applications/Safari.app"));
        cookies = mac.file(QStringLiteral("~/Library/Cookies/Cookies.binarycookies"), QByteArray(5000, 'c'));
        history = mac.file(QStringLiteral("~/Library/Safari/History.db"), QByteArray(5000, 'h'));
        logs = mac.file(QStringLiteral("~/Library/Logs/system.log"), QByteArray(5000, 'l'));
        app.launch();
        app.window()->show();
        view = app.window()->toolsObj();
    }

    void showToolsAndWait()
    {
        QSignalSpy finished(&view->model(), &Tools::refreshFinished);
        app.window()->tabChangeType(30);
        ASSERT_TRUE(finished.wait(10000));
    }

    int row(const QString &name) const
    {
        const auto &entries = view->model().availbleApp();
        for (int i = 0; i < entries.size(); ++i) {
            if (entries.at(i).Name == name)
                return i;
        }
        return -1;
    }
    ToolsCell *cell(const QString &name) const { return view->cells().value(row(name)); }
    ToolsSelectionCell *item(const QString &name) const
    {
        for (ToolsSelectionCell *cell : view->selectionTableView()->cells()) {
            if (cell->checkBox()->toolTip() == name)
                return cell;
        }
        return nullptr;
    }
    static void click(QAbstractButton *button)
    {
        ASSERT_TRUE(PersonClicks::click(button)) << qPrintable(button->objectName());
    }

    LaunchedApp app;
    ToolsView *view = nullptr;
    QString cookies, history, logs;
};
} // namespace

TEST_F(ToolsViewTest, TheTableFillsWhileTheSpinnerTurnsAndShowsEveryEntryWithItsSizeAndTexts)
{
    QSignalSpy finished(&view->model(), &Tools::refreshFinished);
    app.window()->tabChangeType(30);
    // Built on its thread: until the main thread takes the entries the
    // spinner turns.
    EXPECT_TRUE(view->indicator()->isAnimating());
    EXPECT_TRUE(view->indicator()->isVisible());
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_FALSE(view->indicator()->isAnimating());
    EXPECT_FALSE(view->indicator()->isVisible());

    const auto &entries = view->model().availbleApp();
    ASSERT_EQ(view->cells().size(), entries.size());
    ASSERT_GE(entries.size(), 3);
    EXPECT_EQ(view->table()->height(), Tools::tableHeightFor(entries.size()));
    for (int i = 0; i < entries.size(); ++i) {
        ToolsCell *cell = view->cells().at(i);
        EXPECT_EQ(cell->height(), ToolsCell::kRowHeight);
        EXPECT_EQ(cell->nameText()->text(), entries.at(i).Name);
        EXPECT_EQ(cell->checkBox()->property("tag").toInt(), i);
        EXPECT_FALSE(cell->checkBox()->accessibleName().isEmpty());
    }
    ToolsCell *safari = cell(QStringLiteral("Safari"));
    ASSERT_NE(safari, nullptr);
    EXPECT_EQ(safari->sizeText()->text(), *entries.at(row(QStringLiteral("Safari"))).Size);
    EXPECT_TRUE(safari->sizeText()->text().endsWith(QStringLiteral("kB"))) << qPrintable(safari->sizeText()->text());
    EXPECT_TRUE(safari->detailsText()->toolTip().startsWith(QStringLiteral("Cookies, ")));
    ToolsCell *adult = cell(QStringLiteral("Adult History"));
    ASSERT_NE(adult, nullptr);
    EXPECT_EQ(adult->detailsText()->toolTip(), QStringLiteral("All Adult Browser history"));
    EXPECT_EQ(adult->toolTip(), QStringLiteral("All Adult Browser history"));
    EXPECT_TRUE(adult->sizeText()->text().isEmpty());
    EXPECT_FALSE(view->removeButton()->isEnabled());
    EXPECT_TRUE(view->accessButton()->isHidden());

    // Coming back to the tab does not rebuild a finished catalogue.
    app.window()->tabChangeType(10);
    app.window()->tabChangeType(30);
    EXPECT_FALSE(view->indicator()->isAnimating());
}

TEST_F(ToolsViewTest, EntryAndItemCheckBoxesPropagateBothWaysWithTheMixedState)
{
    showToolsAndWait();
    ToolsCell *safari = cell(QStringLiteral("Safari"));
    ASSERT_NE(safari, nullptr);
    click(safari->checkBox());
    EXPECT_EQ(safari->checkBox()->checkState(), Qt::Checked);
    EXPECT_TRUE(view->removeButton()->isEnabled());

    click(safari->detailsButton());
    SelectionView *overlay = view->selectionTableView();
    ASSERT_TRUE(overlay->isVisible());
    // The overlay lies over the whole page: a click aimed at a row behind it
    // lands on the overlay.
    const QPoint behind = safari->checkBox()->mapTo(view, safari->checkBox()->rect().center());
    QWidget *hit = view->childAt(behind);
    ASSERT_NE(hit, nullptr);
    EXPECT_TRUE(hit == overlay || overlay->isAncestorOf(hit));
    QTest::mouseClick(overlay, Qt::LeftButton, {}, overlay->mapFrom(view, behind));
    EXPECT_EQ(safari->checkBox()->checkState(), Qt::Checked);

    const CleaningEntry &entry = view->model().availbleApp().at(row(QStringLiteral("Safari")));
    ASSERT_EQ(overlay->cells().size(), entry.List.size());
    for (ToolsSelectionCell *itemCell : overlay->cells()) {
        EXPECT_EQ(itemCell->checkBox()->checkState(), Qt::Checked) << qPrintable(itemCell->checkBox()->toolTip());
        const auto &itemEntry = entry.List.at(entry.indexOfItem(itemCell->checkBox()->toolTip()));
        EXPECT_EQ(itemCell->checkBox()->isEnabled(), itemEntry.isEnabled);
        EXPECT_EQ(itemCell->height(), view->model().detailListLayout().rowHeight);
    }
    // Empty items cannot be ticked by hand.
    ToolsSelectionCell *empty = item(QStringLiteral("Downloads"));
    ASSERT_NE(empty, nullptr);
    EXPECT_FALSE(empty->checkBox()->isEnabled());
    EXPECT_EQ(empty->sizeText()->text(), QStringLiteral("0 byte"));

    ToolsSelectionCell *historyItem = item(QStringLiteral("History"));
    ASSERT_NE(historyItem, nullptr);
    click(historyItem->checkBox());
    EXPECT_EQ(historyItem->checkBox()->checkState(), Qt::Unchecked);
    click(overlay->doneButton());
    EXPECT_FALSE(overlay->isVisible());
    EXPECT_EQ(safari->checkBox()->checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(view->removeButton()->isEnabled());

    // A click on the mixed box checks the whole entry; another clears it.
    click(safari->checkBox());
    EXPECT_EQ(safari->checkBox()->checkState(), Qt::Checked);
    click(safari->checkBox());
    EXPECT_EQ(safari->checkBox()->checkState(), Qt::Unchecked);
    EXPECT_FALSE(view->removeButton()->isEnabled());
}

TEST_F(ToolsViewTest, CleanRemovesExactlyTheTickedFilesAndListsWhatFailed)
{
    showToolsAndWait();
    view->model().setRemover(
        std::make_unique<RefusingItemRemover>(app.test.volume().root(), QSet<QByteArray>{"History.db"}));
    click(cell(QStringLiteral("Safari"))->checkBox());

    // "No" keeps everything.
    app.test.alerts().answer(QStringLiteral("No"));
    click(view->removeButton());
    EXPECT_TRUE(QFileInfo::exists(cookies));
    EXPECT_EQ(cell(QStringLiteral("Safari"))->checkBox()->checkState(), Qt::Checked);

    app.test.alerts().answer(QStringLiteral("Yes"));
    QSignalSpy finished(&view->model(), &Tools::refreshFinished);
    click(view->removeButton());
    EXPECT_FALSE(QFileInfo::exists(cookies));
    EXPECT_TRUE(QFileInfo::exists(history));
    EXPECT_TRUE(QFileInfo::exists(logs));

    FileListWindow *sheet = view->fileListWindow();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->objectName(), QStringLiteral("FileList"));
    const auto shows = sheet->findChildren<QPushButton *>(QStringLiteral("showInFinder"));
    ASSERT_EQ(shows.size(), 1);
    EXPECT_EQ(shows.first()->toolTip(), history);
    click(shows.first());
    EXPECT_EQ(app.test.workspace().revealed, QStringList{history});

    // The table is rebuilt with fresh sizes and nothing ticked.
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_FALSE(view->removeButton()->isEnabled());
    EXPECT_EQ(cell(QStringLiteral("Safari"))->checkBox()->checkState(), Qt::Unchecked);

    const int before = app.postedCount(NotificationNames::listChange);
    click(sheet->closeButton());
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(app.postedCount(NotificationNames::listChange), before + 1);
    EXPECT_EQ(view->fileList().urls(), QList<QUrl>{QUrl::fromLocalFile(history)});
}

TEST(ToolsViewAccess, TheAccessButtonShowsWhileTheHomeFolderCannotBeRead)
{
    LaunchedApp app(false);
    app.launch();
    ToolsView *view = app.window()->toolsObj();
    app.window()->tabChangeType(30);
    EXPECT_FALSE(view->accessButton()->isHidden());
    EXPECT_FALSE(view->accessButton()->accessibleName().isEmpty());
    EXPECT_FALSE(view->model().isScanRunningForDetails());
    EXPECT_TRUE(view->cells().isEmpty());
}

TEST(ToolsViewLifetime, ClosingTheApplicationWhileTheCatalogueIsBuiltEndsCleanly)
{
    LaunchedApp app;
    MacVolumeBuilder mac(app.test.volume());
    mac.file(QStringLiteral("~/Library/Caches/com.apple.Safari/Cache.db"), QByteArray(5000, 'c'));
    app.launch();
    app.window()->show();
    app.window()->tabChangeType(30);
    ASSERT_TRUE(app.window()->toolsObj()->model().isScanRunningForDetails());
    // The window goes while the build thread still hands entries over.
    app.delegate.reset();
    SUCCEED();
}
