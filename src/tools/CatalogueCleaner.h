#pragma once

#include "tools/CleaningEntry.h"

#include <QPair>

class ItemRemover;

// The clean itself: every item whose "isChecked" is 1, over all entries in
// order (the item level counts, not the entry's state), has each path of its
// "AllList" removed, folders with their contents. History rows name no files
// and remove nothing. The outcome tells which paths went and which could
// not be removed, so a failure is never reported as success.
class CatalogueCleaner
{
public:
    struct Outcome
    {
        QStringList removed;
        // Path and the reason it is still there.
        QList<QPair<QString, QString>> notRemoved;
        // Listed paths with nothing at them.
        QStringList absent;

        bool succeeded() const { return notRemoved.isEmpty(); }
        QStringList notRemovedPaths() const;
    };

    explicit CatalogueCleaner(ItemRemover &remover);

    static QList<CleaningItem> checkedItems(const QList<CleaningEntry> &entries);
    Outcome cleanSelected(const QList<CleaningEntry> &entries);
    Outcome clean(const QList<CleaningItem> &items);

private:
    ItemRemover &m_remover;
};
