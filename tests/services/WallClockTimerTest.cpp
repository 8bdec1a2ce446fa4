#include "services/ClockChangeWatcher.h"
#include "services/ServicesFixture.h"
#include "services/WallClockTimer.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(WallClockTimer, WakesAtMostEveryMinuteAndFiresOnceWhenTheClockPassesTheDueTime)
{
    ManualClock clock(QDateTime(QDate(2026, 1, 1), QTime(12, 0)));
    WallClockTimer timer(clock);
    QSignalSpy fired(&timer, &WallClockTimer::fired);
    // Forty days: beyond a QTimer's int of milliseconds.
    timer.arm(clock.now().addDays(40));
    EXPECT_TRUE(timer.isArmed());
    EXPECT_EQ(timer.nextWakeMs(), WallClockTimer::kMaxWakeMs);
    clock.advance(-3600); // set back: still armed, still bounded
    timer.recheck();
    EXPECT_EQ(timer.nextWakeMs(), WallClockTimer::kMaxWakeMs);
    clock.advance(100 * 86400);
    timer.recheck();
    timer.recheck();
    EXPECT_EQ(fired.size(), 1);
    EXPECT_FALSE(timer.isArmed());
    EXPECT_EQ(timer.nextWakeMs(), -1);
}

TEST(WallClockTimer, FiresOnTheHostClock)
{
    WallClockTimer timer(Clock::system());
    QSignalSpy fired(&timer, &WallClockTimer::fired);
    timer.arm(QDateTime::currentDateTime().addMSecs(20));
    ASSERT_TRUE(fired.wait(10000));
    EXPECT_EQ(fired.size(), 1);
}

TEST(WallClockTimer, AClockChangeMakesItReadTheClockAtOnce)
{
    ManualClock clock(QDateTime(QDate(2026, 1, 1), QTime(12, 0)));
    WallClockTimer timer(clock);
    ClockChangeWatcher watcher;
    EXPECT_TRUE(watcher.watchesClockChanges());
    timer.follow(watcher);
    QSignalSpy fired(&timer, &WallClockTimer::fired);
    timer.arm(clock.now().addDays(1));
    clock.advance(2 * 86400);
    Q_EMIT watcher.clockChanged();
    EXPECT_EQ(fired.size(), 1);
    timer.arm(clock.now().addDays(1));
    clock.advance(2 * 86400);
    Q_EMIT watcher.woke();
    EXPECT_EQ(fired.size(), 2);
}
