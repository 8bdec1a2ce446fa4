#include "tools/ToolsSelection.h"

void ToolsSelection::checkBoxAction(CleaningEntry &entry, int state)
{
    const int value = clicked(state);
    for (CleaningItem &item : entry.List)
        item.isChecked = value;
    entry.isChecked = value;
}

bool ToolsSelection::CheckBoxAction(CleaningEntry &entry, const QString &toolTip, int state)
{
    const qsizetype row = entry.indexOfItem(toolTip);
    if (row < 0)
        return false;
    entry.List[row].isChecked = clicked(state);
    if (entry.isFromAdware && row != entry.List.size() - 1)
        propagateInGroup(entry.List, row);
    return true;
}

// Title rows carry isHeader false; members belong to the nearest title above.
void ToolsSelection::propagateInGroup(QList<CleaningItem> &list, qsizetype row)
{
    const qsizetype count = list.size();
    if (!list.at(row).isHeader) {
        for (qsizetype i = row + 1; i < count && list.at(i).isHeader; ++i)
            list[i].isChecked = list.at(row).isChecked;
        return;
    }
    qsizetype title = row - 1;
    while (title > 0 && list.at(title).isHeader)
        --title;
    title = qMax<qsizetype>(title, 0);
    int total = 0;
    int checked = 0;
    for (qsizetype i = title + 1; i < count && list.at(i).isHeader; ++i) {
        ++total;
        if (list.at(i).isChecked == 1)
            ++checked;
    }
    list[title].isChecked = checked == 0 ? 0 : checked == total ? 1 : -1;
}

void ToolsSelection::AddDetailsForRemoval(CleaningEntry &entry)
{
    qsizetype checked = 0;
    for (const CleaningItem &item : std::as_const(entry.List)) {
        if (item.isChecked == 1)
            ++checked;
    }
    entry.isChecked = checked == entry.List.size() ? 1 : checked > 0 ? -1 : 0;
}

bool ToolsSelection::removeButtonOn(const QList<CleaningEntry> &entries)
{
    for (const CleaningEntry &entry : entries) {
        if (entry.isChecked != 0)
            return true;
    }
    return false;
}
