#pragma once

#include "platform/Volume.h"
#include "tools/CleaningEntry.h"

// The "Browser Extensions" entry of the cleaning catalogue: the installed
// Safari, Chrome and Firefox extensions (from the scan inventory) grouped
// under one title row per browser, and a closing row that resets the
// browsers' preference files. Never sized; every row can be selected.
class ExtensionCleaningList
{
public:
    explicit ExtensionCleaningList(Volume volume);

    CleaningEntry build() const;

private:
    QList<CleaningItem> safariRows() const;
    QList<CleaningItem> chromeRows() const;
    QList<CleaningItem> firefoxRows() const;
    QStringList chromePreferences() const;
    QStringList firefoxPreferences() const;
    bool appExists(const QString &volumePath) const;

    Volume m_volume;
};
