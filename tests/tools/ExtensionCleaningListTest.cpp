#include "CleaningFixture.h"

namespace {
const QString kReset = QStringLiteral("Reset Browsers Preferences to Defaults");
} // namespace

class ExtensionCleaningListTest : public CleaningFixture
{
protected:
    CleaningEntry extensions() { return entryNamed(build(), QStringLiteral("Browser Extensions")); }
};

TEST_F(ExtensionCleaningListTest, SafariFolderWithOnlyItsPlistAndDsStoreGivesNoGroup)
{
    mac.app(QStringLiteral("/Applications/Safari.app"));
    mac.file(QStringLiteral("~/Library/Safari/Extensions/Extensions.plist"));
    mac.file(QStringLiteral("~/Library/Safari/Extensions/.DS_Store"));
    const CleaningEntry entry = extensions();
    ASSERT_EQ(itemNames(entry), QStringList{kReset});
    EXPECT_EQ(entry.List.first().AllList, QStringList{home("/Library/Safari/Configurations.plist.signed")});
}

TEST_F(ExtensionCleaningListTest, GroupsFollowTheBrowsersWithTheResetRowLast)
{
    mac.app(QStringLiteral("/Applications/Safari.app"));
    mac.app(QStringLiteral("/Applications/Google Chrome.app"));
    mac.app(QStringLiteral("/Applications/Firefox.app"));
    const QString safariExt = mac.file(QStringLiteral("~/Library/Safari/Extensions/Coupon.Finder.safariextz"));
    mac.file(QStringLiteral("~/Library/Safari/Extensions/Extensions.plist"));
    mac.chromeLocalState({{QStringLiteral("Default"), QStringLiteral("Person 1")},
                          {QStringLiteral("Profile 1"), QStringLiteral("Work")}});
    const QString chromeExt = mac.chromeExtension(QStringLiteral("Profile 1"), QStringLiteral("abcdefgh"),
                                                  QStringLiteral("Search Helper"), QStringLiteral("2.1"));
    const QString addon = QStringLiteral("/Users/tester/Library/Application Support/Firefox/Profiles/p.default/extensions/tab@x.xpi");
    const QString gone = QStringLiteral("/Users/tester/gone.xpi");
    const QString profile = mac.firefoxProfile(QStringLiteral("p.default"),
                                               {{QStringLiteral("Tab Tool"), addon}, {QStringLiteral("Gone"), gone}});
    mac.file(addon);

    const CleaningEntry entry = extensions();
    EXPECT_EQ(itemNames(entry),
              (QStringList{"Safari Extensions", "Coupon.Finder", "Google Chrome Extensions",
                           "Search Helper v2.1 (Work)", "Firefox Extensions", "Tab Tool v1.0", kReset}));
    const CleaningItem &title = entry.List.at(0);
    EXPECT_TRUE(title.AllList.isEmpty());
    EXPECT_FALSE(title.isHeader);
    EXPECT_TRUE(title.isExt);
    EXPECT_EQ(entry.List.at(1).AllList, QStringList{safariExt});
    EXPECT_TRUE(entry.List.at(1).isHeader);
    EXPECT_EQ(entry.List.at(3).AllList, QStringList{chromeExt});
    EXPECT_EQ(entry.List.at(5).AllList, QStringList{test.volume().host(addon)});
    const QString g = home(QStringLiteral("/Library/Application Support/Google/Chrome"));
    EXPECT_EQ(entry.List.last().AllList,
              (QStringList{home("/Library/Safari/Configurations.plist.signed"), g + "/Default/Preferences",
                           g + "/Profile 1/Preferences", profile + "/user.js", profile + "/xulstore.json",
                           profile + "/prefs.js"}));
    for (const CleaningItem &item : entry.List) {
        EXPECT_TRUE(item.isEnabled) << item.NameText.toStdString();
        EXPECT_TRUE(item.isExt) << item.NameText.toStdString();
        EXPECT_EQ(item.sizeText, QString()) << item.NameText.toStdString();
    }
}

TEST_F(ExtensionCleaningListTest, ChromeWithoutLocalStateCollectsNoPreferences)
{
    mac.app(QStringLiteral("/Applications/Google Chrome.app"));
    const CleaningEntry entry = extensions();
    ASSERT_EQ(itemNames(entry), QStringList{kReset});
    EXPECT_TRUE(entry.List.first().AllList.isEmpty());
}

// Firefox's own add-ons (system add-ons and language packs inside the
// signed application) and those of the shared Mozilla folders are never
// offered: removing them breaks what they belong to. Profile add-ons are.
TEST_F(ExtensionCleaningListTest, OnlyProfileAddonsOfFirefoxAreOffered)
{
    mac.app(QStringLiteral("/Applications/Firefox.app"));
    const QString resources = QStringLiteral("/Applications/Firefox.app/Contents/Resources");
    const QString system = resources + QStringLiteral("/browser/features/formautofill@mozilla.org.xpi");
    const QString language = resources + QStringLiteral("/distribution/extensions/langpack-de@firefox.mozilla.org.xpi");
    const QString shared = QStringLiteral("/Library/Application Support/Mozilla/Extensions/{ec8030f7}/helper@x.xpi");
    const QString addon = QStringLiteral("/Users/tester/Library/Application Support/Firefox/Profiles/p.default/extensions/tab@x.xpi");
    for (const QString &path : {system, language, shared, addon})
        mac.file(path);
    mac.firefoxProfile(QStringLiteral("p.default"), {{QStringLiteral("Form Autofill"), system},
                                                     {QStringLiteral("Deutsch (DE) Language Pack"), language},
                                                     {QStringLiteral("Helper"), shared},
                                                     {QStringLiteral("Tab Tool"), addon}});

    const CleaningEntry entry = extensions();
    EXPECT_EQ(itemNames(entry), (QStringList{"Firefox Extensions", "Tab Tool v1.0", kReset}));
    EXPECT_EQ(entry.List.at(1).AllList, QStringList{test.volume().host(addon)});
}
