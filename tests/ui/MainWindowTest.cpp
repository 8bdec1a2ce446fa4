#include "app/NotificationNames.h"
#include "ui/AppStyle.h"
#include "ui/ButtonWithSpinner.h"
#include "ui/DashboardView.h"
#include "ui/LaunchedApp.h"
#include "ui/ReportsView.h"
#include "ui/ScanView.h"
#include "ui/ToolsView.h"
#include "ui/UiTiming.h"

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using NotificationNames::ScanningStatusChange;

namespace {
constexpr int W = MainWindow::kContentWidth;

QList<QPushButton *> tabs(MainWindow *window)
{
    return {window->dashBoard(), window->scan(), window->settings(), window->reports()};
}

QList<QPoint> positions(MainWindow *window)
{
    QList<QPoint> at;
    for (int index = 0; index < 4; ++index)
        at.append(window->viewAtIndex(index)->pos());
    return at;
}

// Turns the instant switch off for one test: the slide then really runs, and
// the test ends it with finishSlide() instead of waiting.
class RealSlides
{
public:
    RealSlides() { UiTiming::setInstant(false); }
    ~RealSlides() { UiTiming::setInstant(true); }
};
} // namespace

TEST(MainWindow, TabsCarryTheirNamesTagsAndTitles)
{
    LaunchedApp app;
    app.launch();
    const QStringList names{"dashBoard", "scan", "settings", "reports"};
    const QStringList titles{"Dashboard", "Scan", "Tools", "Reports"};
    for (int i = 0; i < 4; ++i) {
        QPushButton *tab = app.window()->findChild<QPushButton *>(names[i]);
        ASSERT_NE(tab, nullptr) << qPrintable(names[i]);
        EXPECT_EQ(tab, tabs(app.window())[i]);
        EXPECT_EQ(MainWindow::tagOf(tab), (i + 1) * 10);
        EXPECT_EQ(tab->text(), titles[i]);
        EXPECT_FALSE(tab->accessibleName().isEmpty());
        // No title is clipped.
        EXPECT_GE(tab->contentsRect().width(), tab->fontMetrics().horizontalAdvance(titles[i]));
    }
    EXPECT_EQ(app.window()->viewAtIndex(0), app.window()->dashboardObj());
    EXPECT_EQ(app.window()->viewAtIndex(1), app.window()->scanObj());
    EXPECT_EQ(app.window()->viewAtIndex(2), app.window()->toolsObj());
    EXPECT_EQ(app.window()->viewAtIndex(3), app.window()->reportsObj());
    EXPECT_EQ(app.window()->viewAtIndex(7), app.window()->reportsObj());
    EXPECT_EQ(app.window()->viewAtIndex(-1), app.window()->reportsObj());
}

TEST(MainWindow, EachTabChangeSelectsOneTabAndPostsTheStatusChange)
{
    LaunchedApp app;
    app.launch();
    for (const qint64 tag : {20, 30, 40, 10, 30}) {
        const int before = app.postedCount(ScanningStatusChange);
        app.window()->tabChangeType(tag);
        EXPECT_EQ(app.postedCount(ScanningStatusChange), before + 1) << tag;
        EXPECT_EQ(app.core->tabtype, tag);
        EXPECT_EQ(app.core->old, tag / 10 - 1);
        for (QPushButton *tab : tabs(app.window())) {
            const bool selected = MainWindow::tagOf(tab) == tag;
            EXPECT_EQ(tab->isChecked(), selected) << tag;
            EXPECT_EQ(tab->palette().color(QPalette::ButtonText),
                      selected ? QColor(Qt::white) : AppStyle::tabUnselectedTitle()) << tag;
        }
        EXPECT_EQ(app.window()->viewAtIndex(int(tag / 10 - 1))->pos(), QPoint(0, 0));
    }
}

TEST(MainWindow, ClickingATabButtonSelectsIt)
{
    LaunchedApp app;
    app.launch();
    QTest::mouseClick(app.window()->reports(), Qt::LeftButton);
    EXPECT_EQ(app.core->tabtype, 40);
    EXPECT_TRUE(app.window()->reports()->isChecked());
    // Clicking the selected tab again leaves it selected.
    QTest::mouseClick(app.window()->reports(), Qt::LeftButton);
    EXPECT_TRUE(app.window()->reports()->isChecked());
}

TEST(MainWindow, TheSelectedTabAgainPostsButMovesNoPage)
{
    LaunchedApp app;
    app.launch();
    RealSlides real;
    const QList<QPoint> before = positions(app.window());
    const int posted = app.postedCount(ScanningStatusChange);
    app.window()->tabChange(app.window()->dashBoard());
    EXPECT_EQ(app.postedCount(ScanningStatusChange), posted + 1);
    EXPECT_FALSE(app.window()->isSliding());
    EXPECT_EQ(positions(app.window()), before);
    EXPECT_TRUE(app.window()->dashBoard()->isChecked());
}

TEST(MainWindow, OtherTagsDoNothing)
{
    LaunchedApp app;
    app.launch();
    const int posted = static_cast<int>(app.posted.size());
    for (const qint64 tag : {0, 25, 50, -10})
        app.window()->tabChangeType(tag);
    EXPECT_EQ(app.posted.size(), posted);
    EXPECT_EQ(app.core->tabtype, 10);
    EXPECT_EQ(app.core->old, 0);
}

TEST(MainWindow, ATabToTheRightSlidesThePagesLeftAndBack)
{
    LaunchedApp app;
    app.launch();
    RealSlides real;
    MainWindow *window = app.window();

    window->tabChangeType(40);
    ASSERT_TRUE(window->isSliding());
    // The incoming page starts on the right.
    EXPECT_EQ(window->reportsObj()->pos(), QPoint(W, 0));
    window->finishSlide();
    EXPECT_FALSE(window->isSliding());
    EXPECT_EQ(window->reportsObj()->pos(), QPoint(0, 0));
    EXPECT_EQ(window->dashboardObj()->pos(), QPoint(-W, 0));

    window->tabChangeType(10);
    ASSERT_TRUE(window->isSliding());
    // Going back, the incoming page starts on the left.
    EXPECT_EQ(window->dashboardObj()->pos(), QPoint(-W, 0));
    window->finishSlide();
    EXPECT_EQ(window->dashboardObj()->pos(), QPoint(0, 0));
    EXPECT_EQ(window->reportsObj()->pos(), QPoint(W, 0));
}

TEST(MainWindow, ARapidSecondChangeFinishesTheFirstSlide)
{
    LaunchedApp app;
    app.launch();
    RealSlides real;
    MainWindow *window = app.window();
    window->tabChangeType(20);
    window->tabChangeType(30);
    // The first slide ended where it was going before the second began.
    EXPECT_EQ(window->dashboardObj()->pos(), QPoint(-W, 0));
    EXPECT_EQ(window->scanObj()->pos(), QPoint(0, 0));
    EXPECT_EQ(window->toolsObj()->pos(), QPoint(W, 0));
    window->finishSlide();
    EXPECT_EQ(window->scanObj()->pos(), QPoint(-W, 0));
    EXPECT_EQ(window->toolsObj()->pos(), QPoint(0, 0));
    EXPECT_EQ(app.core->old, 2);
    // A real slide ends by itself too.
    window->tabChangeType(10);
    QTRY_VERIFY(!window->isSliding());
    EXPECT_EQ(window->dashboardObj()->pos(), QPoint(0, 0));
    EXPECT_EQ(window->toolsObj()->pos(), QPoint(W, 0));
}

TEST(MainWindow, HelpOpensTheHelpPageAndPrintWaitsForAReport)
{
    LaunchedApp app;
    app.launch();
    QAction *print = app.window()->findChild<QAction *>(QStringLiteral("printButton"));
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print, app.window()->printButton());
    EXPECT_FALSE(print->isEnabled());
    app.window()->helpAction()->trigger();
    EXPECT_EQ(app.test.workspace().opened, QList<QUrl>{AppDelegateWindow::helpPageUrl()});
}

TEST(MainWindow, NamedControlsCarryReadableNames)
{
    LaunchedApp app;
    app.launch();
    for (const char *name : {"detailView", "dashboardObj", "scanObj", "toolsObj", "reportsObj", "scanBtu",
                                "UpdateNowSelf", "scheduleBtn", "lastScanLabel"}) {
        QWidget *widget = app.window()->findChild<QWidget *>(QString::fromLatin1(name));
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << name;
    }
    for (QPushButton *button : {static_cast<QPushButton *>(app.window()->dashboardObj()->scanBtu()),
                                static_cast<QPushButton *>(app.window()->dashboardObj()->UpdateNowSelf()),
                                app.window()->dashboardObj()->scheduleBtn()})
        EXPECT_GE(button->contentsRect().width(), button->fontMetrics().horizontalAdvance(button->text()))
            << qPrintable(button->objectName());
}
