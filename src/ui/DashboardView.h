#pragma once

#include "ui/PageView.h"

#include <QDateTime>
#include <QPointer>
#include <QPushButton>
#include <functional>

class AppDelegate;
class ButtonWithSpinner;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class ScanView;

// The Dashboard page (the application object's `dashboardObj`): whether the
// home folder may be read and when the last scan ran (the blue and red
// boxes), the scan type and the scan button, the scheduler, update and help
// buttons, the switches for start at login, dock icon and real-time
// protection, and the mirror of a running scan. It keeps whether the home
// folder may be read, which the other pages and the scan driver ask.
// Main thread only. The clock is injectable so the situations of the boxes
// can be tested at any date.
class DashboardView : public PageView
{
    Q_OBJECT
public:
    // Seconds in which a scan still counts as recent.
    static constexpr qint64 kRecentScanSeconds = 259200;

    explicit DashboardView(QWidget *parent = nullptr);

    // Connects the page to the application object and runs its set-up
    // (launchDate, access and boxes, switches, version label, "StopScan").
    void setUp(AppDelegate &app, ScanView *scanView);
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    // Answers whether the home folder may be read in place of the access
    // controller (the screenshot tour shows the situation without access).
    void setAccessProbe(std::function<bool()> probe) { m_accessProbe = std::move(probe); }
    QDateTime launchDate() const { return m_launchDate; }
    void setLaunchDate(const QDateTime &date) { m_launchDate = date; }

    ButtonWithSpinner *scanBtu() const { return m_scanBtu; }
    ButtonWithSpinner *UpdateNowSelf() const { return m_updateNowSelf; }
    QPushButton *scheduleBtn() const { return m_scheduleBtn; }
    QPushButton *getAccessAndScan() const { return m_getAccessAndScan; }
    QPushButton *needHelpBtu() const { return m_needHelpBtu; }
    QComboBox *btnScanType() const { return m_btnScanType; }
    QCheckBox *btnDeepScan() const { return m_btnDeepScan; }
    QCheckBox *runOnStartUp() const { return m_runOnStartUp; }
    QCheckBox *showDockIcon() const { return m_showDockIcon; }
    QCheckBox *btnRealtimeScan() const { return m_btnRealtimeScan; }
    QFrame *blueView() const { return m_blueView; }
    QFrame *redView() const { return m_redView; }
    QLabel *textRedView() const { return m_textRedView; }
    QLabel *lastScanLabel() const { return m_lastScanLabel; }
    QLabel *scanningProgressLabelText() const { return m_scanningProgressLabelText; }
    QLabel *lblScanProgress() const { return m_lblScanProgress; }
    QLabel *versionLabelText() const { return m_versionLabelText; }
    QLabel *realTimeProtectionLabelText() const { return m_realTimeProtectionLabelText; }
    QLabel *realTimeProtectionIcon() const { return m_realTimeProtectionIcon; }

    bool isUserDirAccessible() const { return m_userDirAccessible; }
    void setUserDirAccessible(bool accessible) { m_userDirAccessible = accessible; }
    bool isScanLast3Days() const { return m_isScanLast3Days; }
    bool isTodayScan() const { return m_isTodayScan; }

    // Recomputes access and the status boxes (here and on the Scan page).
    void makeAccessibleUIChanges();
    // Shows the stored settings of the three switches.
    void makeAppChanges();
    // The status label when no scan runs: "Not Running" or the next
    // scheduled scan.
    void ScanningStatusChange();
    // The scan button's title for a scan type (white, centred).
    void titleScanButton(qint64 scanType);
    static QString scanTitle(qint64 scanType);

    // Actions.
    void scanStartAction();
    void grantAccessAction();
    void changeScanType(int index);
    void btnDeepScanClicked(bool on);
    void updateSelfAction();
    void helpAction();
    void schedulerAction();
    void runStartUpAction(bool on);
    void showDockAction(bool on);
    void realTimeScanEnable(bool on);
    // Reset after a stopped scan ("StopScan").
    void stopScan();

Q_SIGNALS:
    // The scheduler button was pressed; the schedule editor answers it.
    void schudlerAction(QWidget *sender);
    // The update check has shown its answer.
    void updateCheckAnswered();

private:
    QDateTime now() const;
    void startScan();
    void showRealTimeState(bool on);

    AppDelegate *m_app = nullptr;
    QPointer<ScanView> m_scanView;
    std::function<QDateTime()> m_clock;
    std::function<bool()> m_accessProbe;
    QDateTime m_launchDate;

    QFrame *m_blueView;
    QFrame *m_redView;
    QLabel *m_textRedView;
    QPushButton *m_getAccessAndScan;
    ButtonWithSpinner *m_scanBtu;
    QComboBox *m_btnScanType;
    QCheckBox *m_btnDeepScan;
    ButtonWithSpinner *m_updateNowSelf;
    QPushButton *m_scheduleBtn;
    QPushButton *m_needHelpBtu;
    QCheckBox *m_runOnStartUp;
    QCheckBox *m_showDockIcon;
    QCheckBox *m_btnRealtimeScan;
    QLabel *m_realTimeProtectionLabelText;
    QLabel *m_realTimeProtectionIcon;
    QLabel *m_scanningProgressLabelText;
    QLabel *m_lblScanProgress;
    QLabel *m_lastScanLabel;
    QLabel *m_versionLabelText;
    bool m_userDirAccessible = false;
    bool m_isScanLast3Days = false;
    bool m_isTodayScan = false;
};
