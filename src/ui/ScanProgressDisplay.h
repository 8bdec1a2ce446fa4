#pragma once

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <atomic>

class AppDelegate;
class DashboardView;
class ScanView;

// Turns the scan engine's progress into what the user sees: the Scan page's
// bar, percentage and current entry, the Dashboard's mirror of them, its
// status label, and the result panels after a change of the list of findings.
//
// The walk and the count post "ScanningProgress" and "ScanningProgressURL"
// from their own threads, one per entry. Those observers run on the posting
// thread and only record: the number of steps not yet shown and the latest
// path. A timer on the main thread (kFrameMilliseconds) draws what was
// recorded, so the main thread sees at most one redraw per frame however
// fast the walk goes, and the texts shown are always the latest ones.
class ScanProgressDisplay : public QObject
{
    Q_OBJECT
public:
    static constexpr int kFrameMilliseconds = 33;

    ScanProgressDisplay(AppDelegate &app, DashboardView &dashboard, ScanView &scanView, QObject *parent = nullptr);
    ~ScanProgressDisplay() override;

    // Draws what the engine has posted since the last frame (main thread).
    void flush();
    // Redraws of the current-entry text since the display was made.
    qint64 labelUpdates() const { return m_labelUpdates; }

    // The handlers, main thread.
    void ScanningProgressChange(const QString &text, int step);
    void ScanningStatusUI();
    void changeInList();
    void changeValue();

private:
    void recordSteps();
    void recordUrl(const QString &text);

    AppDelegate &m_app;
    QPointer<DashboardView> m_dashboard;
    QPointer<ScanView> m_scanView;
    QTimer m_frame;
    std::atomic<int> m_pendingSteps{0};
    std::atomic<bool> m_urlPending{false};
    QMutex m_lock;  // guards m_latestUrl
    QString m_latestUrl;
    qint64 m_labelUpdates = 0;
    QList<int> m_tokens;
};
