#include "ui/ScreenshotTour.h"

#include "app/AppDelegate.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "ui/AppDelegateWindow.h"
#include "ui/ButtonWithSpinner.h"
#include "ui/DashboardView.h"
#include "ui/FolderChooser.h"
#include "ui/MainWindow.h"
#include "ui/NotAccessWindow.h"
#include "ui/ScanView.h"
#include "app/PreferenceKeys.h"
#include "platform/ScriptedAlerts.h"
#include "remedy/FourceQuitBrowserView.h"
#include "remedy/ScanRemoval.h"
#include "ui/BrowserClosePanel.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QUrl>
#include <QTimer>

#include <QApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QWidget>

ScreenshotTour::ScreenshotTour(AppDelegateWindow &delegate, const QString &folder)
    : m_delegate(delegate)
    , m_folder(folder)
{
}

int ScreenshotTour::run()
{
    if (!m_folder.mkpath(QStringLiteral("."))) {
        Log::warning(QStringLiteral("Cannot make the folder %1").arg(m_folder.path()));
        return 1;
    }
    tabs();
    busyButtons();
    alerts();
    chooser();
    dashboardSituations();
    scanPage();
    scanOutcome();
    accessWindow();
    return m_failures;
}

void ScreenshotTour::save(QWidget *widget, const QString &state)
{
    widget->show();
    widget->raise();
    for (int turn = 0; turn < 3; ++turn)
        QApplication::processEvents();
    const QPixmap picture = widget->grab();
    const QString suffix = picture.devicePixelRatio() > 1.0 ? QStringLiteral("@%1x").arg(picture.devicePixelRatio())
                                                            : QString();
    const QString file = m_folder.filePath(state + suffix + QStringLiteral(".png"));
    if (picture.isNull() || !picture.save(file)) {
        Log::warning(QStringLiteral("Cannot write %1").arg(file));
        ++m_failures;
        return;
    }
    Log::line(QStringLiteral("Wrote %1").arg(file));
}

void ScreenshotTour::tabs()
{
    MainWindow *window = m_delegate.window();
    const QList<QPair<qint64, QString>> states{{20, QStringLiteral("main-scan")},
                                               {30, QStringLiteral("main-tools")},
                                               {40, QStringLiteral("main-reports")},
                                               {10, QStringLiteral("main-dashboard")}};
    for (const auto &[tag, state] : states) {
        window->tabChangeType(tag);
        window->finishSlide();
        save(window, state);
    }
}

void ScreenshotTour::busyButtons()
{
    DashboardView *dashboard = m_delegate.dashboardObj();
    dashboard->scanBtu()->showSpinner();
    save(m_delegate.window(), QStringLiteral("main-dashboard-scan-busy"));
    dashboard->scanBtu()->hideSpinner();
    restoreScanTitle();
    dashboard->UpdateNowSelf()->showSpinner();
    save(m_delegate.window(), QStringLiteral("main-dashboard-update-busy"));
    dashboard->UpdateNowSelf()->hideSpinner();
    restoreScanTitle();
}

// The title the caller of hideSpinner() sets after a scan.
void ScreenshotTour::restoreScanTitle()
{
    AppDelegateWindow::setTextTo(m_delegate.dashboardObj()->scanBtu(), QStringLiteral("Quick Scan >"), Qt::white,
                                 QApplication::font().pointSizeF(), Qt::AlignCenter);
}

void ScreenshotTour::alerts()
{
    const auto question = AppDelegateWindow::questionAlert(
        QStringLiteral("Are you sure you want to remove the selected threats?"), QStringLiteral("Alert"));
    save(question.get(), QStringLiteral("alert-question"));
    question->close();
    const auto information = AppDelegateWindow::informationAlert(QStringLiteral("Please select home directory."),
                                                                 QStringLiteral("Sweepling"));
    save(information.get(), QStringLiteral("alert-information"));
    information->close();
}

void ScreenshotTour::chooser()
{
    const Volume &volume = m_delegate.appDelegate().platform().volume();
    FolderChooser chooser({QStringLiteral("Confirm Access"), QStringLiteral("Give access for scanning in your HardDisk"),
                           volume.homeFolder(), {}});
    chooser.resize(760, 480);
    save(&chooser, QStringLiteral("folder-chooser"));
    chooser.hide();
}

void ScreenshotTour::accessWindow()
{
    m_delegate.window()->hide();
    m_delegate.makeUIForSelection();
    if (NotAccessWindow *window = m_delegate.notAccessWindow())
        save(window, QStringLiteral("access-window"));
    m_delegate.makeUIForApp();
}

// The Dashboard in each situation of its status boxes, an hour after launch.
void ScreenshotTour::dashboardSituations()
{
    MainWindow *window = m_delegate.window();
    DashboardView *dashboard = m_delegate.dashboardObj();
    UserDefaults &defaults = m_delegate.appDelegate().platform().defaults();
    const QVariant stored = defaults.objectForKey(PreferenceKeys::kLastScanDate);
    const QDateTime launch = dashboard->launchDate();
    const QDateTime hourLater = launch.addSecs(3600);
    dashboard->setClock([hourLater] { return hourLater; });
    window->tabChangeType(10);
    window->finishSlide();
    const QList<QPair<qint64, QString>> situations{{-(5 * 86400 + 3 * 3600), QStringLiteral("dashboard-5-days-ago")},
                                                   {-2 * 86400, QStringLiteral("dashboard-2-days-ago")},
                                                   {1800, QStringLiteral("dashboard-scanned-this-run")}};
    for (const auto &[offset, state] : situations) {
        defaults.setObject(launch.addSecs(offset), PreferenceKeys::kLastScanDate);
        dashboard->makeAccessibleUIChanges();
        save(window, state);
    }
    defaults.removeObjectForKey(PreferenceKeys::kLastScanDate);
    dashboard->makeAccessibleUIChanges();
    save(window, QStringLiteral("dashboard-never-scanned"));
    dashboard->setAccessProbe([] { return false; });
    dashboard->makeAccessibleUIChanges();
    save(window, QStringLiteral("dashboard-no-access"));
    dashboard->setAccessProbe({});
    dashboard->setClock({});
    if (stored.isValid())
        defaults.setObject(stored, PreferenceKeys::kLastScanDate);
    dashboard->makeAccessibleUIChanges();
}

// The Scan page while scanning (shown as the driver's steps leave it), and
// after a real Quick Scan of the volume.
void ScreenshotTour::scanPage()
{
    MainWindow *window = m_delegate.window();
    ScanView *scan = window->scanObj();
    const Volume &volume = m_delegate.appDelegate().platform().volume();
    window->tabChangeType(20);
    window->finishSlide();
    scan->scanStarted(0);
    scan->setProgress(37);
    scan->virusUrlChange(QStringLiteral("Checking for Genieo"));
    save(window, QStringLiteral("scan-quick-scanning"));
    scan->scanStarted(1);
    scan->virusUrlChange(QStringLiteral("48213"));
    save(window, QStringLiteral("scan-deep-counting"));
    scan->countEnded();
    scan->setProgress(64);
    scan->virusUrlChange(volume.home(QStringLiteral("/Library/Application Support/Google/Chrome/Default/Extensions/"
                                                    "aapocclcgogkmnckokdopfmhonfmgoek/0.10_0/_locales/en/messages.json")));
    save(window, QStringLiteral("scan-deep-scanning"));

    // A real Quick Scan of the volume, asking nothing.
    ScanDriver &driver = m_delegate.appDelegate().scanDriver();
    driver.setWholeDiskAccess(false);
    driver.setScanType(0);
    QEventLoop loop;
    QObject::connect(&driver, &ScanDriver::scanFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    m_delegate.dashboardObj()->scanStartAction();
    if (driver.isScanning())
        loop.exec();
    for (int turn = 0; turn < 3; ++turn)
        QApplication::processEvents();
    window->tabChangeType(20);
    window->finishSlide();
    save(window, QStringLiteral("scan-finished-threats"));
    scan->scanRemoval()->scanEnded({}, nullptr);
    scan->scanRemoval()->scanStarted();
    scan->showScanEnded(true);
    save(window, QStringLiteral("scan-finished-clean"));
}

// The outcome of a removal with failures, and the browser-close panel.
// Nothing on the volume is touched: the two threats removed are folders the
// remover always refuses, and the third is left alone.
void ScreenshotTour::scanOutcome()
{
    MainWindow *window = m_delegate.window();
    ScanView *scan = window->scanObj();
    Platform &platform = m_delegate.appDelegate().platform();
    const Volume &volume = platform.volume();
    QList<AdwarePtr> threats;
    const QList<QPair<QString, QString>> made{
        {QStringLiteral("/Library/LaunchAgents"), QStringLiteral("Genieo")},
        {QStringLiteral("/Library/Internet Plug-Ins"), QStringLiteral("VSearch")},
        {QStringLiteral("/Applications/MacKeeper.app"), QStringLiteral("MacKeeper")}};
    for (const auto &[path, family] : made)
        threats.append(Adware::AdwareWithName(QFileInfo(path).fileName(), true, family, 0,
                                              QUrl::fromLocalFile(volume.host(path)), QString()));
    const ReportPtr report = AdwareScanReport::ScanReportWithAdwareList(threats, QDateTime::currentDateTime(),
                                                                        QStringLiteral("12 seconds"),
                                                                        QStringLiteral("Quick Scan"));
    ScanRemoval *removal = scan->scanRemoval();
    removal->scanStarted();
    removal->scanEnded(threats, report);
    scan->showScanEnded(true);
    removal->checkBoxAction(2, false);
    // The question is answered here; the panel then lists the browser.
    platform.setAlerts(std::make_unique<ScriptedAlerts>());
    static_cast<ScriptedAlerts &>(platform.alerts()).answer(QStringLiteral("Yes"));
    scan->removeAdwarePressed();
    save(window, QStringLiteral("scan-outcome-failures"));

    FourceQuitBrowserView &panel = removal->browserGuard().panel();
    panel.setBrowserList({{QStringLiteral("Safari"), QStringLiteral("web-browser")},
                          {QStringLiteral("Chrome"), QStringLiteral("web-browser")}});
    panel.beginSheet();
    if (BrowserClosePanel *view = scan->browserView())
        save(view, QStringLiteral("browser-close-panel"));
    panel.endSheet();
}
