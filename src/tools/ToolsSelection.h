#pragma once

#include "tools/CleaningEntry.h"

// The selection rules of the Tools page as plain operations on the
// catalogue: the entry check box, an item check box in the detail list (with
// the grouped list's title/member propagation), closing the detail list and
// the Remove button's state. A state argument is the check box's state after
// the click: 1 checked, 0 unchecked, -1 mixed (taken as checked).
class ToolsSelection
{
public:
    // The entry check box: the entry and every item take the new state.
    static void checkBoxAction(CleaningEntry &entry, int state);
    // An item check box, the item found by its "NameText" (the check box's
    // tooltip). Answers false when the entry has no such item.
    static bool CheckBoxAction(CleaningEntry &entry, const QString &toolTip, int state);
    // Closing the detail list: the entry becomes checked when all its items
    // are (or it has none), partly checked when some are, else unchecked.
    static void AddDetailsForRemoval(CleaningEntry &entry);
    // Whether any entry is checked or partly checked.
    static bool removeButtonOn(const QList<CleaningEntry> &entries);

private:
    static int clicked(int state) { return state == 0 ? 0 : 1; }
    static void propagateInGroup(QList<CleaningItem> &list, qsizetype row);
};
