#include "remedy/ThreatRemoval.h"

#include "platform/ItemRemover.h"
#include "platform/Log.h"

ThreatRemoval::ThreatRemoval(const QString &volumeRoot)
    : m_ownRemover(std::make_unique<ItemRemover>(volumeRoot))
    , m_remover(m_ownRemover.get())
{
}

ThreatRemoval::~ThreatRemoval() = default;

void ThreatRemoval::setRemover(ItemRemover *remover)
{
    m_remover = remover ? remover : m_ownRemover.get();
}

bool ThreatRemoval::deleteThreat(const Adware &adware)
{
    // Nothing there counts as removed: the remover looks the path up the way
    // the presence check does, so the two never disagree.
    const QString path = adware.path();
    QString error;
    if (m_remover->removeItemAtPath(path, &error))
        return true;
    Log::line(QStringLiteral("Could not remove %1 (%2)").arg(path, error));
    return false;
}

void ThreatRemoval::removeThisAdware(const QList<AdwarePtr> &threats, bool clearNoActionFirst)
{
    m_deletedCount = 0;
    if (clearNoActionFirst) {
        for (const AdwarePtr &adware : threats) {
            if (adware)
                adware->setIsNoAction(false);
        }
    }
    for (const AdwarePtr &adware : threats) {
        if (!adware)
            continue;
        const bool removed = deleteThreat(*adware);
        adware->setIsDeleted(removed);
        adware->setIsNoAction(false);
        if (removed) {
            bool appended = false;
            appendOnce(m_deletedAdware, adware, &appended);
            if (appended)
                ++m_deletedCount;
        } else {
            appendOnce(m_unDeletedAdware, adware);
        }
    }
}

void ThreatRemoval::markNoAction(const AdwarePtr &adware)
{
    if (!adware)
        return;
    adware->setIsNoAction(true);
    appendOnce(m_notActionAdware, adware);
}

void ThreatRemoval::emptyLists()
{
    emptyRemovedAndFailed();
    m_notActionAdware.clear();
}

void ThreatRemoval::emptyRemovedAndFailed()
{
    m_deletedAdware.clear();
    m_unDeletedAdware.clear();
}

QList<AdwarePtr> ThreatRemoval::outcomeList(Order order) const
{
    QList<AdwarePtr> list;
    switch (order) {
    case Order::FailedRemovedLeftAlone:
        list << m_unDeletedAdware << m_deletedAdware << m_notActionAdware;
        break;
    case Order::FailedLeftAloneRemoved:
        list << m_unDeletedAdware << m_notActionAdware << m_deletedAdware;
        break;
    case Order::RemovedFailedLeftAlone:
        list << m_deletedAdware << m_unDeletedAdware << m_notActionAdware;
        break;
    }
    return list;
}

void ThreatRemoval::appendOnce(QList<AdwarePtr> &list, const AdwarePtr &adware, bool *appended)
{
    const bool add = adware && !list.contains(adware);
    if (add)
        list.append(adware);
    if (appended)
        *appended = add;
}
