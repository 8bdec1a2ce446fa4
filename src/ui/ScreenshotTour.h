#pragma once

#include <QDir>
#include <QString>
#include <functional>

class AppDelegateWindow;
class QPixmap;
class QWidget;

// Drives the real windows through every state built so far and saves a PNG
// of each into one folder, named after the state ("main-dashboard.png";
// "main-dashboard@2x.png" at 200 % scale). For people to look at, not for
// comparing pixels. Later pages add their states here.
class ScreenshotTour
{
public:
    ScreenshotTour(AppDelegateWindow &delegate, const QString &folder);

    // Answers the number of failures (0 when every picture was written).
    int run();

private:
    // settle: let pending work run first (a state caught mid-way does not).
    void save(QWidget *widget, const QString &state, bool settle = true);
    void write(const QPixmap &picture, const QString &state);
    void tabs();
    void busyButtons();
    void restoreScanTitle();
    void accessWindow();
    void alerts();
    void chooser();
    void reportsPage();
    void toolsPage();
    void printDialog();
    // Runs the event loop until the condition holds (at most 30 s).
    static bool waitFor(const std::function<bool()> &condition);
    void dashboardSituations();
    // The schedule editor off and on, over the Dashboard, and the status menu.
    void backgroundServices();
    void saveOver(QWidget *window, QWidget *floating, const QString &state);
    void scanPage();
    void scanOutcome();
    void threatCards();
    void realTimeAlert();

    AppDelegateWindow &m_delegate;
    QDir m_folder;
    int m_failures = 0;
};
