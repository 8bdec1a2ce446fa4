#pragma once

#include "platform/NotificationCenter.h"
#include "platform/Volume.h"
#include "scan/ScanHost.h"

#include <QMutex>
#include <atomic>

// The scan driver as the count and the walk see it during a benchmark:
// every post goes through a real NotificationCenter, where one observer
// keeps the latest "ScanningProgressURL" object (what a progress display
// coalesces to) and another counts the "ScanningProgress" steps. Offers are
// counted, nothing else happens.
class PostingScanHost : public ScanHost
{
public:
    // Observed: the two observers above. Unobserved: posts reach a centre
    // with no observer. Dropped: posts never reach the centre (the cost of
    // the walk alone).
    enum class Posting { Observed, Unobserved, Dropped };

    explicit PostingScanHost(QStringList signatures, Posting posting = Posting::Observed);

    const Volume &volume() const override { return m_volume; }
    ScanState &state() override { return m_state; }
    const Inventory &inventory() const override { return m_inventory; }
    const QStringList &fullSystemScanPaths() const override { return m_signatures; }

    void addIfAvail(const QUrl &url, const QString &name, const QString &type, const QString &risk, qint64 size,
                    FindingSource source) override;
    void waitFor(double, const QString &) override {}
    void pause(double) override {}
    void post(const QString &name, const QVariant &object = QVariant()) override;
    void DeepScanStart(const QStringList &) override {}
    void doneScan() override { ++m_doneScans; }

    // Clears the counters a scan leaves behind.
    void reset();
    qint64 offers() const { return m_offers; }
    qint64 steps() const { return m_steps; }
    QString latestPath() const;

private:
    Volume m_volume;
    ScanState m_state;
    Inventory m_inventory;
    QStringList m_signatures;
    NotificationCenter m_center;
    mutable QMutex m_latestLock;
    QString m_latestPath;
    std::atomic<qint64> m_offers{0};
    std::atomic<qint64> m_steps{0};
    std::atomic<int> m_doneScans{0};
    bool m_dropPosts = false;
};
