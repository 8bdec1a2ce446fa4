#include "scan/AdwareScan.h"

#include "support/MacVolumeBuilder.h"
#include "support/VolumePlace.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>

namespace {

class AdwareScanTest : public ::testing::TestWithParam<VolumePlace>
{
protected:
    QTemporaryDir m_tmp;
    Volume m_volume{placedVolumeRoot(m_tmp.path(), GetParam()), QStringLiteral("bob")};
    MacVolumeBuilder m_mac{m_volume};

    QStringList paths(const QList<QUrl> &urls) const
    {
        QStringList result;
        for (const QUrl &url : urls)
            result.append(m_volume.volumePath(url.toLocalFile()));
        return result;
    }
    static QStringList names(const QList<ExtensionRecord> &records)
    {
        QStringList result;
        for (const ExtensionRecord &record : records)
            result.append(record.nameExt);
        return result;
    }
    QString chromeExtensions(const QString &profile) const
    {
        return QStringLiteral("~/Library/Application Support/Google/Chrome/") + profile + QStringLiteral("/Extensions/");
    }
    QString firefoxProfiles() const { return QStringLiteral("~/Library/Application Support/Firefox/Profiles/"); }
};

QJsonObject message(const QString &key, const QString &text)
{
    return QJsonObject{{key, QJsonObject{{QStringLiteral("message"), text}}}};
}

qint64 blocksOf(const QString &path)
{
    struct stat st{};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0);
    return static_cast<qint64>(st.st_blocks) * 512;
}

} // namespace

TEST_P(AdwareScanTest, UrlListHoldsDirectEntriesWithHiddenOnesAndNothingForAMissingFolderOrALink)
{
    m_mac.file(QStringLiteral("/Library/LaunchAgents/b.plist"));
    m_mac.file(QStringLiteral("/Library/LaunchAgents/.hidden.plist"));
    m_mac.file(QStringLiteral("/Library/LaunchAgents/a.plist"));
    m_mac.file(QStringLiteral("/Library/LaunchAgents/sub/deep.plist"));
    m_mac.symlink(QStringLiteral("/Linked"), m_volume.host(QStringLiteral("/Library/LaunchAgents")));

    EXPECT_EQ(paths(AdwareScan::getUrlListAt(m_volume.host(QStringLiteral("/Library/LaunchAgents")))),
              (QStringList{QStringLiteral("/Library/LaunchAgents/.hidden.plist"), QStringLiteral("/Library/LaunchAgents/a.plist"),
                           QStringLiteral("/Library/LaunchAgents/b.plist"), QStringLiteral("/Library/LaunchAgents/sub")}));
    EXPECT_TRUE(AdwareScan::getUrlListAt(m_volume.host(QStringLiteral("/Nowhere"))).isEmpty());
    EXPECT_TRUE(AdwareScan::getUrlListAt(m_volume.host(QStringLiteral("/Library/LaunchAgents/a.plist"))).isEmpty());
    EXPECT_TRUE(AdwareScan::getUrlListAt(m_volume.host(QStringLiteral("/Linked"))).isEmpty());
    EXPECT_TRUE(AdwareScan::getUrlListAt(QString()).isEmpty());
}

TEST_P(AdwareScanTest, ApplicationsAreFoundThroughOrdinaryFoldersButNeverInsidePackagesOrHiddenPlaces)
{
    m_mac.app(QStringLiteral("/Applications/Alpha.app"));
    m_mac.app(QStringLiteral("/Applications/Alpha.app/Contents/Helpers/Inner.app"));
    m_mac.app(QStringLiteral("/Applications/Utilities/Beta.app"));
    m_mac.app(QStringLiteral("/Applications/Utilities/Deeper/Gamma.app"));
    m_mac.app(QStringLiteral("/Applications/Zulu.app"));
    m_mac.file(QStringLiteral("/Applications/Plain.app"));
    m_mac.app(QStringLiteral("/Applications/Tools.bundle/Hidden.app"));
    m_mac.app(QStringLiteral("/Applications/Upper.APP"));
    m_mac.app(QStringLiteral("/Applications/.Secret/Delta.app"));
    m_mac.app(QStringLiteral("/Applications/.Dotted.app"));
    m_mac.symlink(QStringLiteral("/Applications/Linked.app"), m_volume.host(QStringLiteral("/Applications/Alpha.app")));
    m_mac.symlink(QStringLiteral("/Applications/Loop/again"), m_volume.host(QStringLiteral("/Applications")));
    m_mac.app(QStringLiteral("~/Desktop/Downloaded.app"));
    m_mac.app(QStringLiteral("~/Library/Caches/Cached.app"));
    m_mac.app(QStringLiteral("~/Documents/Library/Kept.app"));

    EXPECT_EQ(paths(AdwareScan::getAppList(m_volume)),
              (QStringList{QStringLiteral("/Applications/Alpha.app"), QStringLiteral("/Applications/Utilities/Beta.app"),
                           QStringLiteral("/Applications/Utilities/Deeper/Gamma.app"), QStringLiteral("/Applications/Zulu.app"),
                           QStringLiteral("/Users/bob/Desktop/Downloaded.app"),
                           QStringLiteral("/Users/bob/Documents/Library/Kept.app")}));
}

TEST_P(AdwareScanTest, OddNamesAndUnlistableEntriesDoNotStopTheApplicationSearch)
{
    const QString applications = m_mac.dir(QStringLiteral("/Applications"));
    ASSERT_EQ(::mkdir(QByteArray(QFile::encodeName(applications) + "/Odd\xff.app").constData(), 0755), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(applications + QStringLiteral("/Pipe.app")).constData(), 0644), 0);
    m_mac.app(QStringLiteral("/Applications/Sound.app"));

    const QStringList found = paths(AdwareScan::getApplicationList(applications));
    ASSERT_EQ(found.size(), 2);
    EXPECT_TRUE(found.first().startsWith(QStringLiteral("/Applications/Odd")));
    EXPECT_EQ(found.last(), QStringLiteral("/Applications/Sound.app"));
}

TEST_P(AdwareScanTest, FolderInventoriesListTheSystemFolderBeforeTheUsersOne)
{
    m_mac.file(QStringLiteral("/Library/Application Support/SysSupport/x"));
    m_mac.file(QStringLiteral("~/Library/Application Support/UserSupport/x"));
    m_mac.file(QStringLiteral("/Library/LaunchAgents/sys.agent.plist"));
    m_mac.file(QStringLiteral("~/Library/LaunchAgents/user.agent.plist"));
    m_mac.file(QStringLiteral("/Library/LaunchDaemons/sys.daemon.plist"));
    m_mac.file(QStringLiteral("~/Library/LaunchDaemons/user.daemon.plist"));
    m_mac.file(QStringLiteral("~/Library/Safari/Extensions/Extensions.plist"));
    m_mac.file(QStringLiteral("~/Library/Safari/Extensions/Thing.safariextz"));
    m_mac.file(QStringLiteral("/Library/Safari/Extensions/System.safariextz"));

    EXPECT_EQ(paths(AdwareScan::getApplicationSupportList(m_volume)),
              (QStringList{QStringLiteral("/Library/Application Support/SysSupport"),
                           QStringLiteral("/Users/bob/Library/Application Support/UserSupport")}));
    EXPECT_EQ(paths(AdwareScan::getLaunchAgentsList(m_volume)),
              (QStringList{QStringLiteral("/Library/LaunchAgents/sys.agent.plist"),
                           QStringLiteral("/Users/bob/Library/LaunchAgents/user.agent.plist")}));
    EXPECT_EQ(paths(AdwareScan::getLaunchDaemonsList(m_volume)),
              (QStringList{QStringLiteral("/Library/LaunchDaemons/sys.daemon.plist"),
                           QStringLiteral("/Users/bob/Library/LaunchDaemons/user.daemon.plist")}));
    EXPECT_EQ(paths(AdwareScan::getSafariExtantionList(m_volume)),
              (QStringList{QStringLiteral("/Users/bob/Library/Safari/Extensions/Extensions.plist"),
                           QStringLiteral("/Users/bob/Library/Safari/Extensions/Thing.safariextz")}));
}

TEST_P(AdwareScanTest, ChromeRecordsCarryProfileNameVersionAndAllocatedSize)
{
    m_mac.chromeLocalState({{QStringLiteral("Default"), QStringLiteral("Person 1")},
                            {QStringLiteral("Profile 2"), QStringLiteral("Work")},
                            {QStringLiteral("Profile 3"), QStringLiteral("No Extensions")}});
    const QString plain = m_mac.chromeExtension(QStringLiteral("Default"), QStringLiteral("aaaa"), QStringLiteral("Search Protect"),
                                                QStringLiteral("2.1"));
    m_mac.chromeExtension(QStringLiteral("Default"), QStringLiteral("aaaa"), QStringLiteral("Search Protect"),
                          QStringLiteral("2.2"));
    m_mac.file(chromeExtensions(QStringLiteral("Default")) + QStringLiteral("aaaa/2.2/payload.js"), QByteArray(20000, 'j'));
    m_mac.dir(chromeExtensions(QStringLiteral("Default")) + QStringLiteral("aaaa/empty-version"));
    m_mac.chromeExtension(QStringLiteral("Profile 2"), QStringLiteral("bbbb"), QStringLiteral("Helper"), QStringLiteral("0.9"));
    m_mac.dir(QStringLiteral("~/Library/Application Support/Google/Chrome/Profile 3"));

    const QList<ExtensionRecord> records = AdwareScan::getChromeExtantionList(m_volume);
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records[0].urlExt, QUrl::fromLocalFile(plain));
    EXPECT_EQ(records[0].nameExt, QStringLiteral("Search Protect"));
    EXPECT_EQ(records[0].verExt, QStringLiteral("2.1"));
    EXPECT_EQ(records[0].PersonExt, QStringLiteral("Person 1"));
    EXPECT_EQ(records[1].verExt, QStringLiteral("2.2"));
    EXPECT_EQ(records[1].urlExt, records[0].urlExt);
    EXPECT_EQ(records[1].sizeExt, records[0].sizeExt);
    EXPECT_GE(records[0].sizeExt, 20000);
    EXPECT_EQ(records[2].nameExt, QStringLiteral("Helper"));
    EXPECT_EQ(records[2].PersonExt, QStringLiteral("Work"));
}

TEST_P(AdwareScanTest, ChromeLocalisedNamesFollowTheLocaleAndKeyRules)
{
    m_mac.chromeLocalState({{QStringLiteral("Default"), QStringLiteral("Person 1")}});
    const QString profile = QStringLiteral("Default");
    m_mac.chromeExtension(profile, QStringLiteral("a1"), QStringLiteral("__MSG_appName__"), QStringLiteral("1"),
                          message(QStringLiteral("appName"), QStringLiteral("Camel Name")));
    m_mac.chromeExtension(profile, QStringLiteral("a2"), QStringLiteral("__MSG_APP_NAME__"), QStringLiteral("1"),
                          message(QStringLiteral("app_name"), QStringLiteral("Lowered Name")));
    m_mac.chromeExtension(profile, QStringLiteral("a3"), QStringLiteral("__MSG_APP_NAME__"), QStringLiteral("1"),
                          message(QStringLiteral("APP_NAME"), QStringLiteral("Never Found")));
    m_mac.chromeExtension(profile, QStringLiteral("a4"), QStringLiteral("__MSG_appName__"), QStringLiteral("1"),
                          message(QStringLiteral("appName"), QStringLiteral("British")), QStringLiteral("en_GB"));
    m_mac.file(chromeExtensions(profile) + QStringLiteral("a4/1/_locales/fr/messages.json"),
               QJsonDocument(message(QStringLiteral("appName"), QStringLiteral("Francais"))).toJson());
    m_mac.chromeExtension(profile, QStringLiteral("a5"), QStringLiteral("__MSG_appName__"), QStringLiteral("1"),
                          message(QStringLiteral("appName"), QStringLiteral("German")), QStringLiteral("de"));
    m_mac.file(chromeExtensions(profile) + QStringLiteral("a5/1/_locales/zz/messages.json"),
               QJsonDocument(message(QStringLiteral("appName"), QStringLiteral("Last"))).toJson());
    m_mac.chromeExtension(profile, QStringLiteral("a6"), QStringLiteral("__MSG_noLocales__"));
    m_mac.chromeExtension(profile, QStringLiteral("a7"), QStringLiteral("__MSG_appName__"), QStringLiteral("1"),
                          message(QStringLiteral("appName"), QStringLiteral("x")));
    m_mac.file(chromeExtensions(profile) + QStringLiteral("a7/1/_locales/en/messages.json"), "{ not json");
    m_mac.dir(chromeExtensions(profile) + QStringLiteral("a8/1/_locales"));
    m_mac.file(chromeExtensions(profile) + QStringLiteral("a8/1/manifest.json"), R"({"name":"__MSG_empty__","version":"1"})");

    EXPECT_EQ(names(AdwareScan::getChromeExtantionList(m_volume)),
              (QStringList{QStringLiteral("Camel Name"), QStringLiteral("Lowered Name"), QStringLiteral("__MSG_APP_NAME__"),
                           QStringLiteral("British"), QStringLiteral("German"), QStringLiteral("__MSG_appName__"),
                           QStringLiteral("__MSG_empty__")}));
}

TEST_P(AdwareScanTest, MalformedChromeFilesAreSkippedWithoutLosingTheRest)
{
    m_mac.chromeLocalState({{QStringLiteral("Default"), QStringLiteral("Person 1")}});
    const QString profile = QStringLiteral("Default");
    m_mac.chromeExtension(profile, QStringLiteral("good"), QStringLiteral("Good One"));
    m_mac.file(chromeExtensions(profile) + QStringLiteral("broken/1/manifest.json"), "{\"name\": ");
    m_mac.file(chromeExtensions(profile) + QStringLiteral("array/1/manifest.json"), "[1, 2]");
    m_mac.file(chromeExtensions(profile) + QStringLiteral("nameless/1/manifest.json"), R"({"version": "3"})");
    m_mac.file(chromeExtensions(profile) + QStringLiteral("nomanifest/1/background.js"));
    const QString fifoFolder = m_mac.dir(chromeExtensions(profile) + QStringLiteral("pipe/1"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifoFolder + QStringLiteral("/manifest.json")).constData(), 0644), 0);

    EXPECT_EQ(names(AdwareScan::getChromeExtantionList(m_volume)), QStringList{QStringLiteral("Good One")});

    const QString localState = QStringLiteral("~/Library/Application Support/Google/Chrome/Local State");
    for (const QByteArray &bad : {QByteArray("not json at all"), QByteArray("[]"), QByteArray(R"({"profile": 3})"),
                                  QByteArray(R"({"profile": {"info_cache": []}})")}) {
        m_mac.file(localState, bad);
        EXPECT_TRUE(AdwareScan::getChromeExtantionList(m_volume).isEmpty()) << bad.constData();
    }
    QFile::remove(m_mac.host(localState));
    EXPECT_TRUE(AdwareScan::getChromeExtantionList(m_volume).isEmpty());
}

TEST_P(AdwareScanTest, ChromeProfileNamesCannotLeadOutsideChromesFolder)
{
    m_mac.file(QStringLiteral("~/Library/Application Support/Google/Chrome/Local State"),
               R"({"profile": {"info_cache": {"../../../../../Escape": {"name": "Out"}, "Default": {"name": "In"}}}})");
    m_mac.chromeExtension(QStringLiteral("Default"), QStringLiteral("inside"), QStringLiteral("Inside"));
    m_mac.file(QStringLiteral("/Escape/Extensions/outside/1/manifest.json"), R"({"name":"Outside","version":"1"})");

    EXPECT_EQ(names(AdwareScan::getChromeExtantionList(m_volume)), QStringList{QStringLiteral("Inside")});
}

TEST_P(AdwareScanTest, FirefoxAddonsAreKeptOnlyInsideTheirProfileOrAKnownExtensionsFolder)
{
    const QString profiles = QStringLiteral("/Users/bob/Library/Application Support/Firefox/Profiles/");
    const QString addonFolder = profiles + QStringLiteral("p1.default/extensions/folder@example.org");
    const QString packed = profiles + QStringLiteral("p1.default/extensions/packed.xpi");
    const QString shared = QStringLiteral("/Users/bob/Library/Application Support/Mozilla/Extensions/{ec8030f7}/d.xpi");
    const QString system = QStringLiteral("/Applications/Firefox.app/Contents/Resources/browser/features/f@mozilla.org.xpi");
    m_mac.file(addonFolder + QStringLiteral("/install.rdf"), QByteArray(9000, 'r'));
    m_mac.file(packed, QByteArray(9000, 'p'));
    m_mac.file(QStringLiteral("/Users/bob/Documents/thesis.txt"));
    m_mac.firefoxProfile(QStringLiteral("p1.default"),
                         {{QStringLiteral("Folder Addon"), addonFolder},
                          {QStringLiteral("Default"), profiles + QStringLiteral("p1.default/extensions/theme")},
                          {QStringLiteral("Packed"), packed},
                          {QStringLiteral("Home"), QStringLiteral("/Users/bob")},
                          {QStringLiteral("Users"), QStringLiteral("/Applications/../Users")},
                          {QStringLiteral("Own Profile"), profiles + QStringLiteral("p1.default")},
                          {QStringLiteral("System Addon"), system}});
    m_mac.symlink(firefoxProfiles() + QStringLiteral("p2/extensions/home"), QStringLiteral("/Users/bob"));
    m_mac.file(firefoxProfiles() + QStringLiteral("p2/extensions.json"),
               QStringLiteral(R"({"addons": [
                    {"descriptor": "%1", "path": "/Users/bob/path.xpi", "version": "7",
                     "defaultLocale": {"name": "Described"}},
                    {"path": "%2p2/extensions/../../../../../../../etc/passwd", "defaultLocale": {"name": "Climber"}},
                    {"path": "%2p2/extensions/home/Documents", "defaultLocale": {"name": "Linked"}},
                    {"path": "%3", "defaultLocale": {"name": "Other Profile"}},
                    {"path": "relative/thing.xpi", "defaultLocale": {"name": "Relative"}},
                    {"path": "/Users/bob/nameless.xpi"},
                    {"defaultLocale": {"name": "Pathless"}},
                    "not an object"]})")
                   .arg(shared, profiles, packed)
                   .toUtf8());
    m_mac.file(firefoxProfiles() + QStringLiteral("p3/extensions.json"), "{ broken");
    m_mac.firefoxProfile(QStringLiteral("p4"), {{QStringLiteral("After Broken"), profiles + QStringLiteral("p4/a.xpi")}});

    const QList<ExtensionRecord> records = AdwareScan::getFirefoxExtantionList(m_volume);
    ASSERT_EQ(names(records), (QStringList{QStringLiteral("Folder Addon"), QStringLiteral("Packed"),
                                           QStringLiteral("System Addon"), QStringLiteral("Described"),
                                           QStringLiteral("After Broken")}));
    EXPECT_EQ(records[0].urlExt, QUrl::fromLocalFile(m_volume.host(addonFolder)));
    EXPECT_EQ(records[0].sizeExt, blocksOf(m_volume.host(addonFolder + QStringLiteral("/install.rdf"))));
    EXPECT_EQ(records[0].PersonExt, QStringLiteral("Default"));
    EXPECT_EQ(records[0].verExt, QStringLiteral("1.0"));
    EXPECT_EQ(records[1].sizeExt, 0);
    EXPECT_EQ(records[3].urlExt, QUrl::fromLocalFile(m_volume.host(shared)));
    EXPECT_EQ(records[3].verExt, QStringLiteral("7"));
}

TEST_P(AdwareScanTest, NoFirefoxProfilesGiveAnEmptyList)
{
    EXPECT_TRUE(AdwareScan::getFirefoxExtantionList(m_volume).isEmpty());
    m_mac.dir(firefoxProfiles() + QStringLiteral("empty.default"));
    EXPECT_TRUE(AdwareScan::getFirefoxExtantionList(m_volume).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(VolumePlaces, AdwareScanTest, everyVolumePlace(), volumePlaceName);
