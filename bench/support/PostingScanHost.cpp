#include "support/PostingScanHost.h"

#include "app/NotificationNames.h"

PostingScanHost::PostingScanHost(QStringList signatures, Posting posting)
    : m_signatures(std::move(signatures))
    , m_dropPosts(posting == Posting::Dropped)
{
    if (posting != Posting::Observed)
        return;
    m_center.addObserver(NotificationNames::ScanningProgressURL, nullptr, [this](const Notification &note) {
        const QString path = note.object.toString();
        QMutexLocker locker(&m_latestLock);
        m_latestPath = path;
    });
    m_center.addObserver(NotificationNames::ScanningProgress, nullptr,
                         [this](const Notification &note) { m_steps += note.object.toInt(); });
}

void PostingScanHost::addIfAvail(const QUrl &, const QString &, const QString &, const QString &, qint64,
                                 FindingSource)
{
    ++m_offers;
}

void PostingScanHost::post(const QString &name, const QVariant &object)
{
    if (!m_dropPosts)
        m_center.post(name, object);
}

void PostingScanHost::reset()
{
    m_state.totalCount = 0;
    m_state.totalScanCount = 0;
    m_state.ScanTypeCount = 0;
    m_state.isScanStop = false;
    m_offers = 0;
    m_steps = 0;
}

QString PostingScanHost::latestPath() const
{
    QMutexLocker locker(&m_latestLock);
    return m_latestPath;
}
