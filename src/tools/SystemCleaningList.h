#pragma once

#include "platform/Volume.h"
#include "tools/CleaningItem.h"

// The items of the "System" entry of the cleaning catalogue: the user's
// caches and logs, those of the sandboxed applications' containers, the
// download quarantine log and the Trash. Folders are listed without
// following links; an unreadable folder contributes nothing.
class SystemCleaningList
{
public:
    explicit SystemCleaningList(Volume volume);

    QList<CleaningItem> items() const;

    // The user's Trash folder: the home folder's ".Trash".
    QString trashFolder() const;

private:
    // Every entry of <container>/<subfolder> over all containers, in order.
    QStringList containerContents(const QString &subfolder) const;
    QStringList quarantineLogs() const;
    QStringList entriesOf(const QString &folder) const;

    Volume m_volume;
};
