#include "services/WallClockTimer.h"

#include "services/ClockChangeWatcher.h"

#include <algorithm>

WallClockTimer::WallClockTimer(Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
{
    m_wake.setSingleShot(true);
    connect(&m_wake, &QTimer::timeout, this, &WallClockTimer::recheck);
}

void WallClockTimer::arm(const QDateTime &due)
{
    m_due = due;
    recheck();
}

void WallClockTimer::cancel()
{
    m_due = QDateTime();
    m_wake.stop();
}

void WallClockTimer::follow(ClockChangeWatcher &watcher)
{
    connect(&watcher, &ClockChangeWatcher::clockChanged, this, &WallClockTimer::recheck);
    connect(&watcher, &ClockChangeWatcher::woke, this, &WallClockTimer::recheck);
}

void WallClockTimer::recheck()
{
    if (!m_due.isValid()) {
        m_wake.stop();
        return;
    }
    if (m_clock.now() >= m_due) {
        cancel();
        Q_EMIT fired();
        return;
    }
    rearm();
}

void WallClockTimer::rearm()
{
    const qint64 left = m_clock.now().msecsTo(m_due);
    // One millisecond at least, and never more than the bound: a long sleep
    // or a clock set backwards is noticed at the next bounded wake.
    // The last stretch is timed precisely; a coarse timer may be 5 % late.
    m_wake.setTimerType(left <= kMaxWakeMs ? Qt::PreciseTimer : Qt::CoarseTimer);
    m_wake.start(static_cast<int>(std::clamp<qint64>(left, 1, kMaxWakeMs)));
}
