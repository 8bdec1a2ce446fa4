#include "ui/AppDelegateWindow.h"

#include "app/AppDelegate.h"
#include "platform/Platform.h"
#include "platform/UserDefaults.h"
#include "reports/Reports.h"
#include "ui/AppStyle.h"
#include "ui/ButtonWithSpinner.h"
#include "ui/DashboardView.h"
#include "ui/MainWindow.h"
#include "ui/NotAccessWindow.h"
#include "ui/ReportPrinter.h"
#include "reports/PDFGenerate.h"
#include "ui/ScanProgressDisplay.h"
#include "ui/ReportsView.h"
#include "ui/ScanView.h"
#include "ui/SchedulerPopover.h"
#include "ui/StatusMenu.h"
#include "remedy/ScanRemoval.h"
#include "remedy/DirectRemoval.h"
#include "ui/FileListWindow.h"
#include "ui/NotificationWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {
AppDelegateWindow *s_shared = nullptr;

QString alignmentName(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignLeft)
        return QStringLiteral("left");
    if (alignment & Qt::AlignRight)
        return QStringLiteral("right");
    return QStringLiteral("center");
}
} // namespace

AppDelegateWindow::AppDelegateWindow(AppDelegate &app, QObject *parent)
    : QObject(parent)
    , m_app(app)
    , m_printer(std::make_unique<ReportPrinter>())
{
    if (!s_shared)
        s_shared = this;
}

AppDelegateWindow::~AppDelegateWindow()
{
    m_statusMenu.reset();
    m_notificationWindow.reset();
    m_progressDisplay.reset();
    delete m_notAccessWindow;
    if (s_shared == this)
        s_shared = nullptr;
}

AppDelegateWindow *AppDelegateWindow::shared()
{
    return s_shared;
}

DashboardView *AppDelegateWindow::dashboardObj() const
{
    return m_window ? m_window->dashboardObj() : nullptr;
}

QUrl AppDelegateWindow::helpPageUrl()
{
    return QUrl(QStringLiteral("https://www.quorvane.com/sweepling/help/"));
}

void AppDelegateWindow::applicationWillFinishLaunching()
{
    m_app.applicationWillFinishLaunching();
    // Closing the main window keeps the application running; it quits from
    // its menu or the access window.
    QGuiApplication::setQuitOnLastWindowClosed(m_app.applicationShouldTerminateAfterLastWindowClosed());
    m_window = std::make_unique<MainWindow>(m_app);
    connect(m_window->helpAction(), &QAction::triggered, this, &AppDelegateWindow::getHelp);
    connect(&m_app, &AppDelegate::lastScanTextChanged, m_window.get(),
            [this](const QString &text) { m_window->dashboardObj()->lastScanLabel()->setText(text); });
    styleDashboardButtons();
    m_window->scanObj()->setUp(m_app);
    m_window->dashboardObj()->setUp(m_app, m_window->scanObj());
    m_progressDisplay = std::make_unique<ScanProgressDisplay>(m_app, *m_window->dashboardObj(), *m_window->scanObj());
    // The Reports page's removal asks to quit browsers on the same panel as
    // the Scan page's, and its scan button starts a scan as the Dashboard's.
    // Choosing the Scan tab looks at its list again.
    connect(m_window.get(), &MainWindow::tabChanged, m_progressDisplay.get(), [this](int tag) {
        if (tag == 20)
            m_progressDisplay->changeInList();
    });
    m_app.reportsObj().browserGuard().setPanel(&m_window->scanObj()->scanRemoval()->browserGuard().panel());
    connect(m_window->reportsObj(), &ReportsView::scanStartRequested, m_window->dashboardObj(),
            [this](QAbstractButton *) { m_window->dashboardObj()->scanStartAction(); });
    // The Print item follows the Reports page: active exactly while a
    // report's detail is shown.
    Reports &reports = m_app.reportsObj();
    m_window->printButton()->setEnabled(reports.printEnabled());
    connect(&reports, &Reports::printItemChanged, m_window->printButton(), &QAction::setEnabled);
    connect(m_window->printButton(), &QAction::triggered, this, &AppDelegateWindow::printReport);
    connect(&reports, &Reports::printRequested, this, &AppDelegateWindow::printPDFfile);
    connect(m_printer.get(), &ReportPrinter::jobFailed, this, [this](const QString &message) {
        m_app.platform().alerts().inform(QStringLiteral("The report could not be printed: %1").arg(message),
                                         QStringLiteral("Alert"));
    });
    // The schedule editor under the Dashboard's "Scheduler" button, and the
    // status menu with the window side of the background settings.
    m_popoverSchudle = new SchedulerPopover(m_app.scheduler(), m_window.get());
    connect(m_window->dashboardObj(), &DashboardView::schudlerAction, this, &AppDelegateWindow::schudlerAction);
    m_statusMenu = std::make_unique<StatusMenu>(*this);
    makeThreatCards();
}

SchedulerPopover *AppDelegateWindow::popoverSchudle() const
{
    return m_popoverSchudle;
}

void AppDelegateWindow::schudlerAction(QWidget *sender)
{
    if (m_popoverSchudle)
        m_popoverSchudle->showRelativeTo(sender);
}

void AppDelegateWindow::makeThreatCards()
{
    // A card's "Quarantine" removes its threat without question; what could
    // not be removed is listed over the main window, and the Scan list and
    // the Dashboard follow.
    m_notificationWindow = std::make_unique<NotificationWindow>(m_app.platform().notifications());
    m_notificationWindow->setAppDel(this);
    DirectRemoval &direct = m_app.directRemoval();
    m_directRemovalList = new FileListWindow(direct.fileList(), m_app.platform().workspace(), m_window.get());
    connect(&direct, &DirectRemoval::changeInListRequested, m_progressDisplay.get(),
            &ScanProgressDisplay::changeInList);
    // "Remove" in the real-time alert brings the main window to the front.
    connect(&m_app.realTime(), &RealTimeScanning::showMainWindow, this,
            [this] { applicationShouldHandleReopen(false); });
}

void AppDelegateWindow::printReport()
{
    m_app.reportsObj().makeAndPrintPDF();
}

void AppDelegateWindow::printPDFfile()
{
    m_printer->printPDFfile(QDir(PDFGenerate::applicationCacheDirectory()).filePath(PDFGenerate::fileName()),
                            m_window.get());
}

void AppDelegateWindow::styleDashboardButtons()
{
    const qreal size = QApplication::font().pointSizeF();
    DashboardView *dashboard = dashboardObj();
    setTextTo(dashboard->UpdateNowSelf(), QStringLiteral("Check for Updates"), AppStyle::titleBlue(), size,
              Qt::AlignCenter);
    setTextTo(dashboard->scheduleBtn(), QStringLiteral("Scheduler"), AppStyle::titleBlue(), size * 0.85,
              Qt::AlignCenter);
    setTextTo(dashboard->scanBtu(), QStringLiteral("Quick Scan >"), Qt::white, size, Qt::AlignCenter);
}

void AppDelegateWindow::applicationDidFinishLaunching()
{
    const QMetaObject::Connection chosen =
        connect(&m_app, &AppDelegate::interfaceChosen, this, [this](bool accessWindow) {
            if (accessWindow)
                makeUIForSelection();
            else
                makeUIForApp();
        });
    m_app.applicationDidFinishLaunching();
    disconnect(chosen);
    m_statusMenu->refreshStatusDisplay();
    m_window->tabChange(m_window->dashBoard());
    warnAboutSettings();
}

void AppDelegateWindow::warnAboutSettings()
{
    // A preferences file that cannot be parsed is never rewritten: the user
    // learns which file and line, and how to repair it or move it aside.
    const QString damaged = m_app.platform().defaults().loadError();
    if (!damaged.isEmpty())
        QTimer::singleShot(0, this, [this, damaged] { m_app.platform().alerts().inform(damaged, QStringLiteral("Alert")); });
    // A report that could not be stored is said, never passed over.
    connect(&m_app.reportsObj(), &Reports::storeFailed, this,
            [this](const QString &message) { m_app.platform().alerts().inform(message, QStringLiteral("Alert")); });
}

void AppDelegateWindow::bringToFront(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void AppDelegateWindow::makeUIForSelection()
{
    if (!m_notAccessWindow) {
        m_notAccessWindow = new NotAccessWindow(m_app.access(), m_app.platform());
        m_notAccessWindow->setDelegate(this);
    }
    bringToFront(m_notAccessWindow);
}

void AppDelegateWindow::makeUIForApp()
{
    m_window->dashboardObj()->setUserDirAccessible(true);
    m_window->dashboardObj()->makeAccessibleUIChanges();
    if (m_notAccessWindow) {
        NotAccessWindow *accessWindow = m_notAccessWindow;
        m_notAccessWindow = nullptr;
        accessWindow->dismiss();
    }
    bringToFront(m_window.get());
    m_window->placeViews();
    // Keyboard focus starts on the scan button, not on the first tab.
    m_window->dashboardObj()->scanBtu()->setFocus();
}

bool AppDelegateWindow::applicationShouldHandleReopen(bool hasVisibleWindows)
{
    Q_UNUSED(hasVisibleWindows);
    bringToFront(m_notAccessWindow ? static_cast<QWidget *>(m_notAccessWindow) : m_window.get());
    return false;
}

void AppDelegateWindow::getHelp()
{
    m_app.platform().workspace().openURL(helpPageUrl());
}

std::unique_ptr<QMessageBox> AppDelegateWindow::makeAlert(const QString &name, const QString &text,
                                                          const QString &messageText, QWidget *parent)
{
    auto alert = std::make_unique<QMessageBox>(parent);
    alert->setObjectName(name);
    alert->setWindowTitle(QStringLiteral("Sweepling"));
    alert->setText(messageText);
    alert->setInformativeText(text);
    return alert;
}

std::unique_ptr<QMessageBox> AppDelegateWindow::questionAlert(const QString &text, const QString &messageText)
{
    auto alert = makeAlert(QStringLiteral("questionAlert"), text, messageText);
    QPushButton *yes = alert->addButton(QStringLiteral("Yes"), QMessageBox::YesRole);
    QPushButton *no = alert->addButton(QStringLiteral("No"), QMessageBox::NoRole);
    yes->setObjectName(QStringLiteral("alertYes"));
    no->setObjectName(QStringLiteral("alertNo"));
    alert->setDefaultButton(yes);
    alert->setEscapeButton(no);
    alert->setWindowModality(Qt::ApplicationModal);
    return alert;
}

int AppDelegateWindow::createAlertForInformativeText(const QString &text, const QString &messageText, QWidget *window)
{
    Q_UNUSED(window);
    const auto alert = questionAlert(text, messageText);
    alert->exec();
    return alert->clickedButton() == alert->defaultButton() ? AlertFirstButtonReturn : AlertSecondButtonReturn;
}

std::unique_ptr<QMessageBox> AppDelegateWindow::informationAlert(const QString &text, const QString &messageText,
                                                                 QWidget *window)
{
    auto alert = makeAlert(QStringLiteral("informationAlert"), text, messageText, window);
    alert->setStandardButtons(QMessageBox::Ok);
    return alert;
}

std::unique_ptr<QMessageBox> AppDelegateWindow::askAlert(const QString &messageText, const QString &informativeText,
                                                        const QStringList &buttons, int escapeButton)
{
    auto alert = makeAlert(QStringLiteral("askAlert"), informativeText, messageText);
    for (qsizetype index = 0; index < buttons.size(); ++index) {
        QPushButton *button = alert->addButton(buttons.at(index), QMessageBox::AcceptRole);
        button->setProperty("answerIndex", static_cast<int>(index));
        // Room around a longer title such as "Remind Me Later".
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(buttons.at(index)) + 28);
        if (index == 0)
            alert->setDefaultButton(button);
        if (index == escapeButton)
            alert->setEscapeButton(button);
    }
    alert->setWindowModality(Qt::ApplicationModal);
    return alert;
}

int AppDelegateWindow::askAnswer(const QMessageBox *alert)
{
    const QAbstractButton *clicked = alert ? alert->clickedButton() : nullptr;
    return clicked ? qMax(0, clicked->property("answerIndex").toInt()) : 0;
}

void AppDelegateWindow::createAlertForInformativeText(const QString &text, const QString &messageText, bool runModal,
                                                      QWidget *window)
{
    if (runModal && window) {
        // A sheet: modal to its window only, and nothing waits for it.
        QMessageBox *sheet = informationAlert(text, messageText, window).release();
        sheet->setAttribute(Qt::WA_DeleteOnClose);
        sheet->setWindowModality(Qt::WindowModal);
        sheet->open();
        return;
    }
    const auto alert = informationAlert(text, messageText);
    alert->setWindowModality(Qt::ApplicationModal);
    alert->exec();
}

void AppDelegateWindow::setTextTo(QAbstractButton *button, const QString &text, const QColor &color, qreal size,
                                  Qt::Alignment alignment)
{
    if (!button)
        return;
    button->setText(text);
    QFont font = button->font();
    if (size > 0)
        font.setPointSizeF(size);
    button->setFont(font);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, color);
    button->setPalette(palette);
    button->setProperty("titleAlignment", static_cast<int>(alignment));
    button->setStyleSheet(QStringLiteral("color: %1; text-align: %2;").arg(color.name(), alignmentName(alignment)));
}
