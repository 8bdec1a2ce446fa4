#pragma once

#include "reports/Reports.h"
#include "scan/AdwareScanReport.h"

#include <QJsonObject>

class Platform;
class ScanDriver;

// What `scan` does with a finished scan: stores its report in the
// preferences like the application does, and words the result as a
// readable summary or as one JSON object.
class ScanOutput
{
public:
    explicit ScanOutput(Platform &platform);

    void store(const ReportPtr &report);
    // Why the report could not be stored; empty when it was (or none was made).
    QString storeError() const { return m_storeError; }
    // report may be null (no report is made for a clean scan while real-time
    // protection is on); the result is worded all the same from the driver.
    QJsonObject json(const ReportPtr &report, const ScanDriver &driver) const;
    QString summary(const ReportPtr &report, const ScanDriver &driver) const;

private:
    Platform &m_platform;
    Reports m_reports;
    QString m_storeError;
};
