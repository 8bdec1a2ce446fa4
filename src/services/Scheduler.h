#pragma once

#include "services/ClockChangeWatcher.h"
#include "services/Clock.h"
#include "services/WallClockTimer.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <optional>

class Platform;
class ScanDriver;

// Scheduled scans: the stored schedule, the search for its next time, the
// timer that starts the scan and the Dashboard's "Next scheduled scan: "
// text. The popover of the Dashboard shows and edits form(); everything
// else needs no window. Main thread only.
//
// A schedule is a first day (startDate, at 00:00:01), a last day (endDate,
// at 23:59:59), a time of day (time: seconds after 00:00:01, so 00:00:00 is
// -1) and a repeat type (0 daily, 1 every 7 days, 2 every 30 days, 3 every
// 365 days). Its times are startDate + k × interval + time, k = 0, 1, ...,
// strictly after startDate and strictly before endDate. Intervals are plain
// seconds, so a daylight-saving change moves the local time by an hour.
//
// The timer is a WallClockTimer: it fires at the wall-clock time, also for
// 30- and 365-day schedules, re-checks on clock changes and after sleep, and
// fires a missed time once, never once per missed interval.
class Scheduler : public QObject
{
    Q_OBJECT
public:
    // What the popover's controls hold.
    struct Form
    {
        bool isScheduleOn = false;
        QDate startDay;       // startDatePicker
        QDate endDay;         // endDatePicker
        QDateTime timeValue;  // timePicker (its day and time of day)
        int scheduletype = 0; // scheduleTypePopUp's selected index
        QDate minimumDay;     // earliest selectable day of both date pickers
    };

    Scheduler(Platform &platform, ScanDriver &driver, Clock &clock = Clock::system(), QObject *parent = nullptr);

    // Seconds of a repeat type; 0 for a type that has none (outside 0 to 3).
    static qint64 intervalForType(qint64 type);
    // The first time of the schedule after now, or nothing. Pure.
    static std::optional<QDateTime> nextFire(const QDateTime &startDate, const QDateTime &endDate, double time,
                                             qint64 scheduletype, const QDateTime &now);
    // The same day as date at hour:min:sec.
    static QDateTime getTimeDateAdding(const QDateTime &date, int hours, int min, int sec);
    // Seconds from date's day at 00:00:01 to date.
    static double getTimeAt0Date(const QDateTime &date);
    // The Dashboard's label when no scan runs: "Next scheduled scan: " and
    // the stored next time, or "Not Running".
    static QString labelText(bool isScheduleOn, const QDateTime &scheduleDate, const QDateTime &now);
    static QString formatNextDate(const QDateTime &date);

    // At launch: load, find the next time, arm.
    void restore();

    // Opening the popover: the earliest day is today; the controls are loaded.
    void schudlerAction();
    void getDataFromDefaultsorSetCurrentTime();
    void saveSchudlerData();
    // The on/off checkbox.
    void removeSchudlerData(bool on);
    bool isSchduleDateAvailble();
    std::optional<QDateTime> getNextSchduleDate(const QDateTime &date);
    void startSchudlerIfAvailble();
    void schudlerScanAction();

    // The label text now (empty while a scan runs).
    QString scanningProgressLabelText() const;

    Form &form() { return m_form; }
    const Form &form() const { return m_form; }
    QDateTime startDate() const { return m_startDate; }
    QDateTime endDate() const { return m_endDate; }
    double time() const { return m_time; }
    qint64 scheduletype() const { return m_scheduletype; }
    std::optional<QDateTime> SchedulerDate() const { return m_SchedulerDate; }
    QDateTime currentDate() const { return m_currentDate; }
    WallClockTimer &timerSchedule() { return m_timerSchedule; }

Q_SIGNALS:
    // The controls were loaded or changed by the scheduler.
    void formChanged();
    // A schedule was saved: the popover closes.
    void closePopover();
    // The schedule was switched off: the label turns black with "Not Running".
    void labelChanged(const QString &text);

private:
    bool isOn() const;
    void switchOff();
    void inform(const QString &text);
    bool writeThrough();

    Platform &m_platform;
    ScanDriver &m_driver;
    Clock &m_clock;
    Form m_form;
    QDateTime m_startDate;
    QDateTime m_endDate;
    double m_time = 0;
    qint64 m_scheduletype = 0;
    std::optional<QDateTime> m_SchedulerDate;
    QDateTime m_currentDate;
    WallClockTimer m_timerSchedule;
    ClockChangeWatcher m_clockChanges;
};
