#include "app/PreferenceKeys.h"
#include "platform/ScriptedAlerts.h"
#include "ui/ButtonWithSpinner.h"
#include "ui/DashboardView.h"
#include "ui/LaunchedApp.h"
#include "ui/StatusMenu.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

// Failures name the texts, not their bytes.
static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << qPrintable(text) << '"';
}

using namespace PreferenceKeys;

namespace {
QAction *item(const LaunchedApp &app, const char *name)
{
    return app.delegate->statusMenu()->menuStatusBar()->findChild<QAction *>(QString::fromLatin1(name));
}

QStringList itemNames(const QMenu *menu)
{
    QStringList names;
    for (const QAction *action : menu->actions()) {
        if (!action->isSeparator())
            names << action->objectName();
    }
    return names;
}
} // namespace

TEST(StatusMenu, FirstStartWithoutATrayHasTheMenuWithRealTimeEnabled)
{
    LaunchedApp app;
    app.launch();
    StatusMenu *status = app.delegate->statusMenu();
    ASSERT_NE(status, nullptr);
    // The offscreen platform has no tray: no icon, the menu all the same.
    EXPECT_EQ(status->statusItem(), nullptr);
    QMenu *menu = status->menuStatusBar();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), QStringLiteral("menuStatusBar"));
    EXPECT_EQ(itemNames(menu),
              (QStringList{QStringLiteral("realTimeScanningOnOFMenuBarAction"),
                           QStringLiteral("performQuickScanMenuBarAction"), QStringLiteral("updateMenuBarAction"),
                           QStringLiteral("openAppMenuBarAction"), QStringLiteral("openAppWebSiteMenuBarAction"),
                           QStringLiteral("privacyPolicyAction"), QStringLiteral("termsofUseAction"),
                           QStringLiteral("quitMenuBarAction")}));
    QAction *first = menu->actions().first();
    EXPECT_EQ(first->text(), QStringLiteral("Real-time Scan Enabled"));
    EXPECT_TRUE(first->isCheckable());
    EXPECT_TRUE(first->isChecked());
    EXPECT_TRUE(app.core->realTime().realTimeScanningTimer().isActive());

    // Every setting still applies without a tray.
    QTest::mouseClick(app.window()->dashboardObj()->showDockIcon(), Qt::LeftButton);
    EXPECT_FALSE(app.core->backgroundSettings().dockIcon());
}

TEST(StatusMenu, RealTimeSwitchKeepsMenuAndDashboardInStepBothWays)
{
    LaunchedApp app;
    app.launch();
    DashboardView *dashboard = app.window()->dashboardObj();
    QAction *first = item(app, "realTimeScanningOnOFMenuBarAction");
    ASSERT_NE(first, nullptr);

    first->trigger();
    EXPECT_EQ(first->text(), QStringLiteral("Real-time Scan Disabled"));
    EXPECT_FALSE(first->isChecked());
    EXPECT_FALSE(app.core->realTime().realTimeScanningTimer().isActive()) << "no scan comes 30 minutes later";
    EXPECT_FALSE(app.test.platform().defaults().boolForKey(RealTimeScanONOFF));
    EXPECT_FALSE(dashboard->btnRealtimeScan()->isChecked());
    EXPECT_EQ(dashboard->realTimeProtectionLabelText()->text(), QStringLiteral("    Disabled"));

    QTest::mouseClick(dashboard->btnRealtimeScan(), Qt::LeftButton);
    EXPECT_EQ(first->text(), QStringLiteral("Real-time Scan Enabled"));
    EXPECT_TRUE(first->isChecked());
    EXPECT_TRUE(dashboard->btnRealtimeScan()->isChecked());
    EXPECT_EQ(dashboard->realTimeProtectionLabelText()->text(), QStringLiteral("    Enabled"));
    EXPECT_TRUE(app.core->realTime().realTimeScanningTimer().isActive());
    EXPECT_EQ(app.core->realTime().realTimeScanningTimer().interval(), 1800 * 1000);
}

TEST(StatusMenu, QuickScanItemRunsAQuickScanAndLeavesTheDashboardsKind)
{
    LaunchedApp app;
    app.launch();
    ScanDriver &driver = app.core->scanDriver();
    driver.setWholeDiskAccess(false);
    DashboardView *dashboard = app.window()->dashboardObj();
    // Custom Scan chosen on the Dashboard: the menu's Quick Scan asks for no folder.
    dashboard->btnScanType()->setCurrentIndex(2);
    dashboard->changeScanType(2);
    app.window()->hide();
    QSignalSpy started(&driver, &ScanDriver::scanStarted);
    QSignalSpy finished(&driver, &ScanDriver::scanFinished);

    item(app, "performQuickScanMenuBarAction")->trigger();
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0][0].toLongLong(), 0);
    EXPECT_TRUE(app.window()->isVisible()) << "the main window comes to the front";
    EXPECT_FALSE(dashboard->btnScanType()->isEnabled());

    // While it runs the item does nothing.
    item(app, "performQuickScanMenuBarAction")->trigger();
    EXPECT_EQ(started.size(), 1);

    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(driver.state().scanType, 2);
    EXPECT_EQ(dashboard->scanBtu()->text(), QStringLiteral("Custom Scan >"));
    EXPECT_TRUE(dashboard->btnScanType()->isEnabled());
    for (const auto &request : app.test.alerts().requests())
        EXPECT_NE(request.kind, QStringLiteral("folder"));
}

TEST(StatusMenu, UpdateItemTurnsTheDashboardsUpdateButtonThenSaysNoUpdate)
{
    LaunchedApp app;
    app.launch();
    DashboardView *dashboard = app.window()->dashboardObj();
    QSignalSpy answered(dashboard, &DashboardView::updateCheckAnswered);
    item(app, "updateMenuBarAction")->trigger();
    EXPECT_NE(dashboard->UpdateNowSelf()->spinner(), nullptr);
    EXPECT_TRUE(app.test.alerts().requests().isEmpty()) << "the answer comes from the event loop";
    ASSERT_TRUE(answered.wait());
    EXPECT_EQ(dashboard->UpdateNowSelf()->spinner(), nullptr);
    const auto requests = app.test.alerts().requests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].messageText, QStringLiteral("No Update is Available"));
}

TEST(StatusMenu, OpenAndWebPageItems)
{
    LaunchedApp app;
    app.launch();
    app.window()->hide();
    item(app, "openAppMenuBarAction")->trigger();
    EXPECT_TRUE(app.window()->isVisible());

    item(app, "openAppWebSiteMenuBarAction")->trigger();
    item(app, "privacyPolicyAction")->trigger();
    item(app, "termsofUseAction")->trigger();
    EXPECT_EQ(app.test.workspace().opened,
              (QList<QUrl>{StatusMenu::webSiteUrl(), StatusMenu::privacyPolicyUrl(), StatusMenu::termsOfUseUrl()}));
    for (const QUrl &url : app.test.workspace().opened)
        EXPECT_EQ(url.scheme(), QStringLiteral("https"));
}

TEST(StatusMenu, HidingTheDockIconLeavesTheTaskBarAndKeepsTheWindowInFront)
{
    LaunchedApp app;
    app.launch();
    MainWindow *window = app.window();
    DashboardView *dashboard = window->dashboardObj();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowType(), Qt::Window);

    QTest::mouseClick(dashboard->showDockIcon(), Qt::LeftButton);
    EXPECT_EQ(window->windowType(), Qt::Tool);
    EXPECT_FALSE(app.test.platform().defaults().boolForKey(kIsDockIcon));
    QTRY_VERIFY(window->isVisible());

    // The stored setting is applied at the next start.
    {
        LaunchedApp second;
        second.test.platform().defaults().setBool(false, kIsDockIcon);
        second.launch();
        EXPECT_EQ(second.window()->windowType(), Qt::Tool);
        EXPECT_TRUE(second.window()->isVisible());
        EXPECT_FALSE(second.window()->dashboardObj()->showDockIcon()->isChecked());
    }

    QTest::mouseClick(dashboard->showDockIcon(), Qt::LeftButton);
    EXPECT_EQ(window->windowType(), Qt::Window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(app.test.platform().defaults().boolForKey(kIsDockIcon));
}

TEST(StatusMenu, StartAtLoginThatCannotRegisterSaysSoAndStoresTheSetting)
{
    LaunchedApp app;
    app.launch();
    DashboardView *dashboard = app.window()->dashboardObj();
    // No helper lies beside the test program, so the entry cannot be written.
    QTest::mouseClick(dashboard->runOnStartUp(), Qt::LeftButton);
    const auto requests = app.test.alerts().requests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].messageText, QStringLiteral("Error"));
    EXPECT_EQ(requests[0].informativeText, QStringLiteral("Error in setting at start at login"));
    EXPECT_EQ(requests[0].buttons, QStringList{QStringLiteral("ok")});
    EXPECT_TRUE(app.test.platform().defaults().boolForKey(kIsRunOnStart));
    EXPECT_TRUE(dashboard->runOnStartUp()->isChecked());
    EXPECT_FALSE(QFile::exists(LoginItem::entryPath()));

    // Switching it off again has nothing to remove and says nothing.
    QTest::mouseClick(dashboard->runOnStartUp(), Qt::LeftButton);
    EXPECT_EQ(app.test.alerts().requests().size(), 1);
    EXPECT_FALSE(app.test.platform().defaults().boolForKey(kIsRunOnStart));
}

// The application may change its alert presenter after start (the screenshot
// tour does); the start-at-login alert goes to the one in use, never to the
// one that was replaced and freed.
TEST(StatusMenu, TheStartAtLoginAlertGoesToThePresenterInUse)
{
    LaunchedApp app;
    app.launch();
    auto replacement = std::make_unique<ScriptedAlerts>();
    ScriptedAlerts &inUse = *replacement;
    app.test.platform().setAlerts(std::move(replacement));
    QTest::mouseClick(app.window()->dashboardObj()->runOnStartUp(), Qt::LeftButton);
    ASSERT_EQ(inUse.requests().size(), 1);
    EXPECT_EQ(inUse.requests()[0].informativeText, QStringLiteral("Error in setting at start at login"));
}
