#include "app/PreferenceKeys.h"
#include "platform/Bookmarks.h"
#include "support/FailingBookmarks.h"
#include "ui/LaunchedApp.h"
#include "ui/NotAccessWindow.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using PreferenceKeys::kSaveDirectory;

namespace {
// Stores grants but can open none (a folder that refuses to be read).
class UnopenableBookmarks : public Bookmarks
{
public:
    bool startAccessing(const QString &) const override { return false; }
};

// The alerts shown, "message: informative" joined by "|".
std::string informed(const ScriptedAlerts &alerts)
{
    QStringList texts;
    for (const ScriptedAlerts::Request &request : alerts.requests()) {
        if (request.kind == QLatin1String("inform"))
            texts.append(request.messageText + QStringLiteral(": ") + request.informativeText);
    }
    return texts.join(QLatin1Char('|')).toStdString();
}

// A folder of the volume, made without MacVolumeBuilder (which makes the home
// folder these tests leave out).
QString makeDir(const LaunchedApp &app, const QString &path)
{
    const QString host = app.host(path);
    QDir().mkpath(host);
    return host;
}

void clickConfirm(LaunchedApp &app)
{
    NotAccessWindow *access = app.delegate->notAccessWindow();
    ASSERT_NE(access, nullptr);
    QTest::mouseClick(access->confirmAccess(), Qt::LeftButton);
}
} // namespace

TEST(AccessWindow, OtherFoldersAreRefusedUntilAnAcceptableOneIsChosen)
{
    LaunchedApp app(false);
    const QString otherHome = makeDir(app, QStringLiteral("/Users/someoneelse"));
    const QString applications = makeDir(app, QStringLiteral("/Applications"));
    app.launch();
    app.test.alerts().answer({otherHome, applications, app.host(QStringLiteral("/"))});
    clickConfirm(app);

    EXPECT_EQ(informed(app.test.alerts()),
              "Sweepling: Please select home directory.|Sweepling: Please select home directory.");
    const auto folder = app.test.alerts().requests().first();
    EXPECT_EQ(folder.kind, QStringLiteral("folder"));
    EXPECT_EQ(folder.messageText, QStringLiteral("Confirm Access"));
    EXPECT_EQ(folder.informativeText, QStringLiteral("Give access for scanning in your HardDisk"));
    QTRY_VERIFY(app.window()->isVisible());
    EXPECT_EQ(app.delegate->notAccessWindow(), nullptr);
    EXPECT_EQ(app.core->tabtype, 10);
    const auto stored = app.test.platform().bookmarks().resolve(app.test.platform().defaults().dataForKey(kSaveDirectory));
    ASSERT_TRUE(stored);
    EXPECT_EQ(QDir::cleanPath(stored->path), QDir::cleanPath(app.host(QStringLiteral("/"))));
}

TEST(AccessWindow, TheHomeFolderUsersAndTheRootAreAccepted)
{
    for (const QString &choice : {QStringLiteral("/Users/tester"), QStringLiteral("/Users"), QStringLiteral("/")}) {
        LaunchedApp app;
        app.launch();
        app.delegate->makeUIForSelection();
        app.window()->hide();
        app.test.alerts().answer(app.host(choice));
        clickConfirm(app);
        QTRY_VERIFY(app.window()->isVisible());
        EXPECT_EQ(informed(app.test.alerts()), "") << qPrintable(choice);
        EXPECT_EQ(app.delegate->notAccessWindow(), nullptr) << qPrintable(choice);
    }
}

TEST(AccessWindow, CancellingTheChooserKeepsTheAccessWindow)
{
    LaunchedApp app(false);
    app.launch();
    app.test.alerts().answer(QStringLiteral("cancel"));
    clickConfirm(app);
    QCoreApplication::processEvents();
    ASSERT_NE(app.delegate->notAccessWindow(), nullptr);
    EXPECT_TRUE(app.delegate->notAccessWindow()->isVisible());
    EXPECT_FALSE(app.window()->isVisible());
    EXPECT_FALSE(app.test.platform().defaults().contains(kSaveDirectory));
}

TEST(AccessWindow, AFailedBookmarkKeepsTheEarlierGrant)
{
    LaunchedApp app(false);
    // An earlier grant of a folder that has gone since: it no longer opens,
    // so the access window is offered again.
    const QString gone = makeDir(app, QStringLiteral("/Volumes/Old"));
    const QByteArray earlier = *app.test.platform().bookmarks().make(gone);
    ASSERT_TRUE(QDir(gone).removeRecursively());
    app.test.platform().defaults().setObject(earlier, kSaveDirectory);
    app.launch();
    ASSERT_NE(app.delegate->notAccessWindow(), nullptr);

    app.test.platform().setBookmarks(std::make_unique<FailingBookmarks>());
    app.test.alerts().answer(app.host(QStringLiteral("/Users")));
    clickConfirm(app);
    QCoreApplication::processEvents();

    EXPECT_EQ(informed(app.test.alerts()), "Error: Access Denied");
    EXPECT_EQ(app.test.platform().defaults().dataForKey(kSaveDirectory), earlier);
    ASSERT_NE(app.delegate->notAccessWindow(), nullptr);
    EXPECT_TRUE(app.delegate->notAccessWindow()->isVisible());
    EXPECT_FALSE(app.window()->isVisible());
}

TEST(AccessWindow, AGrantThatCannotBeOpenedKeepsTheAccessWindow)
{
    LaunchedApp app(false);
    app.launch();
    app.test.platform().setBookmarks(std::make_unique<UnopenableBookmarks>());
    app.test.alerts().answer(app.host(QStringLiteral("/Users")));
    clickConfirm(app);
    QCoreApplication::processEvents();
    ASSERT_NE(app.delegate->notAccessWindow(), nullptr);
    EXPECT_TRUE(app.delegate->notAccessWindow()->isVisible());
    EXPECT_FALSE(app.window()->isVisible());
}
