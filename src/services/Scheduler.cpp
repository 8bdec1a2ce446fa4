#include "services/Scheduler.h"

#include "app/NotificationNames.h"
#include "app/PreferenceKeys.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "scan/ScanDriver.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

using namespace PreferenceKeys;

namespace {
const QString kYes = QStringLiteral("Yes");
const QString kNo = QStringLiteral("No");
const QString kAlert = QStringLiteral("Alert");

QDateTime storedDate(const UserDefaults &defaults, const QString &key)
{
    const QDateTime date = defaults.objectForKey(key).toDateTime();
    return date.isValid() ? date.toLocalTime() : QDateTime();
}
} // namespace

Scheduler::Scheduler(Platform &platform, ScanDriver &driver, Clock &clock, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_driver(driver)
    , m_clock(clock)
    , m_timerSchedule(clock)
{
    connect(&m_timerSchedule, &WallClockTimer::fired, this, &Scheduler::schudlerScanAction);
    m_timerSchedule.follow(m_clockChanges);
    // After every scan (and a Custom Scan whose folder choice was cancelled)
    // the next time is searched again and the timer re-armed.
    auto rearm = [this] {
        isSchduleDateAvailble();
        startSchudlerIfAvailble();
    };
    connect(&driver, &ScanDriver::scanFinished, this, rearm);
    connect(&driver, &ScanDriver::scanCancelled, this, rearm);
}

qint64 Scheduler::intervalForType(qint64 type)
{
    switch (type) {
    case 0:
        return 86400;
    case 1:
        return 604800;
    case 2:
        return 2592000;
    case 3:
        return 31536000;
    default:
        return 0;
    }
}

std::optional<QDateTime> Scheduler::nextFire(const QDateTime &startDate, const QDateTime &endDate, double time,
                                             qint64 scheduletype, const QDateTime &now)
{
    if (!startDate.isValid() || !endDate.isValid() || !(startDate < endDate) || !std::isfinite(time))
        return std::nullopt;
    const qint64 interval = intervalForType(scheduletype);
    const qint64 timeMs = std::llround(time * 1000.0);
    // Skip the candidates that are certainly past (all but the last one
    // before now), so a range of many years costs a few steps.
    qint64 k = 0;
    if (interval > 0) {
        const qint64 behindMs = startDate.msecsTo(now) - timeMs;
        if (behindMs > 0)
            k = std::max<qint64>(0, behindMs / (interval * 1000) - 1);
    }
    for (;; ++k) {
        const QDateTime d = startDate.addSecs(k * interval);
        if (!(d < endDate))
            return std::nullopt;
        const QDateTime t = d.addMSecs(timeMs);
        if (startDate < t && t < endDate && now < t)
            return t;
        if (interval == 0)
            return std::nullopt;
    }
}

QDateTime Scheduler::getTimeDateAdding(const QDateTime &date, int hours, int min, int sec)
{
    return QDateTime(date.date(), QTime(hours, min, sec));
}

double Scheduler::getTimeAt0Date(const QDateTime &date)
{
    return getTimeDateAdding(date, 0, 0, 1).msecsTo(date) / 1000.0;
}

QString Scheduler::formatNextDate(const QDateTime &date)
{
    // Day, month, calendar year, 12-hour clock with AM/PM in English.
    return QLocale::c().toString(date, QStringLiteral("dd/MM/yyyy hh:mm AP"));
}

QString Scheduler::labelText(bool isScheduleOn, const QDateTime &scheduleDate, const QDateTime &now)
{
    if (isScheduleOn && scheduleDate.isValid() && scheduleDate > now)
        return QStringLiteral("Next scheduled scan: ") + formatNextDate(scheduleDate);
    return QStringLiteral("Not Running");
}

QString Scheduler::scanningProgressLabelText() const
{
    if (m_driver.isScanning())
        return QString();
    return labelText(m_form.isScheduleOn, storedDate(m_platform.defaults(), ScheduleDate), m_clock.now());
}

bool Scheduler::isOn() const
{
    return m_platform.defaults().objectForKey(ScheduleOn).toString() == kYes;
}

void Scheduler::restore()
{
    getDataFromDefaultsorSetCurrentTime();
    isSchduleDateAvailble();
    startSchudlerIfAvailble();
}

void Scheduler::schudlerAction()
{
    m_form.minimumDay = m_clock.now().date();
    getDataFromDefaultsorSetCurrentTime();
}

void Scheduler::getDataFromDefaultsorSetCurrentTime()
{
    const UserDefaults &defaults = m_platform.defaults();
    const QDateTime now = m_clock.now();
    if (isOn()) {
        m_currentDate = now;
        m_startDate = storedDate(defaults, ScheduleStartDate);
        m_endDate = storedDate(defaults, ScheduleEndDate);
        bool timeOk = false;
        m_time = defaults.objectForKey(ScheduleTime).toDouble(&timeOk);
        bool typeOk = false;
        m_scheduletype = defaults.objectForKey(ScheduleType).toLongLong(&typeOk);
        if (!m_startDate.isValid() || !m_endDate.isValid() || !timeOk || !typeOk || !std::isfinite(m_time)) {
            // Kept as stored; the search finds no time and arming switches off.
            Log::warning(QStringLiteral("The stored schedule cannot be read; it is treated as expired"));
            m_startDate = m_endDate = QDateTime();
        }
        m_form.isScheduleOn = true;
        m_form.scheduletype = static_cast<int>(std::clamp<qint64>(m_scheduletype, 0, 3));
        m_form.startDay = m_startDate.isValid() ? m_startDate.date() : now.date();
        m_form.endDay = m_endDate.isValid() ? m_endDate.date() : now.date();
        m_form.timeValue = getTimeDateAdding(now, 0, 0, 1).addMSecs(std::llround((timeOk ? m_time : 0) * 1000.0));
    } else {
        m_form.isScheduleOn = false;
        m_form.startDay = now.date();
        m_form.endDay = now.date();
        m_form.timeValue = now.time().hour() == 23 ? getTimeDateAdding(now, 23, 59, 59) : now.addSecs(3600);
    }
    Q_EMIT formChanged();
}

void Scheduler::inform(const QString &text)
{
    m_platform.alerts().inform(text, kAlert);
}

bool Scheduler::writeThrough()
{
    if (m_platform.defaults().synchronize())
        return true;
    Log::warning(QStringLiteral("The schedule could not be stored: %1").arg(m_platform.defaults().lastError()));
    return false;
}

void Scheduler::saveSchudlerData()
{
    m_scheduletype = m_form.scheduletype;
    m_currentDate = m_clock.now();
    m_startDate = QDateTime(m_form.startDay, QTime(0, 0, 1));
    m_endDate = QDateTime(m_form.endDay, QTime(23, 59, 59));
    m_time = getTimeAt0Date(m_form.timeValue);

    if (m_startDate > m_endDate) {
        m_form.isScheduleOn = false;
        Q_EMIT formChanged();
        inform(QStringLiteral("Start Date should not be greater then End Date."));
        return;
    }
    if (!isSchduleDateAvailble()) {
        m_form.isScheduleOn = false;
        Q_EMIT formChanged();
        inform(QStringLiteral("Scheduler time already expired."));
        return;
    }
    UserDefaults &defaults = m_platform.defaults();
    defaults.setObject(kYes, ScheduleOn);
    defaults.setObject(m_startDate.toUTC(), ScheduleStartDate);
    defaults.setObject(m_endDate.toUTC(), ScheduleEndDate);
    defaults.setObject(m_time, ScheduleTime);
    defaults.setObject(m_scheduletype, ScheduleType);
    if (!writeThrough()) {
        // Never "scheduled successfully" for a schedule that is not stored.
        m_form.isScheduleOn = false;
        Q_EMIT formChanged();
        inform(defaults.lastError());
        return;
    }
    m_form.isScheduleOn = true;
    Q_EMIT formChanged();
    Q_EMIT closePopover();
    inform(QStringLiteral("Adware scan scheduled successfully"));
    m_platform.notifications().post(NotificationNames::ScanningStatusChange);
    startSchudlerIfAvailble();
}

void Scheduler::removeSchudlerData(bool on)
{
    if (on) {
        m_form.isScheduleOn = true;
        saveSchudlerData();
        return;
    }
    switchOff();
}

void Scheduler::switchOff()
{
    m_timerSchedule.cancel();
    m_SchedulerDate.reset();
    m_form.isScheduleOn = false;
    Q_EMIT labelChanged(QStringLiteral("Not Running"));
    if (m_platform.defaults().objectForKey(ScheduleOn).toString() != kNo) {
        m_platform.defaults().setObject(kNo, ScheduleOn);
        writeThrough();
    }
    getDataFromDefaultsorSetCurrentTime();
}

bool Scheduler::isSchduleDateAvailble()
{
    m_SchedulerDate.reset();
    const auto next = nextFire(m_startDate, m_endDate, m_time, m_scheduletype, m_clock.now());
    if (!next)
        return false;
    // The day of that time, tested (and stored) the one way.
    return getNextSchduleDate(next->addMSecs(-std::llround(m_time * 1000.0))).has_value();
}

std::optional<QDateTime> Scheduler::getNextSchduleDate(const QDateTime &date)
{
    const QDateTime t = date.addMSecs(std::llround(m_time * 1000.0));
    if (!(m_startDate < t && t < m_endDate && m_clock.now() < t))
        return std::nullopt;
    m_SchedulerDate = t;
    m_platform.defaults().setObject(t.toUTC(), ScheduleDate);
    writeThrough();
    return t;
}

void Scheduler::startSchudlerIfAvailble()
{
    m_timerSchedule.cancel();
    if (isOn() && m_SchedulerDate) {
        Log::line(QStringLiteral("Scheduled scan armed for %1").arg(m_SchedulerDate->toString(Qt::ISODate)));
        m_timerSchedule.arm(*m_SchedulerDate);
        return;
    }
    switchOff();
}

void Scheduler::schudlerScanAction()
{
    const QDateTime now = m_clock.now();
    if (m_driver.isScanning()) {
        Log::line(QStringLiteral("Scheduled scan skipped: a scan is running"));
    } else {
        Log::line(QStringLiteral("Scheduled scan starts"));
        m_driver.setReportType(QStringLiteral("Scheduled Scan"));
        m_driver.adwareScanStart();
    }
    // The timer repeats at the schedule's next time until the last day has
    // passed; the end of the scan searches and arms again as well.
    if (now > m_endDate)
        return;
    if (const auto next = nextFire(m_startDate, m_endDate, m_time, m_scheduletype, now))
        m_timerSchedule.arm(*next);
}
