#include "scan/AdwareScanReport.h"

#include "app/DateWording.h"

#include <QUuid>

ReportPtr AdwareScanReport::ScanReportWithAdwareList(const QList<AdwarePtr> &list, const QDateTime &date,
                                                     const QString &durations, const QString &reportType)
{
    auto report = std::make_shared<AdwareScanReport>();
    report->m_adwareCount = quint64(list.size());
    report->m_reportType = reportType;
    report->m_scanDate = date;
    report->m_adwareList = list;
    report->m_scanDuration = durations;
    report->m_reportId = globallyUniqueString();
    report->m_isRed = !list.isEmpty();
    // A report made "now" is already in the past when it is worded; the
    // clock's millisecond resolution must not make it read "Not scan yet".
    const QDateTime current = QDateTime::currentDateTime();
    report->recomputeDerived(date.isValid() && date <= current ? std::max(current, date.addMSecs(1)) : current);
    return report;
}

QString AdwareScanReport::globallyUniqueString()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

QString AdwareScanReport::imageNameForCount(quint64 count)
{
    return count != 0 ? QStringLiteral("btn_open.tiff") : QStringLiteral("btn_trash.tiff");
}

void AdwareScanReport::recomputeDerived(const QDateTime &now)
{
    m_reportDateDisplay = DateWording::relativeDateStringForDate(m_scanDate, now);
    m_redGreen = m_isRed ? NamedColour::reportRed() : NamedColour::reportGreen();
    m_openTrash = imageNameForCount(m_adwareCount);
}
