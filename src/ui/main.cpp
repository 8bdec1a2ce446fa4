#include "app/AppDelegate.h"
#include "app/LaunchOptions.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "services/DBusUserNotifier.h"
#include "ui/AppDelegateWindow.h"
#include "ui/AppStyle.h"
#include "ui/Images.h"
#include "ui/QtAlertPresenter.h"
#include "ui/ReopenChannel.h"
#include "ui/ScreenshotTour.h"
#include "ui/UiTiming.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

namespace {

const char *const kUsage =
    "Usage: sweepling [--root DIR] [--user NAME] [--settings FILE] [--verbose] [--screenshots DIR]\n"
    "  --root DIR         the volume to look at (default /, or SWEEPLING_ROOT)\n"
    "  --user NAME        the user whose home folder is scanned (or SWEEPLING_USER)\n"
    "  --settings FILE    the preferences file (or SWEEPLING_SETTINGS)\n"
    "  --screenshots DIR  save a picture of every window state into DIR and quit\n";

// Without a display Qt aborts with a message about plugins; say what to do.
bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
           || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Removes "--screenshots DIR" from the arguments; answers DIR or an empty string.
QString takeScreenshotFolder(QStringList &args, bool *missingValue)
{
    const qsizetype at = args.indexOf(QStringLiteral("--screenshots"));
    if (at < 0)
        return QString();
    if (at + 1 >= args.size() || args.at(at + 1).isEmpty()) {
        *missingValue = true;
        return QString();
    }
    const QString folder = args.at(at + 1);
    args.remove(at, 2);
    return folder;
}

QString settingsKey(const LaunchOptions &options)
{
    QString settings = options.settings;
    if (settings.isEmpty())
        settings = qEnvironmentVariable("SWEEPLING_SETTINGS");
    return QFileInfo(settings.isEmpty() ? QStringLiteral("default") : settings).absoluteFilePath();
}

} // namespace

int main(int argc, char **argv)
{
    if (!hasDisplay()) {
        std::fputs("sweepling: there is no display to open a window on.\n"
                   "Run it under a virtual display, for example:  xvfb-run -a make run\n"
                   "or give Qt a platform, for example QT_QPA_PLATFORM=offscreen with --screenshots DIR.\n",
                   stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sweepling"));
    QApplication::setApplicationVersion(QStringLiteral(SWEEPLING_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("sweepling"));
    QApplication::setWindowIcon(Images::applicationIcon());

    QStringList args = app.arguments().mid(1);
    bool missingValue = false;
    const QString screenshots = takeScreenshotFolder(args, &missingValue);
    QString error = missingValue ? QStringLiteral("option --screenshots needs a value") : QString();
    auto options = error.isEmpty() ? LaunchOptions::parse(args, &error) : std::nullopt;
    if (options && !options->rest.isEmpty() && !options->help)
        error = QStringLiteral("unexpected argument %1").arg(options->rest.first());
    if (!options || !error.isEmpty()) {
        std::fprintf(stderr, "sweepling: %s\n%s", qPrintable(error), kUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options->version) {
        std::printf("sweepling %s\n", SWEEPLING_VERSION);
        return 0;
    }
    for (const QString &problem : {options->rootError(), options->userError()}) {
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "sweepling: %s\n", qPrintable(problem));
            return 2;
        }
    }
    Log::setVerbose(options->verbose || qEnvironmentVariableIntValue("SWEEPLING_LOG") != 0);
    AppStyle::apply(app);

    ReopenChannel reopen(settingsKey(*options) + QLatin1Char('\n') + QDir(options->root).absolutePath());
    if (screenshots.isEmpty() && reopen.askRunningInstance()) {
        std::puts("Sweepling is already running; its window was brought to the front.");
        return 0;
    }

    Platform platform(Volume(options->root, options->user), options->settings);
    if (screenshots.isEmpty()) {
        platform.setAlerts(std::make_unique<QtAlertPresenter>());
        platform.setUserNotifier(std::make_unique<DBusUserNotifier>());
    } else
        UiTiming::setInstant(true);

    AppDelegate core(platform);
    AppDelegateWindow delegate(core);
    delegate.applicationWillFinishLaunching();
    delegate.applicationDidFinishLaunching();

    if (!screenshots.isEmpty()) {
        ScreenshotTour tour(delegate, screenshots);
        QTimer::singleShot(0, &app, [&] { QApplication::exit(tour.run() == 0 ? 0 : 1); });
        return app.exec();
    }
    reopen.listen();
    QObject::connect(&reopen, &ReopenChannel::reopenRequested, &delegate,
                     [&delegate] { delegate.applicationShouldHandleReopen(false); });
    return app.exec();
}
