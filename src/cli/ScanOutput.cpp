#include "cli/ScanOutput.h"

#include "app/PreferenceKeys.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "scan/ReportArchive.h"
#include "scan/ScanDriver.h"

#include <QJsonArray>

ScanOutput::ScanOutput(Platform &platform)
    : m_platform(platform)
{
}

void ScanOutput::store(const ReportPtr &report)
{
    UserDefaults &defaults = m_platform.defaults();
    defaults.synchronize();
    QList<ReportPtr> reports;
    const QByteArray stored = defaults.dataForKey(PreferenceKeys::kSaveReport);
    if (!stored.isEmpty()) {
        QString error;
        const auto loaded = ReportArchive::unarchive(stored, &error);
        if (!loaded) {
            Log::warning(QStringLiteral("The stored reports cannot be read (%1); the new report is not stored").arg(error));
            return;
        }
        reports = *loaded;
    }
    reports.prepend(report);
    defaults.setObject(ReportArchive::archivedDataWithRootObject(reports), PreferenceKeys::kSaveReport);
    defaults.synchronize();
}

QJsonObject ScanOutput::json(const ReportPtr &report, const ScanDriver &driver) const
{
    QJsonArray threats;
    for (const AdwarePtr &adware : driver.arrAdwareList()) {
        threats.append(QJsonObject{{QStringLiteral("name"), adware->name()},
                                   {QStringLiteral("infections"), adware->infections()},
                                   {QStringLiteral("path"), adware->path()},
                                   {QStringLiteral("risk"), adware->risk()},
                                   {QStringLiteral("size"), adware->size()},
                                   {QStringLiteral("isChecked"), adware->isChecked()},
                                   {QStringLiteral("isAvail"), adware->isAvail()}});
    }
    const QDateTime date = report ? report->scanDate() : driver.lastScanEnd();
    return QJsonObject{{QStringLiteral("reportId"), report ? QJsonValue(report->reportId()) : QJsonValue()},
                       {QStringLiteral("reportType"), driver.reportType()},
                       {QStringLiteral("scanDate"), date.toString(Qt::ISODate)},
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
    text += report ? QStringLiteral("Report %1 stored.\n").arg(report->reportId())
                   : QStringLiteral("No report stored (real-time protection is on and nothing was found).\n");
    return text;
}
