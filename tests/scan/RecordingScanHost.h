#pragma once

#include "platform/Volume.h"
#include "scan/ScanHost.h"

#include <QMutex>
#include <atomic>

// A ScanHost that records what the detectors, the count and the walk ask of
// the driver: every finding offered for an existing path (in order, with its
// values), every status step and pause, every notification and every call
// to DeepScanStart and doneScan. Safe to call from any thread.
class RecordingScanHost : public ScanHost
{
public:
    struct Offer
    {
        QString path;
        QString name;
        QString type;
        QString risk;
        qint64 size = 0;
        FindingSource source = FindingSource::Detector;
    };
    struct Status
    {
        QString text;
        double seconds = 0;
    };

    explicit RecordingScanHost(Volume volume);

    const Volume &volume() const override { return m_volume; }
    ScanState &state() override { return m_state; }
    const Inventory &inventory() const override { return m_inventory; }
    const QStringList &fullSystemScanPaths() const override { return m_signatures; }

    void addIfAvail(const QUrl &url, const QString &name, const QString &type, const QString &risk, qint64 size,
                    FindingSource source) override;
    void waitFor(double seconds, const QString &text) override;
    void pause(double seconds) override;
    void post(const QString &name, const QVariant &object = QVariant()) override;
    void DeepScanStart(const QStringList &roots) override;
    void doneScan() override;

    Inventory &mutableInventory() { return m_inventory; }
    void setFullSystemScanPaths(const QStringList &signatures) { m_signatures = signatures; }

    QList<Offer> offers() const;
    // Paths of the offers with duplicates removed, in first-offered order
    // (what the driver's de-duplication keeps).
    QStringList uniquePaths() const;
    QList<Status> statuses() const;
    QList<double> pauses() const;
    QList<QPair<QString, QVariant>> posts() const;
    QList<QStringList> deepScanStarts() const;
    int doneScanCalls() const { return m_doneScanCalls; }

private:
    Volume m_volume;
    ScanState m_state;
    Inventory m_inventory;
    QStringList m_signatures;
    mutable QMutex m_lock;
    QList<Offer> m_offers;
    QList<Status> m_statuses;
    QList<double> m_pauses;
    QList<QPair<QString, QVariant>> m_posts;
    QList<QStringList> m_deepScanStarts;
    std::atomic<int> m_doneScanCalls{0};
};
