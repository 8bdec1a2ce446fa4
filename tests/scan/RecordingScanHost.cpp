#include "RecordingScanHost.h"

#include "scan/Adware.h"

RecordingScanHost::RecordingScanHost(Volume volume)
    : m_volume(std::move(volume))
{
}

void RecordingScanHost::addIfAvail(const QUrl &url, const QString &name, const QString &type, const QString &risk,
                                   qint64 size, FindingSource source)
{
    const QString path = url.toLocalFile();
    if (!Adware::fileExistsAtPath(path))
        return;
    QMutexLocker locker(&m_lock);
    m_offers.append({path, name, type, risk, size, source});
}

void RecordingScanHost::waitFor(double seconds, const QString &text)
{
    if (m_state.scanType != ScanState::QuickScan)
        return;
    QMutexLocker locker(&m_lock);
    m_statuses.append({text, seconds});
    m_state.detectorStep += 2;
}

void RecordingScanHost::pause(double seconds)
{
    QMutexLocker locker(&m_lock);
    m_pauses.append(seconds);
}

void RecordingScanHost::post(const QString &name, const QVariant &object)
{
    QMutexLocker locker(&m_lock);
    m_posts.append({name, object});
}

void RecordingScanHost::DeepScanStart(const QStringList &roots)
{
    QMutexLocker locker(&m_lock);
    m_deepScanStarts.append(roots);
}

void RecordingScanHost::doneScan()
{
    ++m_doneScanCalls;
}

QList<RecordingScanHost::Offer> RecordingScanHost::offers() const
{
    QMutexLocker locker(&m_lock);
    return m_offers;
}

QStringList RecordingScanHost::uniquePaths() const
{
    QStringList paths;
    for (const Offer &offer : offers()) {
        if (!paths.contains(offer.path))
            paths.append(offer.path);
    }
    return paths;
}

QList<RecordingScanHost::Status> RecordingScanHost::statuses() const
{
    QMutexLocker locker(&m_lock);
    return m_statuses;
}

QList<double> RecordingScanHost::pauses() const
{
    QMutexLocker locker(&m_lock);
    return m_pauses;
}

QList<QPair<QString, QVariant>> RecordingScanHost::posts() const
{
    QMutexLocker locker(&m_lock);
    return m_posts;
}

QList<QStringList> RecordingScanHost::deepScanStarts() const
{
    QMutexLocker locker(&m_lock);
    return m_deepScanStarts;
}
