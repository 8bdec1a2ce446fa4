#pragma once

#include "ui/NotAccessWindow.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <memory>

class AppDelegate;
class DashboardView;
class FileListWindow;
class MainWindow;
class NotificationWindow;
class QAbstractButton;
class QColor;
class QMessageBox;
class QWidget;
class ReportPrinter;
class ScanProgressDisplay;
class SchedulerPopover;
class StatusMenu;

// The window half of the application object. The headless AppDelegate keeps
// the state and the engine (access, scan driver, report store, the start-up
// steps that need no window, `tabtype` and `old`); this half owns what a
// person sees: the main window with its four pages, the first-launch access
// window, the menus, and the application-level alerts. It follows the
// headless object's start-up and never the other way round, so the engine
// and the command line run without it.
class AppDelegateWindow : public QObject
{
    Q_OBJECT
public:
    // The platform's codes of an alert's first and second button.
    static constexpr int AlertFirstButtonReturn = 1000;
    static constexpr int AlertSecondButtonReturn = 1001;

    explicit AppDelegateWindow(AppDelegate &app, QObject *parent = nullptr);
    ~AppDelegateWindow() override;

    // The one window half of this process, or null (the application's delegate).
    static AppDelegateWindow *shared();

    AppDelegate &appDelegate() { return m_app; }
    MainWindow *window() const { return m_window.get(); }
    DashboardView *dashboardObj() const;
    NotAccessWindow *notAccessWindow() const { return m_notAccessWindow; }
    ScanProgressDisplay *progressDisplay() const { return m_progressDisplay.get(); }
    StatusMenu *statusMenu() const { return m_statusMenu.get(); }
    SchedulerPopover *popoverSchudle() const;

    // Opens the schedule editor under sender (the Dashboard's "Scheduler").
    void schudlerAction(QWidget *sender);

    // The column of threat cards at the screen's right edge.
    NotificationWindow *notificationWindow() const { return m_notificationWindow.get(); }

    void applicationWillFinishLaunching();
    void applicationDidFinishLaunching();
    // Brings the access window to the front when it is shown, otherwise the
    // main window, and activates the application. Answers false, as the
    // desktop's own reopen handling then has nothing left to do.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);

    // The Print menu item: writes the open report's PDF and prints it.
    void printReport();
    // Prints "Report.PDF" of the caches folder; nothing when there is none.
    void printPDFfile();
    ReportPrinter &printer() { return *m_printer; }

    void makeUIForSelection();
    void makeUIForApp();
    void getHelp();
    static QUrl helpPageUrl();

    // "Yes" (Return) / "No" (Escape) question, application-modal; answers
    // AlertFirstButtonReturn for "Yes", AlertSecondButtonReturn for "No".
    // The window is not used.
    static int createAlertForInformativeText(const QString &text, const QString &messageText, QWidget *window);
    // Information alert with the single button "OK": a sheet on window (no
    // waiting) when runModal is true and there is a window, otherwise
    // application-modal.
    static void createAlertForInformativeText(const QString &text, const QString &messageText, bool runModal,
                                              QWidget *window);
    // An alert titled "Sweepling" with the message and informative texts and
    // no buttons yet.
    static std::unique_ptr<QMessageBox> makeAlert(const QString &name, const QString &text,
                                                  const QString &messageText, QWidget *parent = nullptr);
    // The two alerts unshown, for the screenshots and for tests of the keys.
    static std::unique_ptr<QMessageBox> questionAlert(const QString &text, const QString &messageText);
    static std::unique_ptr<QMessageBox> informationAlert(const QString &text, const QString &messageText,
                                                         QWidget *window = nullptr);
    // An alert with the given buttons, unshown: Return presses the first,
    // Escape the one at escapeButton (none when out of range).
    static std::unique_ptr<QMessageBox> askAlert(const QString &messageText, const QString &informativeText,
                                                 const QStringList &buttons, int escapeButton = -1);
    // The index of the button that closed an askAlert (0 when none did).
    static int askAnswer(const QMessageBox *alert);

    // A button's title in the given colour, system font size and alignment.
    static void setTextTo(QAbstractButton *button, const QString &text, const QColor &color, qreal size,
                          Qt::Alignment alignment);

private:
    void styleDashboardButtons();
    void makeThreatCards();
    static void bringToFront(QWidget *window);
    void warnAboutSettings();

    AppDelegate &m_app;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<ReportPrinter> m_printer;
    std::unique_ptr<ScanProgressDisplay> m_progressDisplay;
    QPointer<NotAccessWindow> m_notAccessWindow;
    QPointer<SchedulerPopover> m_popoverSchudle;
    std::unique_ptr<StatusMenu> m_statusMenu;

    std::unique_ptr<NotificationWindow> m_notificationWindow;
    QPointer<FileListWindow> m_directRemovalList;
};
