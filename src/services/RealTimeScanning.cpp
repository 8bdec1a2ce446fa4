#include "services/RealTimeScanning.h"

#include "app/NotificationNames.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "scan/ScanDriver.h"

RealTimeScanning::RealTimeScanning(Platform &platform, ScanDriver &driver, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_driver(driver)
    , m_settings(platform.defaults())
{
    m_realTimeScanningTimer.setInterval(kIntervalSeconds * 1000);
    m_realTimeScanningTimer.setSingleShot(false);
    connect(&m_realTimeScanningTimer, &QTimer::timeout, this, &RealTimeScanning::scanAdwareRealTime);

    connect(&driver, &ScanDriver::threatAdded, this, [this](const AdwarePtr &threat) {
        if (m_scanIsOurs && threat)
            m_platform.notifications().post(NotificationNames::noteCustom, QVariant::fromValue(threat));
    });
    // The alert waits for the end of the scan to be shown everywhere (Scan
    // page, Dashboard, report list): a modal alert inside the driver's
    // signal would hold the other observers back until it is answered.
    connect(&driver, &ScanDriver::scanFinished, this, [this](const ReportPtr &report) {
        if (!std::exchange(m_scanIsOurs, false))
            return;
        QMetaObject::invokeMethod(
            this,
            [this, report] {
                m_ownReport = report;
                alertIfThreatDetected(report);
                m_ownReport.reset();
            },
            Qt::QueuedConnection);
    });
    connect(&driver, &ScanDriver::scanCancelled, this, [this] { m_scanIsOurs = false; });
}

void RealTimeScanning::realTimeScanning(bool on)
{
    if (!on) {
        m_realTimeScanningTimer.stop();
        return;
    }
    if (!m_settings.isRealTimeProtectionON())
        return;
    m_realTimeScanningTimer.start();
}

void RealTimeScanning::scanAdwareRealTime()
{
    if (m_driver.isScanning())
        return;
    Log::line(QStringLiteral("Real-time scan starts"));
    m_driver.setReportType(QStringLiteral("Real Time Scan"));
    m_driver.adwareScanStart();
    m_scanIsOurs = m_driver.isScanning();
}

void RealTimeScanning::realTimeScanningOnOFMenuBarAction()
{
    const bool on = !m_settings.isRealTimeProtectionON();
    m_settings.setRealTimeProtectionON(on);
    realTimeScanning(on);
    Q_EMIT statusChanged(on);
}

QString RealTimeScanning::statusMenuTitle() const
{
    return QStringLiteral("Real-time Scan %1")
        .arg(m_settings.isRealTimeProtectionON() ? QStringLiteral("Enabled") : QStringLiteral("Disabled"));
}

bool RealTimeScanning::alertIfThreatDetected(const ReportPtr &report)
{
    if (!report || report->adwareCount() == 0)
        return false;
    if (report->reportType() != QStringLiteral("Real Time Scan") && report != m_ownReport)
        return false;
    const int answer = m_platform.alerts().ask(
        QStringLiteral("Alert"), QStringLiteral("Potential threat detected"),
        {QStringLiteral("Ignore"), QStringLiteral("Remove"), QStringLiteral("Remind Me Later")}, 2);
    if (answer == 1)
        Q_EMIT showMainWindow();
    return true;
}
