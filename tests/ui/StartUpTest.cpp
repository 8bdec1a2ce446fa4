#include "app/PreferenceKeys.h"
#include "support/MacVolumeBuilder.h"
#include "ui/DashboardView.h"
#include "ui/LaunchedApp.h"
#include "ui/NotAccessWindow.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(StartUp, AReadableHomeFolderOpensTheMainWindowOnTheDashboard)
{
    LaunchedApp app;
    app.launch();
    EXPECT_TRUE(app.window()->isVisible());
    EXPECT_EQ(app.delegate->notAccessWindow(), nullptr);
    EXPECT_TRUE(app.window()->dashboardObj()->isUserDirAccessible());
    EXPECT_EQ(app.core->tabtype, 10);
    EXPECT_EQ(app.core->old, 0);
    EXPECT_EQ(app.window()->dashboardObj()->pos(), QPoint(0, 0));
    for (int index = 1; index < 4; ++index)
        EXPECT_EQ(app.window()->viewAtIndex(index)->pos(), QPoint(MainWindow::kContentWidth, 0)) << index;
    EXPECT_EQ(app.window()->detailView()->width(), 827);
}

TEST(StartUp, WithoutAReadableHomeFolderTheAccessWindowComesFirst)
{
    LaunchedApp app(false);
    app.launch();
    NotAccessWindow *access = app.delegate->notAccessWindow();
    ASSERT_NE(access, nullptr);
    EXPECT_TRUE(access->isVisible());
    EXPECT_FALSE(app.window()->isVisible());
    EXPECT_EQ(access->delegate(), app.delegate.get());
    EXPECT_EQ(access->confirmAccess()->text(), QStringLiteral("Confirm Access"));
    EXPECT_FALSE(access->confirmAccess()->isCheckable());
    EXPECT_FALSE(access->closeApp()->isCheckable());
}

TEST(StartUp, AnEarlierGrantOpensTheMainWindowDirectly)
{
    LaunchedApp app(false);
    const auto bookmark = app.test.platform().bookmarks().make(app.host(QStringLiteral("/Users")));
    ASSERT_TRUE(bookmark);
    app.test.platform().defaults().setObject(*bookmark, PreferenceKeys::kSaveDirectory);
    app.launch();
    EXPECT_TRUE(app.window()->isVisible());
    EXPECT_EQ(app.delegate->notAccessWindow(), nullptr);
}

TEST(StartUp, ClosingTheMainWindowKeepsTheApplicationAndReopenBringsItBack)
{
    LaunchedApp app;
    app.launch();
    EXPECT_FALSE(QGuiApplication::quitOnLastWindowClosed());
    EXPECT_TRUE(app.window()->close());
    EXPECT_FALSE(app.window()->isVisible());
    EXPECT_FALSE(app.delegate->applicationShouldHandleReopen(false));
    EXPECT_TRUE(app.window()->isVisible());
    // The page on screen stays where it was.
    EXPECT_EQ(app.core->tabtype, 10);
}

TEST(StartUp, ReopenBringsTheAccessWindowWhileItIsShown)
{
    LaunchedApp app(false);
    app.launch();
    NotAccessWindow *access = app.delegate->notAccessWindow();
    ASSERT_NE(access, nullptr);
    access->hide();
    EXPECT_FALSE(app.delegate->applicationShouldHandleReopen(false));
    EXPECT_TRUE(access->isVisible());
    EXPECT_FALSE(app.window()->isVisible());
}

// A preferences file that cannot be parsed is named in an alert at start-up,
// and is left exactly as it was.
TEST(StartUp, ADamagedSettingsFileIsNamedInAnAlertAndLeftAsItIs)
{
    LaunchedApp app;
    const QString file = app.test.settingsFile();
    QFile settings(file);
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QByteArray before = "this line is no setting\n" + settings.readAll();
    settings.close();
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly | QIODevice::Truncate));
    settings.write(before);
    settings.close();
    app.test.platform().defaults().synchronize();
    ASSERT_FALSE(app.test.platform().defaults().loadError().isEmpty());

    app.launch();
    QCoreApplication::processEvents();
    ASSERT_FALSE(app.test.alerts().requests().isEmpty());
    const auto request = app.test.alerts().requests().last();
    EXPECT_EQ(request.kind, QStringLiteral("inform"));
    EXPECT_TRUE(request.informativeText.contains(file)) << qPrintable(request.informativeText);
    EXPECT_TRUE(request.informativeText.contains(QLatin1String("line 1"))) << qPrintable(request.informativeText);
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_EQ(settings.readAll(), before);
}
