#include "platform/AnchoredPath.h"
#include "platform/ProtectedFolders.h"
#include "support/MacVolumeBuilder.h"
#include "support/TestPlatform.h"

#include <gtest/gtest.h>

TEST(ProtectedFolders, TheSystemAndEveryHomeAndTheirAncestorsAreProtectedWhateverTheSpelling)
{
    for (const char *path : {"/", "", "/Applications", "/Library", "/System", "/Users", "/private", "/usr", "/bin",
                             "/sbin", "/etc", "/var", "/tmp", "/opt", "/cores", "/Volumes", "/Network", "/home",
                             "/private/var", "/private/tmp", "/usr/local", "/Library/Application Support",
                             "/Library/LaunchAgents", "/Users/demo", "/Users/Shared", "/Users/demo/Library",
                             "/Users/demo/Documents", "/Users/demo/Desktop", "/Users/demo/Downloads",
                             "/Users/demo/Movies", "/Users/demo/Music", "/Users/demo/Pictures", "/Users/demo/Public",
                             "/Users/demo/Applications", "/Applications/../Users", "/Applications/../Users/demo/",
                             "//Users//demo/./Documents", "/users/DEMO/library", "/../../Users", "/a/b/../../Library",
                             "/Users/demo/Documents/.."}) {
        const std::optional<QString> reason = ProtectedFolders::reason(QString::fromUtf8(path));
        ASSERT_TRUE(reason.has_value()) << path;
        EXPECT_TRUE(reason->contains(QLatin1String("never removed"))) << reason->toStdString();
    }
    for (const char *path : {"/Conduit", "/Library/WebTools", "/Library/hlpramc", "/tmp/mcyahooChecker.sh",
                             "/private/tmp/MacKeeper", "/Library/LaunchAgents/com.genieo.completer.update.plist",
                             "/Applications/Genieo.app", "/Users/demo/Documents/MacKeeper",
                             "/Users/demo/Library/Caches", "/Users/demo/Library/Logs", "/Users/demo/Genieo",
                             "/Users/demo/Library/Application Support/Genieo", "/Volumes/SourceForge/SourceForge.app"}) {
        EXPECT_FALSE(ProtectedFolders::reason(QString::fromUtf8(path)).has_value()) << path;
    }
    EXPECT_EQ(ProtectedFolders::normalised(QStringLiteral("/Applications/../Users//demo/.")), QStringLiteral("/Users/demo"));
    EXPECT_EQ(ProtectedFolders::normalised(QStringLiteral("/../..")), QStringLiteral("/"));
}

TEST(AnchoredPath, APathIsInsideAFolderOnlyWhereItsLinksLeadInsideIt)
{
    TestPlatform test;
    MacVolumeBuilder mac(test.volume());
    const QString root = test.volume().root();
    const QString profile = mac.dir(QStringLiteral("~/Library/Application Support/Firefox/Profiles/x.default"));
    mac.file(QStringLiteral("~/Library/Application Support/Firefox/Profiles/x.default/extensions/a.xpi"));
    mac.symlink(QStringLiteral("~/Library/Application Support/Firefox/Profiles/x.default/extensions/home"),
                QStringLiteral("/Users/tester"));

    EXPECT_TRUE(AnchoredPath::isInside(root, profile, profile + QStringLiteral("/extensions/a.xpi")));
    EXPECT_TRUE(AnchoredPath::isInside(root, profile, profile + QStringLiteral("/extensions/missing.xpi")));
    // The link itself lies inside; what lies behind it does not.
    EXPECT_TRUE(AnchoredPath::isInside(root, profile, profile + QStringLiteral("/extensions/home")));
    EXPECT_FALSE(AnchoredPath::isInside(root, profile, profile + QStringLiteral("/extensions/home/Documents")));
    EXPECT_FALSE(AnchoredPath::isInside(root, profile, profile));
    EXPECT_FALSE(AnchoredPath::isInside(root, profile, profile + QStringLiteral("/../../../../../..")));
    EXPECT_FALSE(AnchoredPath::isInside(root, profile, profile + QStringLiteral("x/a.xpi")));
    EXPECT_FALSE(AnchoredPath::isInside(root, profile, test.volume().homeFolder()));
}
