#include "app/AppDelegate.h"
#include "app/NotificationNames.h"
#include "app/PreferenceKeys.h"
#include "support/MacVolumeBuilder.h"
#include "support/TestPlatform.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace PreferenceKeys;

namespace {
// Points the remote flag at a port nothing listens on, so start-up never
// reaches the network.
void offline(Platform &platform)
{
    platform.defaults().setObject(QStringLiteral("http://127.0.0.1:9/flag.txt"), SandboxingURL);
}
} // namespace

TEST(AppDelegate, StartUpClearsTheRemoteFlagAndAsksTheServerAgain)
{
    TestPlatform test;
    MacVolumeBuilder mac(test.volume());
    offline(test.platform());
    test.platform().defaults().setBool(true, SandboxingDone);
    QStringList posted;
    test.platform().notifications().addObserver(QString(), nullptr,
                                                [&](const Notification &n) { posted.append(n.name); });
    AppDelegate app(test.platform());
    QSignalSpy remote(&app.remoteFlag(), &RemoteFlag::finished);
    app.applicationWillFinishLaunching();
    app.applicationDidFinishLaunching();

    EXPECT_TRUE(test.platform().defaults().contains(SandboxingDone));
    EXPECT_FALSE(test.platform().defaults().boolForKey(SandboxingDone));
    EXPECT_TRUE(test.platform().defaults().boolForKey(NSApplicationCrashOnExceptions));
    EXPECT_FALSE(test.platform().defaults().boolForKey(NSConstraintBasedLayoutVisualizeMutuallyExclusiveConstraints));
    EXPECT_EQ(posted, (QStringList{NotificationNames::ScanningStatusChange, NotificationNames::listChange}));
    EXPECT_FALSE(app.showsAccessWindow());
    EXPECT_EQ(app.tabtype, 40);
    EXPECT_EQ(app.lastScanText(), QStringLiteral("Not scan yet"));
    ASSERT_TRUE(remote.wait(10000));
    EXPECT_FALSE(remote.first().first().toBool());
}

TEST(AppDelegate, WithoutAReadableHomeFolderStartUpChoosesTheAccessWindow)
{
    TestPlatform test;
    offline(test.platform());
    AppDelegate app(test.platform());
    QSignalSpy chosen(&app, &AppDelegate::interfaceChosen);
    app.applicationWillFinishLaunching();
    app.applicationDidFinishLaunching();
    EXPECT_TRUE(app.showsAccessWindow());
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_TRUE(chosen.first().first().toBool());
    EXPECT_FALSE(app.applicationShouldTerminateAfterLastWindowClosed());
}

TEST(AppDelegate, LastScanTextFollowsTheStoredDate)
{
    TestPlatform test;
    offline(test.platform());
    AppDelegate app(test.platform());
    test.platform().defaults().setObject(QDateTime::currentDateTime().addDays(-3), kLastScanDate);
    QSignalSpy changed(&app, &AppDelegate::lastScanTextChanged);
    app.setLastScanTextisRepeat(QStringLiteral("N"));
    EXPECT_EQ(app.lastScanText(), QStringLiteral("3 days ago"));
    EXPECT_EQ(changed.size(), 1);
}

TEST(AppDelegate, AFinishedScanIsStoredInTheReportList)
{
    TestPlatform test;
    MacVolumeBuilder mac(test.volume());
    mac.app(QStringLiteral("/Applications/Genieo.app"), QStringLiteral("com.genieo"));
    offline(test.platform());
    test.platform().defaults().setBool(false, RealTimeScanONOFF);
    AppDelegate app(test.platform());
    app.applicationWillFinishLaunching();
    app.scanDriver().setWholeDiskAccess(false);
    QSignalSpy finished(&app.scanDriver(), &ScanDriver::scanFinished);
    app.scanDriver().adwareScanStart();
    ASSERT_TRUE(finished.wait(10000));
    QCoreApplication::processEvents();
    ASSERT_FALSE(app.reportsObj().reportList().isEmpty());
    EXPECT_EQ(app.reportsObj().reportList().first()->adwareList().first()->name(), QStringLiteral("Genieo.app"));
    EXPECT_TRUE(test.platform().defaults().contains(kSaveReport));
    EXPECT_NE(app.lastScanText(), QStringLiteral("Not scan yet"));
}

TEST(AppDelegate, StartUpRestoresTheScheduleAndStartsRealTimeScanning)
{
    TestPlatform test;
    MacVolumeBuilder mac(test.volume());
    offline(test.platform());
    UserDefaults &defaults = test.platform().defaults();
    const QDate today = QDate::currentDate();
    defaults.setObject(QStringLiteral("Yes"), ScheduleOn);
    defaults.setObject(QDateTime(today, QTime(0, 0, 1)).toUTC(), ScheduleStartDate);
    defaults.setObject(QDateTime(today.addDays(400), QTime(23, 59, 59)).toUTC(), ScheduleEndDate);
    defaults.setObject(3600.0 * 12, ScheduleTime);
    defaults.setObject(1, ScheduleType);
    ASSERT_TRUE(defaults.synchronize());
    AppDelegate app(test.platform());
    app.applicationWillFinishLaunching();
    app.applicationDidFinishLaunching();
    EXPECT_TRUE(app.scheduler().form().isScheduleOn);
    EXPECT_TRUE(app.scheduler().timerSchedule().isArmed());
    ASSERT_TRUE(app.scheduler().SchedulerDate().has_value());
    EXPECT_GT(*app.scheduler().SchedulerDate(), QDateTime::currentDateTime());
    EXPECT_TRUE(app.realTime().realTimeScanningTimer().isActive());
    EXPECT_FALSE(app.backgroundSettings().runOnStart());
    EXPECT_TRUE(app.backgroundSettings().dockIcon());
}
