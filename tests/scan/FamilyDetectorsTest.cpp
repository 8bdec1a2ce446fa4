#include "scan/FamilyDetectors.h"

#include "RecordingScanHost.h"
#include "scan/AdwareScan.h"
#include "support/MacVolumeBuilder.h"
#include "support/VolumePlace.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <numeric>

namespace {

// Stops the scan as soon as a finding of the given type is offered, the way
// the stop button does while a detector runs.
class StoppingScanHost : public RecordingScanHost
{
public:
    StoppingScanHost(Volume volume, QString stopType)
        : RecordingScanHost(std::move(volume))
        , m_stopType(std::move(stopType))
    {
    }
    void addIfAvail(const QUrl &url, const QString &name, const QString &type, const QString &risk, qint64 size,
                    FindingSource source) override
    {
        RecordingScanHost::addIfAvail(url, name, type, risk, size, source);
        if (type == m_stopType)
            state().isScanStop = true;
    }

private:
    QString m_stopType;
};

class FamilyDetectorsTest : public ::testing::TestWithParam<VolumePlace>
{
protected:
    QTemporaryDir m_tmp;
    Volume m_volume{placedVolumeRoot(m_tmp.path(), GetParam()), QStringLiteral("bob")};
    MacVolumeBuilder m_mac{m_volume};

    // What prepareForScan does: a fresh inventory of the volume.
    void takeInventory(RecordingScanHost &host) const
    {
        host.mutableInventory() = AdwareScan::takeInventory(m_volume);
    }

    // "type | name | volume path" of every offer, in offer order.
    QStringList offered(const RecordingScanHost &host) const
    {
        QStringList lines;
        for (const RecordingScanHost::Offer &offer : host.offers()) {
            EXPECT_EQ(offer.risk, QStringLiteral("High Risk"));
            EXPECT_EQ(offer.source, FindingSource::Detector);
            lines.append(offer.type + QStringLiteral(" | ") + offer.name + QStringLiteral(" | ")
                         + m_volume.volumePath(offer.path));
        }
        return lines;
    }

    QStringList run(void (FamilyDetectors::*detector)())
    {
        RecordingScanHost host(m_volume);
        takeInventory(host);
        FamilyDetectors detectors(host);
        (detectors.*detector)();
        return offered(host);
    }

    QStringList volumePaths(const QList<QUrl> &urls) const
    {
        QStringList paths;
        for (const QUrl &url : urls)
            paths.append(m_volume.volumePath(url.toLocalFile()));
        return paths;
    }
};

} // namespace

TEST_P(FamilyDetectorsTest, NameProbesIgnoreCaseKeepInventoryOrderAndNeverMatchAnEmptyName)
{
    m_mac.app(QStringLiteral("/Applications/Genieo.app"));
    m_mac.app(QStringLiteral("/Applications/Tools/MyGENIEO helper.app"));
    m_mac.app(QStringLiteral("/Applications/Other.app"));
    m_mac.dir(QStringLiteral("/Library/Application Support/GenieoData"));
    m_mac.file(QStringLiteral("~/Library/LaunchAgents/com.genieo.engine.plist"));
    m_mac.file(QStringLiteral("/Library/LaunchDaemons/com.genieo.engine.plist"));
    RecordingScanHost host(m_volume);
    takeInventory(host);
    FamilyDetectors detectors(host);

    EXPECT_EQ(volumePaths(detectors.checkApplication(QStringLiteral("genieo"))),
              (QStringList{QStringLiteral("/Applications/Genieo.app"), QStringLiteral("/Applications/Tools/MyGENIEO helper.app")}));
    EXPECT_EQ(volumePaths(detectors.checkApplicationSupport(QStringLiteral("GENIEO"))),
              QStringList{QStringLiteral("/Library/Application Support/GenieoData")});
    EXPECT_EQ(volumePaths(detectors.checkLaunchAgents(QStringLiteral("Engine"))),
              QStringList{QStringLiteral("/Users/bob/Library/LaunchAgents/com.genieo.engine.plist")});
    EXPECT_EQ(volumePaths(detectors.checklaunchDaemons(QStringLiteral("engine"))),
              QStringList{QStringLiteral("/Library/LaunchDaemons/com.genieo.engine.plist")});
    EXPECT_TRUE(detectors.checkApplication(QString()).isEmpty());
    EXPECT_TRUE(detectors.checkLaunchAgents(QStringLiteral("nothing like it")).isEmpty());
}

TEST_P(FamilyDetectorsTest, LiteralPathsAreTestedOnTheVolumeAndUnderTheHomeFolderButLabelsNever)
{
    m_mac.dir(QStringLiteral("/Library/Caches/com.zeobit.MacKeeper"));
    m_mac.dir(QStringLiteral("/Library/Caches/com.mackeeper.MacKeeper"));
    m_mac.dir(QStringLiteral("~/Library/Caches/com.mackeeper.MacKeeper"));
    m_mac.dir(QStringLiteral("~/Library/Caches/com.zeobit.MacKeeper.Helper"));
    m_mac.dir(QStringLiteral("/MARKER/_Oct2015_/AMC"));
    m_mac.dir(QStringLiteral("/Users/bobMARKER/_Oct2015_/AMC"));
    RecordingScanHost host(m_volume);
    FamilyDetectors detectors(host);

    EXPECT_EQ(volumePaths(detectors.checkUrlAvilble({QStringLiteral("/Library/Caches/com.zeobit.MacKeeper"),
                                                     QStringLiteral("/Library/Caches/com.zeobit.MacKeeper.Helper"),
                                                     QStringLiteral("/Library/Caches/com.mackeeper.MacKeeper"),
                                                     QStringLiteral("MARKER/_Oct2015_/AMC"),
                                                     QStringLiteral("/Library/Caches/absent")})),
              (QStringList{QStringLiteral("/Library/Caches/com.zeobit.MacKeeper"),
                           QStringLiteral("/Users/bob/Library/Caches/com.zeobit.MacKeeper.Helper"),
                           QStringLiteral("/Library/Caches/com.mackeeper.MacKeeper"),
                           QStringLiteral("/Users/bob/Library/Caches/com.mackeeper.MacKeeper")}));

    detectors.runAll();
    for (const RecordingScanHost::Offer &offer : host.offers())
        EXPECT_FALSE(offer.path.contains(QStringLiteral("MARKER"))) << offer.path.toStdString();
}

TEST_P(FamilyDetectorsTest, ExtensionsOfEveryBrowserAreOfferedWithTheirOwnNamesAndSizes)
{
    m_mac.chromeLocalState({{QStringLiteral("Default"), QStringLiteral("Default")},
                            {QStringLiteral("Profile 1"), QStringLiteral("Person 1")}});
    const QString chromeDefault =
        m_mac.chromeExtension(QStringLiteral("Default"), QStringLiteral("spdefault"), QStringLiteral("Search Protect"));
    m_mac.file(QStringLiteral("~/Library/Application Support/Google/Chrome/Default/Extensions/spdefault/1.0/big.js"),
               QByteArray(30000, 's'));
    m_mac.chromeExtension(QStringLiteral("Profile 1"), QStringLiteral("spperson"), QStringLiteral("search protect plus"));
    m_mac.file(QStringLiteral("~/Library/Safari/Extensions/Trovi Search.safariextz"));
    const QString xpi = QStringLiteral("/Users/bob/Library/Application Support/Firefox/Profiles/a.default/extensions/c@x.xpi");
    m_mac.file(xpi);
    m_mac.firefoxProfile(QStringLiteral("a.default"), {{QStringLiteral("Conduit Toolbar"), xpi}});

    RecordingScanHost host(m_volume);
    takeInventory(host);
    FamilyDetectors(host).checkInAllExtantion(QStringLiteral("SEARCH PROTECT"), QStringLiteral("Conduit"));
    const QList<RecordingScanHost::Offer> offers = host.offers();
    ASSERT_EQ(offers.size(), 2);
    EXPECT_EQ(offers[0].name, QStringLiteral("Search Protect (Default)"));
    EXPECT_EQ(offers[0].path, chromeDefault);
    EXPECT_EQ(offers[0].size, AdwareScan::allocatedSizeOfTree(chromeDefault));
    EXPECT_GE(offers[0].size, 30000);
    EXPECT_EQ(offers[1].name, QStringLiteral("search protect plus (Person 1)"));

    EXPECT_EQ(run(&FamilyDetectors::checkConduit),
              (QStringList{QStringLiteral("Conduit | Conduit Toolbar | ") + xpi,
                           QStringLiteral("Conduit | Trovi Search.safariextz | /Users/bob/Library/Safari/Extensions/Trovi Search.safariextz"),
                           QStringLiteral("Conduit | Search Protect (Default) | /Users/bob/Library/Application Support/Google/Chrome/Default/Extensions/spdefault"),
                           QStringLiteral("Conduit | search protect plus (Person 1) | /Users/bob/Library/Application Support/Google/Chrome/Profile 1/Extensions/spperson")}));
}

TEST_P(FamilyDetectorsTest, SafariFlashPlayerAndCinemaPlusNamesFollowTheirFamilies)
{
    m_mac.file(QStringLiteral("~/Library/Safari/Extensions/FlashPlayer11.safariextz"));
    m_mac.chromeLocalState({{QStringLiteral("Default"), QStringLiteral("Person 1")}});
    m_mac.chromeExtension(QStringLiteral("Default"), QStringLiteral("cinemaspace"), QStringLiteral("Cinema + Viewer"));
    m_mac.chromeExtension(QStringLiteral("Default"), QStringLiteral("cinemanospace"), QStringLiteral("Cinema+"));

    RecordingScanHost host(m_volume);
    takeInventory(host);
    FamilyDetectors(host).runAll();
    EXPECT_EQ(offered(host),
              (QStringList{QStringLiteral("Fake Adobe Flash Players | FlashPlayer11.safariextz | /Users/bob/Library/Safari/Extensions/FlashPlayer11.safariextz"),
                           QStringLiteral("Bundlore | Cinema + Viewer (Person 1) | /Users/bob/Library/Application Support/Google/Chrome/Default/Extensions/cinemaspace")}));
}

TEST_P(FamilyDetectorsTest, AFootprintTwoDetectorsFindIsFirstOfferedUnderTheEarlierFamily)
{
    m_mac.file(QStringLiteral("/Library/LaunchAgents/net.culater.SIMBL.Agent.plist"));
    m_mac.dir(QStringLiteral("/Library/ScriptingAdditions/SIMBL.osax"));
    m_mac.dir(QStringLiteral("/Library/InputManagers/CTLoader"));

    RecordingScanHost host(m_volume);
    takeInventory(host);
    FamilyDetectors(host).runAll();
    EXPECT_EQ(offered(host),
              (QStringList{QStringLiteral("ChatZum | net.culater.SIMBL.Agent.plist | /Library/LaunchAgents/net.culater.SIMBL.Agent.plist"),
                           QStringLiteral("ChatZum | SIMBL.osax | /Library/ScriptingAdditions/SIMBL.osax"),
                           QStringLiteral("Conduit | net.culater.SIMBL.Agent.plist | /Library/LaunchAgents/net.culater.SIMBL.Agent.plist"),
                           QStringLiteral("Conduit | CTLoader | /Library/InputManagers/CTLoader/"),
                           QStringLiteral("Conduit | CTLoader | /Library/InputManagers/CTLoader/"),
                           QStringLiteral("Conduit | SIMBL.osax | /Library/ScriptingAdditions/SIMBL.osax")}));
    EXPECT_EQ(host.uniquePaths().size(), 3);
}

TEST_P(FamilyDetectorsTest, GenieoTripletNeedsAllThreeAgentsAndBringsItsApplicationSupportAndExtensions)
{
    m_mac.file(QStringLiteral("~/Library/LaunchAgents/abc.download.plist"));
    m_mac.file(QStringLiteral("~/Library/LaunchAgents/abc.ltvbit.plist"));
    m_mac.file(QStringLiteral("~/Library/LaunchAgents/abc.update.plist"));
    m_mac.app(QStringLiteral("/Applications/abc.app"));
    m_mac.dir(QStringLiteral("~/Library/Application Support/abc"));
    m_mac.file(QStringLiteral("~/Library/Safari/Extensions/abc-toolbar.safariextz"));

    const QStringList withTriplet = run(&FamilyDetectors::checkGenieo);
    EXPECT_EQ(withTriplet,
              (QStringList{QStringLiteral("Genieo | abc-toolbar.safariextz | /Users/bob/Library/Safari/Extensions/abc-toolbar.safariextz"),
                           QStringLiteral("Genieo | abc.download.plist | /Users/bob/Library/LaunchAgents/abc.download.plist"),
                           QStringLiteral("Genieo | abc.ltvbit.plist | /Users/bob/Library/LaunchAgents/abc.ltvbit.plist"),
                           QStringLiteral("Genieo | abc.update.plist | /Users/bob/Library/LaunchAgents/abc.update.plist"),
                           QStringLiteral("Genieo | abc.app | /Applications/abc.app"),
                           QStringLiteral("Genieo | abc | /Users/bob/Library/Application Support/abc")}));

    QFile::remove(m_mac.host(QStringLiteral("~/Library/LaunchAgents/abc.update.plist")));
    EXPECT_TRUE(run(&FamilyDetectors::checkGenieo).isEmpty());
}

TEST_P(FamilyDetectorsTest, GenieoOffersAPathFoundTwiceOnlyOnce)
{
    for (const char *agent : {"texiday.download.plist", "texiday.ltvbit.plist", "texiday.update.plist"})
        m_mac.file(QStringLiteral("/Library/LaunchAgents/") + QLatin1String(agent));
    m_mac.dir(QStringLiteral("/Library/Application Support/texiday"));

    EXPECT_EQ(run(&FamilyDetectors::checkGenieo),
              (QStringList{QStringLiteral("Genieo | texiday.download.plist | /Library/LaunchAgents/texiday.download.plist"),
                           QStringLiteral("Genieo | texiday.update.plist | /Library/LaunchAgents/texiday.update.plist"),
                           QStringLiteral("Genieo | texiday.ltvbit.plist | /Library/LaunchAgents/texiday.ltvbit.plist"),
                           QStringLiteral("Genieo | texiday | /Library/Application Support/texiday")}));
}

TEST_P(FamilyDetectorsTest, BundloreTakesLaunchAgentsWhoseFirstDigitRunHasFourDigits)
{
    for (const char *agent : {"2015report.plist", "com.example.1234.plist", "com.example.12345.plist", "com.example.123.plist",
                              "x12y3456.plist", "nodigits.plist", "com.example.１２３４.plist"})
        m_mac.file(QStringLiteral("~/Library/LaunchAgents/") + QString::fromUtf8(agent));

    EXPECT_EQ(run(&FamilyDetectors::checkBundlore),
              (QStringList{QStringLiteral("Bundlore | 2015report.plist | /Users/bob/Library/LaunchAgents/2015report.plist"),
                           QStringLiteral("Bundlore | com.example.1234.plist | /Users/bob/Library/LaunchAgents/com.example.1234.plist")}));
}

TEST_P(FamilyDetectorsTest, FirefoxProfileProbesLookOnlyIntoDefaultProfiles)
{
    const QString profiles = QStringLiteral("~/Library/Application Support/Firefox/Profiles/");
    m_mac.file(profiles + QStringLiteral("k2.default-release/abstraction.js"));
    m_mac.file(profiles + QStringLiteral("k2.default-release/searchplugins/MyBrand.xml"));
    m_mac.file(profiles + QStringLiteral("k2.default-release/searchplugins/conduit-search.xml"));
    m_mac.file(profiles + QStringLiteral("k2.default-release/searchplugins/google.xml"));
    m_mac.file(profiles + QStringLiteral("k3.other/abstraction.js"));
    const QString base = QStringLiteral("/Users/bob/Library/Application Support/Firefox/Profiles/k2.default-release/");
    EXPECT_EQ(run(&FamilyDetectors::checkConduit),
              (QStringList{QStringLiteral("Conduit | abstraction.js | ") + base + QStringLiteral("abstraction.js"),
                           QStringLiteral("Conduit | MyBrand.xml | ") + base + QStringLiteral("searchplugins/MyBrand.xml"),
                           QStringLiteral("Conduit | conduit-search.xml | ") + base + QStringLiteral("searchplugins/conduit-search.xml")}));

    m_mac.file(profiles + QStringLiteral("k4.DEFAULT/searchplugins/mySearchPlug.xml"));
    m_mac.file(profiles + QStringLiteral("k4.DEFAULT/searchplugins/my-homepage.xml"));
    m_mac.file(profiles + QStringLiteral("k2.default-release/searchplugins/my-homepage.xml"));
    EXPECT_EQ(run(&FamilyDetectors::checkOperatorMac),
              QStringList{QStringLiteral("OperatorMac | my-homepage.xml | /Users/bob/Library/Application Support/Firefox/Profiles/k4.DEFAULT/searchplugins/my-homepage.xml")});
}

TEST_P(FamilyDetectorsTest, ProfilesRootWithoutDefaultProfilesOrWithoutEntriesYieldsNothing)
{
    EXPECT_TRUE(run(&FamilyDetectors::checkConduit).isEmpty());
    m_mac.dir(QStringLiteral("~/Library/Application Support/Firefox/Profiles"));
    EXPECT_TRUE(run(&FamilyDetectors::checkConduit).isEmpty());
    m_mac.file(QStringLiteral("~/Library/Application Support/Firefox/Profiles/x.release/abstraction.js"));
    EXPECT_TRUE(run(&FamilyDetectors::checkConduit).isEmpty());
}

TEST_P(FamilyDetectorsTest, InstallCoreTakesExtensionsEndingInSearchWithCase)
{
    m_mac.file(QStringLiteral("~/Library/Safari/Extensions/quicksearch"));
    m_mac.file(QStringLiteral("~/Library/Safari/Extensions/QuickSearch"));
    m_mac.chromeLocalState({{QStringLiteral("Default"), QStringLiteral("Person 1")}});
    m_mac.chromeExtension(QStringLiteral("Default"), QStringLiteral("lower"), QStringLiteral("Fast search"));
    m_mac.chromeExtension(QStringLiteral("Default"), QStringLiteral("upper"), QStringLiteral("Fast Search"));
    const QString xpi = QStringLiteral("/Users/bob/Library/Application Support/Firefox/Profiles/p.default/extensions/web.xpi");
    m_mac.file(xpi);
    m_mac.firefoxProfile(QStringLiteral("p.default"), {{QStringLiteral("Web search"), xpi}});

    EXPECT_EQ(run(&FamilyDetectors::checkInstallCore),
              (QStringList{QStringLiteral("InstallCore | quicksearch | /Users/bob/Library/Safari/Extensions/quicksearch"),
                           QStringLiteral("InstallCore | Fast search (Person 1) | /Users/bob/Library/Application Support/Google/Chrome/Default/Extensions/lower"),
                           QStringLiteral("InstallCore | Web search | ") + xpi}));
}

TEST_P(FamilyDetectorsTest, SpecialCollectionOrdersShowInTheOfferOrder)
{
    m_mac.dir(QStringLiteral("/Library/PrivilegedHelperTools/Jack"));
    m_mac.dir(QStringLiteral("/System/Library/Frameworks/v.framework"));
    EXPECT_EQ(run(&FamilyDetectors::checkVSearch),
              (QStringList{QStringLiteral("VSearch | v.framework | /System/Library/Frameworks/v.framework"),
                           QStringLiteral("VSearch | Jack | /Library/PrivilegedHelperTools/Jack")}));

    m_mac.app(QStringLiteral("/Applications/Eliaho.app"));
    m_mac.file(QStringLiteral("~/Library/Safari/Extensions/Eliaho.safariextz"));
    m_mac.dir(QStringLiteral("/private/tmp/inkeepr.dmg"));
    m_mac.app(QStringLiteral("/Applications/Scanned_Copy_of_parcel_MV_45_QA566.app"));
    m_mac.app(QStringLiteral("~/Downloads/Scanned_Copy_of_parcel_MV_45_QA566.app"));
    EXPECT_EQ(run(&FamilyDetectors::checkForOthers),
              (QStringList{QStringLiteral("Eliaho | Eliaho.app | /Applications/Eliaho.app"),
                           QStringLiteral("Eliaho | Eliaho.safariextz | /Users/bob/Library/Safari/Extensions/Eliaho.safariextz"),
                           QStringLiteral("InKeepr | inkeepr.dmg | /private/tmp/inkeepr.dmg"),
                           QStringLiteral("Other | Scanned_Copy_of_parcel_MV_45_QA566.app | /Users/bob/Downloads/Scanned_Copy_of_parcel_MV_45_QA566.app")}));

    m_mac.file(QStringLiteral("/Library/LaunchAgents/Feelbegin.update.plist"));
    m_mac.file(QStringLiteral("~/Library/Safari/Extensions/Feelbegin.safariextz"));
    m_mac.file(QStringLiteral("/Library/LaunchAgents/Epolife.AppRemoval.plist"));
    EXPECT_EQ(run(&FamilyDetectors::checkEpolifeAndRelated),
              (QStringList{QStringLiteral("Epolife | Epolife.AppRemoval.plist | /Library/LaunchAgents/Epolife.AppRemoval.plist"),
                           QStringLiteral("Feelbegin | Feelbegin.safariextz | /Users/bob/Library/Safari/Extensions/Feelbegin.safariextz"),
                           QStringLiteral("Feelbegin | Feelbegin.update.plist | /Library/LaunchAgents/Feelbegin.update.plist")}));
}

TEST_P(FamilyDetectorsTest, QuickScanShowsEveryStatusWithItsPauseAndOtherScansOnlyTakeTheFixedPause)
{
    RecordingScanHost quick(m_volume);
    FamilyDetectors(quick).runAll();
    const QList<RecordingScanHost::Status> statuses = quick.statuses();
    ASSERT_EQ(statuses.size(), 49);
    EXPECT_EQ(statuses.first().text, QStringLiteral("FkCodec"));
    EXPECT_EQ(statuses.last().text, QStringLiteral("Mac Protector"));
    const double total = std::accumulate(statuses.cbegin(), statuses.cend(), 0.0,
                                         [](double sum, const RecordingScanHost::Status &s) { return sum + s.seconds; });
    EXPECT_NEAR(total, 9.3, 1e-9);
    EXPECT_EQ(quick.pauses(), QList<double>{0.5});
    EXPECT_EQ(quick.state().detectorStep, 98);

    RecordingScanHost full(m_volume);
    full.state().scanType = ScanState::FullSystemScan;
    FamilyDetectors(full).runAll();
    EXPECT_TRUE(full.statuses().isEmpty());
    EXPECT_EQ(full.pauses(), QList<double>{0.5});
}

TEST_P(FamilyDetectorsTest, AStopRequestedDuringADetectorLetsItFinishAndSkipsTheRest)
{
    m_mac.file(QStringLiteral("~/Library/Safari/Extensions/Trovi.safariextz"));
    m_mac.file(QStringLiteral("/Library/LaunchAgents/com.conduit.loader.agent.plist"));
    m_mac.file(QStringLiteral("/Library/LaunchAgents/com.spigot.SearchProtection.plist"));
    StoppingScanHost host(m_volume, QStringLiteral("Conduit"));
    takeInventory(host);
    FamilyDetectors(host).runAll();

    EXPECT_EQ(offered(host),
              (QStringList{QStringLiteral("Conduit | Trovi.safariextz | /Users/bob/Library/Safari/Extensions/Trovi.safariextz"),
                           QStringLiteral("Conduit | com.conduit.loader.agent.plist | /Library/LaunchAgents/com.conduit.loader.agent.plist")}));
    EXPECT_EQ(host.statuses().last().text, QStringLiteral("Conduit"));
}

TEST_P(FamilyDetectorsTest, AnUnknownDetectorIsReportedAndSkipped)
{
    RecordingScanHost host(m_volume);
    const FamilyCatalogue empty = FamilyCatalogue::fromJson(R"({"detectors": []})", R"({"groups": []})");
    FamilyDetectors detectors(host, empty);
    EXPECT_FALSE(detectors.runDetector(QStringLiteral("checkGenieo")));
    detectors.runAll();
    EXPECT_TRUE(host.offers().isEmpty());
    EXPECT_TRUE(host.statuses().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(VolumePlaces, FamilyDetectorsTest, everyVolumePlace(), volumePlaceName);
