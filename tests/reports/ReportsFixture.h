#pragma once

#include "app/PreferenceKeys.h"
#include "remedy/RemovalFixture.h"
#include "reports/Reports.h"
#include "scan/ReportArchive.h"

// A temporary Mac volume with threats, reports made of them, and the
// preferences file the report store writes.
struct ReportsFixture : RemovalFixture
{
    static ReportPtr makeReport(const QList<AdwarePtr> &threats, const QString &type = QStringLiteral("Quick Scan"),
                                const QDateTime &date = QDateTime::currentDateTime().addSecs(-60),
                                const QString &duration = QStringLiteral(" 5 seconds"))
    {
        return AdwareScanReport::ScanReportWithAdwareList(threats, date, duration, type);
    }

    // The report list as another reader of the preferences file sees it.
    QList<ReportPtr> stored() const
    {
        UserDefaults defaults(test.settingsFile());
        return ReportArchive::unarchive(defaults.dataForKey(PreferenceKeys::kSaveReport)).value_or(QList<ReportPtr>());
    }

    static QStringList ids(const QList<ReportPtr> &reports)
    {
        QStringList list;
        for (const ReportPtr &report : reports)
            list << report->reportId();
        return list;
    }

    QStringList questions()
    {
        QStringList texts;
        for (const auto &request : test.alerts().requests())
            texts << request.informativeText;
        return texts;
    }
};
