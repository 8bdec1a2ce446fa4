#include "app/NotificationNames.h"
#include "app/PreferenceKeys.h"
#include "remedy/DirectRemoval.h"
#include "remedy/FileList.h"
#include "support/MacVolumeBuilder.h"
#include "ui/FileListWindow.h"
#include "ui/LaunchedApp.h"
#include "ui/NotificationCellView.h"
#include "ui/NotificationWindow.h"
#include "ui/PersonClicks.h"
#include "ui/ScanView.h"
#include "ui/UiTiming.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

// Failures name the texts, not their bytes.
static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << qPrintable(text) << '"';
}

namespace {

// The launched application with its card column, and threats made on its volume.
class Cards
{
public:
    Cards()
    {
        app.test.platform().defaults().setBool(false, PreferenceKeys::RealTimeScanONOFF);
        app.launch();
    }
    ~Cards() { UiTiming::setInstant(true); }

    NotificationWindow *column() const { return app.delegate->notificationWindow(); }

    AdwarePtr threat(const QString &volumePath, const QString &infections = QStringLiteral("Genieo"))
    {
        const QString path = MacVolumeBuilder(app.test.volume()).file(volumePath);
        return Adware::AdwareWithName(QFileInfo(path).fileName(), true, infections, 0, QUrl::fromLocalFile(path),
                                      QStringLiteral("High Risk"));
    }
    // Posts as a real-time scan does and lets the (queued) delivery run.
    void post(const AdwarePtr &threat)
    {
        app.test.platform().notifications().post(NotificationNames::noteCustom, QVariant::fromValue(threat));
        QCoreApplication::processEvents();
    }
    // a.plist, b.plist and c.plist one after another: c on top, a at the bottom.
    QList<AdwarePtr> postThree()
    {
        QList<AdwarePtr> made;
        for (const QString &name : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}) {
            made.append(threat(QStringLiteral("~/Library/%1.plist").arg(name)));
            post(made.last());
        }
        return made;
    }
    QStringList names() const
    {
        QStringList shown;
        for (NotificationCellView *card : column()->cards())
            shown.append(card->adwarea()->name());
        return shown;
    }
    QList<int> tops() const
    {
        QList<int> ys;
        for (NotificationCellView *card : column()->cards())
            ys.append(card->y());
        return ys;
    }
    NotificationCellView *card(const QString &name) const
    {
        for (NotificationCellView *card : column()->cards()) {
            if (card->adwarea()->name() == name)
                return card;
        }
        return nullptr;
    }
    bool waitUntilGone(const QString &name) const
    {
        return QTest::qWaitFor([&] { return card(name) == nullptr; }, 10000);
    }

    LaunchedApp app;
};

} // namespace

TEST(NotificationWindow, TheColumnIsAFramelessStripAtTheRightEdgeAndACardCarriesTheThreat)
{
    Cards f;
    NotificationWindow *column = f.column();
    ASSERT_NE(column, nullptr);
    EXPECT_TRUE(column->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(column->testAttribute(Qt::WA_TranslucentBackground));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(NotificationWindow::columnFrame(QGuiApplication::primaryScreen()),
              QRect(screen.right() + 1 - 350, screen.top() + 24, 350, screen.height() - 24));
    EXPECT_FALSE(column->isVisible()); // nothing to show yet

    f.post(f.threat(QStringLiteral("~/Library/LaunchAgents/com.genieo.plist"), QStringLiteral("Adware")));
    ASSERT_EQ(f.column()->cards().size(), 1);
    EXPECT_TRUE(column->isVisible());
    EXPECT_EQ(column->geometry(), NotificationWindow::columnFrame(QGuiApplication::primaryScreen()));
    NotificationCellView *card = column->cards().first();
    EXPECT_EQ(card->geometry(), QRect(0, 0, 350, 120));
    EXPECT_EQ(card->threatDetails()->toolTip(), QStringLiteral("Infection: Adware"));
    EXPECT_EQ(card->viewBackText()->toolTip(), QStringLiteral("Threat Name: com.genieo.plist"));
    EXPECT_EQ(card->buttonRemove()->objectName(), QStringLiteral("buttonRemove"));
    EXPECT_EQ(card->buttonRemove()->text(), QStringLiteral("Quarantine"));
    EXPECT_EQ(card->buttonRemove()->geometry(), QRect(58, 92, 100, 22));
    EXPECT_EQ(card->buttonIgnore()->objectName(), QStringLiteral("buttonIgnore"));
    EXPECT_EQ(card->buttonIgnore()->text(), QStringLiteral("Ignore"));
    EXPECT_EQ(card->buttonIgnore()->geometry(), QRect(168, 92, 100, 22));
    EXPECT_EQ(card->threatDetails()->geometry(), QRect(58, 38, 280, 18));
    EXPECT_EQ(card->viewBackText()->geometry(), QRect(58, 58, 280, 18));
    auto *title = card->findChild<QLabel *>(QStringLiteral("cardTitle"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), QStringLiteral("Adware Detected"));
    EXPECT_TRUE(title->font().bold());
    // Only the card takes clicks: the rest of the column lets them through.
    EXPECT_EQ(column->mask().boundingRect(), QRect(0, 0, 350, 120));
}

TEST(NotificationWindow, ALongOrMarkedUpNameIsCutAtTheTailAndShownAsPlainText)
{
    Cards f;
    const QString name = QStringLiteral("<b>bold<i> &amp;") + QString(120, QLatin1Char('x')) + QStringLiteral(".plist");
    f.post(f.threat(QStringLiteral("~/Library/LaunchAgents/") + name));
    ASSERT_EQ(f.column()->cards().size(), 1);
    QLabel *line = f.column()->cards().first()->viewBackText();
    EXPECT_EQ(line->toolTip(), QStringLiteral("Threat Name: ") + name);
    EXPECT_TRUE(line->text().contains(QStringLiteral("&lt;b&gt;bold")));
    EXPECT_TRUE(line->text().contains(QChar(0x2026)));
    EXPECT_FALSE(line->text().contains(QStringLiteral(".plist")));
}

TEST(NotificationWindow, ThreeThreatsPostedAtOnceSlideInOneAfterAnotherNewestWaitingFirst)
{
    Cards f;
    UiTiming::setInstant(false);
    const AdwarePtr a = f.threat(QStringLiteral("~/Library/a.plist"));
    const AdwarePtr b = f.threat(QStringLiteral("~/Library/b.plist"));
    const AdwarePtr c = f.threat(QStringLiteral("~/Library/c.plist"));
    // As the notifications arrive, with no turn of the event loop between them.
    for (const AdwarePtr &threat : {a, b, c})
        f.column()->addNotifications(threat);

    // The first slides in; the other two wait for it.
    NotificationWindow *column = f.column();
    EXPECT_TRUE(column->amiation());
    EXPECT_EQ(f.names(), QStringList{QStringLiteral("a.plist")});
    EXPECT_EQ(column->arrayNewNotifications().size(), 3);
    EXPECT_FALSE(f.card(QStringLiteral("a.plist"))->lifetimeTimer()->isActive());

    // Each next one after the previous slide ended: the newest waiting first,
    // the cards already shown moving down by 120 each time.
    column->finishAnimation();
    EXPECT_EQ(f.names(), (QStringList{QStringLiteral("c.plist"), QStringLiteral("a.plist")}));
    EXPECT_TRUE(column->amiation());
    EXPECT_TRUE(f.card(QStringLiteral("a.plist"))->lifetimeTimer()->isActive());
    column->finishAnimation();
    EXPECT_EQ(f.names(), (QStringList{QStringLiteral("b.plist"), QStringLiteral("c.plist"), QStringLiteral("a.plist")}));
    column->finishAnimation();
    EXPECT_FALSE(column->amiation());
    EXPECT_TRUE(column->arrayNewNotifications().isEmpty());
    EXPECT_EQ(f.tops(), (QList<int>{0, 120, 240}));
    for (NotificationCellView *card : column->cards()) {
        EXPECT_EQ(card->x(), 0);
        EXPECT_EQ(card->lifetimeTimer()->interval(), 30000);
        EXPECT_TRUE(card->lifetimeTimer()->isActive());
    }
    // Made in order: the number grows by one per card.
    const auto cards = column->cards();
    EXPECT_EQ(cards.at(0)->notificationNumber(), cards.at(1)->notificationNumber() + 1);
    EXPECT_EQ(cards.at(1)->notificationNumber(), cards.at(2)->notificationNumber() + 1);
}

TEST(NotificationWindow, APathIsShownOncePerRunAndAPostWithoutARecordIsIgnored)
{
    Cards f;
    const AdwarePtr first = f.threat(QStringLiteral("~/Library/LaunchAgents/twice.plist"));
    f.post(first);
    // Another record for the same path, as a later scan would make.
    f.post(Adware::AdwareWithName(QStringLiteral("again"), true, QStringLiteral("Genieo"), 0, first->url(),
                                  QStringLiteral("High Risk")));
    EXPECT_EQ(f.column()->cards().size(), 1);
    EXPECT_EQ(f.column()->todaysAdware(), QStringList{first->path()});

    // Dismissed, it does not come back in this run.
    ASSERT_TRUE(PersonClicks::click(f.column()->cards().first()->buttonIgnore()));
    ASSERT_TRUE(f.waitUntilGone(QStringLiteral("twice.plist")));
    f.post(first);
    EXPECT_TRUE(f.column()->cards().isEmpty());

    f.app.test.platform().notifications().post(NotificationNames::noteCustom);
    f.post(AdwarePtr());
    EXPECT_TRUE(f.column()->cards().isEmpty());
    EXPECT_FALSE(f.column()->isVisible());
}

TEST(NotificationWindow, IgnoringTheMiddleCardMovesOnlyTheOlderCardUpAndLeavesTheFile)
{
    Cards f;
    const AdwarePtr middle = f.postThree().at(1);
    ASSERT_EQ(f.tops(), (QList<int>{0, 120, 240}));

    ASSERT_TRUE(PersonClicks::click(f.card(QStringLiteral("b.plist"))->buttonIgnore()));
    ASSERT_TRUE(f.waitUntilGone(QStringLiteral("b.plist")));
    EXPECT_EQ(f.names(), (QStringList{QStringLiteral("c.plist"), QStringLiteral("a.plist")}));
    EXPECT_EQ(f.tops(), (QList<int>{0, 120}));
    EXPECT_TRUE(QFile::exists(middle->path()));
    EXPECT_EQ(f.app.core->tabtype, 10);
}

TEST(NotificationWindow, ASecondClickWhileTheCardLeavesMovesTheOlderCardsOnce)
{
    Cards f;
    f.postThree();
    UiTiming::setInstant(false);
    NotificationCellView *top = f.card(QStringLiteral("c.plist"));
    ASSERT_TRUE(PersonClicks::click(top->buttonIgnore()));
    ASSERT_TRUE(f.column()->amiation());
    top->buttonIgnore()->click(); // at once, before the slide can end
    // Its 30 seconds running out meanwhile asks for it again, harmlessly.
    f.column()->removeSelf({top, true});
    EXPECT_EQ(f.column()->waitingRemovals(), 1);
    f.column()->finishAnimation();
    ASSERT_TRUE(f.waitUntilGone(QStringLiteral("c.plist")));
    EXPECT_EQ(f.tops(), (QList<int>{0, 120}));
    EXPECT_EQ(f.column()->waitingRemovals(), 0);
    EXPECT_FALSE(f.column()->amiation());
}

TEST(NotificationWindow, QuarantineRemovesTheFileAndShowsTheScanPage)
{
    Cards f;
    const AdwarePtr kept = f.threat(QStringLiteral("~/Library/LaunchAgents/kept.plist"));
    const AdwarePtr removed = f.threat(QStringLiteral("/Library/Application Support/VSearch/agent.plist"));
    f.post(kept);
    f.post(removed);
    f.app.window()->hide();
    ASSERT_EQ(f.app.core->tabtype, 10);

    ASSERT_TRUE(PersonClicks::click(f.card(QStringLiteral("agent.plist"))->buttonRemove()));
    EXPECT_FALSE(QFile::exists(removed->path()));
    EXPECT_TRUE(removed->isDeleted());
    EXPECT_TRUE(QFile::exists(kept->path()));
    EXPECT_EQ(f.app.core->tabtype, 20);
    EXPECT_TRUE(f.app.window()->isVisible());
    ASSERT_TRUE(f.waitUntilGone(QStringLiteral("agent.plist")));
    EXPECT_EQ(f.names(), QStringList{QStringLiteral("kept.plist")});
    EXPECT_EQ(f.tops(), QList<int>{0});
}

TEST(NotificationWindow, AThreatQuarantineCannotRemoveIsListedOverTheMainWindow)
{
    Cards f;
    // A system folder the remover always refuses.
    const QString folder = MacVolumeBuilder(f.app.test.volume()).dir(QStringLiteral("/Library/LaunchAgents"));
    f.post(Adware::AdwareWithName(QStringLiteral("LaunchAgents"), true, QStringLiteral("Genieo"), 0,
                                  QUrl::fromLocalFile(folder), QStringLiteral("High Risk")));
    ASSERT_TRUE(PersonClicks::click(f.card(QStringLiteral("LaunchAgents"))->buttonRemove()));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    auto *sheet = f.app.window()->findChild<FileListWindow *>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(f.app.core->directRemoval().fileList().urls(), QList<QUrl>{QUrl::fromLocalFile(folder)});
    EXPECT_EQ(f.app.core->tabtype, 20);
}

TEST(NotificationWindow, ACardLeavesByItselfWhenItsThirtySecondsAreUpWithoutMovingTheOthers)
{
    Cards f;
    f.postThree();
    QTimer *lifetime = f.card(QStringLiteral("b.plist"))->lifetimeTimer();
    EXPECT_EQ(lifetime->interval(), NotificationWindow::kLifetimeMilliseconds);
    EXPECT_TRUE(lifetime->isSingleShot());
    lifetime->start(0); // the 30 seconds, shortened
    ASSERT_TRUE(f.waitUntilGone(QStringLiteral("b.plist")));
    EXPECT_EQ(f.tops(), (QList<int>{0, 240}));

    for (NotificationCellView *card : f.column()->cards())
        card->lifetimeTimer()->start(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.column()->cards().isEmpty(); }, 10000));
    EXPECT_FALSE(f.column()->isVisible());
}

TEST(NotificationWindow, CardsPushedPastTheBottomAreHiddenAndShowAgainWhenTheyMoveBackUp)
{
    Cards f;
    const int fit = f.column()->height() / NotificationCellView::kHeight;
    for (int i = 0; i <= fit; ++i)
        f.post(f.threat(QStringLiteral("~/Library/t%1.plist").arg(i)));
    const auto cards = f.column()->cards();
    ASSERT_EQ(cards.size(), fit + 1);
    for (int i = 0; i < fit; ++i)
        EXPECT_TRUE(cards.at(i)->isVisible()) << i;
    NotificationCellView *oldest = cards.last();
    EXPECT_FALSE(oldest->isVisible());
    EXPECT_GT(oldest->y() + oldest->height(), f.column()->height());

    ASSERT_TRUE(PersonClicks::click(cards.first()->buttonIgnore()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return oldest->isVisible(); }, 10000));
    EXPECT_EQ(oldest->y(), (fit - 1) * NotificationCellView::kHeight);
}

TEST(NotificationWindow, AClickOnTheCardDismissesItAndBringsTheMainWindowForward)
{
    Cards f;
    const AdwarePtr threat = f.threat(QStringLiteral("~/Library/a.plist"));
    f.post(threat);
    f.app.window()->hide();
    NotificationCellView *card = f.column()->cards().first();
    QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(300, 20));
    ASSERT_TRUE(f.waitUntilGone(QStringLiteral("a.plist")));
    EXPECT_TRUE(f.app.window()->isVisible());
    EXPECT_TRUE(QFile::exists(threat->path()));
    EXPECT_EQ(f.app.core->tabtype, 10);
}

TEST(NotificationWindow, ARealTimeScanWithThreatsEndsInCardsAndThenTheAlert)
{
    LaunchedApp app;
    const QStringList footprints{QStringLiteral("/Library/LaunchAgents/net.culater.SIMBL.Agent.plist"),
                                 QStringLiteral("/Library/LaunchAgents/com.genieo.completer.update.plist")};
    MacVolumeBuilder mac(app.test.volume());
    for (const QString &path : footprints)
        mac.file(path);
    app.launch();
    ScanDriver &driver = app.core->scanDriver();
    driver.setWholeDiskAccess(false);
    app.window()->hide();
    app.test.alerts().answer(QStringLiteral("Remove"));

    // Every other observer of the scan's end runs before the alert is shown.
    qsizetype alertsAtTheEnd = -1;
    QObject::connect(&driver, &ScanDriver::scanFinished, app.window(),
                     [&] { alertsAtTheEnd = app.test.alerts().requests().size(); });
    QSignalSpy finished(&driver, &ScanDriver::scanFinished);
    app.core->realTime().scanAdwareRealTime();
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(alertsAtTheEnd, 0);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.test.alerts().requests().isEmpty(); }, 10000));
    const auto request = app.test.alerts().requests().first();
    EXPECT_EQ(request.messageText, QStringLiteral("Alert"));
    EXPECT_EQ(request.informativeText, QStringLiteral("Potential threat detected"));
    EXPECT_EQ(request.buttons, (QStringList{QStringLiteral("Ignore"), QStringLiteral("Remove"),
                                            QStringLiteral("Remind Me Later")}));
    EXPECT_TRUE(app.window()->isVisible()); // "Remove"

    NotificationWindow *column = app.delegate->notificationWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return column->cards().size() == footprints.size(); }, 10000));
    QStringList shown = column->todaysAdware();
    QStringList expected;
    for (const QString &path : footprints)
        expected.append(app.host(path));
    shown.sort();
    expected.sort();
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(column->isVisible());

    // Quarantine from a card: the file goes, and so does its row of the Scan list.
    QTableWidget *list = app.window()->scanObj()->tblAdwareList();
    ASSERT_EQ(list->rowCount(), footprints.size());
    NotificationCellView *card = column->cards().first();
    const QString removed = card->adwarea()->path();
    ASSERT_TRUE(PersonClicks::click(card->buttonRemove()));
    EXPECT_FALSE(QFile::exists(removed));
    EXPECT_EQ(app.core->tabtype, 20);
    EXPECT_EQ(list->rowCount(), footprints.size() - 1);
}
