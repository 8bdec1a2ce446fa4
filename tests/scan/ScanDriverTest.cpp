#include "app/AccessController.h"
#include "app/NotificationNames.h"
#include "app/PreferenceKeys.h"
#include "scan/ScanDriver.h"
#include "support/MacVolumeBuilder.h"
#include "support/TestPlatform.h"

#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Offers a finding for each volume path, as a detector would.
void offer(ScanHost &host, const QString &hostPath, const QString &type = QStringLiteral("Genieo"),
           FindingSource source = FindingSource::Detector)
{
    host.addIfAvail(QUrl::fromLocalFile(hostPath), QFileInfo(hostPath).fileName(), type, QStringLiteral("High Risk"), 0,
                    source);
}

// Runs at a plain volume path and below folders named with signature and
// product words: the listing rules read paths on the volume.
class ScanDriverTest : public ::testing::TestWithParam<VolumePlace>
{
protected:
    ScanDriverTest()
        : test(QString(), QStringLiteral("tester"), GetParam())
        , mac(test.volume())
        , access(test.platform())
    {
        test.platform().defaults().setBool(false, PreferenceKeys::RealTimeScanONOFF);
    }

    std::unique_ptr<ScanDriver> makeDriver(ScanPhases phases)
    {
        auto driver = std::make_unique<ScanDriver>(test.platform(), access, std::move(phases));
        driver->setWholeDiskAccess(false);
        return driver;
    }

    // Runs one scan to its end and answers the report (null when none).
    ReportPtr runScan(ScanDriver &driver)
    {
        QSignalSpy finished(&driver, &ScanDriver::scanFinished);
        driver.adwareScanStart();
        EXPECT_TRUE(finished.wait(10000));
        EXPECT_FALSE(driver.isScanning());
        return finished.isEmpty() ? nullptr : finished.first().first().value<ReportPtr>();
    }

    TestPlatform test;
    MacVolumeBuilder mac;
    AccessController access;
};

} // namespace

TEST_P(ScanDriverTest, QuickScanListsEachFindingOnceAndStoresAReport)
{
    const QString a = mac.file(QStringLiteral("~/Library/LaunchAgents/a.plist"));
    const QString b = mac.dir(QStringLiteral("/Library/Application Support/Genieo"));
    auto driver = makeDriver({[&](ScanHost &host) {
                                  offer(host, a, QStringLiteral("Genieo"));
                                  offer(host, a, QStringLiteral("Conduit"));
                                  offer(host, mac.host(QStringLiteral("/missing")));
                                  offer(host, b);
                              },
                              {}, {}});
    QSignalSpy made(driver.get(), &ScanDriver::reportMade);
    const ReportPtr report = runScan(*driver);
    ASSERT_TRUE(report);
    ASSERT_EQ(report->adwareList().size(), 2);
    EXPECT_EQ(report->adwareList().at(0)->path(), a);
    EXPECT_EQ(report->adwareList().at(0)->infections(), QStringLiteral("Genieo"));
    EXPECT_EQ(report->reportType(), QStringLiteral("Quick Scan"));
    EXPECT_NE(report->scanDuration(), QStringLiteral("Stopped"));
    EXPECT_EQ(made.size(), 1);
    const auto delivered = test.platform().userNotifier().delivered();
    ASSERT_EQ(delivered.size(), 2);
    EXPECT_EQ(delivered.first().title, QStringLiteral("Sweepling"));
    EXPECT_EQ(delivered.first().informativeText, QStringLiteral("Adware Found: a.plist"));
    const QDateTime lastScan =
        UserDefaults(test.settingsFile()).objectForKey(PreferenceKeys::kLastScanDate).toDateTime();
    EXPECT_TRUE(lastScan.isValid());
    EXPECT_EQ(lastScan.timeSpec(), Qt::UTC);
}

TEST_P(ScanDriverTest, RealTimeProtectionLeavesNoReportForACleanScan)
{
    test.platform().defaults().removeObjectForKey(PreferenceKeys::RealTimeScanONOFF);
    auto driver = makeDriver({[](ScanHost &) {}, {}, {}});
    EXPECT_EQ(runScan(*driver), nullptr);
    test.platform().defaults().setBool(false, PreferenceKeys::RealTimeScanONOFF);
    const ReportPtr report = runScan(*driver);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->adwareCount(), 0u);
}

TEST_P(ScanDriverTest, StoppedQuickScanCompletesAsStoppedAndTheNextRunsNormally)
{
    const QString a = mac.file(QStringLiteral("~/a"));
    bool stop = true;
    auto driver = makeDriver({[&](ScanHost &host) {
                                  offer(host, a);
                                  if (stop)
                                      host.state().isScanStop = true;
                              },
                              {}, {}});
    const ReportPtr stopped = runScan(*driver);
    ASSERT_TRUE(stopped);
    EXPECT_EQ(stopped->scanDuration(), QStringLiteral("Stopped"));
    stop = false;
    const ReportPtr next = runScan(*driver);
    ASSERT_TRUE(next);
    EXPECT_NE(next->scanDuration(), QStringLiteral("Stopped"));
}

TEST_P(ScanDriverTest, StatusStepsAreQuickScanOnlyAndPausesGoThroughTheSleeper)
{
    QList<double> slept;
    auto driver = makeDriver({[](ScanHost &host) {
                                  host.waitFor(0.2, QStringLiteral("FkCodec"));
                                  host.waitFor(0.1, QStringLiteral("Yontoo"));
                                  host.pause(0.5);
                              },
                              [](ScanHost &host, const QString &root) { host.DeepScanStart({root}); },
                              [](ScanHost &host, const QStringList &) {
                                  if (++host.state().ScanTypeCount == 2)
                                      host.doneScan();
                              }});
    driver->setSleeper([&](double s) { slept.append(s); });
    QSignalSpy steps(driver.get(), &ScanDriver::ScanningProgressChange);
    runScan(*driver);
    EXPECT_EQ(slept, (QList<double>{0.2, 0.1, 0.5}));
    ASSERT_EQ(steps.size(), 2);
    EXPECT_EQ(steps.at(1).at(0).toString(), QStringLiteral("Yontoo"));
    EXPECT_EQ(steps.at(1).at(1).toInt(), 3);

    slept.clear();
    driver->setScanType(ScanState::FullSystemScan);
    runScan(*driver);
    EXPECT_EQ(slept, QList<double>{0.5});
}

TEST_P(ScanDriverTest, FullSystemScanKeepsTheWalksFindingsAndEndsAfterBothTasks)
{
    const QString seenByDetector = mac.file(QStringLiteral("~/Library/LaunchAgents/d.plist"));
    const QString seenByWalk = mac.file(QStringLiteral("~/Downloads/Genieo.dmg"));
    std::atomic<bool> walkEnded{false};
    auto driver = makeDriver({[&](ScanHost &host) { offer(host, seenByDetector); },
                              [](ScanHost &host, const QString &root) { host.DeepScanStart({root}); },
                              [&](ScanHost &host, const QStringList &roots) {
                                  EXPECT_EQ(roots, QStringList{host.volume().home(QStringLiteral("/"))});
                                  QThread::msleep(50);
                                  offer(host, seenByWalk, QStringLiteral("Adware"), FindingSource::Walk);
                                  walkEnded = true;
                                  if (++host.state().ScanTypeCount == 2)
                                      host.doneScan();
                              }});
    driver->setScanType(ScanState::FullSystemScan);
    const ReportPtr report = runScan(*driver);
    EXPECT_TRUE(walkEnded);
    ASSERT_TRUE(report);
    ASSERT_EQ(report->adwareList().size(), 1);
    EXPECT_EQ(report->adwareList().first()->path(), seenByWalk);
    EXPECT_EQ(report->reportType(), QStringLiteral("Full System Scan"));
}

TEST_P(ScanDriverTest, StoppedFullScanWaitsForEveryTaskBeforeCompleting)
{
    std::atomic<bool> walkEnded{false};
    auto driver = makeDriver({[](ScanHost &host) { host.state().isScanStop = true; },
                              [](ScanHost &host, const QString &root) { host.DeepScanStart({root}); },
                              [&](ScanHost &host, const QStringList &) {
                                  QThread::msleep(100);
                                  walkEnded = true;
                                  ++host.state().ScanTypeCount;
                                  host.doneScan();
                              }});
    driver->setScanType(ScanState::FullSystemScan);
    QSignalSpy completing(driver.get(), &ScanDriver::scanCompleting);
    const ReportPtr report = runScan(*driver);
    EXPECT_TRUE(walkEnded);
    EXPECT_EQ(completing.size(), 1);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->scanDuration(), QStringLiteral("Stopped"));
}

TEST_P(ScanDriverTest, CustomScanKeepsOnlyFindingsInsideTheChosenFolder)
{
    const QString folder = mac.dir(QStringLiteral("~/Downloads"));
    const QString inside = mac.file(QStringLiteral("~/Downloads/x/Genieo.app.zip"));
    const QString sibling = mac.file(QStringLiteral("~/Downloads2/Genieo.zip"));
    const QString outside = mac.file(QStringLiteral("/Library/LaunchAgents/g.plist"));
    QString countedRoot;
    auto driver = makeDriver({[&](ScanHost &host) {
                                  offer(host, inside);
                                  offer(host, sibling);
                                  offer(host, outside);
                              },
                              [&](ScanHost &host, const QString &root) {
                                  countedRoot = root;
                                  host.DeepScanStart({root});
                              },
                              [](ScanHost &host, const QStringList &) {
                                  if (++host.state().ScanTypeCount == 2)
                                      host.doneScan();
                              }});
    driver->setScanType(ScanState::CustomScan);
    test.alerts().answer(folder);
    const ReportPtr report = runScan(*driver);
    EXPECT_EQ(countedRoot, folder);
    ASSERT_TRUE(report);
    ASSERT_EQ(report->adwareList().size(), 1);
    EXPECT_EQ(report->adwareList().first()->path(), inside);
    EXPECT_EQ(report->reportType(), QStringLiteral("Custom Scan"));
}

TEST_P(ScanDriverTest, CancelledCustomFolderStartsNothingAndSecondStartIsIgnored)
{
    int detectorRuns = 0;
    auto driver = makeDriver({[&](ScanHost &) { ++detectorRuns; }, {}, {}});
    driver->setScanType(ScanState::CustomScan);
    QSignalSpy cancelled(driver.get(), &ScanDriver::scanCancelled);
    driver->adwareScanStart();
    EXPECT_EQ(cancelled.size(), 1);
    EXPECT_FALSE(driver->isScanning());

    driver->setScanType(ScanState::QuickScan);
    QSignalSpy started(driver.get(), &ScanDriver::scanStarted);
    QSignalSpy finished(driver.get(), &ScanDriver::scanFinished);
    driver->adwareScanStart();
    driver->adwareScanStart();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(started.size(), 1);
    EXPECT_EQ(detectorRuns, 1);
}

TEST_P(ScanDriverTest, MakersOwnApplicationsAreListedOnlyWhenAnImpostorIsInstalled)
{
    const QString helper = mac.app(QStringLiteral("~/Downloads/Sweepling Helper.app"), QStringLiteral("com.fake.helper"));
    const QString other = mac.app(QStringLiteral("~/Downloads/Genieo.app"), QStringLiteral("com.genieo"));
    auto driver = makeDriver({[&](ScanHost &host) {
                                  offer(host, helper);
                                  offer(host, other);
                              },
                              {}, {}});
    // Nothing called "Sweepling" installed: the helper is not listed.
    ReportPtr report = runScan(*driver);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->adwareList().size(), 1);

    // The genuine product installed: still not listed.
    const QString genuine = mac.app(QStringLiteral("/Applications/Sweepling.app"), QStringLiteral("com.quorvane.sweepling"));
    report = runScan(*driver);
    EXPECT_EQ(report->adwareList().size(), 1);

    // An impostor of the product name installed: listed.
    QDir(genuine).removeRecursively();
    mac.app(QStringLiteral("/Applications/Sweepling.app"), QStringLiteral("com.impostor.sweepling"));
    report = runScan(*driver);
    EXPECT_EQ(report->adwareList().size(), 2);
    EXPECT_EQ(ScanDriver::getOriginalAppName(QStringLiteral("Dupliquor Pro.app")), QStringLiteral("Dupliquor Duplicate Finder"));
    EXPECT_TRUE(ScanDriver::getOriginalAppName(QStringLiteral("Clean Mac.app")).isEmpty());
}

TEST_P(ScanDriverTest, StopScanNotificationStopsTheRunningScan)
{
    auto driver = makeDriver({[&](ScanHost &host) {
                                  while (!host.state().isScanStop)
                                      QThread::msleep(5);
                              },
                              {}, {}});
    QSignalSpy finished(driver.get(), &ScanDriver::scanFinished);
    driver->adwareScanStart();
    QTimer::singleShot(50, [&] { test.platform().notifications().post(NotificationNames::StopScan); });
    ASSERT_TRUE(finished.wait(10000));
    const auto report = finished.first().first().value<ReportPtr>();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->scanDuration(), QStringLiteral("Stopped"));
}

// A home folder that is a link is never followed: the scan would read
// nothing there, so it names the folder, runs no phase and makes no report
// rather than completing as a clean scan.
TEST_P(ScanDriverTest, ARootThatCannotBeOpenedEndsTheScanAtOnceWithoutAReport)
{
    const QString home = test.volume().homeFolder();
    const QString elsewhere = mac.dir(QStringLiteral("/Elsewhere/tester"));
    mac.file(QStringLiteral("/Elsewhere/tester/Library/LaunchAgents/com.genieo.plist"));
    ASSERT_TRUE(QDir(home).removeRecursively());
    ASSERT_TRUE(QFile::link(elsewhere, home));
    int detectorRuns = 0;
    int counts = 0;
    auto driver = makeDriver({[&](ScanHost &) { ++detectorRuns; }, [&](ScanHost &, const QString &) { ++counts; }, {}});
    QSignalSpy made(driver.get(), &ScanDriver::reportMade);
    for (const qint64 type : {ScanState::QuickScan, ScanState::FullSystemScan}) {
        driver->setScanType(type);
        EXPECT_FALSE(runScan(*driver));
        EXPECT_EQ(driver->unreadableRoot(), home);
        EXPECT_TRUE(driver->unreadableRootReason().contains(QLatin1String("symbolic link")))
            << qPrintable(driver->unreadableRootReason());
    }
    // A Custom Scan folder that cannot be opened (gone since it was chosen).
    driver->setScanType(ScanState::CustomScan);
    driver->setCustomScanDirectory(mac.host(QStringLiteral("/Gone")));
    EXPECT_FALSE(runScan(*driver));
    EXPECT_EQ(driver->unreadableRoot(), mac.host(QStringLiteral("/Gone")));
    EXPECT_EQ(detectorRuns, 0);
    EXPECT_EQ(counts, 0);
    EXPECT_TRUE(made.isEmpty());

    // Once the home folder is a folder again, the next scan runs and says so.
    ASSERT_TRUE(QFile::remove(home));
    mac.dir(QStringLiteral("~"));
    driver->setScanType(ScanState::QuickScan);
    EXPECT_TRUE(runScan(*driver));
    EXPECT_TRUE(driver->unreadableRoot().isEmpty());
    EXPECT_EQ(detectorRuns, 1);
}

// The chosen folder is resolved once, when the scan starts: the count and
// the walk get the link's target (they never follow a link themselves), and
// findings inside the target are kept.
TEST_P(ScanDriverTest, ACustomScanOfALinkScansItsTargetAndNamesIt)
{
    const QString target = mac.dir(QStringLiteral("~/Downloads/Real"));
    const QString inside = mac.file(QStringLiteral("~/Downloads/Real/Genieo.zip"));
    const QString link = mac.symlink(QStringLiteral("~/Desktop/Shortcut"), target);
    QString countedRoot;
    QStringList walkedRoots;
    auto driver = makeDriver({[&](ScanHost &host) { offer(host, inside); },
                              [&](ScanHost &host, const QString &root) {
                                  countedRoot = root;
                                  host.DeepScanStart({root});
                              },
                              [&](ScanHost &host, const QStringList &roots) {
                                  walkedRoots = roots;
                                  if (++host.state().ScanTypeCount == 2)
                                      host.doneScan();
                              }});
    driver->setScanType(ScanState::CustomScan);
    driver->setCustomScanDirectory(link);
    const ReportPtr report = runScan(*driver);
    EXPECT_EQ(driver->customScanDirectory(), target);
    EXPECT_EQ(countedRoot, target);
    EXPECT_EQ(walkedRoots, QStringList{target});
    ASSERT_TRUE(report);
    ASSERT_EQ(report->adwareList().size(), 1);
    EXPECT_EQ(report->adwareList().first()->path(), inside);
}
INSTANTIATE_TEST_SUITE_P(VolumePlaces, ScanDriverTest, everyVolumePlace(), volumePlaceName);
