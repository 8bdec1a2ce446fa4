#include "platform/PropertyList.h"
#include "remedy/BrowserGuard.h"
#include "remedy/FourceQuitBrowserView.h"
#include "remedy/RemovalFixture.h"
#include "remedy/RunningBrowsers.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class BrowserCheckTest : public ::testing::Test, public RemovalFixture
{
protected:
    QStringList chromeThreat() const
    {
        return {mac.host(QStringLiteral("~/Library/Application Support/Google/Chrome/Default/Extensions/abc"))};
    }
    QList<BrowserEntry> relevant(const QStringList &threats, const QStringList &running)
    {
        return RunningBrowsers::relevant(threats, running, test.volume(), test.platform().workspace());
    }
    static QStringList names(const QList<BrowserEntry> &entries)
    {
        QStringList list;
        for (const BrowserEntry &entry : entries)
            list << entry.NameBrowser;
        return list;
    }
};

// A guard that records the deferred removal instead of removing.
struct RecordingGuard
{
    explicit RecordingGuard(RemovalFixture &fixture, QStringList paths)
        : guard(fixture.test.platform(), [paths] { return paths; })
    {
        guard.setDeferredRemoval([this] { ++removals; });
    }
    BrowserGuard guard;
    int removals = 0;
};

} // namespace

TEST_F(BrowserCheckTest, OnlyRunningBrowsersThatHoldThreatsAreListedInTheirFixedOrder)
{
    const QStringList all{mac.host(QStringLiteral("~/Library/Application Support/Firefox/Profiles/x.default/ext")),
                          chromeThreat().first(), mac.host(QStringLiteral("~/Library/Safari/Extensions/Bad.safariextz"))};
    EXPECT_EQ(names(relevant(chromeThreat(), {QStringLiteral("Safari"), QStringLiteral("Google Chrome")})),
              QStringList{QStringLiteral("Chrome")});
    EXPECT_EQ(names(relevant(all, {QStringLiteral("Firefox"), QStringLiteral("Google Chrome"), QStringLiteral("Safari")})),
              (QStringList{QStringLiteral("Safari"), QStringLiteral("Chrome"), QStringLiteral("Firefox")}));
    EXPECT_TRUE(relevant(all, {QStringLiteral("Finder"), QStringLiteral("Mail")}).isEmpty());
    EXPECT_TRUE(relevant({mac.host(QStringLiteral("/Applications/Genieo.app"))}, {QStringLiteral("Safari")}).isEmpty());
    // The Chrome folder's name alone is not the application's name.
    EXPECT_TRUE(relevant(chromeThreat(), {QStringLiteral("Chrome")}).isEmpty());
}

TEST_F(BrowserCheckTest, FirefoxIsListedWithTheIconOfItsApplication)
{
    const QString bundle = mac.app(QStringLiteral("/Applications/Firefox.app"));
    QFile plist(bundle + QStringLiteral("/Contents/Info.plist"));
    ASSERT_TRUE(plist.open(QIODevice::WriteOnly));
    plist.write(PropertyList::serialize(QVariantMap{{QStringLiteral("CFBundleIconFile"), QStringLiteral("firefox")}}));
    plist.close();
    const QString icon = mac.file(QStringLiteral("/Applications/Firefox.app/Contents/Resources/firefox.icns"));

    const auto entries = relevant({mac.host(QStringLiteral("~/Library/Application Support/Firefox/Profiles/p/x.xpi"))},
                                  {QStringLiteral("Firefox")});
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries.first(), (BrowserEntry{QStringLiteral("Firefox"), icon}));
}

TEST_F(BrowserCheckTest, DecliningTheQuestionStopsAndNoBrowserRunningLetsRemovalGoAhead)
{
    RecordingGuard recording(*this, chromeThreat());
    test.alerts().answer(QStringList{QStringLiteral("No"), QStringLiteral("Yes")});
    EXPECT_FALSE(recording.guard.forceQuitBrowsers());
    EXPECT_TRUE(recording.guard.forceQuitBrowsers());
    const auto asked = test.alerts().requests();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked.first().informativeText, QStringLiteral("Are you sure you want to delete selected threats?"));
    EXPECT_EQ(asked.first().messageText, QStringLiteral("Alert"));
    EXPECT_FALSE(recording.guard.panel().sheetShown());
}

TEST_F(BrowserCheckTest, ThePanelHoldsRemovalBackUntilARetryFindsNoRelevantBrowser)
{
    RecordingGuard recording(*this, chromeThreat());
    FourceQuitBrowserView &panel = recording.guard.panel();
    test.workspace().running = {QStringLiteral("Safari"), QStringLiteral("Google Chrome"), QStringLiteral("Firefox")};
    test.alerts().answer(QStringLiteral("Yes"));

    EXPECT_FALSE(recording.guard.forceQuitBrowsers());
    EXPECT_TRUE(panel.sheetShown());
    EXPECT_EQ(panel.delegate(), &recording.guard);
    EXPECT_EQ(names(panel.browserList()), QStringList{QStringLiteral("Chrome")});

    panel.retryAction();
    EXPECT_TRUE(panel.sheetShown());
    EXPECT_EQ(recording.removals, 0);
    EXPECT_EQ(panel.availbleApp(), test.workspace().running);

    test.workspace().running = {QStringLiteral("Safari")};
    panel.retryAction();
    EXPECT_FALSE(panel.sheetShown());
    EXPECT_EQ(recording.removals, 1);
    EXPECT_EQ(panel.delegate(), nullptr);
    // Retrying asks no second question.
    EXPECT_EQ(test.alerts().requests().size(), 1);
}

TEST_F(BrowserCheckTest, CloseEndsThePanelWithoutRemovingAndASharedPanelServesItsOpener)
{
    RecordingGuard first(*this, chromeThreat());
    RecordingGuard second(*this, chromeThreat());
    FourceQuitBrowserView shared(test.platform().workspace());
    first.guard.setPanel(&shared);
    second.guard.setPanel(&shared);
    test.workspace().running = {QStringLiteral("Google Chrome")};
    test.alerts().answer(QStringLiteral("Yes"));

    EXPECT_FALSE(second.guard.forceQuitBrowsers());
    EXPECT_EQ(shared.delegate(), &second.guard);
    shared.closeWindow();
    EXPECT_FALSE(shared.sheetShown());

    test.workspace().running.clear();
    shared.retryAction();
    EXPECT_EQ(first.removals + second.removals, 0);
}

// The running applications are the host's: on a volume that is not the
// running system, a browser running on the host never holds back removal.
TEST_F(BrowserCheckTest, TheHostsBrowsersNeverHoldBackRemovalOnAnotherVolume)
{
    QTemporaryDir bin;
    const QString executable = bin.filePath(QStringLiteral("firefox"));
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), executable));
    QProcess firefox;
    firefox.start(executable, {QStringLiteral("300")});
    ASSERT_TRUE(firefox.waitForStarted());
    EXPECT_TRUE(Workspace(Volume(QStringLiteral("/"), QStringLiteral("tester"))).runningApplicationNames()
                    .contains(QStringLiteral("Firefox")));

    test.platform().setWorkspace(std::make_unique<Workspace>(test.volume()));
    EXPECT_TRUE(test.platform().workspace().runningApplicationNames().isEmpty());
    RecordingGuard recording(*this, {mac.host(QStringLiteral("~/Library/Application Support/Firefox/Profiles/x.default/ext"))});
    test.alerts().answer(QStringLiteral("Yes"));
    EXPECT_TRUE(recording.guard.forceQuitBrowsers());
    EXPECT_FALSE(recording.guard.panel().sheetShown());
    firefox.kill();
    firefox.waitForFinished();
}
