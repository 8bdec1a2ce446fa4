#include "reports/ReportListStore.h"

#include "platform/Log.h"
#include "platform/UserDefaults.h"
#include "scan/ReportArchive.h"

#include <QDateTime>

ReportListStore::ReportListStore(UserDefaults &defaults)
    : m_defaults(defaults)
{
}

std::optional<QList<ReportPtr>> ReportListStore::decode(const QString &key, QByteArray *raw, bool *warned)
{
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
    m_defaults.synchronize();
    QByteArray raw;
    bool warned = false;
    auto reports = decode(key, &raw, &warned);
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

std::optional<QList<ReportPtr>> ReportListStore::save(const QList<ReportPtr> &list, const QString &key)
{
    QList<ReportPtr> merged;
    const bool written = m_defaults.transaction([&] {
        QByteArray raw;
        auto stored = decode(key, &raw);
        if (!stored) {
            setAside(key, raw);
            stored = QList<ReportPtr>();
        }
        merged = merge(list, *stored, key);
        m_defaults.setObject(ReportArchive::archivedDataWithRootObject(merged), key);
    });
    if (!written) {
        m_error = m_defaults.lastError();
        return std::nullopt;
    }
    m_error.clear();
    m_known.insert(key, idsOf(merged));
    return merged;
}

void ReportListStore::setAside(const QString &key, const QByteArray &raw)
{
    const QString base = unreadableKey(key);
    QStringList taken;
    for (const QString &existing : m_defaults.allKeys()) {
        if (existing != base && !existing.startsWith(base + QLatin1Char('-')))
            continue;
        if (m_defaults.dataForKey(existing) == raw)
            return; // this very value is kept already
        taken.append(existing);
    }
    QString aside = base;
    if (taken.contains(aside)) {
        const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
        int n = 1;
        do
            aside = QStringLiteral("%1-%2-%3").arg(base, stamp).arg(n++);
        while (taken.contains(aside));
    }
    m_defaults.setObject(raw, aside);
    Log::warning(QStringLiteral("The unreadable reports were kept under %1").arg(aside));
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
