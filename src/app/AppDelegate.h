#pragma once

#include "app/AccessController.h"
#include "app/RemoteFlag.h"
#include "reports/Reports.h"
#include "scan/ScanDriver.h"
#include "services/LoginItem.h"
#include "services/RealTimeScanning.h"
#include "services/Scheduler.h"

#include <QObject>
#include <QStringList>
#include <memory>

class DirectRemoval;
class Platform;

// The application object: lives for the whole run and owns what is shared
// (the access state, the remote flag, the scan driver, the report store).
// It runs the start-up steps in their order; the windows of the desktop
// application observe it through its signals and never the other way round.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    explicit AppDelegate(Platform &platform, QObject *parent = nullptr);
    ~AppDelegate() override;

    Platform &platform() { return m_platform; }
    AccessController &access() { return m_access; }
    RemoteFlag &remoteFlag() { return m_remoteFlag; }
    ScanDriver &scanDriver() { return *m_scanDriver; }
    Reports &reportsObj() { return *m_reportsObj; }
    Scheduler &scheduler() { return *m_scheduler; }
    RealTimeScanning &realTime() { return *m_realTime; }
    BackgroundSettings &backgroundSettings() { return m_realTime->settings(); }
    LoginItem &loginItem() { return *m_loginItem; }
    // The removals without question: one threat from a threat card
    // (removeThisAndReloadData) and the checked threats of the Scan list.
    DirectRemoval &directRemoval() { return *m_directRemoval; }

    // The background settings as stored: tells a login helper to end when
    // started at login, keeps the autostart entry as the setting says, and
    // starts or stops the real-time timer. Run at every launch.
    void applyBackgroundSettings();

    // The full-system signature list for the volume's user.
    QStringList fullSyatemScanPath() const;

    // Start-up before and after the interface is shown.
    void applicationWillFinishLaunching();
    void applicationDidFinishLaunching();
    // Closing the last window keeps the application running.
    bool applicationShouldTerminateAfterLastWindowClosed() const { return false; }

    // True when start-up chose the first-launch access window over the main
    // interface (the home folder could not be read).
    bool showsAccessWindow() const { return m_showsAccessWindow; }

    // Refreshes the last-scan text; with "Y" again every 10 seconds.
    void setLastScanTextisRepeat(const QString &flag);
    QString lastScanText() const { return m_lastScanText; }

    qint64 tabtype = 40;
    qint32 old = 0;

Q_SIGNALS:
    void lastScanTextChanged(const QString &text);
    void interfaceChosen(bool accessWindow);

private:
    bool isScanning() const;

    Platform &m_platform;
    AccessController m_access;
    RemoteFlag m_remoteFlag;
    std::unique_ptr<ScanDriver> m_scanDriver;
    std::unique_ptr<Reports> m_reportsObj;
    std::unique_ptr<Scheduler> m_scheduler;
    std::unique_ptr<RealTimeScanning> m_realTime;
    std::unique_ptr<LoginItem> m_loginItem;
    std::unique_ptr<DirectRemoval> m_directRemoval;
    bool m_showsAccessWindow = false;
    QString m_lastScanText;
};
