#include "platform/Bookmarks.h"
#include "platform/PropertyList.h"
#include "platform/ScriptedAlerts.h"
#include "platform/Volume.h"
#include "platform/Workspace.h"
#include "support/MacVolumeBuilder.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Volume, ResolvesVolumePathsInsideItsRoot)
{
    Volume system(QStringLiteral("/"), QStringLiteral("ann"));
    EXPECT_EQ(system.host(QStringLiteral("/Applications")), QStringLiteral("/Applications"));
    EXPECT_EQ(system.home(QStringLiteral("/Library")), QStringLiteral("/Users/ann/Library"));

    Volume mounted(QStringLiteral("/mnt/mac/"), QStringLiteral("bob"));
    EXPECT_EQ(mounted.root(), QStringLiteral("/mnt/mac"));
    EXPECT_EQ(mounted.host(QStringLiteral("/Library/Caches")), QStringLiteral("/mnt/mac/Library/Caches"));
    EXPECT_EQ(mounted.homeFolder(), QStringLiteral("/mnt/mac/Users/bob"));
    EXPECT_EQ(mounted.volumePath(QStringLiteral("/mnt/mac/Users/bob")), QStringLiteral("/Users/bob"));
    EXPECT_TRUE(mounted.contains(QStringLiteral("/mnt/mac/x")));
    EXPECT_FALSE(mounted.contains(QStringLiteral("/mnt/mac2/x")));
}

TEST(Volume, TurnsHostPathsIntoVolumePathsExactly)
{
    const Volume system(QStringLiteral("/"), QStringLiteral("ann"));
    EXPECT_EQ(system.volumePath(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(system.volumePath(QStringLiteral("/Applications/X.app")), QStringLiteral("/Applications/X.app"));
    EXPECT_EQ(system.belowRoot("/Applications"), QByteArrayView("/Applications"));
    EXPECT_EQ(system.belowRoot(""), QByteArrayView(""));

    const Volume mounted(QStringLiteral("/mnt/x//"), QStringLiteral("bob"));
    EXPECT_EQ(mounted.volumePath(QStringLiteral("/mnt/x")), QStringLiteral("/"));
    EXPECT_EQ(mounted.volumePath(QStringLiteral("/mnt/x/")), QStringLiteral("/"));
    EXPECT_EQ(mounted.volumePath(QStringLiteral("/mnt/x/Users/bob/")), QStringLiteral("/Users/bob/"));
    EXPECT_EQ(mounted.volumePath(QStringLiteral("/mnt/x/Applications/X.app")), QStringLiteral("/Applications/X.app"));
    // A sibling whose name only begins like the root is not on the volume.
    EXPECT_EQ(mounted.volumePath(QStringLiteral("/mnt/x2/Applications")), QStringLiteral("/mnt/x2/Applications"));
    EXPECT_EQ(mounted.volumePath(QStringLiteral("/mnt")), QStringLiteral("/mnt"));
    EXPECT_FALSE(mounted.contains(QStringLiteral("/mnt/x2")));
    EXPECT_TRUE(mounted.contains(QStringLiteral("/mnt/x")));

    EXPECT_EQ(mounted.belowRoot("/mnt/x"), QByteArrayView(""));
    EXPECT_EQ(mounted.belowRoot("/mnt/x/Users/bob"), QByteArrayView("/Users/bob"));
    EXPECT_EQ(mounted.belowRoot("/mnt/x2/Users"), QByteArrayView("/mnt/x2/Users"));
    // Bytes that are not UTF-8 below the root are kept as they are.
    EXPECT_EQ(mounted.belowRoot("/mnt/x/odd\xff"), QByteArrayView("/odd\xff"));
}

TEST(Bookmarks, ResolveTheSameFolderAndNothingElse)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("home"));
    QDir().mkpath(folder);
    Bookmarks bookmarks;
    const auto data = bookmarks.make(folder);
    ASSERT_TRUE(data);
    const auto resolved = bookmarks.resolve(*data);
    ASSERT_TRUE(resolved);
    EXPECT_EQ(resolved->path, folder);
    EXPECT_FALSE(resolved->stale);
    EXPECT_TRUE(bookmarks.startAccessing(folder));

    // Replaced by another folder of the same name: stale.
    // The old folder is kept aside, so the new one cannot get its inode back.
    ASSERT_TRUE(QDir().rename(folder, dir.filePath(QStringLiteral("old"))));
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto replaced = bookmarks.resolve(*data);
    ASSERT_TRUE(replaced);
    EXPECT_TRUE(replaced->stale);

    QDir(folder).removeRecursively();
    EXPECT_FALSE(bookmarks.resolve(*data));
    EXPECT_FALSE(bookmarks.resolve(QByteArrayLiteral("garbage")));
    QString error;
    EXPECT_FALSE(bookmarks.make(dir.filePath(QStringLiteral("missing")), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ScriptedAlerts, AnswersFromTheScriptAndRecordsEveryRequest)
{
    ScriptedAlerts alerts;
    alerts.answer({QStringLiteral("Yes"), QStringLiteral("Confirm Access"), QStringLiteral("/bad"),
                   QStringLiteral("/good")});
    EXPECT_TRUE(alerts.askYesNo(QStringLiteral("Delete?"), QStringLiteral("Alert")));
    EXPECT_EQ(alerts.ask(QStringLiteral("Access Alert"), QStringLiteral("..."),
                         {QStringLiteral("Continue"), QStringLiteral("Confirm Access")}),
              1);
    int rejected = 0;
    const auto folder = alerts.chooseFolder({QStringLiteral("Scan"), QStringLiteral("Select directory to scan"),
                                             QStringLiteral("/"), [&](const QString &f) {
                                                 if (f == QLatin1String("/bad")) {
                                                     ++rejected;
                                                     return false;
                                                 }
                                                 return true;
                                             }});
    EXPECT_EQ(folder, QStringLiteral("/good"));
    EXPECT_EQ(rejected, 1);
    // An empty script never blocks: "No", the first button, cancel.
    EXPECT_FALSE(alerts.askYesNo(QStringLiteral("?"), QStringLiteral("Alert")));
    EXPECT_EQ(alerts.ask(QStringLiteral("m"), QStringLiteral("i"), {QStringLiteral("A"), QStringLiteral("B")}), 0);
    EXPECT_FALSE(alerts.chooseFolder({}));
    EXPECT_EQ(alerts.requests().size(), 6);
    EXPECT_EQ(alerts.requests().at(2).kind, QStringLiteral("folder"));
}

TEST(PropertyList, ReadsXmlAndBinaryAndRejectsGarbage)
{
    const QVariantMap info{{QStringLiteral("CFBundleIdentifier"), QStringLiteral("com.example.app")},
                           {QStringLiteral("Count"), 3},
                           {QStringLiteral("List"), QVariantList{QStringLiteral("a"), true}}};
    for (auto format : {PropertyList::Format::Xml, PropertyList::Format::Binary}) {
        const auto parsed = PropertyList::parse(PropertyList::serialize(info, format));
        ASSERT_TRUE(parsed);
        const QVariantMap map = parsed->toMap();
        EXPECT_EQ(map.value(QStringLiteral("CFBundleIdentifier")).toString(), QStringLiteral("com.example.app"));
        EXPECT_EQ(map.value(QStringLiteral("Count")).toLongLong(), 3);
        EXPECT_EQ(map.value(QStringLiteral("List")).toList().size(), 2);
    }
    EXPECT_FALSE(PropertyList::parse(QByteArrayLiteral("<?xml version=\"1.0\"?><plist><dict><key>a")));
    EXPECT_FALSE(PropertyList::parse(QByteArrayLiteral("bplist00\xff\xff\xff")));
    EXPECT_FALSE(PropertyList::parse(QByteArray()));
    EXPECT_FALSE(PropertyList::readFile(QStringLiteral("/nonexistent/Info.plist")));
}

TEST(Workspace, FindsApplicationsOnTheVolumeAndReadsTheirIdentifiers)
{
    QTemporaryDir dir;
    MacVolumeBuilder mac(Volume(dir.path(), QStringLiteral("ann")));
    const QString xmlApp = mac.app(QStringLiteral("/Applications/Sweepling.app"), QStringLiteral("com.quorvane.sweepling"));
    const QString binApp = mac.app(QStringLiteral("~/Applications/Other.app"), QStringLiteral("org.other"), true);
    Workspace workspace(mac.volume());
    EXPECT_EQ(workspace.fullPathForApplication(QStringLiteral("Sweepling")), xmlApp);
    EXPECT_EQ(workspace.fullPathForApplication(QStringLiteral("Other")), binApp);
    EXPECT_TRUE(workspace.fullPathForApplication(QStringLiteral("Missing")).isEmpty());
    EXPECT_EQ(workspace.bundleIdentifier(xmlApp), QStringLiteral("com.quorvane.sweepling"));
    EXPECT_EQ(workspace.bundleIdentifier(binApp), QStringLiteral("org.other"));
    EXPECT_TRUE(workspace.bundleIdentifier(dir.path()).isEmpty());
    EXPECT_EQ(Workspace::applicationNameForExecutable(QStringLiteral("firefox-esr")), QStringLiteral("Firefox"));
    EXPECT_EQ(Workspace::applicationNameForExecutable(QStringLiteral("chrome")), QStringLiteral("Google Chrome"));
}
