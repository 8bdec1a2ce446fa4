#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The tray tests: a QApplication on a real X server (run under xvfb-run),
// so that a tray can exist. No session bus is reachable, so Qt looks for
// the X11 tray, which the tests stand in for. Without a display the tests
// run offscreen and skip.
int main(int argc, char **argv)
{
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY");
    qputenv("QT_QPA_PLATFORM", display ? "xcb" : "offscreen");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/sweepling-test-bus");
    QTemporaryDir config;
    if (!config.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
