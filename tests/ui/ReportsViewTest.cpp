#include "PersonClicks.h"

#include "app/NotificationNames.h"
#include "app/PreferenceKeys.h"
#include "platform/UserDefaults.h"
#include "reports/Reports.h"
#include "scan/ReportArchive.h"
#include "support/MacVolumeBuilder.h"
#include "support/RefusingItemRemover.h"
#include "ui/LaunchedApp.h"
#include "ui/ReportsView.h"
#include "ui/BrowserClosePanel.h"
#include "ui/MainWindow.h"
#include "ui/ScanView.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace {
// The launched application with three stored reports: a Quick Scan of three
// threats (oldest), a Full System Scan that found nothing, and a stopped
// Custom Scan of one threat (newest).
class ReportsViewTest : public ::testing::Test
{
protected:
    ReportsViewTest()
        : mac(app.test.volume())
    {
        const QDateTime now = QDateTime::currentDateTime();
        for (const QString &name : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")})
            files << mac.file(QStringLiteral("~/Library/LaunchAgents/com.adware.%1.plist").arg(name), "x");
        quick = AdwareScanReport::ScanReportWithAdwareList(
            {threat(files[0]), threat(files[1]), threat(files[2])}, now.addDays(-3), QStringLiteral(" 5 seconds"),
            QStringLiteral("Quick Scan"));
        full = AdwareScanReport::ScanReportWithAdwareList({}, now.addDays(-2), QStringLiteral(" 2 minutes"),
                                                          QStringLiteral("Full System Scan"));
        stopped = AdwareScanReport::ScanReportWithAdwareList(
            {threat(mac.file(QStringLiteral("~/Library/Application Support/Adware/helper"), "x"))},
            now.addSecs(-60), QStringLiteral("Stopped"), QStringLiteral("Custom Scan"));
        app.launch();
        app.window()->show();
        Reports &reports = app.core->reportsObj();
        for (const ReportPtr &report : {quick, full, stopped})
            reports.updateReportInDefaults(report);
        app.window()->tabChangeType(40);
        view = app.window()->reportsObj();
    }

    static AdwarePtr threat(const QString &hostPath)
    {
        return Adware::AdwareWithName(hostPath.section(QLatin1Char('/'), -1), true, QStringLiteral("Adware.Generic"),
                                      1, QUrl::fromLocalFile(hostPath), QStringLiteral("High Risk"));
    }
    template<typename T> static T *in(QWidget *row, const QString &name) { return row->findChild<T *>(name); }
    static QString text(QWidget *row, const QString &name) { return in<QLabel>(row, name)->text(); }
    QLabel *label(const QString &name) const { return view->findChild<QLabel *>(name); }
    QPushButton *button(const QString &name) const { return view->findChild<QPushButton *>(name); }
    static void click(QAbstractButton *button)
    {
        ASSERT_TRUE(PersonClicks::click(button)) << qPrintable(button->objectName());
    }
    QList<ReportPtr> storedByAnotherReader() const
    {
        UserDefaults defaults(app.test.settingsFile());
        return ReportArchive::unarchive(defaults.dataForKey(PreferenceKeys::kSaveReport)).value_or(QList<ReportPtr>());
    }

    LaunchedApp app;
    MacVolumeBuilder mac;
    QStringList files;
    ReportPtr quick, full, stopped;
    ReportsView *view = nullptr;
};
} // namespace

TEST_F(ReportsViewTest, StoredReportsAreListedNewestFirstWithIconsCountsAndButtons)
{
    EXPECT_EQ(view->boxes()->currentWidget(), view->reportMain());
    const QList<QWidget *> rows = view->reportRows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(text(rows[0], "scanType"), QStringLiteral("Custom Scan"));
    EXPECT_EQ(text(rows[1], "scanType"), QStringLiteral("Full System Scan"));
    EXPECT_EQ(text(rows[2], "scanType"), QStringLiteral("Quick Scan"));
    EXPECT_EQ(text(rows[0], "infectionCount"), QStringLiteral("1"));
    EXPECT_EQ(text(rows[1], "infectionCount"), QStringLiteral("0"));
    EXPECT_EQ(text(rows[2], "infectionCount"), QStringLiteral("3"));
    EXPECT_FALSE(text(rows[0], "scanTime").isEmpty());
    for (int row : {0, 2}) {
        EXPECT_EQ(in<QLabel>(rows[row], "image")->property("image").toString(), QStringLiteral("icn_red_cross"));
        EXPECT_EQ(in<QPushButton>(rows[row], "openButton")->property("image").toString(), QStringLiteral("btn_open"));
        const QColor red = in<QLabel>(rows[row], "infectionCount")->palette().color(QPalette::WindowText);
        EXPECT_GT(red.red(), 150);
        EXPECT_LT(red.green(), 100);
    }
    EXPECT_EQ(in<QLabel>(rows[1], "image")->property("image").toString(), QStringLiteral("icn_green_check"));
    EXPECT_EQ(in<QPushButton>(rows[1], "openButton")->property("image").toString(), QStringLiteral("btn_trash"));
    EXPECT_EQ(in<QLabel>(rows[1], "infectionCount")->palette().color(QPalette::WindowText), QColor(67, 198, 89));
    EXPECT_EQ(in<QPushButton>(rows[2], "openButton")->property("tag").toInt(), 2);
    EXPECT_FALSE(in<QPushButton>(rows[2], "openButton")->accessibleName().isEmpty());
    EXPECT_FALSE(app.window()->printButton()->isEnabled());
}

TEST_F(ReportsViewTest, OpenRecheckRemoveTwoOfThreeAndSeeTheOutcome)
{
    QFile::remove(files[1]);
    click(in<QPushButton>(view->reportRows()[2], "openButton"));
    ASSERT_EQ(view->boxes()->currentWidget(), view->reportDetails());
    EXPECT_TRUE(app.window()->printButton()->isEnabled());
    EXPECT_EQ(label("scanType")->text(), QStringLiteral("Quick Scan"));
    EXPECT_EQ(label("txtScanPath")->text(), QStringLiteral("Scan Path: /Users/tester/"));
    EXPECT_EQ(label("lblScanStatus")->text(), QStringLiteral("Scan Duration:"));
    EXPECT_EQ(label("scanDuration")->text(), QStringLiteral(" 5 seconds"));
    EXPECT_EQ(label("infectionCount")->text(), QStringLiteral("3"));

    const QList<QWidget *> rows = view->detailRows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(text(rows[1], "risk"), QStringLiteral("Removed"));
    EXPECT_FALSE(in<QCheckBox>(rows[1], "checkBox")->isEnabled());
    EXPECT_EQ(in<QLabel>(rows[1], "path")->palette().color(QPalette::WindowText), QColor(Qt::darkGray));
    for (int row : {0, 2}) {
        EXPECT_EQ(text(rows[row], "risk"), QStringLiteral("High Risk"));
        EXPECT_TRUE(in<QCheckBox>(rows[row], "checkBox")->isEnabled());
        EXPECT_TRUE(in<QCheckBox>(rows[row], "checkBox")->isChecked());
    }
    EXPECT_EQ(in<QLabel>(rows[0], "path")->property("fullText").toString(), files[0]);

    // Unticking one present threat makes the select-all box mixed; a click
    // on it selects everything again.
    click(in<QCheckBox>(rows[0], "checkBox"));
    EXPECT_EQ(view->checkAll()->checkState(), Qt::PartiallyChecked);
    click(view->checkAll());
    EXPECT_EQ(view->checkAll()->checkState(), Qt::Checked);
    EXPECT_TRUE(in<QCheckBox>(view->detailRows()[0], "checkBox")->isChecked());
    EXPECT_TRUE(view->quarantineThreats()->isEnabled());

    app.test.alerts().answer(QStringLiteral("Yes"));
    click(view->quarantineThreats());
    EXPECT_FALSE(QFile::exists(files[0]));
    EXPECT_FALSE(QFile::exists(files[2]));
    ASSERT_EQ(view->boxes()->currentWidget(), view->adwareReportBox());
    EXPECT_EQ(label("lblResult")->text(), QStringLiteral("Successful"));
    EXPECT_EQ(label("lblThreatInfo")->text(), QStringLiteral("All threats are Removed"));
    EXPECT_EQ(label("imgAdwareStatus")->property("image").toString(), QStringLiteral("icn_white_check"));
    const QList<QWidget *> outcome = view->outcomeRows();
    ASSERT_EQ(outcome.size(), 3);
    QStringList statuses;
    for (QWidget *row : outcome)
        statuses << text(row, "lblAdwareSatus");
    EXPECT_EQ(statuses.count(QStringLiteral("Removed")), 2) << qPrintable(statuses.join(','));
    for (QWidget *row : outcome) {
        if (text(row, "lblAdwareSatus") == QLatin1String("Removed")) {
            EXPECT_TRUE(in<QPushButton>(row, "btnShow")->isHidden());
        }
    }

    click(button("viewReport"));
    EXPECT_EQ(view->boxes()->currentWidget(), view->reportDetails());
    click(button("backReport"));
    EXPECT_EQ(view->boxes()->currentWidget(), view->reportMain());
    EXPECT_FALSE(app.window()->printButton()->isEnabled());
}

TEST_F(ReportsViewTest, AFailedRemovalShowsTheFailedFormatAndItsShowButtonRevealsTheFile)
{
    click(in<QPushButton>(view->reportRows()[2], "openButton"));
    // The file system refuses one of the three.
    RefusingItemRemover refusing(app.test.volume().root(), {"com.adware.b.plist"});
    app.core->reportsObj().setRemover(&refusing);
    app.test.alerts().answer(QStringLiteral("Yes"));
    click(view->quarantineThreats());
    ASSERT_EQ(view->boxes()->currentWidget(), view->adwareReportBox());
    EXPECT_EQ(label("lblResult")->text(), QStringLiteral("1 Failed"));
    EXPECT_EQ(label("lblThreatInfo")->text(), QStringLiteral("One Threat Remaining"));
    QWidget *failed = view->outcomeRows().first();
    EXPECT_EQ(text(failed, "lblAdwareSatus"), QStringLiteral("Failed"));
    QPushButton *show = in<QPushButton>(failed, "btnShow");
    ASSERT_FALSE(show->isHidden());
    click(show);
    EXPECT_EQ(app.test.workspace().revealed, QStringList{files[1]});
    app.core->reportsObj().setRemover(nullptr);
}

TEST_F(ReportsViewTest, AStoppedScanShowsItsStatusAndAFullScanItsPath)
{
    click(in<QPushButton>(view->reportRows()[0], "openButton"));
    EXPECT_EQ(label("lblScanStatus")->text(), QStringLiteral("Scan Status:"));
    EXPECT_EQ(label("scanDuration")->text(), QStringLiteral("Stopped"));
    EXPECT_EQ(label("txtScanPath")->text(), QStringLiteral("Scan Path: Chosen folder"));
    click(button("backReport"));

    app.core->reportsObj().refreshReport(full);
    EXPECT_EQ(view->boxes()->currentWidget(), view->reportDetails());
    EXPECT_EQ(label("txtScanPath")->text(), QStringLiteral("Scan Path: /"));
    EXPECT_EQ(label("lblScanStatus")->text(), QStringLiteral("Scan Duration:"));
}

TEST_F(ReportsViewTest, DeletingAReportRemovesItFromTheStoreForEveryReader)
{
    click(in<QPushButton>(view->reportRows()[0], "openButton"));
    app.test.alerts().answer(QStringLiteral("No"));
    click(button("trashReport"));
    EXPECT_EQ(view->boxes()->currentWidget(), view->reportDetails());
    EXPECT_EQ(storedByAnotherReader().size(), 3);

    app.test.alerts().answer(QStringLiteral("Yes"));
    click(button("trashReport"));
    EXPECT_EQ(view->boxes()->currentWidget(), view->reportMain());
    EXPECT_EQ(view->reportRows().size(), 2);
    const QList<ReportPtr> stored = storedByAnotherReader();
    ASSERT_EQ(stored.size(), 2);
    for (const ReportPtr &report : stored)
        EXPECT_NE(report->reportId(), stopped->reportId());

    // The clean report's row button deletes it after the question.
    app.test.alerts().answer(QStringLiteral("Yes"));
    click(in<QPushButton>(view->reportRows()[0], "openButton"));
    EXPECT_EQ(storedByAnotherReader().size(), 1);
    app.test.alerts().answer(QStringLiteral("Yes"));
    click(in<QPushButton>(view->reportRows()[0], "openButton"));
    click(button("trashReport"));
    EXPECT_TRUE(storedByAnotherReader().isEmpty());
    EXPECT_EQ(view->boxes()->currentWidget(), view->emptyState());
}

TEST_F(ReportsViewTest, TheHelpButtonOpensTheHelpPageAndEveryButtonIsNamed)
{
    click(button("wantHelp"));
    EXPECT_EQ(app.test.workspace().opened, QList<QUrl>{AppDelegateWindow::helpPageUrl()});
    for (QPushButton *button : view->findChildren<QPushButton *>()) {
        if (!button->objectName().isEmpty()) {
            EXPECT_FALSE(button->accessibleName().isEmpty()) << qPrintable(button->objectName());
        }
    }
}

TEST_F(ReportsViewTest, RefreshReportFromTheScanPageOpensThatReportAndActivatesPrint)
{
    app.window()->tabChangeType(20);
    app.test.platform().notifications().post(NotificationNames::RefreshReport, QVariant::fromValue(quick));
    app.window()->tabChangeType(40);
    // Choosing the tab re-reads the list without closing the open report.
    EXPECT_EQ(view->boxes()->currentWidget(), view->reportDetails());
    EXPECT_EQ(label("scanType")->text(), QStringLiteral("Quick Scan"));
    EXPECT_EQ(view->detailRows().size(), 3);
    EXPECT_TRUE(app.window()->printButton()->isEnabled());
}

// Removal from a report asks to quit a browser that holds a threat on the
// same panel as the Scan page, and removes once Retry finds it gone.
TEST_F(ReportsViewTest, ARunningBrowserHoldsRemovalBackOnTheScanPagesPanel)
{
    const QString extension =
        mac.file(QStringLiteral("~/Library/Application Support/Google/Chrome/Default/Extensions/bad/1/manifest.json"));
    const ReportPtr report = AdwareScanReport::ScanReportWithAdwareList(
        {threat(extension)}, QDateTime::currentDateTime(), QStringLiteral(" 1 second"), QStringLiteral("Quick Scan"));
    app.core->reportsObj().updateReportInDefaults(report);
    app.core->reportsObj().refreshReport(report);
    ASSERT_EQ(view->boxes()->currentWidget(), view->reportDetails());

    app.test.workspace().running = {QStringLiteral("Google Chrome")};
    app.test.alerts().answer(QStringLiteral("Yes"));
    click(view->quarantineThreats());
    BrowserClosePanel *panel = app.window()->scanObj()->browserView();
    ASSERT_NE(panel, nullptr);
    QTRY_VERIFY(panel->isVisible());
    ASSERT_EQ(panel->browserList()->count(), 1);
    EXPECT_EQ(panel->browserList()->item(0)->text(), QStringLiteral("Chrome"));
    EXPECT_TRUE(QFile::exists(extension));

    app.test.workspace().running.clear();
    click(panel->retry());
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(QFile::exists(extension));
    EXPECT_EQ(view->boxes()->currentWidget(), view->adwareReportBox());
}

// The page's scan button starts the Dashboard's scan.
TEST_F(ReportsViewTest, TheScanButtonStartsAScan)
{
    click(button("scanButton"));
    EXPECT_EQ(app.core->tabtype, 20);
    EXPECT_GE(app.postedCount(QStringLiteral("ScanningStatusChange")), 1);
    QTRY_VERIFY(!app.core->scanDriver().isScanning());
}
