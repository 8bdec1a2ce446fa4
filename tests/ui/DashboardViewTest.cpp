#include "app/PreferenceKeys.h"
#include "ui/ButtonWithSpinner.h"
#include "ui/DashboardView.h"
#include "ui/LaunchedApp.h"
#include "ui/ScanView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
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
const QDateTime kLaunch(QDate(2026, 3, 10), QTime(9, 0), Qt::UTC);

struct Situation
{
    QString blurb;
    bool access;
    // Last scan relative to the launch, in seconds; unset: never scanned.
    std::optional<qint64> lastScan;
    bool blueShown;
    QString redText;
    QString button;
};

// The Dashboard as it reads one hour after launch, with the given last scan.
void expectSituation(const Situation &s)
{
    SCOPED_TRACE(qPrintable(s.blurb));
    LaunchedApp app(s.access);
    app.launch();
    DashboardView *dashboard = app.window()->dashboardObj();
    if (s.lastScan)
        app.test.platform().defaults().setObject(kLaunch.addSecs(*s.lastScan), kLastScanDate);
    dashboard->setClock([] { return kLaunch.addSecs(3600); });
    dashboard->setLaunchDate(kLaunch);
    dashboard->makeAccessibleUIChanges();

    EXPECT_EQ(dashboard->isUserDirAccessible(), s.access);
    EXPECT_EQ(dashboard->blueView()->isVisibleTo(dashboard), s.blueShown);
    EXPECT_EQ(dashboard->redView()->isVisibleTo(dashboard), !s.blueShown);
    if (!s.blueShown) {
        EXPECT_EQ(dashboard->textRedView()->text(), s.redText);
    }
    EXPECT_EQ(dashboard->getAccessAndScan()->text(), s.button);
}
} // namespace

TEST(DashboardView, StatusBoxesFollowAccessAndTheLastScan)
{
    const QString never = QStringLiteral("A scan has never been run on your system");
    expectSituation({"no access", false, std::nullopt, false, never, "Fix Now >"});
    expectSituation({"never scanned", true, std::nullopt, false, never, "Scan Now"});
    expectSituation({"scanned this run", true, 1800, true, QString(), "Scan Now"});
    expectSituation({"2 days before this run", true, -2 * 86400, false,
                     "Please perform a full system scan to find and remove adware.", "Scan Now"});
    // One hour after launch, so the scan is 5 days and 4 hours old: still 5 whole days.
    expectSituation({"5 days 3 hours before this run", true, -(5 * 86400 + 3 * 3600), false,
                     "A scan has not been run on your system for 5 days", "Scan Now"});
}

TEST(DashboardView, ScanThisRunTellsTheScanPageThreatsWereDetected)
{
    LaunchedApp app;
    app.launch();
    DashboardView *dashboard = app.window()->dashboardObj();
    ScanView *scan = app.window()->scanObj();
    app.test.platform().defaults().setObject(kLaunch.addSecs(60), kLastScanDate);
    dashboard->setClock([] { return kLaunch.addSecs(120); });
    dashboard->setLaunchDate(kLaunch);
    dashboard->makeAccessibleUIChanges();
    EXPECT_TRUE(dashboard->isTodayScan());
    EXPECT_EQ(scan->redViewText()->text(), QStringLiteral("Potential Threats Detected"));
    EXPECT_FALSE(scan->scanNow()->isVisibleTo(scan));

    app.test.platform().defaults().setObject(kLaunch.addSecs(-60), kLastScanDate);
    dashboard->makeAccessibleUIChanges();
    EXPECT_EQ(scan->redViewText()->text(), QStringLiteral("Please perform a full system scan to find and remove adware."));
    EXPECT_TRUE(scan->scanNow()->isVisibleTo(scan));
    EXPECT_FALSE(scan->greenView()->isVisibleTo(scan));
}

TEST(DashboardView, ScanTypeMenuAndDeepCheckboxTitleTheScanButton)
{
    LaunchedApp app;
    app.launch();
    DashboardView *dashboard = app.window()->dashboardObj();
    ScanDriver &driver = app.core->scanDriver();
    EXPECT_EQ(dashboard->scanBtu()->text(), QStringLiteral("Quick Scan >"));
    Q_EMIT dashboard->btnScanType()->activated(2);
    EXPECT_EQ(dashboard->scanBtu()->text(), QStringLiteral("Custom Scan >"));
    EXPECT_EQ(driver.state().scanType, 2);
    EXPECT_TRUE(driver.state().isCustomScanning);

    QTest::mouseClick(dashboard->btnDeepScan(), Qt::LeftButton);
    EXPECT_EQ(dashboard->scanBtu()->text(), QStringLiteral("Deep Scan >"));
    EXPECT_EQ(driver.state().scanType, 1);
    EXPECT_TRUE(driver.state().isDeepScan);
    EXPECT_EQ(dashboard->btnScanType()->currentIndex(), 1);

    QTest::mouseClick(dashboard->btnDeepScan(), Qt::LeftButton);
    EXPECT_EQ(dashboard->scanBtu()->text(), QStringLiteral("Quick Scan >"));
    EXPECT_EQ(driver.state().scanType, 0);
}

TEST(DashboardView, SwitchesStoreTheirSettings)
{
    LaunchedApp app;
    app.launch();
    DashboardView *dashboard = app.window()->dashboardObj();
    UserDefaults &defaults = app.test.platform().defaults();
    // Absent settings read as off, on, on.
    EXPECT_FALSE(dashboard->runOnStartUp()->isChecked());
    EXPECT_TRUE(dashboard->showDockIcon()->isChecked());
    EXPECT_TRUE(dashboard->btnRealtimeScan()->isChecked());
    EXPECT_EQ(dashboard->realTimeProtectionLabelText()->text(), QStringLiteral("    Enabled"));

    QTest::mouseClick(dashboard->runOnStartUp(), Qt::LeftButton);
    QTest::mouseClick(dashboard->showDockIcon(), Qt::LeftButton);
    QTest::mouseClick(dashboard->btnRealtimeScan(), Qt::LeftButton);
    EXPECT_TRUE(defaults.boolForKey(kIsRunOnStart));
    EXPECT_FALSE(defaults.boolForKey(kIsDockIcon));
    EXPECT_TRUE(defaults.contains(RealTimeScanONOFF));
    EXPECT_FALSE(defaults.boolForKey(RealTimeScanONOFF));
    EXPECT_EQ(dashboard->realTimeProtectionLabelText()->text(), QStringLiteral("    Disabled"));

    // A new run shows what was stored.
    dashboard->makeAppChanges();
    EXPECT_TRUE(dashboard->runOnStartUp()->isChecked());
    EXPECT_FALSE(dashboard->showDockIcon()->isChecked());
    EXPECT_FALSE(dashboard->btnRealtimeScan()->isChecked());
}

TEST(DashboardView, UpdateCheckTurnsWithoutBlockingThenSaysNoUpdate)
{
    LaunchedApp app;
    app.launch();
    DashboardView *dashboard = app.window()->dashboardObj();
    QSignalSpy answered(dashboard, &DashboardView::updateCheckAnswered);
    QTest::mouseClick(dashboard->UpdateNowSelf(), Qt::LeftButton);
    // The click returns at once with the button busy; the answer comes from the event loop.
    EXPECT_NE(dashboard->UpdateNowSelf()->spinner(), nullptr);
    EXPECT_FALSE(dashboard->UpdateNowSelf()->isEnabled());
    EXPECT_TRUE(app.test.alerts().requests().isEmpty());
    ASSERT_TRUE(answered.wait());
    EXPECT_EQ(dashboard->UpdateNowSelf()->spinner(), nullptr);
    EXPECT_EQ(dashboard->UpdateNowSelf()->text(), QStringLiteral("Check for Updates"));
    EXPECT_EQ(dashboard->scanBtu()->text(), QStringLiteral("Quick Scan >"));
    const auto requests = app.test.alerts().requests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].kind, QStringLiteral("inform"));
    EXPECT_EQ(requests[0].messageText, QStringLiteral("No Update is Available"));
    EXPECT_EQ(requests[0].informativeText,
              QStringLiteral("You are currently running Sweepling version %1.").arg(QStringLiteral(SWEEPLING_VERSION)));
}

TEST(DashboardView, HelpVersionAndSchedulerLabel)
{
    LaunchedApp app;
    app.launch();
    DashboardView *dashboard = app.window()->dashboardObj();
    QTest::mouseClick(dashboard->needHelpBtu(), Qt::LeftButton);
    ASSERT_EQ(app.test.workspace().opened.size(), 1);
    EXPECT_EQ(app.test.workspace().opened[0], AppDelegateWindow::helpPageUrl());
    EXPECT_TRUE(dashboard->versionLabelText()->text().startsWith(QLatin1Char('v')));
    EXPECT_TRUE(dashboard->versionLabelText()->text().endsWith(QStringLiteral("(%1)").arg(SWEEPLING_VERSION)));

    UserDefaults &defaults = app.test.platform().defaults();
    dashboard->setClock([] { return kLaunch; });
    defaults.setObject(kLaunch.addDays(1), ScheduleDate);
    dashboard->ScanningStatusChange();
    EXPECT_EQ(dashboard->scanningProgressLabelText()->text(), QStringLiteral("Not Running")) << "schedule switch off";
    defaults.setBool(true, ScheduleOn);
    dashboard->ScanningStatusChange();
    EXPECT_EQ(dashboard->scanningProgressLabelText()->text(),
              QStringLiteral("Next scheduled scan: ")
                  + kLaunch.addDays(1).toLocalTime().toString(QStringLiteral("dd/MM/yyyy hh:mm AP")));
    defaults.setObject(kLaunch.addDays(-1), ScheduleDate);
    dashboard->ScanningStatusChange();
    EXPECT_EQ(dashboard->scanningProgressLabelText()->text(), QStringLiteral("Not Running")) << "date in the past";
}

TEST(DashboardView, WithoutAccessTheRootIsAskedForBookmarkedAndTheScanStarts)
{
    LaunchedApp app(false);
    app.launch();
    DashboardView *dashboard = app.window()->dashboardObj();
    ASSERT_FALSE(dashboard->isUserDirAccessible());
    app.core->scanDriver().setWholeDiskAccess(false);
    QSignalSpy started(&app.core->scanDriver(), &ScanDriver::scanStarted);

    app.test.alerts().answer(QStringLiteral("cancel"));
    QTest::mouseClick(dashboard->getAccessAndScan(), Qt::LeftButton);
    EXPECT_FALSE(app.test.platform().defaults().contains(kSaveDirectory));
    EXPECT_EQ(started.size(), 0);

    // Only the disk's root is accepted: the home folder's parent is refused
    // and the chooser stays open for the next choice.
    app.test.alerts().answer({app.host(QStringLiteral("/Users")), app.test.volume().root()});
    QTest::mouseClick(dashboard->getAccessAndScan(), Qt::LeftButton);
    const auto requests = app.test.alerts().requests();
    ASSERT_GE(requests.size(), 2);
    EXPECT_EQ(requests.last().kind, QStringLiteral("folder"));
    EXPECT_EQ(requests.last().messageText, QStringLiteral("Confirm Access"));
    EXPECT_EQ(requests.last().informativeText, QStringLiteral("Give access for scanning in your HardDisk"));
    EXPECT_TRUE(app.test.platform().defaults().contains(kSaveDirectory));
    ASSERT_TRUE(started.wait());
    QTRY_VERIFY(!app.core->scanDriver().isScanning());
}
