#pragma once

#include "scan/Adware.h"

#include <QDateTime>
#include <QList>

class AdwareScanReport;
using ReportPtr = std::shared_ptr<AdwareScanReport>;

// One finished scan: its kind, date, duration and the threats it found, in
// the order they were added. adwareCount, isRed and the colour keep the
// values of the moment the report was made, whatever removal does later.
class AdwareScanReport
{
public:
    static ReportPtr ScanReportWithAdwareList(const QList<AdwarePtr> &list, const QDateTime &date,
                                              const QString &durations, const QString &reportType);

    // A new identifier, unique across processes and time.
    static QString globallyUniqueString();
    static QString imageNameForCount(quint64 count);

    bool isRed() const { return m_isRed; }
    const QString &reportType() const { return m_reportType; }
    const QDateTime &scanDate() const { return m_scanDate; }
    const QString &reportDateDisplay() const { return m_reportDateDisplay; }
    QList<AdwarePtr> &adwareList() { return m_adwareList; }
    const QList<AdwarePtr> &adwareList() const { return m_adwareList; }
    quint64 adwareCount() const { return m_adwareCount; }
    const QString &scanDuration() const { return m_scanDuration; }
    const QString &reportId() const { return m_reportId; }
    const NamedColour &redGreen() const { return m_redGreen; }
    const QString &openTrash() const { return m_openTrash; }

    void setIsRed(bool red) { m_isRed = red; }
    void setReportType(const QString &type) { m_reportType = type; }
    void setScanDate(const QDateTime &date) { m_scanDate = date; }
    void setReportDateDisplay(const QString &text) { m_reportDateDisplay = text; }
    void setAdwareList(const QList<AdwarePtr> &list) { m_adwareList = list; }
    void setAdwareCount(quint64 count) { m_adwareCount = count; }
    void setScanDuration(const QString &duration) { m_scanDuration = duration; }
    void setReportId(const QString &id) { m_reportId = id; }
    void setRedGreen(const NamedColour &colour) { m_redGreen = colour; }
    void setOpenTrash(const QString &imageName) { m_openTrash = imageName; }

    // Recomputes the display date, colour and image from the stored values.
    void recomputeDerived(const QDateTime &now = QDateTime::currentDateTime());

private:
    bool m_isRed = false;
    QString m_reportType;
    QDateTime m_scanDate;
    QString m_reportDateDisplay;
    QList<AdwarePtr> m_adwareList;
    quint64 m_adwareCount = 0;
    QString m_scanDuration;
    QString m_reportId;
    NamedColour m_redGreen = NamedColour::reportGreen();
    QString m_openTrash;
};
