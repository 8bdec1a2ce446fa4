#include "ui/ScreenshotTour.h"

#include "app/AppDelegate.h"
#include "app/PreferenceKeys.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "platform/ScriptedAlerts.h"
#include "remedy/FileList.h"
#include "remedy/FourceQuitBrowserView.h"
#include "remedy/ScanRemoval.h"
#include "reports/Reports.h"
#include "tools/Tools.h"
#include "ui/AppDelegateWindow.h"
#include "ui/BrowserClosePanel.h"
#include "ui/ButtonWithSpinner.h"
#include "ui/DashboardView.h"
#include "ui/FileListWindow.h"
#include "ui/FolderChooser.h"
#include "ui/MainWindow.h"
#include "ui/NotAccessWindow.h"
#include "ui/NotificationCellView.h"
#include "ui/NotificationWindow.h"
#include "ui/PrinterChooser.h"
#include "ui/ReportsView.h"
#include "ui/SchedulerPopover.h"
#include "ui/StatusMenu.h"
#include "ui/ScanView.h"
#include "ui/SelectionView.h"
#include "ui/ToolsCell.h"
#include "ui/ToolsView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QUrl>
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
    // The Tools page first: its catalogue is measured on the first visit.
    toolsPage();
    reportsPage();
    tabs();
    busyButtons();
    alerts();
    chooser();
    printDialog();
    dashboardSituations();
    backgroundServices();
    scanPage();
    scanOutcome();
    threatCards();
    realTimeAlert();
    accessWindow();
    return m_failures;
}

void ScreenshotTour::save(QWidget *widget, const QString &state, bool settle)
{
    widget->show();
    widget->raise();
    if (settle) {
        for (int turn = 0; turn < 3; ++turn)
            QApplication::processEvents();
    } else {
        // Laid out and painted as it is now, with no other work let in.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
    write(widget->grab(), state);
}

void ScreenshotTour::write(const QPixmap &picture, const QString &state)
{
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

bool ScreenshotTour::waitFor(const std::function<bool()> &condition)
{
    QDeadlineTimer deadline(30000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// The Reports page: the empty list, then three stored reports of threats
// made on the volume, one report open, and the outcome of a removal.
void ScreenshotTour::reportsPage()
{
    AppDelegate &app = m_delegate.appDelegate();
    Reports &reports = app.reportsObj();
    MainWindow *window = m_delegate.window();
    window->tabChangeType(40);
    window->finishSlide();
    if (reports.reportList().isEmpty())
        save(window, QStringLiteral("reports-empty"));

    const Volume &volume = app.platform().volume();
    const QString agents = volume.home(QStringLiteral("/Library/LaunchAgents"));
    QDir().mkpath(agents);
    QList<AdwarePtr> threats;
    const QStringList names{QStringLiteral("com.searchmarquis.agent.plist"), QStringLiteral("com.pcvark.update.plist"),
                            QStringLiteral("com.mughthesec.helper.plist"), QStringLiteral("com.genieo.engine.plist")};
    const QStringList infections{QStringLiteral("SearchMarquis"), QStringLiteral("PCVARK"),
                                 QStringLiteral("Mughthesec"), QStringLiteral("Genieo")};
    for (int i = 0; i < names.size(); ++i) {
        const QString path = agents + QLatin1Char('/') + names.at(i);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write("<plist/>");
        threats << Adware::AdwareWithName(names.at(i), true, infections.at(i), 8, QUrl::fromLocalFile(path),
                                          QStringLiteral("High Risk"));
    }
    const QDateTime now = QDateTime::currentDateTime();
    reports.updateReportInDefaults(AdwareScanReport::ScanReportWithAdwareList(
        {}, now.addDays(-6), QStringLiteral(" 3 minutes 12 seconds"), QStringLiteral("Full System Scan")));
    reports.updateReportInDefaults(AdwareScanReport::ScanReportWithAdwareList(
        {threats.at(3)}, now.addDays(-1), QStringLiteral("Stopped"), QStringLiteral("Custom Scan")));
    const ReportPtr quick = AdwareScanReport::ScanReportWithAdwareList(
        threats.mid(0, 3), now.addSecs(-600), QStringLiteral(" 8 seconds"), QStringLiteral("Quick Scan"));
    reports.updateReportInDefaults(quick);
    reports.reloadReportDates();
    save(window, QStringLiteral("reports-list"));

    reports.refreshReport(quick);
    save(window, QStringLiteral("reports-detail"));
    if (auto *script = dynamic_cast<ScriptedAlerts *>(&app.platform().alerts())) {
        reports.checkClicked(2, false);
        script->answer(QStringLiteral("Yes"));
        reports.removeSelected();
        save(window, QStringLiteral("reports-outcome"));
    }
    reports.backtoReportList();
}

// The Tools page while its catalogue is measured and when it is done, one
// entry's items over the table, and the list of what could not be removed.
void ScreenshotTour::toolsPage()
{
    MainWindow *window = m_delegate.window();
    ToolsView *view = window->toolsObj();
    int appended = 0;
    const auto connection =
        QObject::connect(&view->model(), &Tools::entryAppended, view, [&appended](int) { ++appended; });
    window->tabChangeType(30);
    window->finishSlide();
    waitFor([&] { return appended >= 2 || view->model().scanningDone(); });
    save(window, QStringLiteral("tools-sizing"), false);
    QObject::disconnect(connection);
    waitFor([&] { return view->model().scanningDone(); });
    save(window, QStringLiteral("tools-table"));

    const QList<ToolsCell *> cells = view->cells();
    if (!cells.isEmpty()) {
        cells.first()->checkBox()->click();
        if (cells.size() > 2)
            cells.at(2)->checkBox()->click();
        cells.first()->detailsButton()->click();
        save(window, QStringLiteral("tools-detail-overlay"));
        view->selectionTableView()->doneButton()->click();
    }

    const Volume &volume = m_delegate.appDelegate().platform().volume();
    FileList &list = view->fileList();
    list.resetListAndMakeList();
    list.addObjects({QUrl::fromLocalFile(volume.home(QStringLiteral("/Library/Safari/History.db"))),
                     QUrl::fromLocalFile(volume.home(QStringLiteral("/Library/Caches/com.apple.Safari")))});
    FileListWindow sheet(list, m_delegate.appDelegate().platform().workspace());
    save(&sheet, QStringLiteral("file-list-sheet"));
    sheet.hide();
    window->tabChangeType(10);
    window->finishSlide();
}

void ScreenshotTour::printDialog()
{
    QPrinter printer(QPrinter::HighResolution);
    const auto dialog = PrinterChooser::makeDialog(printer, m_delegate.window());
    dialog->setWindowModality(Qt::NonModal);
    save(dialog.get(), QStringLiteral("print-dialog"));
    dialog->hide();
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

// A window with a second one floating over it (the schedule editor under
// its button), drawn into one picture as a person sees them.
void ScreenshotTour::saveOver(QWidget *window, QWidget *floating, const QString &state)
{
    for (int turn = 0; turn < 3; ++turn)
        QApplication::processEvents();
    const QPixmap under = window->grab();
    const QPixmap over = floating->grab();
    // The floating window may reach past the window's lower edge.
    const QRect frame = window->geometry();
    const QRect area = frame.united(floating->geometry());
    QPixmap picture(area.size() * under.devicePixelRatio());
    picture.setDevicePixelRatio(under.devicePixelRatio());
    picture.fill(QColor(0xe8, 0xec, 0xf0));
    {
        QPainter painter(&picture);
        painter.drawPixmap(frame.topLeft() - area.topLeft(), under);
        painter.drawPixmap(floating->geometry().topLeft() - area.topLeft(), over);
    }
    write(picture, state);
}

void ScreenshotTour::backgroundServices()
{
    MainWindow *window = m_delegate.window();
    DashboardView *dashboard = m_delegate.dashboardObj();
    window->tabChangeType(10);
    window->finishSlide();
    dashboard->schedulerAction();
    SchedulerPopover *popover = m_delegate.popoverSchudle();
    if (popover && popover->isVisible()) {
        saveOver(window, popover, QStringLiteral("scheduler-popover-off"));
        // A weekly schedule from tomorrow at 10:00, saved and opened again.
        const QDate tomorrow = QDate::currentDate().addDays(1);
        popover->startDatePicker()->setDate(tomorrow);
        popover->endDatePicker()->setDate(tomorrow.addDays(30));
        popover->timePicker()->setDateTime(QDateTime(QDate::currentDate(), QTime(10, 0)));
        popover->scheduleTypePopUp()->setCurrentIndex(1);
        popover->saveButton()->click();
        dashboard->schedulerAction();
        saveOver(window, popover, QStringLiteral("scheduler-popover-on"));
        popover->isScheduleOn()->click();
        popover->hide();
    }

    if (StatusMenu *status = m_delegate.statusMenu()) {
        QMenu *menu = status->menuStatusBar();
        save(menu, QStringLiteral("tray-menu"));
        menu->hide();
        status->realTimeScanningOnOFMenuBarAction();
        save(menu, QStringLiteral("tray-menu-real-time-off"));
        menu->hide();
        status->realTimeScanningOnOFMenuBarAction();
    }
}

// Three threat cards at the screen's right edge, over a plain backdrop where
// the desktop would be. Nothing on the volume is touched.
void ScreenshotTour::threatCards()
{
    NotificationWindow *column = m_delegate.notificationWindow();
    const Volume &volume = m_delegate.appDelegate().platform().volume();
    const QList<QPair<QString, QString>> made{
        {QStringLiteral("/Library/LaunchAgents/com.genieo.completer.update.plist"), QStringLiteral("Genieo")},
        {QStringLiteral("/Library/Internet Plug-Ins/VSearch.plugin"), QStringLiteral("VSearch")},
        {QStringLiteral("/Applications/MacKeeper Helper With A Rather Long Name.app"), QStringLiteral("MacKeeper")}};
    for (const auto &[path, family] : made)
        column->addNotifications(Adware::AdwareWithName(QFileInfo(path).fileName(), true, family, 0,
                                                        QUrl::fromLocalFile(volume.host(path)), QString()));
    column->finishAnimation();
    column->show();
    for (int turn = 0; turn < 3; ++turn)
        QApplication::processEvents();
    // The column is translucent: picture it over a plain backdrop.
    const QPixmap cards = column->grab(QRect(0, 0, column->width(), 3 * NotificationCellView::kHeight + 20));
    QPixmap picture(cards.size());
    picture.setDevicePixelRatio(cards.devicePixelRatio());
    picture.fill(QColor(214, 219, 226));
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, cards);
    painter.end();
    write(picture, QStringLiteral("threat-cards"));
    for (NotificationCellView *card : column->cards())
        column->ignoreThis(card);
}

void ScreenshotTour::realTimeAlert()
{
    const auto alert = AppDelegateWindow::askAlert(
        QStringLiteral("Alert"), QStringLiteral("Potential threat detected"),
        {QStringLiteral("Ignore"), QStringLiteral("Remove"), QStringLiteral("Remind Me Later")}, 2);
    save(alert.get(), QStringLiteral("alert-real-time"));
    alert->close();
}
