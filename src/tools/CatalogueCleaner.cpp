#include "tools/CatalogueCleaner.h"

#include "platform/ItemRemover.h"
#include "platform/Log.h"

QStringList CatalogueCleaner::Outcome::notRemovedPaths() const
{
    QStringList paths;
    for (const auto &[path, reason] : notRemoved)
        paths << path;
    return paths;
}

CatalogueCleaner::CatalogueCleaner(ItemRemover &remover)
    : m_remover(remover)
{
}

QList<CleaningItem> CatalogueCleaner::checkedItems(const QList<CleaningEntry> &entries)
{
    QList<CleaningItem> items;
    for (const CleaningEntry &entry : entries) {
        for (const CleaningItem &item : entry.List) {
            if (item.isChecked == 1)
                items.append(item);
        }
    }
    return items;
}

CatalogueCleaner::Outcome CatalogueCleaner::cleanSelected(const QList<CleaningEntry> &entries)
{
    return clean(checkedItems(entries));
}

CatalogueCleaner::Outcome CatalogueCleaner::clean(const QList<CleaningItem> &items)
{
    Outcome outcome;
    for (const CleaningItem &item : items) {
        for (const QString &path : item.AllList) {
            const ItemRemover::Outcome result = m_remover.removeItem(path);
            switch (result.result) {
            case ItemRemover::Result::Removed:
                outcome.removed << path;
                break;
            case ItemRemover::Result::Absent:
                outcome.absent << path;
                break;
            case ItemRemover::Result::NotRemoved:
                outcome.notRemoved.append({path, result.reason});
                break;
            }
        }
    }
    Log::line(QStringLiteral("Cleaned %1 items: %2 paths removed, %3 not removed")
                  .arg(items.size())
                  .arg(outcome.removed.size())
                  .arg(outcome.notRemoved.size()));
    return outcome;
}
