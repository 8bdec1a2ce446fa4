#pragma once

#include "scan/Adware.h"

#include <QList>
#include <memory>

class ItemRemover;

// The bookkeeping of one page's removals: the Scan page and the Reports page
// each keep one. It deletes the selected threats for good and sorts every
// threat of the list into removed (or already gone), failed and left alone,
// setting the threats' isDeleted and isNoAction flags on the way. The lists
// hold the outcome of the last removal until the next one empties them.
// Main thread only. A remover given is not owned.
class ThreatRemoval
{
public:
    // The orders in which a report's threat list is rebuilt from the outcome.
    enum class Order { FailedRemovedLeftAlone, FailedLeftAloneRemoved, RemovedFailedLeftAlone };

    // Deletes through an ItemRemover anchored at the volume root.
    explicit ThreatRemoval(const QString &volumeRoot);
    ~ThreatRemoval();

    // Deletes through remover instead (nullptr: the own one again).
    void setRemover(ItemRemover *remover);
    ItemRemover &remover() const { return *m_remover; }

    const QList<AdwarePtr> &deletedAdware() const { return m_deletedAdware; }
    const QList<AdwarePtr> &unDeletedAdware() const { return m_unDeletedAdware; }
    const QList<AdwarePtr> &notActionAdware() const { return m_notActionAdware; }
    qint32 deletedCount() const { return m_deletedCount; }

    // Deletes one threat's item; true when it counts as removed (nothing was
    // there, or the deletion left nothing behind).
    bool deleteThreat(const Adware &adware);

    // removeThisAdware: each threat in order is deleted and appended once to
    // the removed or the failed list. clearNoActionFirst: the Scan page's
    // variant, which first clears isNoAction on every threat of the array.
    void removeThisAdware(const QList<AdwarePtr> &threats, bool clearNoActionFirst = false);

    // Marks a threat as left alone and appends it to the No Action list once.
    void markNoAction(const AdwarePtr &adware);

    void emptyLists();
    void emptyRemovedAndFailed();

    // A new list made of the three outcome lists in the given order.
    QList<AdwarePtr> outcomeList(Order order) const;

private:
    static void appendOnce(QList<AdwarePtr> &list, const AdwarePtr &adware, bool *appended = nullptr);

    std::unique_ptr<ItemRemover> m_ownRemover;
    ItemRemover *m_remover;
    QList<AdwarePtr> m_deletedAdware;
    QList<AdwarePtr> m_unDeletedAdware;
    QList<AdwarePtr> m_notActionAdware;
    qint32 m_deletedCount = 0;
};
