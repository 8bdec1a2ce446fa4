#include "app/DateWording.h"

#include <cmath>

namespace {

QString plural(qint64 n)
{
    return n == 1 ? QString() : QStringLiteral("s");
}

// Calendar difference from `from` to `to` (from < to) in years, months,
// weeks, days, hours, minutes and seconds; each unit holds what remains
// after the larger ones.
struct CalendarDifference
{
    qint64 years = 0, months = 0, weeks = 0, days = 0, hours = 0, minutes = 0, seconds = 0;
};

CalendarDifference difference(const QDateTime &from, const QDateTime &to)
{
    CalendarDifference d;
    QDateTime cursor = from;

    d.years = to.date().year() - cursor.date().year();
    while (d.years > 0 && cursor.addYears(int(d.years)) > to)
        --d.years;
    cursor = cursor.addYears(int(d.years));

    d.months = (to.date().year() - cursor.date().year()) * 12 + to.date().month() - cursor.date().month();
    while (d.months > 0 && cursor.addMonths(int(d.months)) > to)
        --d.months;
    d.months = std::max<qint64>(d.months, 0);
    cursor = cursor.addMonths(int(d.months));

    qint64 days = cursor.date().daysTo(to.date());
    while (days > 0 && cursor.addDays(days) > to)
        --days;
    days = std::max<qint64>(days, 0);
    cursor = cursor.addDays(days);
    d.weeks = days / 7;
    d.days = days % 7;

    const qint64 rest = std::max<qint64>(cursor.msecsTo(to) / 1000, 0);
    d.hours = rest / 3600;
    d.minutes = (rest / 60) % 60;
    d.seconds = rest % 60;
    return d;
}

QString ago(qint64 n, const char *unit)
{
    return QStringLiteral("%1 %2%3 ago").arg(n).arg(QLatin1String(unit), plural(n));
}

} // namespace

QString DateWording::relativeDateStringForDate(const QDateTime &date, const QDateTime &now)
{
    if (!date.isValid() || !(now > date))
        return QStringLiteral("Not scan yet");
    const CalendarDifference d = difference(date.toLocalTime(), now.toLocalTime());
    if (d.years >= 1)
        return ago(d.years, "year");
    if (d.months >= 1)
        return ago(d.months, "month");
    if (d.weeks >= 1)
        return ago(d.weeks, "week");
    if (d.days >= 2)
        return ago(d.days, "day");
    if (d.days == 1)
        return QStringLiteral("Yesterday");
    if (d.hours >= 1)
        return ago(d.hours, "hour");
    if (d.minutes >= 1)
        return ago(d.minutes, "minute");
    if (d.seconds >= 1)
        return ago(d.seconds, "second");
    return QStringLiteral("In few seconds");
}

QString DateWording::stringFromTimeInterval(double seconds)
{
    const qint64 n = std::isfinite(seconds) ? qint64(std::trunc(seconds)) : 0;
    const qint64 s = n % 60;
    const qint64 m = (n / 60) % 60;
    const qint64 h = n / 3600;

    QString text = QString::asprintf("%2lld second", static_cast<long long>(s)) + plural(s);
    if (n < 1)
        text = QStringLiteral("less then 1 second");
    if (m > 0)
        text = QString::asprintf("%2lld minute", static_cast<long long>(m)) + plural(m) + QLatin1Char(' ') + text;
    if (n > 3599)
        text = QString::asprintf("%2lld hour", static_cast<long long>(h)) + plural(h) + QLatin1Char(' ') + text;
    return text;
}

QString DateWording::lastScanText(const QVariant &storedDate, const QDateTime &now)
{
    const QDateTime date = storedDate.toDateTime();
    if (!storedDate.isValid() || !date.isValid())
        return QStringLiteral("Not scan yet");
    return relativeDateStringForDate(date, now);
}
