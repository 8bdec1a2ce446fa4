#pragma once

#include <QObject>

class QSocketNotifier;

// Tells when the wall clock was set (by the user, NTP or a time-zone change)
// and when the machine woke from sleep: the two moments a timer on the
// monotonic clock stops matching the wall clock.
//
// Clock changes: a timerfd on CLOCK_REALTIME armed far in the future with
// TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET; its read fails with ECANCELED
// when the clock is set, and it is armed again. Wake: logind's
// PrepareForSleep(false) on the system bus, where there is one. Neither is
// required: without them the bounded wake-up of WallClockTimer still catches
// up within its bound.
class ClockChangeWatcher : public QObject
{
    Q_OBJECT
public:
    explicit ClockChangeWatcher(QObject *parent = nullptr);
    ~ClockChangeWatcher() override;

    // True when clock changes are watched (the timerfd could be made).
    bool watchesClockChanges() const { return m_fd >= 0; }

Q_SIGNALS:
    void clockChanged();
    void woke();

private Q_SLOTS:
    void onPrepareForSleep(bool sleeping);

private:
    bool arm();
    void onReadable();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};
