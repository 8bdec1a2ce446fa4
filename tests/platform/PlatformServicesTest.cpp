#include "platform/Bookmarks.h"
#include "platform/PropertyList.h"
#include "platform/ScriptedAlerts.h"
#include "platform/Volume.h"
#include "platform/Workspace.h"
#include "support/MacVolumeBuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

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

// A bundle's icon is a regular file among its own resources. The name comes
// from the volume's Info.plist, so a name that climbs out of the bundle, a
// link or a pipe (which would hold the window that opens it) is not used.
TEST(Workspace, ABundleIconIsARegularFileAmongItsResourcesOrNothing)
{
    QTemporaryDir dir;
    MacVolumeBuilder mac(Volume(dir.path(), QStringLiteral("ann")));
    Workspace workspace(mac.volume());
    const auto appWithIcon = [&](const QString &name, const QString &iconFile) {
        const QString app = mac.volume().host(QStringLiteral("/Applications/%1.app").arg(name));
        EXPECT_TRUE(QDir().mkpath(app + QStringLiteral("/Contents/Resources")));
        QFile plist(app + QStringLiteral("/Contents/Info.plist"));
        EXPECT_TRUE(plist.open(QIODevice::WriteOnly));
        plist.write(PropertyList::serialize(QVariantMap{{QStringLiteral("CFBundleIconFile"), iconFile}},
                                            PropertyList::Format::Xml));
        return app;
    };

    const QString good = appWithIcon(QStringLiteral("Good"), QStringLiteral("good"));
    QFile(good + QStringLiteral("/Contents/Resources/good.icns")).open(QIODevice::WriteOnly);
    EXPECT_EQ(workspace.iconForFile(good), good + QStringLiteral("/Contents/Resources/good.icns"));

    const QString fallback = QStringLiteral("application-x-executable");
    const QString climbing = appWithIcon(QStringLiteral("Climbing"), QStringLiteral("../../../Good.app/Contents/Resources/good.icns"));
    EXPECT_EQ(workspace.iconForFile(climbing), fallback);

    const QString piped = appWithIcon(QStringLiteral("Piped"), QStringLiteral("pipe.icns"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(piped + QStringLiteral("/Contents/Resources/pipe.icns")).constData(), 0600), 0);
    EXPECT_EQ(workspace.iconForFile(piped), fallback);

    const QString linked = appWithIcon(QStringLiteral("Linked"), QStringLiteral("link.icns"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/etc/passwd"), linked + QStringLiteral("/Contents/Resources/link.icns")));
    EXPECT_EQ(workspace.iconForFile(linked), fallback);
}
