#include "app/NotificationNames.h"
#include "app/PreferenceKeys.h"
#include "remedy/ScanRemoval.h"
#include "support/MacVolumeBuilder.h"
#include "support/RefusingItemRemover.h"
#include "ui/BrowserClosePanel.h"
#include "ui/ButtonWithSpinner.h"
#include "ui/DashboardView.h"
#include "ui/LaunchedApp.h"
#include "ui/MiddleElidedLabel.h"
#include "ui/ScanProgressDisplay.h"
#include "ui/ScanView.h"

#include <thread>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

// Failures name the texts, not their bytes.
static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << qPrintable(text) << '"';
}

namespace {
// Three footprints the detector chain knows, in the order it reports them.
const QStringList kThreats{QStringLiteral("/Library/LaunchAgents/net.culater.SIMBL.Agent.plist"),
                           QStringLiteral("/Library/LaunchAgents/com.genieo.completer.update.plist"),
                           QStringLiteral("/Library/LaunchAgents/com.genieo.completer.download.plist")};

// The desktop application over a volume with the three footprints; real-time
// protection off, so every scan leaves a report.
class ScanPage
{
public:
    ScanPage()
    {
        MacVolumeBuilder mac(app.test.volume());
        for (const QString &path : kThreats)
            mac.file(path);
        app.test.platform().defaults().setBool(false, PreferenceKeys::RealTimeScanONOFF);
        app.launch();
        app.core->scanDriver().setWholeDiskAccess(false);
    }

    DashboardView *dashboard() const { return app.window()->dashboardObj(); }
    ScanView *scan() const { return app.window()->scanObj(); }
    ScanDriver &driver() const { return app.core->scanDriver(); }

    // Clicks a row's check box where it is drawn.
    void clickCheck(int row) const
    {
        QWidget *viewport = scan()->tblAdwareList()->viewport();
        const QRect box = scan()->threatCheckRect(row);
        ASSERT_TRUE(viewport->rect().contains(box)) << "row " << row << " has no check box on screen";
        QTest::mouseClick(viewport, Qt::LeftButton, {}, box.center());
    }
    bool isChecked(int row) const { return scan()->isThreatChecked(row); }
    QString outcome(int row, int column) const
    {
        const QTableWidgetItem *item = scan()->tblThreatInfo()->item(row, column);
        return item ? item->text() : QString();
    }

    // Clicks the scan button and waits for the report step.
    ReportPtr runScan()
    {
        QSignalSpy finished(&driver(), &ScanDriver::scanFinished);
        QTest::mouseClick(dashboard()->scanBtu(), Qt::LeftButton);
        EXPECT_TRUE(finished.wait(20000));
        return finished.isEmpty() ? nullptr : finished.first().first().value<ReportPtr>();
    }

    LaunchedApp app;
};
} // namespace

TEST(ScanView, QuickScanByClicksListsThreatsThenRemovesTheCheckedOnes)
{
    ScanPage page;
    ScanView *scan = page.scan();
    QStringList percentages;
    QObject::connect(&page.driver(), &ScanDriver::ScanningProgressChange, scan,
                     [&] { percentages.append(scan->scanningProgressText()->text()); });
    QSignalSpy started(&page.driver(), &ScanDriver::scanStarted);
    QTest::mouseClick(page.dashboard()->scanBtu(), Qt::LeftButton);
    ASSERT_EQ(started.size(), 1);
    // Scanning: the panel, no stop button for a Quick Scan, a determinate bar.
    EXPECT_EQ(page.app.core->tabtype, 20);
    EXPECT_TRUE(scan->whiteView()->isVisibleTo(scan));
    EXPECT_FALSE(scan->btnStopScan()->isVisibleTo(scan));
    EXPECT_EQ(scan->progressTextTrailingConstraint(), ScanView::kTrailingWithoutStop);
    EXPECT_FALSE(scan->isIndeterminate());
    EXPECT_EQ(scan->lblScanningType()->text(), QStringLiteral("Scanning Entry:"));
    EXPECT_EQ(scan->scanningProgressText()->text(), QStringLiteral("0%"));
    EXPECT_FALSE(page.dashboard()->btnScanType()->isEnabled());

    QTRY_VERIFY_WITH_TIMEOUT(!page.driver().isScanning() && page.driver().adwareReport(), 20000);
    QTRY_VERIFY(page.dashboard()->btnScanType()->isEnabled());
    // Each detector status shows its odd step: 1%, 3%, 5%, ...
    ASSERT_GE(percentages.size(), 3);
    for (int i = 0; i < percentages.size(); ++i)
        EXPECT_EQ(percentages[i], QStringLiteral("%1%").arg(2 * i + 1));

    // Ended: the threats in detector order, all checked; the red box and the remove button.
    QTableWidget *table = scan->tblAdwareList();
    ASSERT_EQ(table->rowCount(), 3);
    const QList<AdwarePtr> &found = page.driver().arrAdwareList();
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(found[row]->path(), page.app.host(kThreats[row]));
        EXPECT_EQ(table->item(row, 1)->text(), found[row]->name());
        EXPECT_EQ(table->item(row, 2)->text(), found[row]->infections());
        EXPECT_EQ(table->item(row, 3)->text(), QStringLiteral("High Risk"));
        EXPECT_EQ(found[row]->infections(), row == 0 ? QStringLiteral("ChatZum") : QStringLiteral("Genieo"));
        EXPECT_TRUE(page.isChecked(row));
    }
    EXPECT_FALSE(scan->whiteView()->isVisibleTo(scan));
    EXPECT_TRUE(scan->redView()->isVisibleTo(scan));
    EXPECT_FALSE(scan->greenView()->isVisibleTo(scan));
    EXPECT_TRUE(scan->quarantine()->isVisibleTo(scan));
    EXPECT_TRUE(scan->quarantine()->isEnabled());
    EXPECT_EQ(page.dashboard()->scanBtu()->text(), QStringLiteral("Quick Scan >"));
    EXPECT_TRUE(page.dashboard()->blueView()->isVisibleTo(page.dashboard()));

    // The show button reveals its row's file.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, scan->threatShowRect(1).center());
    EXPECT_EQ(page.app.test.workspace().revealed, QStringList{page.app.host(kThreats[1])});

    // Unchecking every row disables removal; checking one enables it again.
    for (int row = 0; row < 3; ++row)
        page.clickCheck(row);
    EXPECT_FALSE(page.isChecked(2));
    EXPECT_FALSE(scan->quarantine()->isEnabled());
    page.clickCheck(0);
    page.clickCheck(1);
    EXPECT_TRUE(scan->quarantine()->isEnabled());

    // Remove the first two; the second cannot be deleted.
    RefusingItemRemover refusing(page.app.test.volume().root(),
                                 {QFileInfo(kThreats[1]).fileName().toUtf8()});
    scan->scanRemoval()->removal().setRemover(&refusing);
    page.app.test.alerts().answer(QStringLiteral("Yes"));
    QTest::mouseClick(scan->quarantine(), Qt::LeftButton);
    EXPECT_EQ(page.app.test.alerts().requests().last().informativeText,
              QStringLiteral("Are you sure you want to delete selected threats?"));

    EXPECT_TRUE(scan->undeletedAdwareListBox()->isVisibleTo(scan));
    EXPECT_FALSE(scan->adwareListBox()->isVisibleTo(scan));
    ASSERT_EQ(scan->tblThreatInfo()->rowCount(), 3);
    // Failed first, then removed, then left alone.
    EXPECT_EQ(page.outcome(0, 1), page.app.host(kThreats[1]));
    EXPECT_EQ(page.outcome(0, 2), QStringLiteral("Failed"));
    EXPECT_EQ(page.outcome(1, 1), page.app.host(kThreats[0]));
    EXPECT_EQ(page.outcome(1, 2), QStringLiteral("Removed"));
    EXPECT_EQ(page.outcome(2, 1), page.app.host(kThreats[2]));
    EXPECT_EQ(page.outcome(2, 2), QStringLiteral("No Action"));
    EXPECT_NE(scan->tblThreatInfo()->cellWidget(0, 4), nullptr) << "a failed row can be shown";
    EXPECT_EQ(scan->tblThreatInfo()->cellWidget(1, 4), nullptr);
    EXPECT_EQ(scan->tblThreatInfo()->cellWidget(2, 4), nullptr);
    EXPECT_EQ(scan->lblResult()->text(), QStringLiteral("  1 Failed"));
    EXPECT_EQ(scan->lblThreatInfo()->text(), QStringLiteral("One Threat Remaining"));
    EXPECT_EQ(scan->imgBackReportName(), QStringLiteral("report_bg"));
    EXPECT_EQ(scan->imgAdwareStatusName(), QStringLiteral("icn_white"));
    EXPECT_FALSE(QFileInfo::exists(page.app.host(kThreats[0])));
    EXPECT_TRUE(QFileInfo::exists(page.app.host(kThreats[1])));
    EXPECT_TRUE(QFileInfo::exists(page.app.host(kThreats[2])));
    scan->scanRemoval()->removal().setRemover(nullptr);

    QTest::mouseClick(scan->tblThreatInfo()->cellWidget(0, 4), Qt::LeftButton);
    EXPECT_EQ(page.app.test.workspace().revealed.last(), page.app.host(kThreats[1]));

    // The report button opens the Reports tab with this scan's report.
    const int before = page.app.postedCount(NotificationNames::RefreshReport);
    QTest::mouseClick(scan->reportButton(), Qt::LeftButton);
    EXPECT_EQ(page.app.core->tabtype, 40);
    EXPECT_EQ(page.app.postedCount(NotificationNames::RefreshReport), before + 1);
}

TEST(ScanView, RemovingEveryThreatSaysAllRemovedAndACleanScanShowsTheGreenBox)
{
    ScanPage page;
    ScanView *scan = page.scan();
    ASSERT_NE(page.runScan(), nullptr);
    ASSERT_EQ(scan->tblAdwareList()->rowCount(), 3);
    page.app.test.alerts().answer(QStringLiteral("Yes"));
    QTest::mouseClick(scan->quarantine(), Qt::LeftButton);
    EXPECT_EQ(scan->lblResult()->text(), QString());
    EXPECT_EQ(scan->lblThreatInfo()->text(), QStringLiteral("All threats are Removed"));
    EXPECT_EQ(scan->imgBackReportName(), QStringLiteral("no_threats_bg"));
    EXPECT_EQ(scan->imgAdwareStatusName(), QStringLiteral("icn_white_check"));

    // Declining the question removes nothing.
    ASSERT_NE(page.runScan(), nullptr);
    EXPECT_EQ(scan->tblAdwareList()->rowCount(), 0);
    EXPECT_TRUE(scan->greenView()->isVisibleTo(scan));
    EXPECT_FALSE(scan->redView()->isVisibleTo(scan));
    EXPECT_TRUE(scan->quarantine()->isVisibleTo(scan));
    EXPECT_FALSE(scan->quarantine()->isEnabled());
    EXPECT_TRUE(scan->adwareListBox()->isVisibleTo(scan));
    EXPECT_FALSE(scan->undeletedAdwareListBox()->isVisibleTo(scan));
}

TEST(ScanView, DeepScanCountsIndeterminatelyStopsAsStoppedAndTheNextRunsNormally)
{
    ScanPage page;
    MacVolumeBuilder mac(page.app.test.volume());
    for (int i = 0; i < 40; ++i)
        mac.file(QStringLiteral("~/Documents/f%1/a.txt").arg(i));
    ScanView *scan = page.scan();
    Q_EMIT page.dashboard()->btnScanType()->activated(1);
    QSignalSpy finished(&page.driver(), &ScanDriver::scanFinished);
    QTest::mouseClick(page.dashboard()->scanBtu(), Qt::LeftButton);
    ASSERT_TRUE(page.driver().isScanning());
    EXPECT_TRUE(scan->isIndeterminate());
    EXPECT_EQ(scan->lblScanningType()->text(), QStringLiteral("Calculating Files:"));
    EXPECT_TRUE(scan->btnStopScan()->isVisibleTo(scan));
    EXPECT_EQ(scan->progressTextTrailingConstraint(), ScanView::kTrailingWithStop);

    QTest::mouseClick(scan->btnStopScan(), Qt::LeftButton);
    EXPECT_FALSE(scan->btnStopScan()->isVisibleTo(scan));
    EXPECT_EQ(scan->progress(), 0);
    ASSERT_TRUE(finished.wait(20000));
    ReportPtr report = finished.first().first().value<ReportPtr>();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->scanDuration(), QStringLiteral("Stopped"));
    EXPECT_TRUE(page.dashboard()->btnScanType()->isEnabled());
    EXPECT_EQ(page.dashboard()->scanBtu()->text(), QStringLiteral("Deep Scan >"));

    report = page.runScan();
    ASSERT_NE(report, nullptr);
    EXPECT_NE(report->scanDuration(), QStringLiteral("Stopped"));
    EXPECT_EQ(report->reportType(), QStringLiteral("Full System Scan"));
    EXPECT_FALSE(scan->isIndeterminate());
    EXPECT_FALSE(scan->whiteView()->isVisibleTo(scan));
}

TEST(ScanView, ARunningBrowserHoldsRemovalBackUntilRetryFindsItGone)
{
    ScanPage page;
    MacVolumeBuilder mac(page.app.test.volume());
    const QString extension =
        mac.file(QStringLiteral("~/Library/Application Support/Google/Chrome/Default/Extensions/bad/1/manifest.json"));
    ScanView *scan = page.scan();
    const AdwarePtr threat = Adware::AdwareWithName(QStringLiteral("Bad Extension"), true, QStringLiteral("Adware"), 1,
                                                    QUrl::fromLocalFile(extension), QStringLiteral("High"));
    const auto report = AdwareScanReport::ScanReportWithAdwareList({threat}, QDateTime::currentDateTime(),
                                                                   QStringLiteral("1 second"),
                                                                   QStringLiteral("Quick Scan"));
    scan->scanRemoval()->scanEnded({threat}, report);
    ASSERT_TRUE(scan->quarantine()->isEnabled());
    scan->quarantine()->show();

    page.app.test.workspace().running = {QStringLiteral("Safari"), QStringLiteral("Google Chrome")};
    page.app.test.alerts().answer(QStringLiteral("Yes"));
    QTest::mouseClick(scan->quarantine(), Qt::LeftButton);
    BrowserClosePanel *panel = scan->browserView();
    ASSERT_NE(panel, nullptr);
    QTRY_VERIFY(panel->isVisible());
    // Only the browser holding the threat is listed.
    ASSERT_EQ(panel->browserList()->count(), 1);
    EXPECT_EQ(panel->browserList()->item(0)->text(), QStringLiteral("Chrome"));
    EXPECT_TRUE(QFileInfo::exists(extension));
    EXPECT_FALSE(scan->undeletedAdwareListBox()->isVisibleTo(scan));

    QTest::mouseClick(panel->retry(), Qt::LeftButton);
    EXPECT_TRUE(panel->isVisible()) << "Chrome still runs";
    EXPECT_TRUE(QFileInfo::exists(extension));

    page.app.test.workspace().running = {QStringLiteral("Safari")};
    QTest::mouseClick(panel->retry(), Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(QFileInfo::exists(extension));
    EXPECT_TRUE(scan->undeletedAdwareListBox()->isVisibleTo(scan));
    EXPECT_EQ(page.outcome(0, 2), QStringLiteral("Removed"));

    // Close ends the panel without removing anything.
    const QString second = mac.file(QStringLiteral("~/Library/Application Support/Google/Chrome/Default/x"));
    const AdwarePtr other = Adware::AdwareWithName(QStringLiteral("Other"), true, QStringLiteral("Adware"), 1,
                                                   QUrl::fromLocalFile(second), QStringLiteral("High"));
    scan->scanRemoval()->scanEnded({other}, AdwareScanReport::ScanReportWithAdwareList(
                                                {other}, QDateTime::currentDateTime(), QStringLiteral("1 second"),
                                                QStringLiteral("Quick Scan")));
    page.app.test.workspace().running = {QStringLiteral("Google Chrome")};
    page.app.test.alerts().answer(QStringLiteral("Yes"));
    scan->removeAdwarePressed();
    QTRY_VERIFY(panel->isVisible());
    QTest::mouseClick(panel->closeWindow(), Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(QFileInfo::exists(second));
}

TEST(ScanView, TheCurrentEntryIsShortenedInTheMiddle)
{
    ScanPage page;
    MiddleElidedLabel *label = page.scan()->scanFileText();
    label->resize(120, label->height());
    const QString path = QStringLiteral("/Users/tester/Library/Application Support/Some/Very/Deep/Folder/file.plist");
    page.scan()->virusUrlChange(path);
    EXPECT_EQ(label->fullText(), path);
    EXPECT_EQ(label->toolTip(), path);
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("/Us")));
    EXPECT_TRUE(label->text().endsWith(QStringLiteral("plist")));
    EXPECT_TRUE(label->text().contains(QChar(0x2026)));
}

TEST(ScanView, PerEntryProgressFromAnotherThreadIsDrawnOncePerFrameWithTheLatestPath)
{
    ScanPage page;
    ScanProgressDisplay *display = page.app.delegate->progressDisplay();
    ASSERT_NE(display, nullptr);
    ScanView *scan = page.scan();
    scan->scanStarted(1);
    scan->countEnded();
    const qint64 before = display->labelUpdates();
    NotificationCenter &center = page.app.test.platform().notifications();
    std::thread walk([&center] {
        for (int i = 0; i < 20000; ++i)
            center.post(NotificationNames::ScanningProgressURL, QStringLiteral("/Users/tester/f%1").arg(i));
        for (int i = 0; i < 30; ++i)
            center.post(NotificationNames::ScanningProgress, i);
    });
    walk.join();
    // Nothing was queued per entry: one frame draws all of it.
    display->flush();
    EXPECT_EQ(display->labelUpdates(), before + 1);
    EXPECT_EQ(scan->scanFileText()->fullText(), QStringLiteral("/Users/tester/f19999"));
    EXPECT_EQ(scan->progress(), 30);
    EXPECT_EQ(scan->scanningProgressText()->text(), QStringLiteral("30%"));
    display->flush();
    EXPECT_EQ(display->labelUpdates(), before + 1) << "nothing new, nothing drawn";
}

TEST(ScanView, CustomScanAsksForItsFolderAndACancelStartsNothing)
{
    ScanPage page;
    Q_EMIT page.dashboard()->btnScanType()->activated(2);
    page.app.test.alerts().answer(QStringLiteral("cancel"));
    QSignalSpy started(&page.driver(), &ScanDriver::scanStarted);
    QTest::mouseClick(page.dashboard()->scanBtu(), Qt::LeftButton);
    EXPECT_EQ(started.size(), 0);
    EXPECT_TRUE(page.dashboard()->btnScanType()->isEnabled());
    EXPECT_EQ(page.app.test.alerts().requests().last().kind, QStringLiteral("folder"));

    page.app.test.alerts().answer(page.app.host(QStringLiteral("/Library")));
    const ReportPtr report = page.runScan();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->reportType(), QStringLiteral("Custom Scan"));
    EXPECT_EQ(page.dashboard()->scanBtu()->text(), QStringLiteral("Custom Scan >"));
}

// A threat whose file went away after the scan (removed from a report, or by
// hand) leaves the Scan page's list when the list is next looked at; the
// others keep their check state.
TEST(ScanView, ThreatsWhoseFileVanishedLeaveTheListWhenItIsShownAgain)
{
    ScanPage page;
    ASSERT_TRUE(page.runScan());
    ASSERT_EQ(page.scan()->tblAdwareList()->rowCount(), 3);
    page.clickCheck(2);
    ASSERT_FALSE(page.isChecked(2));

    ASSERT_TRUE(QFile::remove(page.app.host(kThreats.at(0))));
    page.app.window()->tabChangeType(10);
    page.app.window()->tabChangeType(20);
    QCoreApplication::processEvents();

    ASSERT_EQ(page.scan()->tblAdwareList()->rowCount(), 2);
    EXPECT_EQ(page.scan()->scanRemoval()->arrAdwareList().size(), 2);
    EXPECT_TRUE(page.isChecked(0));
    EXPECT_FALSE(page.isChecked(1));
    EXPECT_EQ(page.scan()->scanRemoval()->arrThreats().size(), 1);
    EXPECT_TRUE(page.scan()->quarantine()->isEnabled());
}

// A scan started without the Dashboard (by the schedule or real-time
// protection) holds the scan-kind menu too, and gives it back at the end.
TEST(ScanView, ABackgroundScanHoldsTheScanKindMenuUntilItEnds)
{
    ScanPage page;
    QComboBox *kind = page.dashboard()->btnScanType();
    ASSERT_TRUE(kind->isEnabled());
    QSignalSpy finished(&page.driver(), &ScanDriver::scanFinished);
    page.driver().setReportType(QStringLiteral("Scheduled Scan"));
    page.driver().adwareScanStart();
    ASSERT_TRUE(page.driver().isScanning());
    EXPECT_FALSE(kind->isEnabled());
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_TRUE(kind->isEnabled());
}
