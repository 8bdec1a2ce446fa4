#pragma once

#include "scan/AdwareScanReport.h"
#include "services/BackgroundSettings.h"

#include <QObject>
#include <QTimer>

class Platform;
class ScanDriver;

// Real-time scanning: while "RealTimeScanONOFF" is on, a scan of the kind
// chosen on the Dashboard every 30 minutes (the first one 30 minutes after
// it was switched on), doing nothing while another scan runs.
//
// What a real-time scan finds reaches the user two ways, both on the main
// thread: every threat the scan adds is posted as one "noteCustom"
// notification whose object is its Adware record (the card column shows
// each path once per run), and a finished real-time scan that found threats
// shows the alert of alertIfThreatDetected().
//
// The driver writes the scan kind ("Quick Scan", ...) into the report at
// completion, so a real-time report is known by the scan it came from.
class RealTimeScanning : public QObject
{
    Q_OBJECT
public:
    static constexpr int kIntervalSeconds = 1800;

    RealTimeScanning(Platform &platform, ScanDriver &driver, QObject *parent = nullptr);

    BackgroundSettings &settings() { return m_settings; }
    bool isRealTimeProtectionON() const { return m_settings.isRealTimeProtectionON(); }

    // Starts (replacing a running one) or stops the repeating timer; starting
    // does nothing while the setting is off.
    void realTimeScanning(bool on);
    // One real-time scan.
    void scanAdwareRealTime();
    // The status menu's first item and the Dashboard's control: inverts and
    // stores the setting, then starts or stops the timer.
    void realTimeScanningOnOFMenuBarAction();
    // "Real-time Scan Enabled" or "Real-time Scan Disabled".
    QString statusMenuTitle() const;

    // The alert for a finished real-time scan with threats; answers whether
    // it was shown. "Remove" asks for the main window (showMainWindow()).
    bool alertIfThreatDetected(const ReportPtr &report);

    QTimer &realTimeScanningTimer() { return m_realTimeScanningTimer; }

Q_SIGNALS:
    // The setting changed: the status menu and the Dashboard refresh.
    void statusChanged(bool on);
    // Bring the main window to the front and activate the application.
    void showMainWindow();

private:
    Platform &m_platform;
    ScanDriver &m_driver;
    BackgroundSettings m_settings;
    QTimer m_realTimeScanningTimer;
    bool m_scanIsOurs = false;
    ReportPtr m_ownReport;
};
