#pragma once

#include <QString>
#include <QVariant>

// One posted notification: its name ("ScanningProgress", "listChange", ...)
// and the object it carries (a number, a path, a report, or nothing).
struct Notification
{
    QString name;
    QVariant object;
};
