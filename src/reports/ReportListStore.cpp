#include "reports/ReportListStore.h"

#include "platform/Log.h"
#include "platform/UserDefaults.h"
#include "scan/ReportArchive.h"

ReportListStore::ReportListStore(UserDefaults &defaults)
    : m_defaults(defaults)
{
}

std::optional<QList<ReportPtr>> ReportListStore::read(const QString &key, QByteArray *raw, bool *warned)
{
    m_defaults.synchronize();
    if (!m_defaults.contains(key))
        return QList<ReportPtr>();
    *raw = m_defaults.dataForKey(key);
    QString error;
    auto reports = ReportArchive::unarchive(*raw, &error);
    // The same damaged value is named once, however often it is read.
    if (!reports && m_warnedUnreadable.value(key) != *raw) {
        m_warnedUnreadable.insert(key, *raw);
        if (warned)
            *warned = true;
        Log::warning(QStringLiteral("The stored reports (%1) cannot be read: %2").arg(key, error));
    }
    return reports;
}

QList<ReportPtr> ReportListStore::load(const QString &key)
{
    QByteArray raw;
    bool warned = false;
    auto reports = read(key, &raw, &warned);
    if (!reports) {
        if (warned)
            Log::warning(
                QStringLiteral("Starting with no reports; the stored value is kept until the next report is saved"));
        m_known.insert(key, {});
        return {};
    }
    m_known.insert(key, idsOf(*reports));
    return *reports;
}

QList<ReportPtr> ReportListStore::save(const QList<ReportPtr> &list, const QString &key)
{
    QByteArray raw;
    auto stored = read(key, &raw);
    if (!stored) {
        m_defaults.setObject(raw, unreadableKey(key));
        Log::warning(QStringLiteral("The unreadable reports were moved to %1").arg(unreadableKey(key)));
        stored = QList<ReportPtr>();
    }
    const QList<ReportPtr> merged = merge(list, *stored, key);
    m_defaults.setObject(ReportArchive::archivedDataWithRootObject(merged), key);
    m_defaults.synchronize();
    m_known.insert(key, idsOf(merged));
    return merged;
}

QList<ReportPtr> ReportListStore::merge(const QList<ReportPtr> &mine, const QList<ReportPtr> &stored,
                                        const QString &key) const
{
    const QSet<QString> known = m_known.value(key);
    const QSet<QString> storedIds = idsOf(stored);
    QList<ReportPtr> merged;
    QSet<QString> mineIds;
    for (const ReportPtr &report : mine) {
        if (!report)
            continue;
        mineIds.insert(report->reportId());
        // Known before but gone from the store: another process deleted it.
        if (known.contains(report->reportId()) && !storedIds.contains(report->reportId()))
            continue;
        merged.append(report);
    }
    // Added by another process since the last read: placed by date among
    // the newest-first list.
    for (const ReportPtr &report : stored) {
        if (mineIds.contains(report->reportId()) || known.contains(report->reportId()))
            continue;
        qsizetype at = 0;
        while (at < merged.size() && merged.at(at)->scanDate() >= report->scanDate())
            ++at;
        merged.insert(at, report);
    }
    return merged;
}

QSet<QString> ReportListStore::idsOf(const QList<ReportPtr> &list)
{
    QSet<QString> ids;
    for (const ReportPtr &report : list) {
        if (report)
            ids.insert(report->reportId());
    }
    return ids;
}
