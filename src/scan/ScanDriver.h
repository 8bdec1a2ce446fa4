#pragma once

#include "scan/AdwareScanReport.h"
#include "scan/ScanHost.h"
#include "scan/ScanPhases.h"

#include <QDateTime>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QThreadPool>
#include <functional>
#include <optional>

class AccessController;
class Platform;

// Runs one scan from the click to the report: chooses the root and obtains
// access, runs the detector chain (Quick Scan) or the count phase followed by
// the detector chain and the walk side by side (Full System and Custom
// Scans), turns every finding into a threat record with de-duplication, and
// makes the report at the end. Owned by the application object.
//
// Threads: adwareScanStart(), stopScan() and the completion run on the main
// thread; the root choice and every phase run on their own threads and reach
// the main thread through queued calls. The list of findings is changed on
// the main thread only. A scan completes once, after every task it started
// has ended, so a stopped scan never leaves work running into the next one.
// Views observe the signals below and the platform's notifications.
class ScanDriver : public QObject, public ScanHost
{
    Q_OBJECT
public:
    ScanDriver(Platform &platform, AccessController &access, ScanPhases phases, QObject *parent = nullptr);
    ~ScanDriver() override;

    // The four product words of the maker's own applications, and the
    // product name an application's file name stands for (or nothing).
    static QStringList arrDefaultQuorvaneApp();
    static QString getOriginalAppName(const QString &fileName);

    void setFullSystemScanPaths(const QStringList &signatures) { m_fullSystemScanPaths = signatures; }
    // Status pauses of a Quick Scan: the sleeper is called with every
    // requested pause; the default one sleeps only when paced.
    void setPaced(bool paced) { m_paced = paced; }
    void setSleeper(std::function<void(double)> sleeper) { m_sleeper = std::move(sleeper); }
    // Answers the whole-disk question without asking: true scans from the
    // volume root, false from the home folder. Unset: the stored grants and
    // "SandboxingDone" decide, asking the user when needed.
    void setWholeDiskAccess(std::optional<bool> granted) { m_wholeDisk = granted; }

    // The scan kind chosen on the Dashboard (0 Quick, 1 Full System, 2 Custom).
    void setScanType(qint64 type);
    // Kind written by callers before starting ("Scheduled Scan", ...);
    // completion replaces it by the name of the scan kind.
    void setReportType(const QString &type) { m_reportType = type; }
    QString reportType() const { return m_reportType; }
    // The folder of a Custom Scan, chosen without the folder chooser.
    void setCustomScanDirectory(const QString &hostPath);
    // The Custom Scan folder as scanned: the chosen one with its links
    // resolved once (a folder below the volume root keeps that root's
    // spelling). Set when the scan starts.
    QString customScanDirectory() const { return m_state.customScanDirectory; }
    static QString resolvedFolder(const Volume &volume, const QString &hostPath);

    // Starts a scan of the current kind; does nothing while one runs.
    void adwareScanStart();
    // The stop request of the Scan page (also on the "StopScan" notification).
    void stopScan();

    bool isScanning() const { return m_state.isScanning; }
    const QList<AdwarePtr> &arrAdwareList() const { return m_arrAdwareList; }
    ReportPtr adwareReport() const { return m_adwareReport; }
    // Duration wording and end of the last finished scan, report or not.
    QString lastScanDuration() const { return m_lastScanDuration; }
    QDateTime lastScanEnd() const { return m_lastScanEnd; }
    // The root the last scan could not open (a missing or unreadable folder,
    // or a symbolic link, which is never followed), with the reason; empty
    // when it could. Such a scan reads nothing: it completes at once and
    // makes no report, and must not read as a clean one.
    QString unreadableRoot() const { return m_unreadableRoot; }
    QString unreadableRootReason() const { return m_unreadableRootReason; }
    // Folders the last scan's walk could not read; what lies below them was
    // not scanned.
    qint64 lastScanUnreadable() const { return m_lastScanUnreadable; }
    QString statusString() const;
    QDateTime startScanTimeTemp() const;

    // ScanHost
    const Volume &volume() const override;
    ScanState &state() override { return m_state; }
    const Inventory &inventory() const override { return m_inventory; }
    const QStringList &fullSystemScanPaths() const override { return m_fullSystemScanPaths; }
    void addIfAvail(const QUrl &url, const QString &name, const QString &type, const QString &risk, qint64 size,
                    FindingSource source) override;
    void waitFor(double seconds, const QString &text) override;
    void pause(double seconds) override;
    void post(const QString &name, const QVariant &object = QVariant()) override;
    void DeepScanStart(const QStringList &roots) override;
    void doneScan() override;

Q_SIGNALS:
    // A scan starts (after a Custom Scan's folder was chosen).
    void scanStarted(qint64 scanType);
    // A Custom Scan's folder chooser was cancelled: nothing starts.
    void scanCancelled();
    // A Quick Scan's status text and progress step.
    void ScanningProgressChange(const QString &text, int step);
    // The detector phase has its inventories (the scan indicators stop).
    void inventoriesReady();
    // The count phase has ended.
    void countCompleted(qint64 totalCount);
    void threatAdded(const AdwarePtr &threat);
    // isScanning has gone back to false; the report follows 0.1 s later.
    void scanCompleting();
    // The report step has run; report is null when none was made.
    void scanFinished(const ReportPtr &report);
    // A report to store.
    void reportMade(const ReportPtr &report);

private:
    void scanInBGThread();
    bool openRoot(const QString &root);
    QString chooseRoot();
    void scan4AdwareStart();
    void prepareForScan();
    enum class Queue { NewThread, Global };
    void startTask(Queue queue, std::function<void()> work);
    void onMain(std::function<void()> work);
    void taskEnded();
    void maybeComplete();
    void completeScan();
    void makeReport();
    bool acceptsFinding(const AdwarePtr &adware, FindingSource source) const;
    bool isMakersOwnProduct(const QString &path) const;
    bool isInCustomFolder(const QString &path) const;

    Platform &m_platform;
    AccessController &m_access;
    ScanPhases m_phases;
    ScanState m_state;
    Inventory m_inventory;
    QStringList m_fullSystemScanPaths;

    QList<AdwarePtr> m_arrAdwareList;
    QSet<QString> m_listedPaths;
    ReportPtr m_adwareReport;
    QString m_reportType = QStringLiteral("Quick Scan");
    QString m_lastScanDuration;
    QDateTime m_lastScanEnd;
    QString m_unreadableRoot;
    QString m_unreadableRootReason;
    qint64 m_lastScanUnreadable = 0;

    mutable QMutex m_lock;          // guards the two values below
    QString m_statusString;
    QDateTime m_startScanTimeTemp;

    std::atomic<bool> m_paced{false};
    std::function<void(double)> m_sleeper;
    std::optional<bool> m_wholeDisk;
    bool m_customFolderPreset = false;

    // Tasks started for the current scan and not yet ended (raised on the
    // thread that starts a task, lowered on the main thread when it ends),
    // and tasks whose thread is still alive (for the destructor).
    std::atomic<int> m_runningTasks{0};
    std::atomic<int> m_aliveTasks{0};
    // The scan's own threads (root choice, detector chains); the global pool
    // runs the count and the walk.
    QThreadPool m_threads;
    // Completion bookkeeping, main thread only.
    bool m_doneRequested = false;
    bool m_completing = false;
};
