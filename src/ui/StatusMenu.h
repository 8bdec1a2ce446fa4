#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <optional>

class AppDelegateWindow;
class QAction;
class QMenu;


// The status menu in the desktop's tray and the window side of the three
// background settings. The menu (`menuStatusBar`) always exists: its first
// item switches real-time scanning and reads "Real-time Scan Enabled" or
// "Real-time Scan Disabled"; then a quick scan, the update check, the main
// window, the maker's web pages and Quit. The tray icon (`statusItem`)
// carries it where the desktop has a tray; where it has none the icon is
// not made (and looked for again for a while after start), and every
// setting still applies from the Dashboard.
//
// The dock-icon setting has no dock on Linux to act on. Its nearest honest
// equivalent is the task bar: with the icon "hidden" the main window is
// marked as a tool window, which task bars leave out, and the application
// stays reachable from the tray and by starting it again.
//
// Owned by the application object's window half. Main thread only.
class StatusMenu : public QObject
{
    Q_OBJECT
public:
    // How often and how long after start a missing tray is looked for again
    // (a panel may start after the application at login).
    static constexpr int kTrayRetryMilliseconds = 10000;
    static constexpr int kTrayRetries = 12;

    explicit StatusMenu(AppDelegateWindow &delegate, QObject *parent = nullptr);
    ~StatusMenu() override;

    QMenu *menuStatusBar() const { return m_menuStatusBar.get(); }
    // Null where the desktop has no tray.
    QSystemTrayIcon *statusItem() const { return m_statusItem; }
    QAction *realTimeItem() const { return m_realTimeItem; }

    static QUrl privacyPolicyUrl();
    static QUrl termsOfUseUrl();
    static QUrl webSiteUrl();

    // The menu's first item, the Dashboard's switches and the dock icon as
    // the settings say; makes the tray icon when a tray has come.
    void refreshStatusDisplay();

    void seticonShow(bool shown);
    void setStartAtLoginEnabled(bool enabled);

    // Menu actions.
    void realTimeScanningOnOFMenuBarAction();
    void performQuickScanMenuBarAction();
    void updateMenuBarAction();
    void openAppMenuBarAction();
    void privacyPolicyAction();
    void termsofUseAction();
    void openAppWebSiteMenuBarAction();

private:
    QAction *addItem(const QString &name, const QString &title, void (StatusMenu::*action)());
    void makeStatusItem();
    void applyDockIcon(bool shown);

    AppDelegateWindow &m_delegate;
    std::unique_ptr<QMenu> m_menuStatusBar;
    QPointer<QSystemTrayIcon> m_statusItem;
    QAction *m_realTimeItem = nullptr;
    QTimer m_trayRetry;
    int m_trayRetriesLeft = kTrayRetries;
    // The Dashboard's scan kind while a menu Quick Scan runs in its place.
    std::optional<qint64> m_kindAfterQuickScan;
};
