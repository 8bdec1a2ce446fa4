#include "cli/ScanOutput.h"

#include "cli/TerminalText.h"

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
    const QJsonValue unreadable(driver.lastScanUnreadable());
    if (report) {
        QJsonObject object = ReportJson::reportObject(*report);
        object.insert(QStringLiteral("unreadable"), unreadable);
        return object;
    }
    QJsonArray threats;
    for (const AdwarePtr &adware : driver.arrAdwareList())
        threats.append(ReportJson::threatObject(*adware));
    return QJsonObject{{QStringLiteral("reportId"), QJsonValue()},
                       {QStringLiteral("reportType"), driver.reportType()},
                       {QStringLiteral("scanDate"), ReportJson::isoDate(driver.lastScanEnd())},
                       {QStringLiteral("scanDuration"), driver.lastScanDuration()},
                       {QStringLiteral("adwareCount"), qint64(driver.arrAdwareList().size())},
                       {QStringLiteral("unreadable"), unreadable},
                       {QStringLiteral("threats"), threats}};
}

QString ScanOutput::summary(const ReportPtr &report, const ScanDriver &driver) const
{
    const QList<AdwarePtr> &threats = driver.arrAdwareList();
    // A Custom Scan names its folder (as scanned, a link resolved), the others the volume.
    const QString scanned =
        driver.reportType() == QLatin1String("Custom Scan") ? driver.customScanDirectory() : m_platform.volume().root();
    QString text = QStringLiteral("%1 of %2 finished in %3.\n")
                       .arg(driver.reportType(), TerminalText::escaped(scanned), driver.lastScanDuration().trimmed());
    if (const qint64 unreadable = driver.lastScanUnreadable(); unreadable > 0) {
        text += QStringLiteral("Warning: %1 folder%2 could not be read; what lies below %3 was not scanned.\n")
                    .arg(unreadable)
                    .arg(unreadable == 1 ? "" : "s", unreadable == 1 ? "it" : "them");
    }
    if (threats.isEmpty()) {
        text += QStringLiteral("No threats found.\n");
    } else {
        text += QStringLiteral("%1 threat%2 found:\n").arg(threats.size()).arg(threats.size() == 1 ? "" : "s");
        for (const AdwarePtr &adware : threats)
            text += QStringLiteral("  %1  [%2]\n      %3\n")
                        .arg(TerminalText::escaped(adware->name()), TerminalText::escaped(adware->infections()),
                             TerminalText::escaped(adware->path()));
    }
    if (!report)
        text += QStringLiteral("No report stored (real-time protection is on and nothing was found).\n");
    else if (m_storeError.isEmpty())
        text += QStringLiteral("Report %1 stored.\n").arg(report->reportId());
    return text;
}
