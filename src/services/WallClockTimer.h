#pragma once

#include "services/Clock.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

class ClockChangeWatcher;

// Fires once at a wall-clock moment, however far away (30 or 365 days are
// beyond a QTimer's int of milliseconds) and however the machine slept or
// the clock was set meanwhile.
//
// One single-shot timer is re-armed to min(due − now, maxWake) and reads the
// wall clock again on every wake; a clock change or a wake from sleep makes
// it read at once. When the clock is found at or past the due moment, fired()
// is emitted once and the timer is disarmed, however many moments were
// missed: the owner arms it again for its next occurrence.
class WallClockTimer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxWakeMs = 60 * 1000;

    explicit WallClockTimer(Clock &clock, QObject *parent = nullptr);

    void arm(const QDateTime &due);
    void cancel();
    bool isArmed() const { return m_due.isValid(); }
    QDateTime due() const { return m_due; }
    // The interval the internal timer waits now (for tests and the log).
    int nextWakeMs() const { return m_wake.isActive() ? m_wake.interval() : -1; }

    // Reads the clock now; fires when due. Called on every wake, on a clock
    // change and after sleep.
    void recheck();

    // Connects clockChanged() and woke() of a watcher to recheck().
    void follow(ClockChangeWatcher &watcher);

Q_SIGNALS:
    void fired();

private:
    void rearm();

    Clock &m_clock;
    QDateTime m_due;
    QTimer m_wake;
};
