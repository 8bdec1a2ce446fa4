#pragma once

#include "scan/AdwareScanReport.h"

#include <QJsonArray>
#include <QJsonObject>

// The JSON form of reports and threats that the command line prints: a whole
// report with its threats ("scan --json", "reports show --json") and the
// summary of a report in a list ("reports list --json"). Dates are ISO-8601
// with the local offset.
class ReportJson
{
public:
    // {"name","infections","path","risk","size","isChecked","isAvail"}
    static QJsonObject threatObject(const Adware &adware);
    // {"reportId","reportType","scanDate","scanDuration","adwareCount","threats":[...]}
    static QJsonObject reportObject(const AdwareScanReport &report);
    // {"reportId","reportType","scanDate","scanDuration","adwareCount","reportDateDisplay"}
    static QJsonObject summaryObject(const AdwareScanReport &report);
    static QJsonArray summaryArray(const QList<ReportPtr> &reports);

    static QString isoDate(const QDateTime &date);
};
