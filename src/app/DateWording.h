#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

// How times read to people: a past date as "3 days ago" or "Yesterday", and
// a number of seconds as a scan duration such as " 2 minutes  5 seconds".
class DateWording
{
public:
    static QString relativeDateStringForDate(const QDateTime &date,
                                             const QDateTime &now = QDateTime::currentDateTime());
    static QString stringFromTimeInterval(double seconds);
    // The Dashboard's last-scan text for the value stored under "kLastScanDate".
    static QString lastScanText(const QVariant &storedDate,
                                const QDateTime &now = QDateTime::currentDateTime());
};
