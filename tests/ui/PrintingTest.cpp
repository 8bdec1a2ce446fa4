#include "PrivateCupsServer.h"

#include "reports/PDFGenerate.h"
#include "support/MacVolumeBuilder.h"
#include "ui/LaunchedApp.h"
#include "ui/PrinterChooser.h"
#include "ui/ReportPrinter.h"
#include "ui/ReportsView.h"

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace {
QString runTool(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pageCount(const QString &pdf)
{
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                           .match(runTool(QStringLiteral("pdfinfo"), {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// The launched application with one stored report of n threats, open on
// the Reports page; the caches folder is the test's own.
class PrintingTest : public ::testing::Test
{
protected:
    PrintingTest()
    {
        QStandardPaths::setTestModeEnabled(true);
        PrinterChooser::clearAnswers();
        app.launch();
    }
    ~PrintingTest() override { PrinterChooser::clearAnswers(); }

    void openReportWith(int threats)
    {
        MacVolumeBuilder mac(app.test.volume());
        QList<AdwarePtr> list;
        for (int i = 0; i < threats; ++i) {
            const QString path = mac.file(QStringLiteral("~/Library/LaunchAgents/com.adware.agent%1.plist").arg(i), "x");
            list << Adware::AdwareWithName(QStringLiteral("agent%1").arg(i), true, QStringLiteral("Adware.Agent"), 1,
                                           QUrl::fromLocalFile(path), QStringLiteral("High Risk"));
        }
        report = AdwareScanReport::ScanReportWithAdwareList(list, QDateTime::currentDateTime(),
                                                            QStringLiteral(" 5 seconds"), QStringLiteral("Quick Scan"));
        app.core->reportsObj().updateReportInDefaults(report);
        app.core->reportsObj().refreshReport(report);
    }
    QString reportFile() const
    {
        return QDir(PDFGenerate::applicationCacheDirectory()).filePath(QStringLiteral("Report.PDF"));
    }

    LaunchedApp app;
    ReportPtr report;
};
} // namespace

TEST_F(PrintingTest, ThePrintItemIsActiveExactlyWhileAReportIsShown)
{
    QAction *print = app.window()->printButton();
    EXPECT_FALSE(print->isEnabled());
    openReportWith(1);
    EXPECT_TRUE(print->isEnabled());
    app.core->reportsObj().backtoReportList();
    EXPECT_FALSE(print->isEnabled());
}

TEST_F(PrintingTest, CancelPrintsNothingAndNoFileAsksNothing)
{
    openReportWith(1);
    QSignalSpy submitted(&app.delegate->printer(), &ReportPrinter::jobSubmitted);
    QSignalSpy failed(&app.delegate->printer(), &ReportPrinter::jobFailed);
    const int asked = PrinterChooser::requests();
    PrinterChooser::setNextAnswer(QStringLiteral("cancel"));
    app.window()->printButton()->trigger();
    // The file was written anew, the dialog asked and cancelled.
    EXPECT_TRUE(QFile::exists(reportFile()));
    EXPECT_EQ(PrinterChooser::requests(), asked + 1);
    EXPECT_FALSE(app.delegate->printer().isPrinting());

    ASSERT_TRUE(QFile::remove(reportFile()));
    app.delegate->printPDFfile();
    EXPECT_EQ(PrinterChooser::requests(), asked + 1);
    EXPECT_FALSE(app.delegate->printer().isPrinting());
    EXPECT_EQ(submitted.count(), 0);
    EXPECT_EQ(failed.count(), 0);
}

TEST_F(PrintingTest, AThreePageReportReachesARealPrintServerAsItIs)
{
    PrivateCupsServer server;
    if (!server.start())
        GTEST_SKIP() << "No private print server here: " << qPrintable(server.error());
    qputenv("CUPS_SERVER", server.address().toUtf8());

    // As many threats as make three pages.
    for (int threats = 40; threats < 200; threats += 5) {
        openReportWith(threats);
        if (pageCount(PDFGenerate::createPDFFileFor(report, app.test.volume())) >= 3)
            break;
    }
    ASSERT_EQ(pageCount(reportFile()), 3);

    QSignalSpy submitted(&app.delegate->printer(), &ReportPrinter::jobSubmitted);
    PrinterChooser::setNextAnswer(server.printerName());
    app.window()->printButton()->trigger();
    ASSERT_TRUE(submitted.wait(30000)) << qPrintable(server.log());
    EXPECT_EQ(submitted.first().at(1).toString(), server.printerName());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.hasActiveJobs() && QFile::exists(server.outputFile()); }, 30000))
        << qPrintable(server.log());

    const QString printed = server.outputFile();
    const QStringList options = server.printedOptions().split(QLatin1Char(' '));
    for (const QString &option : {QStringLiteral("media=A4"), QStringLiteral("orientation-requested=3"),
                                  QStringLiteral("print-scaling=none"), QStringLiteral("number-up=1")})
        EXPECT_TRUE(options.contains(option)) << qPrintable(option) << " in " << qPrintable(options.join(' '));
    // The printer received the file itself, byte for byte.
    QFile sent(reportFile());
    QFile received(printed);
    ASSERT_TRUE(sent.open(QIODevice::ReadOnly) && received.open(QIODevice::ReadOnly));
    EXPECT_EQ(sent.readAll(), received.readAll());
    EXPECT_EQ(pageCount(printed), 3);
    const QString info = runTool(QStringLiteral("pdfinfo"), {printed});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595 x 842 pts \\(A4\\)")))) << qPrintable(info);
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page rot:\\s+0")))) << qPrintable(info);
    const QString text = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), printed, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("ADWARE REPORT")));
    EXPECT_TRUE(text.contains(QStringLiteral("Quick Scan")));
    EXPECT_TRUE(text.contains(QStringLiteral("com.adware.agent0.plist")));
    EXPECT_TRUE(text.contains(QStringLiteral("com.adware.agent%1.plist").arg(report->adwareList().size() - 1)));
    qunsetenv("CUPS_SERVER");
}
