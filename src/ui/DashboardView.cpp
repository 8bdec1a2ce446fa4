#include "ui/DashboardView.h"

#include "app/AppDelegate.h"
#include "app/NotificationNames.h"
#include "app/PreferenceKeys.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "ui/AppDelegateWindow.h"
#include "ui/AppStyle.h"
#include "ui/ButtonWithSpinner.h"
#include "ui/Images.h"
#include "ui/ScanView.h"
#include "ui/StatusMenu.h"
#include "ui/UiTiming.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVersionNumber>

using namespace PreferenceKeys;

namespace {
const QString kNeverScanned = QStringLiteral("A scan has never been run on your system");
const QString kPleaseScan = QStringLiteral("Please perform a full system scan to find and remove adware.");

QFrame *statusBox(const QString &name, const QString &accessible, const QString &colour, QWidget *parent)
{
    auto *box = new QFrame(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    box->setMinimumHeight(64);
    box->setStyleSheet(QStringLiteral("QFrame#%1 { background: %2; border-radius: 6px; } "
                                      "QFrame#%1 QLabel { color: white; font-weight: bold; }")
                           .arg(name, colour));
    return box;
}

QCheckBox *settingSwitch(const QString &name, const QString &title, QWidget *parent)
{
    auto *box = new QCheckBox(title, parent);
    box->setObjectName(name);
    box->setAccessibleName(title);
    return box;
}
} // namespace

DashboardView::DashboardView(QWidget *parent)
    : PageView(QStringLiteral("dashboardObj"), QStringLiteral("Dashboard"), parent)
    , m_blueView(statusBox(QStringLiteral("blueView"), QStringLiteral("Protected"), QStringLiteral("#3983fb"), this))
    , m_redView(statusBox(QStringLiteral("redView"), QStringLiteral("Attention"), QStringLiteral("#d9453b"), this))
    , m_textRedView(new QLabel(m_redView))
    , m_getAccessAndScan(new QPushButton(m_redView))
    , m_scanBtu(new ButtonWithSpinner(QString(), this))
    , m_btnScanType(new QComboBox(this))
    , m_btnDeepScan(settingSwitch(QStringLiteral("btnDeepScan"), QStringLiteral("Deep scan"), this))
    , m_updateNowSelf(new ButtonWithSpinner(QString(), this))
    , m_scheduleBtn(new QPushButton(this))
    , m_needHelpBtu(new QPushButton(QStringLiteral("Need Help?"), this))
    , m_runOnStartUp(settingSwitch(QStringLiteral("runOnStartUp"), QStringLiteral("Start at login"), this))
    , m_showDockIcon(settingSwitch(QStringLiteral("showDockIcon"), QStringLiteral("Show dock icon"), this))
    , m_btnRealtimeScan(settingSwitch(QStringLiteral("btnRealtimeScan"), QStringLiteral("Real-time protection"), this))
    , m_realTimeProtectionLabelText(new QLabel(this))
    , m_realTimeProtectionIcon(new QLabel(this))
    , m_scanningProgressLabelText(new QLabel(QStringLiteral("Not Running"), this))
    , m_lblScanProgress(new QLabel(this))
    , m_lastScanLabel(new QLabel(this))
    , m_versionLabelText(new QLabel(this))
{
    m_textRedView->setObjectName(QStringLiteral("textRedView"));
    m_textRedView->setAccessibleName(QStringLiteral("Protection status"));
    m_textRedView->setWordWrap(true);
    m_getAccessAndScan->setObjectName(QStringLiteral("getAccessAndScan"));
    m_getAccessAndScan->setAccessibleName(QStringLiteral("Fix now or scan now"));
    m_getAccessAndScan->setMinimumSize(110, 32);
    auto *redRow = new QHBoxLayout(m_redView);
    redRow->setContentsMargins(16, 10, 12, 10);
    redRow->addWidget(m_textRedView, 1);
    redRow->addWidget(m_getAccessAndScan);
    auto *blueText = new QLabel(QStringLiteral("Your Mac is protected. The last scan ran recently."), m_blueView);
    blueText->setObjectName(QStringLiteral("textBlueView"));
    blueText->setWordWrap(true);
    auto *blueRow = new QHBoxLayout(m_blueView);
    blueRow->setContentsMargins(16, 10, 12, 10);
    blueRow->addWidget(blueText, 1);
    m_blueView->hide();

    m_scanBtu->setObjectName(QStringLiteral("scanBtu"));
    m_scanBtu->setAccessibleName(QStringLiteral("Start scan"));
    m_scanBtu->setMinimumSize(180, 40);
    m_scanBtu->setProperty("primary", true);
    m_btnScanType->setObjectName(QStringLiteral("btnScanType"));
    m_btnScanType->setAccessibleName(QStringLiteral("Scan type"));
    m_btnScanType->addItems({QStringLiteral("Quick Scan"), QStringLiteral("Deep Scan"), QStringLiteral("Custom Scan")});
    m_btnScanType->setMinimumHeight(32);
    m_updateNowSelf->setObjectName(QStringLiteral("UpdateNowSelf"));
    m_updateNowSelf->setAccessibleName(QStringLiteral("Check for Updates"));
    m_updateNowSelf->setMinimumSize(160, 30);
    m_updateNowSelf->setFlat(true);
    m_scheduleBtn->setObjectName(QStringLiteral("scheduleBtn"));
    m_scheduleBtn->setAccessibleName(QStringLiteral("Scheduler"));
    m_scheduleBtn->setMinimumSize(110, 30);
    m_scheduleBtn->setFlat(true);
    m_needHelpBtu->setObjectName(QStringLiteral("needHelpBtu"));
    m_needHelpBtu->setAccessibleName(QStringLiteral("Need Help?"));
    m_needHelpBtu->setMinimumHeight(30);
    m_needHelpBtu->setFlat(true);
    m_realTimeProtectionLabelText->setObjectName(QStringLiteral("realTimeProtectionLabelText"));
    m_realTimeProtectionLabelText->setAccessibleName(QStringLiteral("Real-time protection state"));
    m_realTimeProtectionIcon->setObjectName(QStringLiteral("realTimeProtectionIcon"));
    m_realTimeProtectionIcon->setFixedSize(16, 16);
    m_scanningProgressLabelText->setObjectName(QStringLiteral("scanningProgressLabelText"));
    m_scanningProgressLabelText->setAccessibleName(QStringLiteral("Scan status"));
    m_scanningProgressLabelText->setMinimumWidth(300);
    m_lblScanProgress->setObjectName(QStringLiteral("lblScanProgress"));
    m_lblScanProgress->setAccessibleName(QStringLiteral("Scan progress"));
    m_lblScanProgress->setMinimumWidth(48);
    m_lastScanLabel->setObjectName(QStringLiteral("lastScanLabel"));
    m_lastScanLabel->setAccessibleName(QStringLiteral("Last scan"));
    m_versionLabelText->setObjectName(QStringLiteral("versionLabelText"));
    m_versionLabelText->setAccessibleName(QStringLiteral("Version"));

    body()->addWidget(m_blueView);
    body()->addWidget(m_redView);
    auto *scanRow = new QHBoxLayout;
    scanRow->addWidget(m_scanBtu);
    scanRow->addSpacing(12);
    scanRow->addWidget(m_btnScanType);
    scanRow->addWidget(m_btnDeepScan);
    scanRow->addStretch(1);
    body()->addLayout(scanRow);

    auto *status = new QGridLayout;
    status->setHorizontalSpacing(12);
    auto addRow = [status](int row, const QString &caption, QWidget *value, QWidget *extra = nullptr) {
        auto *label = new QLabel(caption);
        label->setStyleSheet(QStringLiteral("color: #555;"));
        status->addWidget(label, row, 0);
        status->addWidget(value, row, 1);
        if (extra)
            status->addWidget(extra, row, 2);
    };
    addRow(0, QStringLiteral("Last scan:"), m_lastScanLabel);
    addRow(1, QStringLiteral("Scan status:"), m_scanningProgressLabelText, m_lblScanProgress);
    auto *realTimeState = new QHBoxLayout;
    realTimeState->setSpacing(0);
    realTimeState->addWidget(m_realTimeProtectionIcon);
    realTimeState->addWidget(m_realTimeProtectionLabelText, 1);
    auto *realTimeLabel = new QLabel(QStringLiteral("Real-time protection:"));
    realTimeLabel->setStyleSheet(QStringLiteral("color: #555;"));
    status->addWidget(realTimeLabel, 2, 0);
    status->addLayout(realTimeState, 2, 1);
    status->setColumnStretch(1, 1);
    body()->addLayout(status);

    auto *switches = new QHBoxLayout;
    switches->addWidget(m_runOnStartUp);
    switches->addWidget(m_showDockIcon);
    switches->addWidget(m_btnRealtimeScan);
    switches->addStretch(1);
    body()->addLayout(switches);

    auto *links = new QHBoxLayout;
    links->addWidget(m_scheduleBtn);
    links->addWidget(m_updateNowSelf);
    links->addWidget(m_needHelpBtu);
    links->addStretch(1);
    links->addWidget(m_versionLabelText);
    body()->addLayout(links);

    connect(m_scanBtu, &QPushButton::clicked, this, &DashboardView::scanStartAction);
    connect(m_getAccessAndScan, &QPushButton::clicked, this, &DashboardView::scanStartAction);
    connect(m_btnScanType, &QComboBox::activated, this, &DashboardView::changeScanType);
    connect(m_btnDeepScan, &QCheckBox::clicked, this, &DashboardView::btnDeepScanClicked);
    connect(m_updateNowSelf, &QPushButton::clicked, this, &DashboardView::updateSelfAction);
    connect(m_needHelpBtu, &QPushButton::clicked, this, &DashboardView::helpAction);
    connect(m_scheduleBtn, &QPushButton::clicked, this, &DashboardView::schedulerAction);
    connect(m_runOnStartUp, &QCheckBox::clicked, this, &DashboardView::runStartUpAction);
    connect(m_showDockIcon, &QCheckBox::clicked, this, &DashboardView::showDockAction);
    connect(m_btnRealtimeScan, &QCheckBox::clicked, this, &DashboardView::realTimeScanEnable);
}

void DashboardView::setUp(AppDelegate &app, ScanView *scanView)
{
    m_app = &app;
    m_scanView = scanView;
    m_launchDate = now();
    makeAccessibleUIChanges();
    makeAppChanges();
    const QString version = QStringLiteral(SWEEPLING_VERSION);
    const QVersionNumber number = QVersionNumber::fromString(version);
    const QString shortVersion = QStringLiteral("%1.%2").arg(number.majorVersion()).arg(number.minorVersion());
    m_versionLabelText->setText(QStringLiteral("v%1(%2)").arg(shortVersion, version));
    connect(&app.realTime(), &RealTimeScanning::statusChanged, this, &DashboardView::makeAppChanges);
    // Switching the schedule off turns the status label black with "Not Running".
    connect(&app.scheduler(), &Scheduler::labelChanged, this, [this](const QString &text) {
        m_scanningProgressLabelText->setStyleSheet(QStringLiteral("color: black;"));
        m_scanningProgressLabelText->setText(text);
    });
    app.platform().notifications().addObserver(
        NotificationNames::StopScan, this, [this](const Notification &) { stopScan(); },
        NotificationCenter::Delivery::Queued);
}

QDateTime DashboardView::now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTimeUtc();
}

QString DashboardView::scanTitle(qint64 scanType)
{
    switch (scanType) {
    case 1:
        return QStringLiteral("Deep Scan >");
    case 2:
        return QStringLiteral("Custom Scan >");
    default:
        return QStringLiteral("Quick Scan >");
    }
}

void DashboardView::titleScanButton(qint64 scanType)
{
    AppDelegateWindow::setTextTo(m_scanBtu, scanTitle(scanType), Qt::white, QApplication::font().pointSizeF(),
                                 Qt::AlignCenter);
}

void DashboardView::makeAccessibleUIChanges()
{
    m_isScanLast3Days = false;
    m_isTodayScan = false;
    m_userDirAccessible = m_accessProbe ? m_accessProbe() : m_app && m_app->access().isUserAccessible();
    if (!m_userDirAccessible) {
        m_getAccessAndScan->setText(QStringLiteral("Fix Now >"));
        m_blueView->hide();
        m_redView->show();
        m_textRedView->setText(kNeverScanned);
        if (m_scanView)
            m_scanView->showDashboardState(kNeverScanned, false);
        return;
    }
    m_getAccessAndScan->setText(QStringLiteral("Scan Now"));
    const QDateTime last = m_app->platform().defaults().objectForKey(kLastScanDate).toDateTime();
    if (!last.isValid()) {
        m_blueView->hide();
        m_redView->show();
        m_textRedView->setText(kNeverScanned);
        if (m_scanView)
            m_scanView->redViewText()->setText(kNeverScanned);
        return;
    }
    const qint64 seconds = last.secsTo(now());
    m_isScanLast3Days = seconds < kRecentScanSeconds;
    m_isTodayScan = m_launchDate < last;
    m_blueView->setVisible(m_isScanLast3Days && m_isTodayScan);
    m_redView->setVisible(!m_blueView->isVisibleTo(this));
    if (m_isTodayScan) {
        if (m_scanView) {
            m_scanView->redViewText()->setText(QStringLiteral("Potential Threats Detected"));
            m_scanView->scanNow()->hide();
        }
        return;
    }
    m_textRedView->setText(m_isScanLast3Days
                               ? kPleaseScan
                               : QStringLiteral("A scan has not been run on your system for %1 days").arg(seconds / 86400));
    if (m_scanView)
        m_scanView->showDashboardState(kPleaseScan, true);
}

void DashboardView::makeAppChanges()
{
    if (!m_app)
        return;
    const BackgroundSettings &settings = m_app->backgroundSettings();
    m_runOnStartUp->setChecked(settings.runOnStart());
    m_showDockIcon->setChecked(settings.dockIcon());
    const bool realTime = settings.isRealTimeProtectionON();
    m_btnRealtimeScan->setChecked(realTime);
    showRealTimeState(realTime);
}

void DashboardView::showRealTimeState(bool on)
{
    // The blanks keep the text clear of the state's image.
    m_realTimeProtectionLabelText->setText(on ? QStringLiteral("    Enabled") : QStringLiteral("    Disabled"));
    m_realTimeProtectionIcon->setPixmap(Images::named(on ? QStringLiteral("icn_green_check")
                                                         : QStringLiteral("icn_red_cross"))
                                            .pixmap(QSize(16, 16), devicePixelRatioF()));
    m_realTimeProtectionIcon->setAccessibleName(on ? QStringLiteral("Enabled") : QStringLiteral("Disabled"));
}

void DashboardView::ScanningStatusChange()
{
    if (!m_app)
        return;
    if (m_app->scanDriver().isScanning()) {
        m_scanningProgressLabelText->clear();
        return;
    }
    m_scanningProgressLabelText->setStyleSheet(QStringLiteral("color: black;"));
    const UserDefaults &defaults = m_app->platform().defaults();
    const QDateTime next = defaults.objectForKey(ScheduleDate).toDateTime();
    m_scanningProgressLabelText->setText(
        Scheduler::labelText(defaults.boolForKey(ScheduleOn), next.isValid() ? next.toLocalTime() : next, now()));
}

void DashboardView::scanStartAction()
{
    grantAccessAction();
}

void DashboardView::startScan()
{
    ScanDriver &driver = m_app->scanDriver();
    if (driver.isScanning())
        return;
    m_btnScanType->setEnabled(false);
    driver.setReportType(QStringLiteral("Full System Scan"));
    driver.adwareScanStart();
    if (!driver.isScanning()) {
        // A Custom Scan whose folder chooser was cancelled.
        m_btnScanType->setEnabled(true);
        return;
    }
    QTimer::singleShot(UiTiming::delay(1000), this, [this] { makeAccessibleUIChanges(); });
}

void DashboardView::grantAccessAction()
{
    if (!m_app)
        return;
    if (m_userDirAccessible) {
        startScan();
        return;
    }
    Platform &platform = m_app->platform();
    const QString root = platform.volume().root();
    AlertPresenter::FolderRequest request{QStringLiteral("Confirm Access"),
                                          QStringLiteral("Give access for scanning in your HardDisk"), root,
                                          [root](const QString &chosen) {
                                              return QDir::cleanPath(chosen) == QDir::cleanPath(root);
                                          }};
    const std::optional<QString> chosen = platform.alerts().chooseFolder(request);
    if (!chosen)
        return;
    if (QDir::cleanPath(*chosen) != QDir::cleanPath(root)) {
        Log::warning(QStringLiteral("Only the disk's root folder can be granted, not %1").arg(*chosen));
        return;
    }
    // On failure the controller logs "Error bookmarking selected URL" and
    // shows "Error" / "Access Denied"; nothing is stored.
    if (!m_app->access().saveBookmark(*chosen, {kSaveDirectory}))
        return;
    QTimer::singleShot(UiTiming::delay(300), this, [this] {
        if (AppDelegateWindow *delegate = AppDelegateWindow::shared())
            delegate->makeUIForApp();
        makeAccessibleUIChanges();
        startScan();
    });
}

void DashboardView::changeScanType(int index)
{
    if (!m_app || index < 0 || index > 2)
        return;
    m_app->scanDriver().setScanType(index);
    const QSignalBlocker blocker(m_btnDeepScan);
    m_btnDeepScan->setChecked(index == 1);
    titleScanButton(index);
}

void DashboardView::btnDeepScanClicked(bool on)
{
    if (!m_app)
        return;
    m_app->scanDriver().setScanType(on ? 1 : 0);
    const QSignalBlocker blocker(m_btnScanType);
    m_btnScanType->setCurrentIndex(on ? 1 : 0);
    titleScanButton(on ? 1 : 0);
}

void DashboardView::stopScan()
{
    // The scan driver ends the scan itself on "StopScan" and completes it as
    // "Stopped"; the page only returns to its idle state.
    m_btnScanType->setEnabled(true);
    m_scanBtu->hideSpinner();
    if (m_app)
        titleScanButton(m_app->scanDriver().state().scanType);
}

void DashboardView::updateSelfAction()
{
    if (!m_updateNowSelf->isEnabled())
        return;
    m_updateNowSelf->showSpinner();
    // The event loop keeps running while the button turns.
    QTimer::singleShot(UiTiming::delay(2000), this, [this] {
        m_updateNowSelf->hideSpinner();
        // Hiding a spinner titles the scan button "Scan Now >"; give it back its kind.
        if (m_app && !m_app->scanDriver().isScanning())
            titleScanButton(m_app->scanDriver().state().scanType);
        if (m_app)
            m_app->platform().alerts().inform(
                QStringLiteral("%1 %2.").arg(QStringLiteral("You are currently running Sweepling version"),
                                             QStringLiteral(SWEEPLING_VERSION)),
                QStringLiteral("No Update is Available"));
        Q_EMIT updateCheckAnswered();
    });
}

void DashboardView::helpAction()
{
    if (m_app)
        m_app->platform().workspace().openURL(AppDelegateWindow::helpPageUrl());
}

void DashboardView::schedulerAction()
{
    Q_EMIT schudlerAction(m_scheduleBtn);
}

void DashboardView::runStartUpAction(bool on)
{
    // A registration that fails shows its alert; the setting is stored all
    // the same, so the box keeps what the user asked for.
    if (m_app)
        m_app->loginItem().setStartAtLoginEnabled(on);
}

void DashboardView::showDockAction(bool on)
{
    if (!m_app)
        return;
    AppDelegateWindow *delegate = AppDelegateWindow::shared();
    if (delegate && delegate->statusMenu())
        delegate->statusMenu()->seticonShow(on);
    else
        m_app->backgroundSettings().setDockIcon(on);
}

void DashboardView::realTimeScanEnable(bool on)
{
    Q_UNUSED(on);
    // Turns the setting over like the status menu's first item; the change
    // comes back through statusChanged to both.
    if (m_app)
        m_app->realTime().realTimeScanningOnOFMenuBarAction();
}
