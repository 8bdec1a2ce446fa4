#pragma once

#include "scan/AdwareScanReport.h"

#include <QHash>
#include <QSet>

class UserDefaults;

// The stored list of scan reports under one preference key, as one keyed
// archive. The desktop application and the command line share the
// preferences, so a write first re-reads the stored list and merges: reports
// another process stored since this one last read are kept, and reports that
// another process deleted stay deleted, while those this process deleted on
// purpose are not brought back. The re-read, the merge and the write are one
// transaction of the preferences, so no other process writes in between.
// A stored value that cannot be decoded reads as an empty list and is left as
// it is until the next write, which first keeps a copy of it under
// "<key>Unreadable" (or, when that key already holds another copy, under a
// new key "<key>Unreadable-<UTC time>-<n>"). Main thread only.
class ReportListStore
{
public:
    explicit ReportListStore(UserDefaults &defaults);

    static QString unreadableKey(const QString &key) { return key + QStringLiteral("Unreadable"); }

    QList<ReportPtr> load(const QString &key);
    // Writes the list merged with the stored one and answers the list as
    // written (the given one plus what others added), or nothing when it
    // could not be written (error() says why; the stored list is unchanged).
    std::optional<QList<ReportPtr>> save(const QList<ReportPtr> &list, const QString &key);
    // Why the last save failed; empty after a success.
    QString error() const { return m_error; }

private:
    // The stored list as last read, or nothing when the value cannot be
    // decoded; *warned tells whether this read was the first to warn about
    // that value.
    std::optional<QList<ReportPtr>> decode(const QString &key, QByteArray *raw, bool *warned = nullptr);
    void setAside(const QString &key, const QByteArray &raw);
    QList<ReportPtr> merge(const QList<ReportPtr> &mine, const QList<ReportPtr> &stored, const QString &key) const;
    static QSet<QString> idsOf(const QList<ReportPtr> &list);

    UserDefaults &m_defaults;
    // Per key: the report identifiers the store held at this process's last
    // read or write.
    QHash<QString, QSet<QString>> m_known;
    // Per key: the last unreadable value warned about.
    QHash<QString, QByteArray> m_warnedUnreadable;
    QString m_error;
};
