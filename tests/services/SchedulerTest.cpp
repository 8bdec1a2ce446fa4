#include "app/NotificationNames.h"
#include "app/PreferenceKeys.h"
#include "services/Scheduler.h"
#include "services/ServicesFixture.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace PreferenceKeys;

namespace {

class SchedulerTest : public ::testing::Test
{
protected:
    // 14:30:20 on a Thursday, 5 March 2026, local time.
    SchedulerTest()
        : clock(QDateTime(QDate(2026, 3, 5), QTime(14, 30, 20)))
        , scheduler(f.test.platform(), *f.driver, clock)
    {
    }

    // Fills the popover's controls and saves.
    void save(QDate start, QDate end, QTime at, int type)
    {
        Scheduler::Form &form = scheduler.form();
        form.startDay = start;
        form.endDay = end;
        form.timeValue = QDateTime(clock.now().date(), at);
        form.scheduletype = type;
        scheduler.removeSchudlerData(true);
    }
    QStringList informed()
    {
        QStringList texts;
        for (const auto &r : f.test.alerts().requests())
            if (r.kind == QStringLiteral("inform"))
                texts.append(r.informativeText);
        return texts;
    }
    UserDefaults &defaults() { return f.test.platform().defaults(); }
    QDate today() const { return clock.now().date(); }

    ServicesFixture f;
    ManualClock clock;
    Scheduler scheduler;
};

} // namespace

TEST(SchedulerNextFire, IntervalsAndTheOneSecondConvention)
{
    const QDateTime start(QDate(2026, 3, 1), QTime(0, 0, 1));
    const QDateTime end(QDate(2027, 12, 31), QTime(23, 59, 59));
    const QDateTime now(QDate(2026, 3, 5), QTime(12, 0));
    const double time = 3600 * 9; // 09:00:01
    EXPECT_EQ(Scheduler::nextFire(start, end, time, 0, now), QDateTime(QDate(2026, 3, 6), QTime(9, 0, 1)));
    EXPECT_EQ(Scheduler::nextFire(start, end, time, 1, now), QDateTime(QDate(2026, 3, 8), QTime(9, 0, 1)));
    EXPECT_EQ(Scheduler::nextFire(start, end, time, 2, now), start.addSecs(2592000 + 9 * 3600));
    EXPECT_EQ(Scheduler::nextFire(start, end, time, 3, now), start.addSecs(31536000 + 9 * 3600));
    // No interval: only the first day is tried.
    EXPECT_EQ(Scheduler::nextFire(start, end, time, 7, now), std::nullopt);
    EXPECT_EQ(Scheduler::nextFire(start, end, time, 7, start), start.addSecs(9 * 3600));
    // An empty or reversed range, and a time past every day of the range.
    EXPECT_EQ(Scheduler::nextFire(end, start, time, 0, now), std::nullopt);
    EXPECT_EQ(Scheduler::nextFire(start, end, time, 0, end), std::nullopt);
    // A range of many years costs few steps and gives the same answer.
    const QDateTime longAgo(QDate(1900, 1, 1), QTime(0, 0, 1));
    const QDateTime far(QDate(9000, 1, 1), QTime(23, 59, 59));
    EXPECT_EQ(Scheduler::nextFire(longAgo, far, 0, 0, now), QDateTime(QDate(2026, 3, 6), QTime(0, 0, 1)));
    EXPECT_EQ(Scheduler::getTimeAt0Date(QDateTime(QDate(2026, 3, 5), QTime(0, 0))), -1.0);
}

TEST_F(SchedulerTest, ATimeOneMinuteAheadTodayScansOnceAndThenSwitchesOff)
{
    save(today(), today(), QTime(14, 31, 20), 0);
    EXPECT_EQ(informed(), QStringList{QStringLiteral("Adware scan scheduled successfully")});
    EXPECT_EQ(defaults().objectForKey(ScheduleOn).toString(), QStringLiteral("Yes"));
    EXPECT_EQ(defaults().objectForKey(ScheduleTime).toDouble(), 14 * 3600 + 31 * 60 + 19);
    EXPECT_EQ(defaults().objectForKey(ScheduleType).toInt(), 0);
    const QDateTime due(today(), QTime(14, 31, 20));
    EXPECT_EQ(scheduler.SchedulerDate(), due);
    EXPECT_EQ(defaults().objectForKey(ScheduleDate).toDateTime().toLocalTime(), due);
    EXPECT_TRUE(scheduler.timerSchedule().isArmed());
    EXPECT_EQ(scheduler.scanningProgressLabelText(), QStringLiteral("Next scheduled scan: 05/03/2026 02:31 PM"));

    f.hold = true;
    QSignalSpy started(f.driver.get(), &ScanDriver::scanStarted);
    clock.set(due);
    scheduler.timerSchedule().recheck();
    ASSERT_EQ(started.size(), 1);
    EXPECT_TRUE(f.driver->isScanning());
    EXPECT_EQ(scheduler.scanningProgressLabelText(), QString());
    ASSERT_TRUE(f.finish());
    EXPECT_FALSE(scheduler.timerSchedule().isArmed());
    EXPECT_FALSE(scheduler.form().isScheduleOn);
    EXPECT_EQ(defaults().objectForKey(ScheduleOn).toString(), QStringLiteral("No"));
    EXPECT_EQ(defaults().objectForKey(ScheduleDate).toDateTime().toLocalTime(), due); // kept
    EXPECT_EQ(scheduler.scanningProgressLabelText(), QStringLiteral("Not Running"));
}

TEST_F(SchedulerTest, APastTimeTodayWithEndTomorrowScansTomorrow)
{
    save(today(), today().addDays(1), QTime(9, 15), 0);
    EXPECT_EQ(scheduler.SchedulerDate(), QDateTime(today().addDays(1), QTime(9, 15)));
}

TEST_F(SchedulerTest, MidnightIsOneSecondBeforeTheFirstDayAndTheNextDayIsUsed)
{
    save(today(), today().addDays(3), QTime(0, 0), 0);
    EXPECT_EQ(scheduler.time(), -1.0);
    EXPECT_EQ(scheduler.SchedulerDate(), QDateTime(today().addDays(1), QTime(0, 0)));
    // Starting tomorrow: the first day's candidate lies before the start.
    save(today().addDays(1), today().addDays(1), QTime(0, 0), 0);
    EXPECT_EQ(informed().last(), QStringLiteral("Scheduler time already expired."));
}

TEST_F(SchedulerTest, AWeekShorterThanItsIntervalAfterItsFirstTimeHasExpired)
{
    save(today(), today().addDays(5), QTime(8, 0), 1);
    EXPECT_EQ(informed(), QStringList{QStringLiteral("Scheduler time already expired.")});
    EXPECT_FALSE(scheduler.form().isScheduleOn);
    EXPECT_FALSE(defaults().contains(ScheduleOn));
    EXPECT_FALSE(defaults().contains(ScheduleStartDate));
}

TEST_F(SchedulerTest, StartAfterEndIsRefusedAndNothingIsStored)
{
    save(today().addDays(2), today(), QTime(16, 0), 0);
    EXPECT_EQ(informed(), QStringList{QStringLiteral("Start Date should not be greater then End Date.")});
    EXPECT_FALSE(defaults().contains(ScheduleOn));
    EXPECT_FALSE(scheduler.timerSchedule().isArmed());
}

TEST_F(SchedulerTest, SwitchingOffAndReopeningShowsTodayAndAnHourAhead)
{
    save(today(), today().addDays(10), QTime(16, 0), 0);
    ASSERT_TRUE(scheduler.timerSchedule().isArmed());
    QSignalSpy label(&scheduler, &Scheduler::labelChanged);
    scheduler.removeSchudlerData(false);
    EXPECT_FALSE(scheduler.timerSchedule().isArmed());
    EXPECT_EQ(scheduler.SchedulerDate(), std::nullopt);
    ASSERT_EQ(label.size(), 1);
    EXPECT_EQ(label.first().first().toString(), QStringLiteral("Not Running"));
    EXPECT_EQ(defaults().objectForKey(ScheduleOn).toString(), QStringLiteral("No"));
    EXPECT_TRUE(defaults().contains(ScheduleDate));

    clock.advance(60);
    scheduler.schudlerAction();
    const Scheduler::Form &form = scheduler.form();
    EXPECT_FALSE(form.isScheduleOn);
    EXPECT_EQ(form.startDay, today());
    EXPECT_EQ(form.endDay, today());
    EXPECT_EQ(form.minimumDay, today());
    EXPECT_EQ(form.timeValue, clock.now().addSecs(3600));

    // At 23:xx the time shown is today's last second.
    clock.set(QDateTime(today(), QTime(23, 10)));
    scheduler.schudlerAction();
    EXPECT_EQ(scheduler.form().timeValue, QDateTime(today(), QTime(23, 59, 59)));
}

TEST_F(SchedulerTest, AStoredScheduleIsRestoredAtLaunch)
{
    save(today(), today().addDays(30), QTime(18, 45), 1);
    Scheduler again(f.test.platform(), *f.driver, clock);
    again.restore();
    EXPECT_TRUE(again.form().isScheduleOn);
    EXPECT_EQ(again.form().startDay, today());
    EXPECT_EQ(again.form().endDay, today().addDays(30));
    EXPECT_EQ(again.form().timeValue, QDateTime(today(), QTime(18, 45)));
    EXPECT_EQ(again.form().scheduletype, 1);
    EXPECT_EQ(again.SchedulerDate(), QDateTime(today(), QTime(18, 45)));
    EXPECT_TRUE(again.timerSchedule().isArmed());
}

TEST_F(SchedulerTest, ADamagedStoredScheduleSwitchesOffWithoutLosingIt)
{
    defaults().setObject(QStringLiteral("Yes"), ScheduleOn);
    defaults().setObject(QStringLiteral("not a date"), ScheduleStartDate);
    defaults().setObject(QStringLiteral("x"), ScheduleTime);
    ASSERT_TRUE(defaults().synchronize());
    scheduler.restore();
    EXPECT_FALSE(scheduler.timerSchedule().isArmed());
    EXPECT_EQ(defaults().objectForKey(ScheduleOn).toString(), QStringLiteral("No"));
    EXPECT_EQ(defaults().objectForKey(ScheduleStartDate).toString(), QStringLiteral("not a date"));
}

TEST_F(SchedulerTest, TheLabelUsesDayMonthCalendarYearAndTwelveHours)
{
    EXPECT_EQ(Scheduler::labelText(true, QDateTime(QDate(2026, 3, 5), QTime(14, 30)), clock.now().addDays(-1)),
              QStringLiteral("Next scheduled scan: 05/03/2026 02:30 PM"));
    // Around New Year the week-based year would read 2026.
    EXPECT_EQ(Scheduler::formatNextDate(QDateTime(QDate(2025, 12, 30), QTime(9, 5))),
              QStringLiteral("30/12/2025 09:05 AM"));
    EXPECT_EQ(Scheduler::labelText(true, QDateTime(QDate(2026, 3, 5), QTime(14, 30)), clock.now()),
              QStringLiteral("Not Running"));
    EXPECT_EQ(Scheduler::labelText(false, clock.now().addDays(1), clock.now()), QStringLiteral("Not Running"));
}

TEST_F(SchedulerTest, AYearlyScheduleIsArmedForItsWallClockTimeWithBoundedWakes)
{
    // First time passed today; the next is 365 days on, far beyond a
    // QTimer's interval.
    save(today(), today().addDays(800), QTime(10, 0), 3);
    const QDateTime next = QDateTime(today(), QTime(10, 0)).addSecs(31536000);
    EXPECT_EQ(scheduler.SchedulerDate(), next);
    EXPECT_TRUE(scheduler.timerSchedule().isArmed());
    EXPECT_EQ(scheduler.timerSchedule().nextWakeMs(), WallClockTimer::kMaxWakeMs);

    QSignalSpy started(f.driver.get(), &ScanDriver::scanStarted);
    clock.set(next.addSecs(-30));
    scheduler.timerSchedule().recheck();
    EXPECT_EQ(started.size(), 0);
    EXPECT_EQ(scheduler.timerSchedule().nextWakeMs(), 30 * 1000);
    f.hold = true;
    clock.set(next);
    scheduler.timerSchedule().recheck();
    EXPECT_EQ(started.size(), 1);
    ASSERT_TRUE(f.finish());
    EXPECT_EQ(scheduler.SchedulerDate(), next.addSecs(31536000));
}

TEST_F(SchedulerTest, AClockJumpPastSeveralTimesFiresOnce)
{
    const QDate day = today();
    save(day, day.addDays(30), QTime(16, 0), 0);
    f.hold = true;
    QSignalSpy started(f.driver.get(), &ScanDriver::scanStarted);
    // Asleep for three and a half days: one scan on wake, not four.
    clock.set(QDateTime(day.addDays(3), QTime(23, 0)));
    scheduler.timerSchedule().recheck();
    scheduler.timerSchedule().recheck();
    EXPECT_EQ(started.size(), 1);
    EXPECT_EQ(scheduler.timerSchedule().due(), QDateTime(day.addDays(4), QTime(16, 0)));
    ASSERT_TRUE(f.finish());
    EXPECT_EQ(started.size(), 1);
    EXPECT_EQ(scheduler.SchedulerDate(), QDateTime(day.addDays(4), QTime(16, 0)));
}

TEST_F(SchedulerTest, AnOccurrenceDuringARunningScanIsSkipped)
{
    save(today(), today().addDays(30), QTime(16, 0), 0);
    f.hold = true;
    f.driver->adwareScanStart();
    ASSERT_TRUE(f.driver->isScanning());
    f.driver->setReportType(QStringLiteral("Quick Scan"));
    clock.set(QDateTime(today(), QTime(16, 0)));
    scheduler.timerSchedule().recheck();
    EXPECT_EQ(f.driver->reportType(), QStringLiteral("Quick Scan"));
    EXPECT_EQ(scheduler.timerSchedule().due(), QDateTime(today().addDays(1), QTime(16, 0)));
}

TEST_F(SchedulerTest, ASchedulePreferencesCannotHoldIsNeverReportedAsScheduled)
{
    // Another program damaged the preferences file meanwhile: it is not
    // rewritten, so the schedule cannot be stored.
    QFile file(f.test.settingsFile());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("stray text\n");
    file.close();
    save(today(), today().addDays(3), QTime(16, 0), 0);
    EXPECT_FALSE(informed().contains(QStringLiteral("Adware scan scheduled successfully")));
    ASSERT_EQ(informed().size(), 1);
    EXPECT_TRUE(informed().first().contains(QStringLiteral("stray text")));
    EXPECT_FALSE(scheduler.form().isScheduleOn);
    EXPECT_FALSE(scheduler.timerSchedule().isArmed());
}
