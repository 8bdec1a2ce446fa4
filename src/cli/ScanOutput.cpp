#include "cli/ScanOutput.h"

#include "platform/Platform.h"
#include "reports/ReportJson.h"
#include "scan/ScanDriver.h"

#include <QJsonArray>

ScanOutput::ScanOutput(Platform &platform)
    : m_platform(platform)
    , m_reports(platform)
{
}

void ScanOutput::store(const ReportPtr &report)
{
    m_reports.updateReportInDefaults(report);
    m_storeError = m_reports.storeError();
}

QJsonObject ScanOutput::json(const ReportPtr &report, const ScanDriver &driver) const
{
    if (report)
        return ReportJson::reportObject(*report);
    QJsonArray threats;
    for (const AdwarePtr &adware : driver.arrAdwareList())
        threats.append(ReportJson::threatObject(*adware));
    return QJsonObject{{QStringLiteral("reportId"), QJsonValue()},
                       {QStringLiteral("reportType"), driver.reportType()},
                       {QStringLiteral("scanDate"), ReportJson::isoDate(driver.lastScanEnd())},
                       {QStringLiteral("scanDuration"), driver.lastScanDuration()},
                       {QStringLiteral("adwareCount"), qint64(driver.arrAdwareList().size())},
                       {QStringLiteral("threats"), threats}};
}

QString ScanOutput::summary(const ReportPtr &report, const ScanDriver &driver) const
{
    const QList<AdwarePtr> &threats = driver.arrAdwareList();
    QString text = QStringLiteral("%1 of %2 finished in %3.\n")
                       .arg(driver.reportType(), m_platform.volume().root(), driver.lastScanDuration().trimmed());
    if (threats.isEmpty()) {
        text += QStringLiteral("No threats found.\n");
    } else {
        text += QStringLiteral("%1 threat%2 found:\n").arg(threats.size()).arg(threats.size() == 1 ? "" : "s");
        for (const AdwarePtr &adware : threats)
            text += QStringLiteral("  %1  [%2]\n      %3\n").arg(adware->name(), adware->infections(), adware->path());
    }
    if (!report)
        text += QStringLiteral("No report stored (real-time protection is on and nothing was found).\n");
    else if (m_storeError.isEmpty())
        text += QStringLiteral("Report %1 stored.\n").arg(report->reportId());
    return text;
}
