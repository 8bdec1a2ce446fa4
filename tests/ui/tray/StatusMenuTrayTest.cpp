#include "ui/DashboardView.h"
#include "ui/LaunchedApp.h"
#include "ui/StatusMenu.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace {

// A system tray as a panel offers one: the owner of the manager selection
// "_NET_SYSTEM_TRAY_S0" on the X server. Icons that ask to dock are not
// embedded; owning the selection is what makes a tray available.
class FakeX11Tray
{
public:
    FakeX11Tray()
    {
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x11)
            return;
        m_connection = x11->connection();
        const char name[] = "_NET_SYSTEM_TRAY_S0";
        xcb_intern_atom_reply_t *atom =
            xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, sizeof name - 1, name), nullptr);
        if (!atom)
            return;
        m_selection = atom->atom;
        free(atom);
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
        xcb_set_selection_owner(m_connection, m_window, m_selection, XCB_CURRENT_TIME);
        xcb_flush(m_connection);
    }
    ~FakeX11Tray()
    {
        if (!m_window)
            return;
        xcb_destroy_window(m_connection, m_window);
        xcb_flush(m_connection);
    }
    bool isRunning() const { return m_window != 0; }

private:
    xcb_connection_t *m_connection = nullptr;
    xcb_atom_t m_selection = 0;
    xcb_window_t m_window = 0;
};

} // namespace

TEST(StatusMenuTray, WhereATrayExistsTheIconCarriesTheMenuAndOpensTheWindow)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    FakeX11Tray tray;
    ASSERT_TRUE(tray.isRunning());
    ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable());

    LaunchedApp app;
    app.launch();
    StatusMenu *status = app.delegate->statusMenu();
    QSystemTrayIcon *icon = status->statusItem();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->objectName(), QStringLiteral("statusItem"));
    EXPECT_TRUE(icon->isVisible());
    EXPECT_FALSE(icon->icon().isNull());
    EXPECT_EQ(icon->contextMenu(), status->menuStatusBar());
    EXPECT_EQ(icon->contextMenu()->actions().first()->text(), QStringLiteral("Real-time Scan Enabled"));

    // A plain click opens the main window.
    app.window()->hide();
    Q_EMIT icon->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(app.window()->isVisible());

    // The real-time item works from the tray's menu as from anywhere.
    icon->contextMenu()->actions().first()->trigger();
    EXPECT_EQ(icon->contextMenu()->actions().first()->text(), QStringLiteral("Real-time Scan Disabled"));
    EXPECT_FALSE(app.window()->dashboardObj()->btnRealtimeScan()->isChecked());
}

TEST(StatusMenuTray, ATrayThatComesAfterTheStartGetsTheIcon)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    // A tray of an earlier test has gone once the X server says so.
    QTRY_VERIFY_WITH_TIMEOUT(!QSystemTrayIcon::isSystemTrayAvailable(), 5000);
    LaunchedApp app;
    app.launch();
    StatusMenu *status = app.delegate->statusMenu();
    ASSERT_EQ(status->statusItem(), nullptr) << "no tray yet";

    FakeX11Tray tray;
    ASSERT_TRUE(tray.isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 5000);
    // The next look (the retry timer's, here called at once) makes the icon.
    status->refreshStatusDisplay();
    ASSERT_NE(status->statusItem(), nullptr);
    EXPECT_TRUE(status->statusItem()->isVisible());
}
