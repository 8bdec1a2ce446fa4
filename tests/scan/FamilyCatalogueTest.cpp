#include "scan/FamilyCatalogue.h"
#include "scan/FamilyDetectors.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

using Kind = FamilyCatalogue::Step::Kind;

const FamilyCatalogue &catalogue()
{
    return FamilyCatalogue::builtIn();
}

QList<FamilyCatalogue::Step> stepsOf(const QString &method, const QString &type)
{
    const FamilyCatalogue::Detector *detector = catalogue().detector(method);
    if (!detector)
        return {};
    for (const FamilyCatalogue::Family &family : detector->families) {
        if (family.type == type)
            return family.steps;
    }
    return {};
}

QList<Kind> kindsOf(const QList<FamilyCatalogue::Step> &steps)
{
    QList<Kind> kinds;
    for (const FamilyCatalogue::Step &step : steps)
        kinds.append(step.kind);
    return kinds;
}

QStringList namesOf(const QList<FamilyCatalogue::Step> &steps, Kind kind)
{
    QStringList names;
    for (const FamilyCatalogue::Step &step : steps) {
        if (step.kind == kind)
            names += step.names;
    }
    return names;
}

} // namespace

TEST(FamilyCatalogue, ShippedDataLoadsCleanlyWithOneEntryPerDetectorInRunOrder)
{
    EXPECT_TRUE(catalogue().isValid()) << catalogue().errors().join(QLatin1Char('\n')).toStdString();
    QStringList methods;
    for (const FamilyCatalogue::Detector &detector : catalogue().detectors())
        methods.append(detector.method);
    EXPECT_EQ(methods, FamilyDetectors::detectorOrder());
    EXPECT_EQ(methods.size(), 26);
    EXPECT_EQ(methods.first(), QStringLiteral("checkForFkCodec"));
    EXPECT_EQ(methods.last(), QStringLiteral("checkForOthers"));
}

TEST(FamilyCatalogue, TypeTextsAreTheFamiliesOwn)
{
    QStringList types;
    for (const FamilyCatalogue::Detector &detector : catalogue().detectors()) {
        for (const FamilyCatalogue::Family &family : detector.families)
            types.append(family.type);
    }
    EXPECT_EQ(types,
              (QStringList{"FkCodec", "Yontoo", "Fake Adobe Flash Players", "ChatZum", "Conduit", "Spigot", "InstallCore",
                           "GoPhoto.It", "Genieo", "Savekeep", "Vidx", "Awesome Screenshot", "Bundlore", "Ask Toolbar",
                           "Infected Extantion", "Premier Opinion", "OperatorMac", "VSearch", "MacKeeper", "MacDefender",
                           "MacSecurity", "MacProtector", "Gwenrose", "Montageobox", "Epolife", "Feelbegin", "Jakecares",
                           "Leperdvil", "Eliaho", "InKeepr", "Leperdvil", "Javeview", "Nariabox", "Other"}));
}

TEST(FamilyCatalogue, StatusPausesAddUpToNinePointThreeSecondsPlusChatZumsFixedPause)
{
    double statusSeconds = 0;
    int statusSteps = 0;
    QList<double> pauses;
    for (const FamilyCatalogue::Detector &detector : catalogue().detectors()) {
        for (const FamilyCatalogue::Family &family : detector.families) {
            for (const FamilyCatalogue::Step &step : family.steps) {
                if (step.kind == Kind::Status) {
                    statusSeconds += step.seconds;
                    ++statusSteps;
                } else if (step.kind == Kind::Pause) {
                    pauses.append(step.seconds);
                }
            }
        }
    }
    EXPECT_NEAR(statusSeconds, 9.3, 1e-9);
    EXPECT_EQ(statusSteps, 49);
    EXPECT_EQ(pauses, QList<double>{0.5});
    const QList<FamilyCatalogue::Step> chatZum = stepsOf(QStringLiteral("checkChatZum"), QStringLiteral("ChatZum"));
    ASSERT_GE(chatZum.size(), 2);
    EXPECT_EQ(chatZum[0].text, QStringLiteral("ChatZum"));
    EXPECT_EQ(chatZum[1].kind, Kind::Pause);
    const QList<FamilyCatalogue::Step> flash =
        stepsOf(QStringLiteral("checkFakeAdobeFlashPlayers"), QStringLiteral("Fake Adobe Flash Players"));
    ASSERT_FALSE(flash.isEmpty());
    EXPECT_EQ(flash[0].text, QStringLiteral("Fake Adobe Flash players"));
}

TEST(FamilyCatalogue, SpecialCollectionOrdersAreKept)
{
    EXPECT_EQ(kindsOf(stepsOf(QStringLiteral("checkConduit"), QStringLiteral("Conduit"))),
              (QList<Kind>{Kind::Status, Kind::Extensions, Kind::Applications, Kind::LaunchAgents, Kind::LaunchDaemons,
                           Kind::ApplicationSupport, Kind::Paths, Kind::FirefoxProfiles, Kind::Report}));
    const QList<FamilyCatalogue::Step> vsearch = stepsOf(QStringLiteral("checkVSearch"), QStringLiteral("VSearch"));
    ASSERT_GE(vsearch.size(), 3);
    EXPECT_EQ(vsearch[vsearch.size() - 3].kind, Kind::DirectPaths);
    EXPECT_EQ(vsearch[vsearch.size() - 2].kind, Kind::Paths);
    EXPECT_EQ(kindsOf(stepsOf(QStringLiteral("checkForOthers"), QStringLiteral("InKeepr"))),
              (QList<Kind>{Kind::Applications, Kind::ApplicationSupport, Kind::Paths, Kind::Report, Kind::Extensions}));
    const QList<Kind> genieo = kindsOf(stepsOf(QStringLiteral("checkGenieo"), QStringLiteral("Genieo")));
    EXPECT_EQ(genieo.mid(genieo.size() - 5), (QList<Kind>{Kind::LaunchAgentTriplets, Kind::Extensions, Kind::TripletStemExtensions,
                                                          Kind::FirefoxProfiles, Kind::UniqueReport}));
    EXPECT_EQ(namesOf(stepsOf(QStringLiteral("checkMacKeeper"), QStringLiteral("MacKeeper")), Kind::Applications),
              (QStringList{"MacKeeper.app", "MacKeeper.app"}));
    EXPECT_EQ(namesOf(stepsOf(QStringLiteral("checkBundlore"), QStringLiteral("Bundlore")), Kind::LaunchAgents).size(), 24);
    EXPECT_EQ(namesOf(stepsOf(QStringLiteral("checkVidx"), QStringLiteral("Vidx")), Kind::Extensions).size(), 20);
    EXPECT_EQ(namesOf(stepsOf(QStringLiteral("checkInfectedExtantion"), QStringLiteral("Infected Extantion")), Kind::Extensions).size(),
              21);
}

TEST(FamilyCatalogue, FullSystemSignatureListHasItsEntriesInOrderWithTheLoginFilledIn)
{
    const QStringList list = catalogue().fullSyatemScanPath(QStringLiteral("alice"));
    ASSERT_EQ(list.size(), 292);
    EXPECT_EQ(list[0], QStringLiteral("Codec-M.app"));
    EXPECT_EQ(list[3], QStringLiteral("/Users/alice/Library/App Store/storeuserd"));
    EXPECT_EQ(list[16], QStringLiteral("/Users/alice/Library/Application Support/Firefox/Profiles/profiled"));
    EXPECT_EQ(list[17], QStringLiteral("Yontoo"));
    EXPECT_EQ(list[31], QStringLiteral("Conduit"));
    EXPECT_EQ(list[67], QStringLiteral("Genieo"));
    EXPECT_EQ(list[100], QStringLiteral("Omnibar"));
    EXPECT_EQ(list[114], QStringLiteral("Vidd"));
    EXPECT_EQ(list[148], QStringLiteral("Library/WebTools/"));
    EXPECT_EQ(list[155], QStringLiteral("jack.plist"));
    EXPECT_EQ(list[196], QStringLiteral("/Users/alice/Documents/MacKeeper Backups"));
    EXPECT_EQ(list[202], QStringLiteral("/private/var/folders/mh/yprf0vxs3mx_n2lg3tjgqddm0000gn/T/MacKeep"));
    EXPECT_EQ(list[246], QStringLiteral("MARKER/_Oct2015_/AMC"));
    EXPECT_EQ(list[291], QStringLiteral("/Library/LaunchAgents/com.reviversoft.macreviver.antithefthelper.plist"));
    EXPECT_EQ(list.filter(QStringLiteral("/Users/alice")).size(), 15);
    EXPECT_TRUE(list.filter(QStringLiteral("%@")).isEmpty());
}

TEST(FamilyCatalogue, OtherGroupOfTheSignatureListMatchesTheOtherFamilysPaths)
{
    const QStringList other = namesOf(stepsOf(QStringLiteral("checkForOthers"), QStringLiteral("Other")), Kind::Paths);
    ASSERT_EQ(other.size(), 46);
    EXPECT_EQ(catalogue().fullSyatemScanPath(QStringLiteral("bob")).mid(246), other);

    static const QRegularExpression addon(
        QStringLiteral("^/Library/Application Support/Firefox/Profiles/extensions/(\\w+)@([a-z.-]+)\\.xpi$"));
    QStringList ids;
    QSet<QString> domains;
    for (const QString &path : other) {
        const QRegularExpressionMatch match = addon.match(path);
        if (match.hasMatch()) {
            ids.append(match.captured(1));
            domains.insert(match.captured(2));
        }
    }
    EXPECT_EQ(ids, (QStringList{"saamazon", "saebay", "savingsslider", "searchme"}));
    EXPECT_EQ(domains.size(), 1);
}

TEST(FamilyCatalogue, FaultyDataIsReportedAndLeftOut)
{
    const QByteArray families = R"({"detectors": [
        {"method": "checkA", "families": [{"type": "A", "steps": [
            {"applications": ["a.app"]}, {"teleport": true}, {"status": ["x", 0.1], "pause": 1},
            {"status": ["only text"]}, {"report": "sometimes"}, {"report": "asCollected"}]}]},
        {"method": "checkA", "families": [{"type": "Again", "steps": []}]},
        {"method": "checkB", "families": [{"steps": []}]}]})";
    const FamilyCatalogue parsed = FamilyCatalogue::fromJson(families, R"({"groups": [{"group": "g", "entries": ["x", 3]},
                                                                                       {"group": "h", "entries": ["y"]}]})");
    EXPECT_FALSE(parsed.isValid());
    EXPECT_EQ(parsed.errors().size(), 8) << parsed.errors().join(QLatin1Char('\n')).toStdString();
    ASSERT_NE(parsed.detector(QStringLiteral("checkA")), nullptr);
    EXPECT_EQ(kindsOf(parsed.detector(QStringLiteral("checkA"))->families.first().steps),
              (QList<Kind>{Kind::Applications, Kind::Report}));
    EXPECT_EQ(parsed.detector(QStringLiteral("nope")), nullptr);
    EXPECT_EQ(parsed.fullSyatemScanPath(QStringLiteral("u")), QStringList{QStringLiteral("y")});

    const FamilyCatalogue broken = FamilyCatalogue::fromJson("{", "[]");
    EXPECT_EQ(broken.errors().size(), 2);
    EXPECT_TRUE(broken.detectors().isEmpty());
    EXPECT_TRUE(broken.fullSyatemScanPath(QStringLiteral("u")).isEmpty());
}
