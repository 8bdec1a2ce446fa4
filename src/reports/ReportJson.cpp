#include "reports/ReportJson.h"

namespace {
QJsonObject commonFields(const AdwareScanReport &report)
{
    return {
        {QStringLiteral("reportId"), report.reportId()},
        {QStringLiteral("reportType"), report.reportType()},
        {QStringLiteral("scanDate"), ReportJson::isoDate(report.scanDate())},
        {QStringLiteral("scanDuration"), report.scanDuration()},
        {QStringLiteral("adwareCount"), qint64(report.adwareCount())},
    };
}
} // namespace

QJsonObject ReportJson::threatObject(const Adware &adware)
{
    return {
        {QStringLiteral("name"), adware.name()},
        {QStringLiteral("infections"), adware.infections()},
        {QStringLiteral("path"), adware.path()},
        {QStringLiteral("risk"), adware.risk()},
        {QStringLiteral("size"), adware.size()},
        {QStringLiteral("isChecked"), adware.isChecked()},
        {QStringLiteral("isAvail"), adware.isAvail()},
    };
}

QJsonObject ReportJson::reportObject(const AdwareScanReport &report)
{
    QJsonArray threats;
    for (const AdwarePtr &adware : report.adwareList()) {
        if (adware)
            threats.append(threatObject(*adware));
    }
    QJsonObject object = commonFields(report);
    object.insert(QStringLiteral("threats"), threats);
    return object;
}

QJsonObject ReportJson::summaryObject(const AdwareScanReport &report)
{
    QJsonObject object = commonFields(report);
    object.insert(QStringLiteral("reportDateDisplay"), report.reportDateDisplay());
    return object;
}

QJsonArray ReportJson::summaryArray(const QList<ReportPtr> &reports)
{
    QJsonArray array;
    for (const ReportPtr &report : reports) {
        if (report)
            array.append(summaryObject(*report));
    }
    return array;
}

QString ReportJson::isoDate(const QDateTime &date)
{
    if (!date.isValid())
        return QString();
    const QDateTime local = date.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}
