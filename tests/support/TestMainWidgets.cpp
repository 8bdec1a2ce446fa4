#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The window tests: a QApplication on the offscreen platform. The user's
// configuration folder is a temporary one, so a start-at-login switch
// clicked by a test never writes into the real autostart folder.
//
// Built with SWEEPLING_TEST_ON_X11 (the tray tests, run under xvfb-run) it
// uses the X server when there is one, with no session bus reachable so
// that Qt looks for the X11 tray; without a display it stays offscreen.
int main(int argc, char **argv)
{
#ifdef SWEEPLING_TEST_ON_X11
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    qputenv("QT_QPA_PLATFORM", x11 ? "xcb" : "offscreen");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/sweepling-test-bus");
#else
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QTemporaryDir config;
    if (!config.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
