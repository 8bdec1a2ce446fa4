#include "CleaningFixture.h"

#include "platform/FileName.h"
#include "support/HostileFiles.h"
#include "tools/BrowserProfiles.h"
#include "tools/SizeRule.h"

#include <QFile>

#include <unistd.h>

namespace {
const QString kChrome = QStringLiteral("/Library/Application Support/Google/Chrome");
const QString kProfiles = QStringLiteral("/Library/Application Support/Firefox/Profiles");
} // namespace

using CleaningCatalogueTest = CleaningFixture;

TEST_F(CleaningCatalogueTest, AMacWithoutBrowsersMailOrFlashGivesExactlyThreeRows)
{
    const auto entries = build();
    ASSERT_EQ(names(entries), (QStringList{"Adult History", "Browser Extensions", "System"}));

    const CleaningEntry &adult = entries.at(0);
    EXPECT_TRUE(adult.List.isEmpty());
    EXPECT_FALSE(adult.Size.has_value());
    EXPECT_TRUE(adult.isEnabled);
    EXPECT_EQ(adult.Img, QStringLiteral("adult"));

    const CleaningEntry &extensions = entries.at(1);
    ASSERT_EQ(extensions.List.size(), 1);
    const CleaningItem &reset = extensions.List.first();
    EXPECT_EQ(reset.NameText, QStringLiteral("Reset Browsers Preferences to Defaults"));
    EXPECT_TRUE(reset.AllList.isEmpty());
    EXPECT_TRUE(reset.isExt);
    EXPECT_FALSE(reset.isHeader);
    EXPECT_TRUE(reset.isEnabled);
    EXPECT_EQ(reset.sizeText, QString());
    EXPECT_EQ(extensions.Size, QString());
    EXPECT_TRUE(extensions.isFromAdware);
    EXPECT_EQ(extensions.Img, QStringLiteral("Browser_ext"));

    EXPECT_EQ(itemNames(entries.at(2)),
              (QStringList{"System Cache Files", "Applications Cache Files", "System Log Files",
                           "Applications Log Files", "System Downloads Log", "Trash Files"}));
    EXPECT_FALSE(entries.at(2).isFromAdware);
}

TEST_F(CleaningCatalogueTest, EveryApplicationPresentGivesTheEightEntriesInTheirOrder)
{
    mac.app(QStringLiteral("/Applications/Safari.app"));
    mac.app(QStringLiteral("/Applications/Google Chrome.app"));
    mac.app(QStringLiteral("/Applications/Firefox.app"));
    mac.app(QStringLiteral("/Applications/Mail.app"));
    mac.app(QStringLiteral("/Applications/Utilities/Adobe Flash Player Install Manager.app"));
    mac.chromeLocalState({{QStringLiteral("Default"), QStringLiteral("Person 1")}});
    mac.dir(QStringLiteral("~") + kProfiles + QStringLiteral("/abc.default"));

    QStringList seen;
    CleaningCatalogue(test.volume(), test.workspace()).build([&seen](CleaningEntry entry) { seen << entry.Name; });
    EXPECT_EQ(seen, (QStringList{"Safari", "Chrome", "Firefox", "Adult History", "Browser Extensions", "System",
                                 "Mail", "Flash"}));

    const auto entries = build();
    EXPECT_EQ(itemNames(entryNamed(entries, "Mail")), (QStringList{"Mail Download", "Mail Cache Files"}));
    const QString mail = home(QStringLiteral("/Library/Containers/com.apple.mail/Data/Library"));
    EXPECT_EQ(itemNamed(entryNamed(entries, "Mail"), "Mail Cache Files").AllList,
              (QStringList{mail + "/Caches", mail + "/Logs", mail + "/WebKit", mail + "/Saved Application State"}));
    EXPECT_EQ(itemNamed(entryNamed(entries, "Flash"), "Flash Cookies").AllList,
              (QStringList{home("/Library/Preferences/Macromedia/Flash Player"),
                           home("/Library/Caches/Adobe/Flash Player")}));
    EXPECT_EQ(itemNames(entryNamed(entries, "Adult History")),
              (QStringList{"Google Chrome Adult History", "Safari Adult History", "Firefox Adult History"}));
}

TEST_F(CleaningCatalogueTest, BuildingStopsBetweenEntriesOnceCancelled)
{
    mac.app(QStringLiteral("/Applications/Safari.app"));
    std::atomic<bool> cancel{false};
    QStringList seen;
    CleaningCatalogue(test.volume(), test.workspace()).build(
        [&](CleaningEntry entry) {
            seen << entry.Name;
            cancel = true;
        },
        &cancel);
    EXPECT_EQ(seen, QStringList{"Safari"});
}

TEST_F(CleaningCatalogueTest, SafariListsItsThirteenItemsAndSizesThem)
{
    mac.app(QStringLiteral("/Applications/Safari.app"));
    const QString history = mac.file(QStringLiteral("~/Library/Safari/History.db"), QByteArray(10000, 'h'));
    const auto entries = build();
    const CleaningEntry &safari = entryNamed(entries, "Safari");
    EXPECT_EQ(itemNames(safari),
              (QStringList{"Cookies", "Browser Caches", "History", "Downloads", "LastSession", "User preferences",
                           "Favicons", "TopSites", "Local Storage", "Reading List", "Form", "Recent Search",
                           "WebFeeds"}));
    const QString s = home(QStringLiteral("/Library/Safari/"));
    EXPECT_EQ(itemNamed(safari, "Cookies").AllList,
              (QStringList{home("/Library/Cookies/com.apple.Safari.SafeBrowsing.binarycookies"),
                           home("/Library/Cookies/Cookies.binarycookies")}));
    EXPECT_EQ(itemNamed(safari, "History").AllList,
              (QStringList{s + "History.db", s + "HistoryIndex.sk", s + "History.db-wal"}));
    EXPECT_EQ(itemNamed(safari, "Favicons").AllList, (QStringList{s + "Touch Icons", s + "WebpageIcons"}));

    const CleaningItem &historyItem = itemNamed(safari, "History");
    EXPECT_TRUE(historyItem.isEnabled);
    EXPECT_EQ(historyItem.sizeText, SizeRule::byteCountText(blocksOf(history)));
    EXPECT_EQ(itemNamed(safari, "Downloads").sizeText, QStringLiteral("0 byte"));
    EXPECT_FALSE(itemNamed(safari, "Downloads").isEnabled);
    EXPECT_EQ(safari.Size, SizeRule::byteCountText(blocksOf(history)));
    EXPECT_TRUE(safari.isEnabled);
    EXPECT_EQ(safari.isChecked, 0);
    EXPECT_EQ(safari.Img, test.workspace().iconForFile(test.volume().host("/Applications/Safari.app")));
}

TEST_F(CleaningCatalogueTest, TwoChromeProfilesGiveEighteenItemsAndFivePathsOfCaches)
{
    mac.app(QStringLiteral("/Applications/Google Chrome.app"));
    mac.chromeLocalState({{QStringLiteral("Default"), QStringLiteral("Person 1")},
                          {QStringLiteral("Profile 1"), QStringLiteral("Work")}});
    const auto entries = build();
    const CleaningEntry &chrome = entryNamed(entries, "Chrome");
    ASSERT_EQ(chrome.List.size(), 19);
    for (int i = 0; i < 9; ++i) {
        EXPECT_TRUE(chrome.List.at(i).NameText.endsWith(QStringLiteral(" (Person 1)"))) << i;
        EXPECT_TRUE(chrome.List.at(i + 9).NameText.endsWith(QStringLiteral(" (Work)"))) << i;
    }
    EXPECT_EQ(chrome.List.at(0).NameText, QStringLiteral("Cookies (Person 1)"));
    EXPECT_EQ(chrome.List.at(17).NameText, QStringLiteral("Local Storage (Work)"));
    const QString g = home(kChrome);
    EXPECT_EQ(chrome.List.at(17).AllList.size(), 8);
    EXPECT_EQ(chrome.List.at(17).AllList.first(), g + QStringLiteral("/Profile 1/databases"));
    const CleaningItem &caches = chrome.List.last();
    EXPECT_EQ(caches.NameText, QStringLiteral("Browser Caches"));
    EXPECT_EQ(caches.AllList,
              (QStringList{g + "/Default/Application Cache", g + "/Default/GPUCache", g + "/Profile 1/Application Cache",
                           g + "/Profile 1/GPUCache", home("/Library/Caches/Google/Chrome")}));
}

TEST_F(CleaningCatalogueTest, ChromeLocalStateDecidesTheEntry)
{
    mac.app(QStringLiteral("/Applications/Google Chrome.app"));
    // No "Local State": no Chrome entry, but the history row stays.
    auto entries = build();
    EXPECT_FALSE(names(entries).contains(QStringLiteral("Chrome")));
    const CleaningItem &row = itemNamed(entryNamed(entries, "Adult History"), "Google Chrome Adult History");
    EXPECT_EQ(row.Path, home(kChrome + QStringLiteral("/Default/History")));
    EXPECT_FALSE(row.hasAllList);

    // Not JSON: the entry holds only the caches folder.
    mac.file(QStringLiteral("~") + kChrome + QStringLiteral("/Local State"), "{not json");
    entries = build();
    const CleaningEntry &chrome = entryNamed(entries, "Chrome");
    ASSERT_EQ(chrome.List.size(), 1);
    EXPECT_EQ(chrome.List.first().AllList, QStringList{home("/Library/Caches/Google/Chrome")});
    EXPECT_EQ(chrome.Size, QStringLiteral("0 byte"));
    EXPECT_FALSE(chrome.isEnabled);
}

TEST(BrowserProfiles, ChromeProfilesNeedBothLevelsToBeObjects)
{
    using P = BrowserProfiles::ChromeProfile;
    EXPECT_TRUE(BrowserProfiles::chromeProfiles("[]").isEmpty());
    EXPECT_TRUE(BrowserProfiles::chromeProfiles(R"({"profile": []})").isEmpty());
    EXPECT_TRUE(BrowserProfiles::chromeProfiles(R"({"profile": {"info_cache": "x"}})").isEmpty());
    EXPECT_EQ(BrowserProfiles::chromeProfiles(
                  R"({"profile": {"info_cache": {"Profile 2": {"name": "Kids"}, "Default": {"name": "Me"}, "Odd": 3}}})"),
              (QList<P>{{"Default", "Me"}, {"Odd", "Odd"}, {"Profile 2", "Kids"}}));
    EXPECT_EQ(BrowserProfiles::chromeProfiles(
                  R"({"profile": {"info_cache": {"../../..": {"name": "Up"}, "a/b": {}, "..": {}, "": {}, "P": {}}}})"),
              (QList<P>{{"P", "P"}}));
}

TEST_F(CleaningCatalogueTest, FirefoxUsesOnlyTheFirstDefaultProfile)
{
    mac.app(QStringLiteral("/Applications/Firefox.app"));
    mac.dir(QStringLiteral("~") + kProfiles + QStringLiteral("/xyz.default-release"));
    mac.dir(QStringLiteral("~") + kProfiles + QStringLiteral("/abc.default"));
    const auto entries = build();
    const CleaningEntry &firefox = entryNamed(entries, "Firefox");
    EXPECT_EQ(itemNames(firefox), (QStringList{"Cookies", "Browser Caches", "Login Data", "LastSession",
                                               "User preferences", "Local Storage", "Crash Reports"}));
    const QString f = home(kProfiles + QStringLiteral("/abc.default/"));
    EXPECT_EQ(itemNamed(firefox, "Cookies").AllList,
              (QStringList{f + "cookies.sqlite", f + "webappsstore.sqlite", f + "chromeappsstore.sqlite"}));
    EXPECT_EQ(itemNamed(firefox, "Browser Caches").AllList,
              (QStringList{home("/Library/Caches/Mozilla/updates/Applications/Firefox"), home("/Library/Caches/Firefox")}));
    EXPECT_EQ(itemNamed(firefox, "Local Storage").AllList.size(), 9);
    EXPECT_EQ(itemNamed(entryNamed(entries, "Adult History"), "Firefox Adult History").Path, f + "places.sqlite");
}

TEST_F(CleaningCatalogueTest, FirefoxWithoutADefaultProfileHasAnEmptyEntry)
{
    mac.app(QStringLiteral("/Applications/Firefox.app"));
    mac.dir(QStringLiteral("~") + kProfiles + QStringLiteral("/abc.release"));
    const auto entries = build();
    const CleaningEntry &firefox = entryNamed(entries, "Firefox");
    EXPECT_TRUE(firefox.List.isEmpty());
    EXPECT_EQ(firefox.Size, QStringLiteral("0 byte"));
    EXPECT_FALSE(firefox.isEnabled);
    EXPECT_TRUE(entryNamed(entries, "Adult History").List.isEmpty());
}

TEST_F(CleaningCatalogueTest, FirefoxProfilesHoldingOnlyDsStoreGiveNoEntry)
{
    mac.app(QStringLiteral("/Applications/Firefox.app"));
    mac.file(QStringLiteral("~") + kProfiles + QStringLiteral("/.DS_Store"));
    auto entries = build();
    EXPECT_EQ(names(entries), (QStringList{"Adult History", "Browser Extensions", "System"}));

    QDir(home(kProfiles)).removeRecursively();
    entries = build();
    EXPECT_FALSE(names(entries).contains(QStringLiteral("Firefox")));
}

TEST_F(CleaningCatalogueTest, SystemListsContainersQuarantineLogsInAnyCaseAndTheTrash)
{
    const QString containers = QStringLiteral("~/Library/Containers/");
    mac.file(containers + QStringLiteral("com.a/Data/Library/Caches/blob"));
    mac.file(containers + QStringLiteral("com.a/Data/Library/Caches/.hidden"));
    mac.file(containers + QStringLiteral("com.a/Data/Library/Logs/a.log"));
    mac.dir(containers + QStringLiteral("com.b/Data/Library"));
    mac.file(containers + QStringLiteral(".DS_Store"));
    mac.file(QStringLiteral("~/Library/Preferences/com.apple.LaunchServices.QuarantineEventsV2"));
    mac.file(QStringLiteral("~/Library/Preferences/COM.APPLE.launchservices.quarantineeventsv2-journal"));
    mac.file(QStringLiteral("~/Library/Preferences/com.apple.Safari.plist"));
    mac.file(QStringLiteral("~/.Trash/old.txt"));
    mac.dir(QStringLiteral("~/.Trash/Old Folder"));

    const auto entries = build();
    const CleaningEntry &system = entryNamed(entries, "System");
    const QString caches = home("/Library/Containers/com.a/Data/Library/Caches/");
    EXPECT_EQ(itemNamed(system, "System Cache Files").AllList, QStringList{home("/Library/Caches")});
    EXPECT_EQ(itemNamed(system, "Applications Cache Files").AllList, (QStringList{caches + ".hidden", caches + "blob"}));
    EXPECT_EQ(itemNamed(system, "Applications Log Files").AllList,
              QStringList{home("/Library/Containers/com.a/Data/Library/Logs/a.log")});
    EXPECT_EQ(itemNamed(system, "System Downloads Log").AllList,
              (QStringList{home("/Library/Preferences/COM.APPLE.launchservices.quarantineeventsv2-journal"),
                           home("/Library/Preferences/com.apple.LaunchServices.QuarantineEventsV2")}));
    EXPECT_EQ(itemNamed(system, "Trash Files").AllList,
              (QStringList{home("/.Trash/Old Folder"), home("/.Trash/old.txt")}));
    EXPECT_EQ(itemNamed(system, "System Log Files").sizeText, QStringLiteral("0 byte"));
    EXPECT_FALSE(itemNamed(system, "System Log Files").isEnabled);
}

TEST_F(CleaningCatalogueTest, AContainerFolderReachedThroughALinkIsNotListed)
{
    QTemporaryDir elsewhere;
    QFile precious(elsewhere.filePath(QStringLiteral("precious")));
    ASSERT_TRUE(precious.open(QIODevice::WriteOnly));
    mac.dir(QStringLiteral("~/Library/Containers/com.a/Data/Library"));
    mac.symlink(QStringLiteral("~/Library/Containers/com.a/Data/Library/Caches"), elsewhere.path());
    const auto entries = build();
    EXPECT_TRUE(itemNamed(entryNamed(entries, "System"), "Applications Cache Files").AllList.isEmpty());
}

TEST_F(CleaningCatalogueTest, AHostileChromeLocalStateIsNotRead)
{
    const QString folder = mac.dir(QStringLiteral("~") + kChrome);
    const QString localState = folder + QStringLiteral("/Local State");

    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), localState));
    EXPECT_FALSE(BrowserProfiles::readChromeLocalState(test.volume()));

    // 2 GB that take no room on disk: refused by their size, never read.
    ASSERT_TRUE(QFile::remove(localState));
    ASSERT_TRUE(HostileFiles::makeSparse(localState, 2LL * 1024 * 1024 * 1024));
    const long before = HostileFiles::maxResidentKiB();
    EXPECT_FALSE(BrowserProfiles::readChromeLocalState(test.volume()));
    EXPECT_LT(HostileFiles::maxResidentKiB() - before, 64 * 1024) << "the refused file was read into memory";

    // A FIFO: refused at once, not waited on.
    ASSERT_TRUE(QFile::remove(localState));
    ASSERT_TRUE(HostileFiles::makeFifo(localState));
    EXPECT_FALSE(
        HostileFiles::readGuarded(localState, [&] { return BrowserProfiles::readChromeLocalState(test.volume()); }));
}

TEST_F(CleaningCatalogueTest, TrashEntriesNamedWithBytesThatAreNotUtf8KeepTheirBytes)
{
    const QByteArray raw = HostileFiles::fileWithRawName(mac.dir(QStringLiteral("~/.Trash")), "bad\xff.txt");
    ASSERT_FALSE(raw.isEmpty());
    const auto entries = build();
    const QStringList trash = itemNamed(entryNamed(entries, "System"), "Trash Files").AllList;
    ASSERT_EQ(trash.size(), 1);
    EXPECT_EQ(FileName::encode(trash.first()), raw);
    ::unlink(raw.constData());
}
