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
