#include "app/NotificationNames.h"
#include "app/PreferenceKeys.h"
#include "services/RealTimeScanning.h"
#include "services/ServicesFixture.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace PreferenceKeys;

TEST(BackgroundSettings, MissingKeysReadAsTheirDefaultsAndWritesAreStored)
{
    TestPlatform test;
    BackgroundSettings settings(test.platform().defaults());
    EXPECT_TRUE(settings.isRealTimeProtectionON());
    EXPECT_FALSE(settings.runOnStart());
    EXPECT_TRUE(settings.dockIcon());
    settings.setRealTimeProtectionON(false);
    settings.setRunOnStart(true);
    settings.setDockIcon(false);
    UserDefaults reread(test.settingsFile());
    EXPECT_FALSE(reread.boolForKey(RealTimeScanONOFF));
    EXPECT_TRUE(reread.boolForKey(kIsRunOnStart));
    EXPECT_FALSE(reread.boolForKey(kIsDockIcon));
}

TEST(RealTimeScanning, TheTimerFirstFiresThirtyMinutesAfterEnablingAndStopsWhenToggledOff)
{
    ServicesFixture f;
    RealTimeScanning realTime(f.test.platform(), *f.driver);
    QSignalSpy started(f.driver.get(), &ScanDriver::scanStarted);
    EXPECT_EQ(realTime.statusMenuTitle(), QStringLiteral("Real-time Scan Enabled"));
    realTime.realTimeScanning(true);
    QTimer &timer = realTime.realTimeScanningTimer();
    EXPECT_TRUE(timer.isActive());
    EXPECT_FALSE(timer.isSingleShot());
    EXPECT_EQ(timer.interval(), 1800 * 1000);
    EXPECT_GT(timer.remainingTime(), 1700 * 1000);
    EXPECT_EQ(started.size(), 0); // not at once

    QSignalSpy status(&realTime, &RealTimeScanning::statusChanged);
    realTime.realTimeScanningOnOFMenuBarAction();
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(realTime.statusMenuTitle(), QStringLiteral("Real-time Scan Disabled"));
    EXPECT_FALSE(f.test.platform().defaults().boolForKey(RealTimeScanONOFF));
    ASSERT_EQ(status.size(), 1);
    EXPECT_FALSE(status.first().first().toBool());
    // Switched off, starting the timer does nothing.
    realTime.realTimeScanning(true);
    EXPECT_FALSE(timer.isActive());

    realTime.realTimeScanningOnOFMenuBarAction();
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(realTime.statusMenuTitle(), QStringLiteral("Real-time Scan Enabled"));
}

TEST(RealTimeScanning, AScanOfTheDashboardKindPostsOneCardPerThreatAndAlerts)
{
    ServicesFixture f;
    f.findings = {f.mac.file(QStringLiteral("~/Library/LaunchAgents/a.plist")),
                  f.mac.file(QStringLiteral("~/Library/LaunchAgents/b.plist"))};
    RealTimeScanning realTime(f.test.platform(), *f.driver);
    QSignalSpy show(&realTime, &RealTimeScanning::showMainWindow);
    QStringList cards;
    f.test.platform().notifications().addObserver(NotificationNames::noteCustom, nullptr, [&](const Notification &n) {
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
        cards.append(n.object.value<AdwarePtr>()->path());
    });
    f.test.alerts().answer(QStringLiteral("Remove"));
    QSignalSpy finished(f.driver.get(), &ScanDriver::scanFinished);
    realTime.scanAdwareRealTime();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(cards, f.findings);
    // The alert comes once every observer has seen the end of the scan.
    if (show.isEmpty()) {
        ASSERT_TRUE(show.wait(10000));
    }
    const auto requests = f.test.alerts().requests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests.first().messageText, QStringLiteral("Alert"));
    EXPECT_EQ(requests.first().informativeText, QStringLiteral("Potential threat detected"));
    EXPECT_EQ(requests.first().buttons, (QStringList{QStringLiteral("Ignore"), QStringLiteral("Remove"),
                                                     QStringLiteral("Remind Me Later")}));
    EXPECT_EQ(requests.first().escapeButton, 2); // Escape: "Remind Me Later"
    EXPECT_EQ(show.size(), 1);

    // A scan the user starts posts no card and shows no alert.
    cards.clear();
    f.driver->adwareScanStart();
    ASSERT_TRUE(finished.wait(10000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(cards.isEmpty());
    EXPECT_EQ(f.test.alerts().requests().size(), 1);
}

TEST(RealTimeScanning, ARunningScanMakesItDoNothing)
{
    ServicesFixture f;
    RealTimeScanning realTime(f.test.platform(), *f.driver);
    f.hold = true;
    f.driver->setScanType(ScanState::QuickScan);
    f.driver->adwareScanStart();
    ASSERT_TRUE(f.driver->isScanning());
    f.driver->setReportType(QStringLiteral("Quick Scan"));
    realTime.scanAdwareRealTime();
    EXPECT_EQ(f.driver->reportType(), QStringLiteral("Quick Scan"));
}

TEST(RealTimeScanning, TheAlertIsOnlyForRealTimeReportsWithThreats)
{
    ServicesFixture f;
    RealTimeScanning realTime(f.test.platform(), *f.driver);
    const QDateTime now = QDateTime::currentDateTime();
    const QString path = f.mac.file(QStringLiteral("~/Library/x.plist"));
    const AdwarePtr threat = Adware::AdwareWithName(QStringLiteral("x"), true, QStringLiteral("Genieo"), 0,
                                                    QUrl::fromLocalFile(path), QStringLiteral("High Risk"));
    const QString realTimeType = QStringLiteral("Real Time Scan");
    EXPECT_FALSE(realTime.alertIfThreatDetected(nullptr));
    EXPECT_FALSE(realTime.alertIfThreatDetected(
        AdwareScanReport::ScanReportWithAdwareList({}, now, QStringLiteral("1 sec"), realTimeType)));
    EXPECT_FALSE(realTime.alertIfThreatDetected(
        AdwareScanReport::ScanReportWithAdwareList({threat}, now, QStringLiteral("1 sec"), QStringLiteral("Quick Scan"))));
    EXPECT_TRUE(f.test.alerts().requests().isEmpty());
    EXPECT_TRUE(realTime.alertIfThreatDetected(
        AdwareScanReport::ScanReportWithAdwareList({threat}, now, QStringLiteral("1 sec"), realTimeType)));
    EXPECT_EQ(f.test.alerts().requests().size(), 1);
}
