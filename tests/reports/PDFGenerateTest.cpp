#include "platform/MachineFacts.h"
#include "reports/PDFGenerate.h"
#include "reports/PdfText.h"
#include "reports/ReportsFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr double kSlack = 1.5;

class PDFGenerateTest : public ::testing::Test, public ReportsFixture
{
protected:
    PDFGenerateTest()
        : facts{QStringLiteral("test-mac"), QStringLiteral("MacBookPro18,1"), QStringLiteral("C02TEST"),
                QStringLiteral("tester")}
        , pdf(out.filePath(QStringLiteral("report.pdf")))
    {
    }

    PdfText write(const QList<AdwarePtr> &threats)
    {
        EXPECT_TRUE(PDFGenerate::createPDF(pdf, *makeReport(threats), facts));
        PdfText text = PdfText::read(pdf);
        EXPECT_TRUE(text.error.isEmpty()) << text.error.toStdString();
        return text;
    }

    // A threat whose path is exactly the given text.
    static AdwarePtr listed(const QString &path, const QString &infection = QStringLiteral("Adware"))
    {
        return threatAt(path, infection);
    }

    // Darkest grey level of page 1 rendered at 72 dpi around a point.
    int darkestAround(int x, int y) const
    {
        QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"),
                                                      QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                                      QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf,
                                                      out.filePath(QStringLiteral("page"))});
        const QImage image(out.filePath(QStringLiteral("page.png")));
        int darkest = 255;
        for (int dx = -2; dx <= 2; ++dx)
            darkest = std::min(darkest, qGray(image.pixel(x + dx, y)));
        return darkest;
    }

    MachineFacts facts;
    QTemporaryDir out;
    QString pdf;
};

} // namespace

TEST_F(PDFGenerateTest, AReportWithoutThreatsIsOneA4PageWithTitleHeaderAndTableHead)
{
    const PdfText text = write({});
    EXPECT_EQ(text.pages(), 1);
    EXPECT_TRUE(text.info.value(QStringLiteral("Page size")).startsWith(QLatin1String("595 x 842 pts")));
    EXPECT_EQ(text.info.value(QStringLiteral("Title")), QStringLiteral("Adware Report"));
    EXPECT_EQ(text.info.value(QStringLiteral("Subject")), QStringLiteral("Adware Report"));
    EXPECT_EQ(text.info.value(QStringLiteral("Author")), QStringLiteral("Quorvane"));
    EXPECT_EQ(text.info.value(QStringLiteral("Creator")), QStringLiteral("Quorvane"));
    for (const char *word : {"test-mac", "tester", "MacBookPro18,1", "C02TEST", "Quick", "Serial", "Started",
                             "Duration", "Infections", "Details", "Available", "Status"})
        EXPECT_EQ(text.find(QString::fromLatin1(word)).page, 1) << word;

    // The title is centred on the page, 50 points from the top.
    const auto adware = text.find(QStringLiteral("ADWARE"));
    const auto report = text.find(QStringLiteral("REPORT"));
    EXPECT_NEAR((adware.xMin + report.xMax) / 2, 297.5, kSlack);
    EXPECT_NEAR(adware.yMin, 50, 2);
    // The application line and the scan time share the top line.
    const auto application = text.find(QStringLiteral("Sweepling"));
    EXPECT_NEAR(application.xMin, 18, kSlack);
    bool timeFound = false;
    for (const auto &word : text.onPage(1))
        timeFound = timeFound || (std::abs(word.xMin - 463) < kSlack && std::abs(word.yMin - application.yMin) < 1.5);
    EXPECT_TRUE(timeFound);
}

TEST_F(PDFGenerateTest, HeaderLinesAndTableColumnsSitWhereTheLayoutPutsThem)
{
    const PdfText text = write({listed(QStringLiteral("/x/gone"), QStringLiteral("Genieo"))});
    const auto mac = text.find(QStringLiteral("Mac"));
    const auto user = text.find(QStringLiteral("Current"));
    const auto model = text.all(QStringLiteral("Machine"));
    ASSERT_EQ(model.size(), 2);
    EXPECT_NEAR(mac.xMin, 40, kSlack);
    const double spacing = user.yMin - mac.yMin;
    EXPECT_NEAR(model.at(0).yMin - user.yMin, spacing, 1);
    EXPECT_NEAR(model.at(1).yMin - model.at(0).yMin, spacing, 1);
    bool rightItem = false;
    for (const auto &word : text.all(QStringLiteral("Scan")))
        rightItem = rightItem || (std::abs(word.xMin - 337) < kSlack && std::abs(word.yMin - mac.yMin) < 1);
    EXPECT_TRUE(rightItem);

    // The table head starts 25 points further down than a header line would,
    // its first column one point higher than the others.
    const auto path = text.find(QStringLiteral("Path"));
    EXPECT_NEAR(path.yMin - model.at(1).yMin, spacing + 22, 1.5);
    const auto infection = text.find(QStringLiteral("Infection"));
    EXPECT_NEAR(infection.xMin, 260, kSlack);
    EXPECT_NEAR(infection.yMin - path.yMin, 1, 0.5);
    EXPECT_NEAR(text.find(QStringLiteral("Available")).xMin, 380, kSlack);
    EXPECT_NEAR(text.find(QStringLiteral("Status")).xMin, 450, kSlack);

    const auto row = text.find(QStringLiteral("/x/gone"));
    EXPECT_NEAR(row.xMin, 50, kSlack);
    EXPECT_NEAR(text.find(QStringLiteral("Genieo")).xMin, 260, kSlack);
    EXPECT_NEAR(text.find(QStringLiteral("High")).xMin, 380, kSlack);
    EXPECT_NEAR(text.find(QStringLiteral("Quarantined")).xMin, 450, kSlack);

    const auto number = text.all(QStringLiteral("1")).last();
    EXPECT_NEAR(number.xMax, 575, kSlack);
    EXPECT_NEAR(number.yMax, 834, 2);
}

TEST_F(PDFGenerateTest, StatusIsTheFileTestAtWritingTimeAndLongTextWrapsOrIsCutInTheMiddle)
{
    QTemporaryDir shortDir(QStringLiteral("/tmp/p"));
    const QString present = shortDir.filePath(QStringLiteral("a"));
    QFile(present).open(QIODevice::WriteOnly);
    // Three segments, each filling most of a line of the column.
    const QString longPath = QLatin1Char('/') + QString(30, QLatin1Char('a')) + QLatin1Char('/')
                             + QString(30, QLatin1Char('b')) + QLatin1Char('/') + QString(30, QLatin1Char('c'));
    const PdfText text = write({listed(QStringLiteral("/x/gone")), listed(present),
                                listed(longPath, QStringLiteral("An Infection Name Far Too Long For Its Column")),
                                listed(QString(), QStringLiteral("Nameless")), listed(QStringLiteral("/x/last"))});

    const auto gone = text.find(QStringLiteral("/x/gone"));
    const auto here = text.find(present);
    for (const auto &word : text.all(QStringLiteral("Quarantined"))) {
        const bool onGoneRow = std::abs(word.yMin - gone.yMin) < 1;
        const bool onPresentRow = std::abs(word.yMin - here.yMin) < 1;
        EXPECT_TRUE(onGoneRow || onPresentRow || word.yMin > here.yMin);
    }
    const auto notWord = text.find(QStringLiteral("Not"));
    EXPECT_NEAR(notWord.yMin, here.yMin, 1);
    EXPECT_EQ(text.all(QStringLiteral("Not")).size(), 1);

    // The long path wraps in its column; its row is its lines plus 16 points.
    QList<double> lineTops;
    const auto last = text.find(QStringLiteral("/x/last"));
    const auto nameless = text.find(QStringLiteral("Nameless"));
    for (const auto &word : text.onPage(1)) {
        if (word.xMin < 255 && word.yMin > here.yMin + 1 && word.yMin < nameless.yMin - 1 && !lineTops.contains(word.yMin))
            lineTops.append(word.yMin);
    }
    std::sort(lineTops.begin(), lineTops.end());
    ASSERT_EQ(lineTops.size(), 3);
    const double lineHeight = lineTops.at(1) - lineTops.at(0);
    EXPECT_NEAR(nameless.yMin - lineTops.first(), lineTops.size() * lineHeight + 16, 1.5);
    EXPECT_NEAR(here.yMin - gone.yMin, lineHeight + 16, 1.5);

    bool cut = false;
    for (const auto &word : text.onPage(1))
        cut = cut || (word.xMin > 259 && word.xMin < 380 && word.text.contains(QChar(0x2026)));
    EXPECT_TRUE(cut);
    EXPECT_NEAR(text.find(QStringLiteral("An")).xMin, 260, kSlack);

    // A threat without a path makes a row of 16 points.
    bool lastInfection = false;
    for (const auto &word : text.all(QStringLiteral("Adware")))
        lastInfection = lastInfection || std::abs(word.yMin - (nameless.yMin + 16)) < 1;
    EXPECT_TRUE(lastInfection);
    EXPECT_NEAR(last.yMin, nameless.yMin + 16, 1);
}

TEST_F(PDFGenerateTest, RowsThatDoNotFitGoToANewPageWithoutTheTableHead)
{
    QList<AdwarePtr> threats;
    for (int i = 0; i < 60; ++i)
        threats.append(listed(QStringLiteral("/t/%1").arg(i, 2, 10, QLatin1Char('0'))));
    const PdfText text = write(threats);
    ASSERT_GE(text.pages(), 2);
    EXPECT_EQ(text.all(QStringLiteral("Available")).size(), 1);
    EXPECT_EQ(text.find(QStringLiteral("Available")).page, 1);

    double lowestOnFirst = 0;
    double firstRowOnSecond = 1000;
    for (const auto &word : text.words) {
        if (!word.text.startsWith(QLatin1String("/t/")))
            continue;
        if (word.page == 1)
            lowestOnFirst = std::max(lowestOnFirst, word.yMax);
        if (word.page == 2)
            firstRowOnSecond = std::min(firstRowOnSecond, word.yMin);
    }
    EXPECT_LT(lowestOnFirst, 832 - 8 + 1);
    EXPECT_NEAR(firstRowOnSecond, 842 - 802 + 8, 1.5);
    EXPECT_EQ(text.find(QStringLiteral("2"), 2).page, 2);
    EXPECT_NEAR(text.find(QStringLiteral("2"), 2).xMax, 575, kSlack);
    EXPECT_EQ(text.all(QStringLiteral("/t/59")).size(), 1);

    // The first page's frame runs down the left edge of the table and ends
    // above the bottom margin.
    EXPECT_LT(darkestAround(40, int(text.find(QStringLiteral("/t/00")).yMin)), 200);
    EXPECT_GT(darkestAround(40, 838), 240);
}

// The report is written for printing in the caches folder of the user
// running the program: never on the scanned volume, which may be a backup, a
// disk under inspection, or read-only.
TEST_F(PDFGenerateTest, TheReportFileGoesInTheRunningUsersCachesAndIsReplacedEachTime)
{
    const QString cacheHome = out.filePath(QStringLiteral("cache-home"));
    const QByteArray savedCacheHome = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome));
    const auto restore = qScopeGuard([&] {
        if (savedCacheHome.isNull())
            qunsetenv("XDG_CACHE_HOME");
        else
            qputenv("XDG_CACHE_HOME", savedCacheHome);
    });
    const QString volumeCaches = mac.dir(QStringLiteral("~/Library/Caches"));
    const QString caches = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    ASSERT_TRUE(caches.startsWith(cacheHome + QLatin1Char('/')));
    ASSERT_TRUE(QDir().mkpath(caches));
    const QString target = out.filePath(QStringLiteral("elsewhere.txt"));
    QFile elsewhere(target);
    ASSERT_TRUE(elsewhere.open(QIODevice::WriteOnly));
    elsewhere.write("keep me");
    elsewhere.close();
    QFile::link(target, caches + QStringLiteral("/Report.PDF"));

    const ReportPtr report = makeReport({threat(QStringLiteral("/Library/LaunchAgents/a.plist"))});
    const QString path = PDFGenerate::createPDFFileFor(report, test.volume());
    EXPECT_EQ(path, caches + QStringLiteral("/Report.PDF"));
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(volumeCaches + QStringLiteral("/Report.PDF")));
    ASSERT_TRUE(elsewhere.open(QIODevice::ReadOnly));
    EXPECT_EQ(elsewhere.readAll(), QByteArray("keep me"));

    const qint64 firstSize = QFileInfo(path).size();
    QFile::remove(report->adwareList().first()->path());
    EXPECT_EQ(PDFGenerate::createPDFFileFor(report, test.volume()), path);
    const PdfText text = PdfText::read(path);
    EXPECT_EQ(text.pages(), 1);
    EXPECT_NEAR(text.find(QStringLiteral("Quarantined")).xMin, 450, kSlack);
    for (const auto &word : text.all(QStringLiteral("Not")))
        EXPECT_GT(std::abs(word.xMin - 450), kSlack);
    EXPECT_GT(firstSize, 0);
}

// A threat found behind one of the volume's own links is present: the status
// follows the link inside the volume, where removal would find it. A link
// written for the volume's own root ("/private/tmp") leads nowhere on this
// machine.
TEST_F(PDFGenerateTest, TheStatusFollowsTheVolumesOwnLinksInsideTheVolume)
{
    QTemporaryDir volume;
    ASSERT_TRUE(QDir(volume.path()).mkpath(QStringLiteral("private/tmp")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/private/tmp"), volume.filePath(QStringLiteral("tmp"))));
    QFile(volume.filePath(QStringLiteral("private/tmp/Codec-M.app"))).open(QIODevice::WriteOnly);
    ASSERT_FALSE(QFileInfo::exists(QStringLiteral("/private/tmp/Codec-M.app")));

    const auto report = makeReport({listed(volume.filePath(QStringLiteral("tmp/Codec-M.app")))});
    ASSERT_TRUE(PDFGenerate::createPDF(pdf, *report, facts, nullptr, volume.path()));
    const PdfText text = PdfText::read(pdf);
    ASSERT_TRUE(text.error.isEmpty()) << text.error.toStdString();
    EXPECT_EQ(text.all(QStringLiteral("Not")).size(), 1) << "the threat is still on the volume";
}
