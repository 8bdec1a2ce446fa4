#pragma once

#include "tools/CleaningItem.h"

#include <QList>
#include <QString>
#include <optional>

// One row of the Tools table: an application (or the system) and the ordered
// items that can be cleaned for it. Built fresh by every refresh of the
// catalogue; owned by the Tools model.
struct CleaningEntry
{
    QString Name;
    QList<CleaningItem> List;
    // Total size of the items in words; empty for "Browser Extensions",
    // absent for "Adult History".
    std::optional<QString> Size;
    // Host path of the icon, or the name of an image resource.
    QString Img;
    // 1 checked, 0 unchecked, -1 partly checked.
    int isChecked = 0;
    bool isEnabled = true;
    // The grouped list: title rows followed by their members.
    bool isFromAdware = false;

    // Index of the first item with that name, or -1.
    qsizetype indexOfItem(const QString &nameText) const;

    QJsonObject toJson() const;
};
