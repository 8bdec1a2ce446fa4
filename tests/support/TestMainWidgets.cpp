#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The window tests: a QApplication on the offscreen platform. The user's
// configuration folder is a temporary one, so a start-at-login switch
// clicked by a test never writes into the real autostart folder.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    if (!config.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
