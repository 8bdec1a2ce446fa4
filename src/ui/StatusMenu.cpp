#include "ui/StatusMenu.h"

#include "app/AppDelegate.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "ui/AppDelegateWindow.h"
#include "ui/DashboardView.h"
#include "ui/Images.h"
#include "ui/MainWindow.h"
#include "ui/UiTiming.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QSystemTrayIcon>

StatusMenu::StatusMenu(AppDelegateWindow &delegate, QObject *parent)
    : QObject(parent)
    , m_delegate(delegate)
    , m_menuStatusBar(std::make_unique<QMenu>())
{
    m_menuStatusBar->setObjectName(QStringLiteral("menuStatusBar"));
    m_menuStatusBar->setTitle(QStringLiteral("Sweepling"));
    m_realTimeItem = addItem(QStringLiteral("realTimeScanningOnOFMenuBarAction"), QString(),
                             &StatusMenu::realTimeScanningOnOFMenuBarAction);
    m_realTimeItem->setCheckable(true);
    addItem(QStringLiteral("performQuickScanMenuBarAction"), QStringLiteral("Quick Scan"),
            &StatusMenu::performQuickScanMenuBarAction);
    addItem(QStringLiteral("updateMenuBarAction"), QStringLiteral("Check for Updates"),
            &StatusMenu::updateMenuBarAction);
    addItem(QStringLiteral("openAppMenuBarAction"), QStringLiteral("Open Sweepling"),
            &StatusMenu::openAppMenuBarAction);
    m_menuStatusBar->addSeparator();
    addItem(QStringLiteral("openAppWebSiteMenuBarAction"), QStringLiteral("Sweepling Help Center"),
            &StatusMenu::openAppWebSiteMenuBarAction);
    addItem(QStringLiteral("privacyPolicyAction"), QStringLiteral("Privacy Policy"), &StatusMenu::privacyPolicyAction);
    addItem(QStringLiteral("termsofUseAction"), QStringLiteral("Terms of Use"), &StatusMenu::termsofUseAction);
    m_menuStatusBar->addSeparator();
    // Closing the main window keeps the application running; from the tray
    // it can also be ended.
    QAction *quit = m_menuStatusBar->addAction(QStringLiteral("Quit Sweepling"));
    quit->setObjectName(QStringLiteral("quitMenuBarAction"));
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    AppDelegate &app = delegate.appDelegate();
    connect(&app.realTime(), &RealTimeScanning::statusChanged, this, &StatusMenu::refreshStatusDisplay);
    // A Quick Scan from the menu leaves the Dashboard's scan kind as it was.
    auto restoreKind = [this] {
        if (!m_kindAfterQuickScan)
            return;
        const qint64 kind = *std::exchange(m_kindAfterQuickScan, std::nullopt);
        m_delegate.appDelegate().scanDriver().setScanType(kind);
        if (DashboardView *dashboard = m_delegate.dashboardObj())
            dashboard->titleScanButton(kind);
    };
    connect(&app.scanDriver(), &ScanDriver::scanFinished, this, restoreKind);
    connect(&app.scanDriver(), &ScanDriver::scanCancelled, this, restoreKind);

    m_trayRetry.setInterval(kTrayRetryMilliseconds);
    connect(&m_trayRetry, &QTimer::timeout, this, [this] {
        makeStatusItem();
        if (m_statusItem || --m_trayRetriesLeft <= 0)
            m_trayRetry.stop();
    });
}

StatusMenu::~StatusMenu()
{
    delete m_statusItem;
}

QAction *StatusMenu::addItem(const QString &name, const QString &title, void (StatusMenu::*action)())
{
    QAction *item = m_menuStatusBar->addAction(title);
    item->setObjectName(name);
    connect(item, &QAction::triggered, this, action);
    return item;
}

QUrl StatusMenu::privacyPolicyUrl()
{
    return QUrl(QStringLiteral("https://www.quorvane.com/sweepling/privacy-policy/"));
}

QUrl StatusMenu::termsOfUseUrl()
{
    return QUrl(QStringLiteral("https://www.quorvane.com/sweepling/terms-of-use/"));
}

QUrl StatusMenu::webSiteUrl()
{
    return AppDelegateWindow::helpPageUrl();
}

void StatusMenu::makeStatusItem()
{
    if (m_statusItem)
        return;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        if (!m_trayRetry.isActive() && m_trayRetriesLeft > 0) {
            Log::line(QStringLiteral("There is no system tray; the status menu waits for one"));
            m_trayRetry.start();
        }
        return;
    }
    QIcon icon = Images::named(QStringLiteral("icon1"));
    // Drawn in the panel's own colour where the desktop supports it.
    icon.setIsMask(true);
    m_statusItem = new QSystemTrayIcon(icon, this);
    m_statusItem->setObjectName(QStringLiteral("statusItem"));
    m_statusItem->setToolTip(QStringLiteral("Sweepling"));
    m_statusItem->setContextMenu(m_menuStatusBar.get());
    // A plain click on the icon opens the main window, as on most Linux panels.
    connect(m_statusItem, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            openAppMenuBarAction();
    });
    m_statusItem->show();
}

void StatusMenu::refreshStatusDisplay()
{
    makeStatusItem();
    AppDelegate &app = m_delegate.appDelegate();
    const bool on = app.realTime().isRealTimeProtectionON();
    m_realTimeItem->setText(app.realTime().statusMenuTitle());
    m_realTimeItem->setChecked(on);
    if (DashboardView *dashboard = m_delegate.dashboardObj())
        dashboard->makeAppChanges();
    applyDockIcon(app.backgroundSettings().dockIcon());
}

void StatusMenu::applyDockIcon(bool shown)
{
    MainWindow *window = m_delegate.window();
    const Qt::WindowType wanted = shown ? Qt::Window : Qt::Tool;
    if (!window || window->windowType() == wanted)
        return;
    // Changing the window's type hides it; it comes back as it was.
    const bool visible = window->isVisible();
    window->setWindowFlags((window->windowFlags() & ~Qt::WindowType_Mask) | wanted);
    if (visible)
        window->show();
}

void StatusMenu::seticonShow(bool shown)
{
    applyDockIcon(shown);
    if (!shown) {
        // The main window stays in front after leaving the task bar.
        QTimer::singleShot(UiTiming::delay(200), this, [this] { m_delegate.applicationShouldHandleReopen(false); });
    }
    m_delegate.appDelegate().backgroundSettings().setDockIcon(shown);
}

void StatusMenu::setStartAtLoginEnabled(bool enabled)
{
    m_delegate.appDelegate().loginItem().setStartAtLoginEnabled(enabled);
}

void StatusMenu::realTimeScanningOnOFMenuBarAction()
{
    // The setting changes, its timer starts or stops, and statusChanged
    // refreshes this menu and the Dashboard.
    m_delegate.appDelegate().realTime().realTimeScanningOnOFMenuBarAction();
}

void StatusMenu::performQuickScanMenuBarAction()
{
    ScanDriver &driver = m_delegate.appDelegate().scanDriver();
    if (driver.isScanning())
        return;
    // The menu's Quick Scan is one, whatever kind the Dashboard shows; a
    // Custom Scan would otherwise ask for a folder out of the tray.
    const qint64 kind = driver.state().scanType;
    if (kind != 0) {
        m_kindAfterQuickScan = kind;
        driver.setScanType(0);
    }
    driver.setReportType(QStringLiteral("Quick Scan"));
    DashboardView *dashboard = m_delegate.dashboardObj();
    if (dashboard)
        dashboard->btnScanType()->setEnabled(false);
    driver.adwareScanStart();
    if (!driver.isScanning()) {
        // Nothing started (a scan still completing): the kind goes back at once.
        if (m_kindAfterQuickScan)
            driver.setScanType(*std::exchange(m_kindAfterQuickScan, std::nullopt));
        if (dashboard)
            dashboard->btnScanType()->setEnabled(true);
    }
    openAppMenuBarAction();
}

void StatusMenu::updateMenuBarAction()
{
    // The Dashboard's update button turns for 2 seconds, the event loop
    // running, and then says that no update is available.
    if (DashboardView *dashboard = m_delegate.dashboardObj())
        dashboard->updateSelfAction();
}

void StatusMenu::openAppMenuBarAction()
{
    m_delegate.applicationShouldHandleReopen(false);
}

void StatusMenu::privacyPolicyAction()
{
    m_delegate.appDelegate().platform().workspace().openURL(privacyPolicyUrl());
}

void StatusMenu::termsofUseAction()
{
    m_delegate.appDelegate().platform().workspace().openURL(termsOfUseUrl());
}

void StatusMenu::openAppWebSiteMenuBarAction()
{
    m_delegate.appDelegate().platform().workspace().openURL(webSiteUrl());
}
