#include "WalkFixtures.h"
#include "support/Unprivileged.h"

#include "app/NotificationNames.h"
#include "platform/FileName.h"
#include "scan/scanDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <algorithm>
#include <thread>
#include <unistd.h>

namespace {

class ScanDirectoryTest : public WalkTreeTest
{
protected:
    void walk(const QStringList &roots = {}) { scanDirectory::scannigWithCheckingSubDirectory(host, roots.isEmpty() ? QStringList{dir.path()} : roots); }

    static QStringList paths(const QList<WalkFixtures::Entry> &entries)
    {
        QStringList list;
        for (const auto &entry : entries)
            list.append(FileName::decode(entry.path));
        return list;
    }

    // The posts of the progress step, as "U" (UpdateThreat), "P<steps>"
    // (ScanningProgress) and "." (ScanningProgressURL), in order.
    QString progressTrace() const
    {
        QString trace;
        for (const auto &[name, object] : host.posts()) {
            if (name == NotificationNames::UpdateThreat)
                trace += QLatin1Char('U');
            else if (name == NotificationNames::ScanningProgress)
                trace += QLatin1Char('P') + QString::number(object.toInt());
            else if (name == NotificationNames::ScanningProgressURL)
                trace += QLatin1Char('.');
        }
        return trace;
    }
};

} // namespace

TEST_P(ScanDirectoryTest, VisitsEveryFolderAndFileDepthFirstInListingOrderHiddenFilesIncluded)
{
    folder("Library");
    folder("Library/Caches");
    file("Library/Caches/c1");
    file("Library/Caches/.c2");
    folder("Library/.hidden");
    file("Library/.hidden/h");
    file("Library/prefs");
    folder("Documents");
    folder("Documents/empty");
    file("Documents/.DS_Store");
    file("top");
    ASSERT_EQ(::symlink("Library", (root() + "/loop").constData()), 0);
    ASSERT_EQ(::symlink(".", (root() + "/Library/self").constData()), 0);

    walk();

    const auto expected = WalkFixtures::recursiveListing(root(), true);
    EXPECT_EQ(expected.size(), 11);
    EXPECT_EQ(host.progressURLs(), paths(expected));
    EXPECT_TRUE(host.offers().isEmpty());
    EXPECT_EQ(host.state().ScanTypeCount, 1);
    EXPECT_EQ(host.doneScanCalls(), 0);
}

TEST_P(ScanDirectoryTest, TwoHundredFiftyCountedEntriesStepAfterEveryThirdVisitedEntry)
{
    for (int i = 0; i < 250; ++i)
        file("f" + QByteArray::number(i));
    host.state().totalCount = 250;

    walk();

    EXPECT_EQ(progressTrace(), QStringLiteral("..UP1.").repeated(83) + QStringLiteral("."));
}

TEST_P(ScanDirectoryTest, FiftyCountedEntriesStepAfterEveryVisitedEntry)
{
    for (int i = 0; i < 45; ++i)
        file("f" + QByteArray::number(i));
    for (int i = 0; i < 5; ++i)
        folder("d" + QByteArray::number(i));
    host.state().totalCount = 50;

    walk();

    // A folder's second check finds nothing new since its first.
    EXPECT_EQ(progressTrace(), QStringLiteral("UP2.").repeated(50));
}

TEST_P(ScanDirectoryTest, OffersEveryMatchingPathAndDoesNotEnterAMatchingFolder)
{
    folder("Library");
    folder("Library/LaunchAgents");
    file("Library/LaunchAgents/com.genieo.engine.plist");
    file("Library/LaunchAgents/com.apple.plist");
    folder("Library/Genieo");
    file("Library/Genieo/inner.txt");
    folder("Library/Genieo/deeper");
    file(".Genieo-hidden");
    file("GenieoMacKeeper.txt");
    host.setFullSystemScanPaths({QStringLiteral("Genieo"), QStringLiteral("MacKeeper"),
                                 QStringLiteral("/Library/LaunchAgents/com.genieo.engine.plist"),
                                 QStringLiteral("Genieo")});

    walk();

    QMultiMap<QString, int> offered;
    for (const auto &offer : host.offers()) {
        EXPECT_EQ(offer.type, QStringLiteral("Adware"));
        EXPECT_EQ(offer.risk, QStringLiteral("High Risk"));
        EXPECT_EQ(offer.size, 0);
        EXPECT_EQ(offer.source, FindingSource::Walk);
        EXPECT_EQ(offer.name, QFileInfo(offer.path).fileName());
        offered.insert(offer.path, 0);
    }
    // "Genieo" is listed twice: every path containing it is offered twice.
    EXPECT_EQ(offered.count(path(QStringLiteral("Library/Genieo"))), 2);
    EXPECT_EQ(offered.count(path(QStringLiteral(".Genieo-hidden"))), 2);
    EXPECT_EQ(offered.count(path(QStringLiteral("GenieoMacKeeper.txt"))), 3);
    EXPECT_EQ(offered.count(path(QStringLiteral("Library/LaunchAgents/com.genieo.engine.plist"))), 1);
    EXPECT_EQ(offered.size(), 8);
    EXPECT_EQ(host.uniquePaths().size(), 4);
    EXPECT_FALSE(host.progressURLs().contains(path(QStringLiteral("Library/Genieo/inner.txt"))));
    EXPECT_FALSE(host.progressURLs().contains(path(QStringLiteral("Library/Genieo/deeper"))));
}

TEST_P(ScanDirectoryTest, ARootWhosePathHoldsASignatureOffersEachTopEntryAndEntersNone)
{
    folder("MacKeeper Backups");
    folder("MacKeeper Backups/sub");
    file("MacKeeper Backups/sub/x");
    file("MacKeeper Backups/y");
    host.setFullSystemScanPaths({QStringLiteral("/MacKeeper Backups")});

    walk({path(QStringLiteral("MacKeeper Backups"))});

    QStringList offered = host.uniquePaths();
    offered.sort();
    EXPECT_EQ(offered, (QStringList{path(QStringLiteral("MacKeeper Backups/sub")), path(QStringLiteral("MacKeeper Backups/y"))}));
    EXPECT_EQ(host.progressURLs().size(), 2);
}

// The root rules and the signatures read the path on the volume: a volume
// whose root folder is hidden, a package or named like a threat is walked
// like any other, and only what lies on it can match.
TEST_P(ScanDirectoryTest, AVolumeIsWalkedWhateverTheFolderItIsMountedAtIsCalled)
{
    const QStringList signatures{QStringLiteral("Genieo"), QStringLiteral("MacKeeper"), QStringLiteral(".backup"),
                                 QStringLiteral("disk.app"), QStringLiteral("/Library/LaunchAgents/com.genieo.engine.plist")};
    for (const QString &name : {QStringLiteral(".backup"), QStringLiteral("disk.app"), QStringLiteral("Kit.framework"),
                                QStringLiteral("MacKeeper Backups"), QStringLiteral("Genieo")}) {
        SCOPED_TRACE(name.toStdString());
        const QString volumeRoot = path(name);
        const QByteArray rootBytes = QFile::encodeName(volumeRoot);
        WalkFixtures::makeFolder(rootBytes);
        for (const char *folder : {"/Applications", "/Library", "/Library/LaunchAgents", "/Users", "/Users/tester",
                                         "/Users/tester/Documents"})
            WalkFixtures::makeFolder(rootBytes + folder);
        WalkFixtures::makeFile(rootBytes + "/Library/LaunchAgents/com.genieo.engine.plist");
        WalkFixtures::makeFile(rootBytes + "/Users/tester/Documents/notes.txt");
        const QString threat = volumeRoot + QStringLiteral("/Library/LaunchAgents/com.genieo.engine.plist");

        for (const QString &walkRoot : {volumeRoot, volumeRoot + QStringLiteral("/"), volumeRoot + QStringLiteral("/Users/tester/")}) {
            ObservingScanHost onVolume{Volume(volumeRoot, QStringLiteral("tester"))};
            onVolume.setFullSystemScanPaths(signatures);
            scanDirectory::scannigWithCheckingSubDirectory(onVolume, {walkRoot});
            const bool whole = !walkRoot.contains(QStringLiteral("/Users/"));
            EXPECT_EQ(onVolume.progressURLs().size(), whole ? 8 : 2) << walkRoot.toStdString();
            EXPECT_EQ(onVolume.uniquePaths(), whole ? QStringList{threat} : QStringList{}) << walkRoot.toStdString();
        }
    }
}

TEST_P(ScanDirectoryTest, LinksAreNeverFollowedInsideOrOutOfTheTree)
{
    QTemporaryDir outside;
    WalkFixtures::makeFile(QFile::encodeName(outside.filePath(QStringLiteral("Genieo.app"))));
    folder("a");
    ASSERT_EQ(::symlink(QFile::encodeName(outside.path()).constData(), (root() + "/a/out").constData()), 0);
    ASSERT_EQ(::symlink("..", (root() + "/a/up").constData()), 0);
    ASSERT_EQ(::symlink("loop2", (root() + "/a/loop1").constData()), 0);
    ASSERT_EQ(::symlink("loop1", (root() + "/a/loop2").constData()), 0);
    host.setFullSystemScanPaths({QStringLiteral("Genieo"), QStringLiteral("/loop"), QStringLiteral("/out")});

    walk();

    EXPECT_EQ(host.progressURLs(), QStringList{path(QStringLiteral("a"))});
    EXPECT_TRUE(host.offers().isEmpty());
}

TEST_P(ScanDirectoryTest, RootsThatArePackagesHiddenFrameworksOrFilesAreNotWalkedButTheWalkStillEnds)
{
    const QStringList roots{QStringLiteral("Tool.framework"), QStringLiteral(".hidden"), QStringLiteral("Genieo.app"),
                            QStringLiteral("Setup.pkg"), QStringLiteral("Genieo.txt"), QStringLiteral("gone")};
    for (const QString &name : roots) {
        if (name != QStringLiteral("gone") && !name.endsWith(QStringLiteral(".txt"))) {
            folder(QFile::encodeName(name));
            file(QFile::encodeName(name) + "/Genieo.inner");
        }
    }
    file("Genieo.txt");
    host.setFullSystemScanPaths({QStringLiteral("Genieo"), QStringLiteral("framework"), QStringLiteral("hidden")});

    for (const QString &name : roots) {
        ObservingScanHost custom{Volume(dir.path(), QStringLiteral("tester"))};
        custom.setFullSystemScanPaths(host.fullSystemScanPaths());
        custom.state().isCustomScanning = true;
        custom.state().customScanDirectory = path(name);
        custom.state().ScanTypeCount = 1; // the detector chain has ended

        scanDirectory::scannigWithCheckingSubDirectory(custom, {dir.path()});

        EXPECT_TRUE(custom.progressURLs().isEmpty()) << name.toStdString();
        EXPECT_TRUE(custom.offers().isEmpty()) << name.toStdString();
        EXPECT_EQ(custom.state().ScanTypeCount, 2) << name.toStdString();
        EXPECT_EQ(custom.doneScanCalls(), 1) << name.toStdString();
    }
}

TEST_P(ScanDirectoryTest, ACustomScanWalksTheChosenFolderAlone)
{
    folder("chosen");
    file("chosen/x");
    file("y");
    host.state().isCustomScanning = true;
    host.state().customScanDirectory = path(QStringLiteral("chosen")) + QLatin1Char('/');

    walk();

    EXPECT_EQ(host.progressURLs(), QStringList{path(QStringLiteral("chosen/x"))});
}

TEST_P(ScanDirectoryTest, AStopLeavesTheRestUnvisitedAndCompletesTheScan)
{
    for (int i = 0; i < 10; ++i) {
        folder("d" + QByteArray::number(i));
        for (int j = 0; j < 10; ++j)
            file("d" + QByteArray::number(i) + "/hit-" + QByteArray::number(j));
    }
    // With a slash, so that the random name of the temporary folder cannot match.
    host.setFullSystemScanPaths({QStringLiteral("/hit-")});
    int visited = 0;
    host.onPost = [&](const QString &name, const QVariant &) {
        if (name == NotificationNames::ScanningProgressURL && ++visited == 25)
            host.state().isScanStop = true;
    };

    walk();

    EXPECT_EQ(host.progressURLs().size(), 25);
    EXPECT_LE(host.offers().size(), 25);
    EXPECT_EQ(host.doneScanCalls(), 1);
    EXPECT_EQ(host.state().ScanTypeCount, 1);
}

TEST_P(ScanDirectoryTest, ExactlyOneOfTheTwoTasksCompletesTheScan)
{
    folder("a");
    file("a/b");
    for (int round = 0; round < 50; ++round) {
        ObservingScanHost racing{Volume(dir.path(), QStringLiteral("tester"))};
        std::thread detectors([&racing] {
            if (racing.state().ScanTypeCount.fetch_add(1) + 1 == 2)
                racing.doneScan();
        });
        scanDirectory::scannigWithCheckingSubDirectory(racing, {dir.path()});
        detectors.join();
        ASSERT_EQ(racing.doneScanCalls(), 1);
    }
}

TEST_P(ScanDirectoryTest, WalksAChainFiveThousandFoldersDeepPastThePathLimit)
{
    const int depth = 5000;
    const QByteArray leaf = WalkFixtures::makeChain(dir.path(), "n", depth, "Genieo.leaf");
    ASSERT_GT(leaf.size(), PATH_MAX);
    host.setFullSystemScanPaths({QStringLiteral("Genieo")});
    host.keepPosts = false;
    const int before = WalkFixtures::openDescriptorCount();
    int most = before;
    int visited = 0;
    QString last;
    host.onPost = [&](const QString &name, const QVariant &object) {
        if (name != NotificationNames::ScanningProgressURL)
            return;
        last = object.toString();
        if (++visited % 100 == 0)
            most = std::max(most, WalkFixtures::openDescriptorCount());
    };

    walk();

    EXPECT_EQ(visited, depth + 1);
    EXPECT_EQ(last, QFile::decodeName(leaf));
    EXPECT_LE(most - before, 40);
    EXPECT_EQ(WalkFixtures::openDescriptorCount(), before);
    EXPECT_EQ(host.offeredPaths(), QStringList{QFile::decodeName(leaf)});
    WalkFixtures::removeChain(dir.path(), "n");
}

TEST_P(ScanDirectoryTest, NamesThatAreNotUtf8AreVisitedComparedAndOfferedUnderTheirOwnBytes)
{
    folder("odd\xff");
    file("odd\xff/Genieo.plist");
    file("Genieo\xfe.plist");
    file("Genieo.plist");
    // A file whose name is what Qt reads the odd bytes as is another file.
    file("Genieo\xef\xbf\xbd.plist");
    file("\xef\xbb\xbf" "bom");
    host.setFullSystemScanPaths({QStringLiteral("Genieo")});

    walk();

    // Every entry is visited, and shown as FileName reads its path.
    EXPECT_EQ(host.progressURLs(), paths(WalkFixtures::recursiveListing(root(), true)));
    EXPECT_EQ(host.progressURLs().size(), 6);
    QList<QByteArray> offered;
    for (const QString &path : host.uniquePaths())
        offered.append(FileName::encode(path));
    std::sort(offered.begin(), offered.end());
    QList<QByteArray> expected{root() + "/Genieo.plist", root() + "/Genieo\xfe.plist",
                               root() + "/Genieo\xef\xbf\xbd.plist", root() + "/odd\xff/Genieo.plist"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(offered, expected);
    EXPECT_EQ(host.offers().size(), 4);
}

// A folder changed after its parent was listed: the walk reads it when it
// reaches it (no read-ahead), or has read it a moment before (read-ahead).
// Either way the walk goes on and ends normally.
TEST_P(ScanDirectoryTest, AFolderReplacedOrRemovedAfterItsListingIsSkipped)
{
    for (const int threads : {0, 2}) {
        SCOPED_TRACE(threads);
        const ReadAheadThreads readAhead(threads);
        ObservingScanHost observer{Volume(dir.path(), QStringLiteral("tester"))};
        folder("a");
        folder("a/becomesFile");
        file("a/becomesFile/x");
        folder("a/vanishes");
        file("a/vanishes/y");
        folder("a/stays");
        file("a/stays/z");
        const QString becomes = path(QStringLiteral("a/becomesFile"));
        const QString vanishes = path(QStringLiteral("a/vanishes"));
        observer.onPost = [&](const QString &name, const QVariant &object) {
            if (name != NotificationNames::ScanningProgressURL)
                return;
            if (object.toString() == becomes) {
                QDir(becomes).removeRecursively();
                WalkFixtures::makeFile(QFile::encodeName(becomes));
            } else if (object.toString() == vanishes) {
                QDir(vanishes).removeRecursively();
            }
        };

        scanDirectory::scannigWithCheckingSubDirectory(observer, {dir.path()});

        const QStringList urls = observer.progressURLs();
        if (threads == 0) {
            EXPECT_FALSE(urls.contains(path(QStringLiteral("a/becomesFile/x"))));
            EXPECT_FALSE(urls.contains(path(QStringLiteral("a/vanishes/y"))));
        }
        EXPECT_TRUE(urls.contains(path(QStringLiteral("a/stays/z"))));
        EXPECT_EQ(observer.state().unreadableFolders, 0) << "a folder that went away hides nothing";
        EXPECT_EQ(observer.state().ScanTypeCount, 1);
        EXPECT_EQ(observer.doneScanCalls(), 0);
        WalkFixtures::removeContents(root());
    }
}

TEST_P(ScanDirectoryTest, AFolderThatCannotBeReadIsSkippedCountedAndTheWalkGoesOn)
{
    // The unprivileged walker must reach the root through the folders above it.
    for (QString above = dir.path(); above.startsWith(dir.outerPath()); above = QFileInfo(above).path())
        ASSERT_EQ(::chmod(FileName::encode(above).constData(), 0755), 0);
    folder("a");
    folder("a/locked");
    file("a/locked/Genieo.dmg");
    folder("a/open");
    file("a/open/z");
    ASSERT_EQ(::chmod((root() + "/a/locked").constData(), 0), 0);
    for (const int threads : {0, 2}) {
        SCOPED_TRACE(threads);
        const ReadAheadThreads readAhead(threads);
        ObservingScanHost observer{Volume(dir.path(), QStringLiteral("tester"))};
        observer.setFullSystemScanPaths({QStringLiteral("Genieo")});
        {
            const AsUnprivilegedUser nobody;
            ASSERT_TRUE(nobody.effective());
            scanDirectory::scannigWithCheckingSubDirectory(observer, {dir.path()});
        }
        const QStringList urls = observer.progressURLs();
        EXPECT_TRUE(urls.contains(path(QStringLiteral("a/locked"))));
        EXPECT_FALSE(urls.contains(path(QStringLiteral("a/locked/Genieo.dmg"))));
        EXPECT_TRUE(urls.contains(path(QStringLiteral("a/open/z"))));
        EXPECT_TRUE(observer.offeredPaths().isEmpty());
        EXPECT_EQ(observer.state().unreadableFolders, 1);
        EXPECT_EQ(observer.state().ScanTypeCount, 1);
    }
    ASSERT_EQ(::chmod((root() + "/a/locked").constData(), 0755), 0);
}

INSTANTIATE_TEST_SUITE_P(VolumePlaces, ScanDirectoryTest, everyVolumePlace(), volumePlaceName);
