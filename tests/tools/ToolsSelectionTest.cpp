#include "tools/ToolsSelection.h"

#include <gtest/gtest.h>

namespace {

CleaningItem member(const QString &name)
{
    return CleaningItem::getDicForList({QStringLiteral("/x/") + name}, name, true);
}

CleaningItem title(const QString &name)
{
    return CleaningItem::getDicForList({}, name, true);
}

// Safari title and three members, Chrome title and one member, the reset row.
CleaningEntry grouped()
{
    CleaningEntry entry;
    entry.Name = QStringLiteral("Browser Extensions");
    entry.isFromAdware = true;
    entry.List = {title("Safari Extensions"), member("A"), member("B"), member("C"),
                  title("Google Chrome Extensions"), member("D"),
                  CleaningItem::getDicForList({QStringLiteral("/x/prefs")},
                                              QStringLiteral("Reset Browsers Preferences to Defaults"), true)};
    entry.List.last().isHeader = false;
    return entry;
}

CleaningEntry plain(int items)
{
    CleaningEntry entry;
    entry.Name = QStringLiteral("Safari");
    for (int i = 0; i < items; ++i)
        entry.List.append(CleaningItem::getDicForList({QStringLiteral("/x")}, QString::number(i), false));
    return entry;
}

QList<int> states(const CleaningEntry &entry)
{
    QList<int> list;
    for (const CleaningItem &item : entry.List)
        list << item.isChecked;
    return list;
}

} // namespace

TEST(ToolsSelection, TheEntryCheckBoxSetsEveryItemDisabledOnesAndTitlesIncluded)
{
    CleaningEntry entry = grouped();
    entry.List[1].isEnabled = false;
    ToolsSelection::checkBoxAction(entry, 1);
    EXPECT_EQ(entry.isChecked, 1);
    EXPECT_EQ(states(entry), QList<int>(7, 1));
    ToolsSelection::checkBoxAction(entry, 0);
    EXPECT_EQ(entry.isChecked, 0);
    EXPECT_EQ(states(entry), QList<int>(7, 0));
    // A click leaving the box mixed checks it.
    ToolsSelection::checkBoxAction(entry, -1);
    EXPECT_EQ(entry.isChecked, 1);
    EXPECT_EQ(states(entry), QList<int>(7, 1));
}

TEST(ToolsSelection, MembersDecideTheirTitleUncheckedMixedOrChecked)
{
    CleaningEntry entry = grouped();
    ToolsSelection::checkBoxAction(entry, 1);
    ASSERT_TRUE(ToolsSelection::CheckBoxAction(entry, QStringLiteral("B"), 0));
    EXPECT_EQ(states(entry), (QList<int>{-1, 1, 0, 1, 1, 1, 1}));
    ToolsSelection::CheckBoxAction(entry, QStringLiteral("B"), 1);
    EXPECT_EQ(states(entry), (QList<int>{1, 1, 1, 1, 1, 1, 1}));
    for (const char *name : {"A", "B", "C"})
        ToolsSelection::CheckBoxAction(entry, QString::fromLatin1(name), 0);
    EXPECT_EQ(states(entry), (QList<int>{0, 0, 0, 0, 1, 1, 1}));
    // A mixed click on a member checks it.
    ToolsSelection::CheckBoxAction(entry, QStringLiteral("D"), 0);
    ToolsSelection::CheckBoxAction(entry, QStringLiteral("D"), -1);
    EXPECT_EQ(states(entry), (QList<int>{0, 0, 0, 0, 1, 1, 1}));
}

TEST(ToolsSelection, ATitleSetsItsMembersOnlyAndAMixedTitleBecomesChecked)
{
    CleaningEntry entry = grouped();
    ToolsSelection::CheckBoxAction(entry, QStringLiteral("A"), 1);
    EXPECT_EQ(entry.List.at(0).isChecked, -1);
    ToolsSelection::CheckBoxAction(entry, QStringLiteral("Safari Extensions"), -1);
    EXPECT_EQ(states(entry), (QList<int>{1, 1, 1, 1, 0, 0, 0}));
    ToolsSelection::CheckBoxAction(entry, QStringLiteral("Safari Extensions"), 0);
    EXPECT_EQ(states(entry), QList<int>(7, 0));
    ToolsSelection::CheckBoxAction(entry, QStringLiteral("Google Chrome Extensions"), 1);
    EXPECT_EQ(states(entry), (QList<int>{0, 0, 0, 0, 1, 1, 0}));
}

TEST(ToolsSelection, TheResetRowChangesOnlyItself)
{
    CleaningEntry entry = grouped();
    ToolsSelection::CheckBoxAction(entry, QStringLiteral("Reset Browsers Preferences to Defaults"), 1);
    EXPECT_EQ(states(entry), (QList<int>{0, 0, 0, 0, 0, 0, 1}));
}

TEST(ToolsSelection, PlainListsChangeOnlyTheClickedItemAndUnknownNamesNothing)
{
    CleaningEntry entry = plain(3);
    ToolsSelection::CheckBoxAction(entry, QStringLiteral("1"), 1);
    EXPECT_EQ(states(entry), (QList<int>{0, 1, 0}));
    EXPECT_EQ(entry.isChecked, 0);
    EXPECT_FALSE(ToolsSelection::CheckBoxAction(entry, QStringLiteral("nope"), 1));
    EXPECT_EQ(states(entry), (QList<int>{0, 1, 0}));
}

TEST(ToolsSelection, ClosingTheDetailListSetsTheEntryFromItsItems)
{
    QList<CleaningEntry> entries{plain(5), plain(2)};
    ToolsSelection::CheckBoxAction(entries[0], QStringLiteral("0"), 1);
    ToolsSelection::CheckBoxAction(entries[0], QStringLiteral("3"), 1);
    ToolsSelection::AddDetailsForRemoval(entries[0]);
    EXPECT_EQ(entries[0].isChecked, -1);
    EXPECT_TRUE(ToolsSelection::removeButtonOn(entries));

    ToolsSelection::CheckBoxAction(entries[0], QStringLiteral("0"), 0);
    ToolsSelection::CheckBoxAction(entries[0], QStringLiteral("3"), 0);
    ToolsSelection::AddDetailsForRemoval(entries[0]);
    EXPECT_EQ(entries[0].isChecked, 0);
    EXPECT_FALSE(ToolsSelection::removeButtonOn(entries));

    ToolsSelection::CheckBoxAction(entries[1], QStringLiteral("0"), 1);
    ToolsSelection::CheckBoxAction(entries[1], QStringLiteral("1"), 1);
    ToolsSelection::AddDetailsForRemoval(entries[1]);
    EXPECT_EQ(entries[1].isChecked, 1);

    CleaningEntry empty;
    ToolsSelection::AddDetailsForRemoval(empty);
    EXPECT_EQ(empty.isChecked, 1);
}
