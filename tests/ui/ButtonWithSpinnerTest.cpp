#include "ui/AppStyle.h"
#include "ui/ButtonWithSpinner.h"
#include "ui/DashboardView.h"
#include "ui/LaunchedApp.h"
#include "ui/SpinnerView.h"

#include <gtest/gtest.h>

TEST(ButtonWithSpinner, TheScanTitlesClearWhileBusyAndComeBackAsScanNow)
{
    LaunchedApp app;
    app.launch();
    DashboardView *dashboard = app.window()->dashboardObj();
    ButtonWithSpinner *button = dashboard->scanBtu();
    for (const QString title : {"Quick Scan >", "Deep Scan >", "Custom Scan >"}) {
        AppDelegateWindow::setTextTo(button, title, Qt::white, 0, Qt::AlignCenter);
        button->showSpinner();
        EXPECT_TRUE(button->text().isEmpty()) << qPrintable(title);
        EXPECT_FALSE(button->isEnabled());
        ASSERT_NE(button->spinner(), nullptr);
        EXPECT_TRUE(button->spinner()->isVisible());
        EXPECT_TRUE(button->spinner()->isAnimating());
        EXPECT_EQ(button->spinner()->geometry(),
                  QRect(button->width() / 2 - 10, (button->height() - 16) / 2, 16, 16));
        EXPECT_EQ(button->originalBounds(), button->rect());
        EXPECT_EQ(dashboard->UpdateNowSelf()->text(), QStringLiteral("Check for Updates"));

        button->hideSpinner();
        EXPECT_EQ(button->text(), QStringLiteral("Scan Now >"));
        EXPECT_TRUE(button->isEnabled());
        EXPECT_EQ(button->spinner(), nullptr);
        EXPECT_EQ(button->findChildren<SpinnerView *>().size(), 0);
    }
}

TEST(ButtonWithSpinner, AnyOtherTitleStaysButTheButtonIsStillBusy)
{
    LaunchedApp app;
    app.launch();
    DashboardView *dashboard = app.window()->dashboardObj();
    auto *other = new ButtonWithSpinner(QStringLiteral("Scan Again"), dashboard);
    other->resize(120, 32);
    other->showSpinner();
    EXPECT_EQ(other->text(), QStringLiteral("Scan Again"));
    EXPECT_FALSE(other->isEnabled());
    ASSERT_NE(other->spinner(), nullptr);
    EXPECT_EQ(other->spinner()->geometry(), QRect(50, 8, 16, 16));
    EXPECT_EQ(dashboard->scanBtu()->text(), QStringLiteral("Quick Scan >"));
    other->hideSpinner();
    EXPECT_TRUE(other->isEnabled());
    EXPECT_EQ(other->spinner(), nullptr);
}

TEST(ButtonWithSpinner, CheckForUpdatesClearsTheUpdateButtonInBlue)
{
    LaunchedApp app;
    app.launch();
    ButtonWithSpinner *update = app.window()->dashboardObj()->UpdateNowSelf();
    update->showSpinner();
    EXPECT_TRUE(update->text().isEmpty());
    EXPECT_EQ(update->palette().color(QPalette::ButtonText), AppStyle::titleBlue());
    EXPECT_EQ(app.window()->dashboardObj()->scanBtu()->text(), QStringLiteral("Quick Scan >"));
    update->hideSpinner();
    EXPECT_EQ(update->text(), QStringLiteral("Check for Updates"));
    EXPECT_TRUE(update->isEnabled());
}

TEST(ButtonWithSpinner, WithoutAnApplicationItOnlyTurnsItsWheel)
{
    ButtonWithSpinner button(QStringLiteral("Quick Scan >"));
    button.resize(100, 30);
    button.showSpinner();
    EXPECT_FALSE(button.isEnabled());
    EXPECT_NE(button.spinner(), nullptr);
    button.hideSpinner();
    EXPECT_TRUE(button.isEnabled());
    EXPECT_EQ(button.text(), QStringLiteral("Quick Scan >"));
}
