#include "WalkFixtures.h"

#include "app/NotificationNames.h"
#include "scan/FileCount.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class FileCountTest : public WalkTreeTest
{
protected:
    // What the count posts for a tree: before each counted entry, the running
    // total, where a folder adds 1 after everything below it.
    static QStringList expectedTotals(const QList<WalkFixtures::Entry> &entries, const QByteArray &root)
    {
        QStringList totals;
        qint64 total = 0;
        QList<QByteArray> open{root};
        QList<qint64> pendingFolders;
        for (const auto &entry : entries) {
            const QByteArray parent = entry.path.left(entry.path.lastIndexOf('/'));
            while (open.last() != parent) {
                open.removeLast();
                ++total; // the folder just left is counted after its subtree
            }
            totals.append(QString::number(total));
            if (entry.folder)
                open.append(entry.path);
            else
                ++total;
        }
        return totals;
    }
};

} // namespace

TEST_P(FileCountTest, CountsFoldersAndVisibleFilesDepthFirstAndStartsTheDeepScan)
{
    folder("a");
    file("a/one");
    file("a/.hidden");
    folder("a/.git");
    file("a/.git/config");
    folder("a/b");
    file("a/b/two");
    file("a/b/three");
    folder("empty");
    file("four");
    ASSERT_EQ(::symlink("a", (root() + "/link").constData()), 0);
    ASSERT_EQ(::symlink("/etc", (root() + "/outside").constData()), 0);

    FileCount::scannigWithCheckingDirectory(host, dir.path() + QLatin1Char('/'));

    // Folders a, a/.git, a/b, empty and the files one, config, two, three, four;
    // the hidden file and the links are not counted, the root is not either.
    EXPECT_EQ(host.state().totalCount, 9);
    EXPECT_EQ(host.state().fileCountCompleted, 1);
    EXPECT_EQ(host.progressURLs(),
              expectedTotals(WalkFixtures::recursiveListing(root(), false), root()));
    ASSERT_EQ(host.deepScanStarts().size(), 1);
    EXPECT_EQ(host.deepScanStarts().first(), QStringList{dir.path() + QLatin1Char('/')});
    const auto posts = host.posts();
    ASSERT_FALSE(posts.isEmpty());
    EXPECT_EQ(posts.last().first, NotificationNames::ScanningProgress);
    EXPECT_FALSE(posts.last().second.isValid());
    EXPECT_EQ(host.doneScanCalls(), 0);
}

TEST_P(FileCountTest, ACustomScanCountsTheChosenFolderAlone)
{
    folder("chosen");
    file("chosen/x");
    file("chosen/y");
    file("elsewhere");
    host.state().isCustomScanning = true;
    host.state().customScanDirectory = path(QStringLiteral("chosen"));

    FileCount::scannigWithCheckingDirectory(host, dir.path());

    EXPECT_EQ(host.state().totalCount, 2);
    EXPECT_EQ(host.deepScanStarts(), QList<QStringList>{{path(QStringLiteral("chosen"))}});
}

TEST_P(FileCountTest, ARegularFileRootCountsOneAndAMissingRootNothing)
{
    file("single");
    FileCount::scannigWithCheckingDirectory(host, path(QStringLiteral("single")));
    EXPECT_EQ(host.state().totalCount, 1);
    EXPECT_TRUE(host.progressURLs().isEmpty());

    ObservingScanHost other{Volume(dir.path(), QStringLiteral("tester"))};
    FileCount::scannigWithCheckingDirectory(other, path(QStringLiteral("missing")));
    EXPECT_EQ(other.state().totalCount, 0);
    EXPECT_EQ(other.deepScanStarts().size(), 1);
}

TEST_P(FileCountTest, AStopEndsTheCountAndCompletesTheScanWithoutStartingTheDeepScan)
{
    for (int i = 0; i < 20; ++i) {
        folder("f" + QByteArray::number(i));
        file("f" + QByteArray::number(i) + "/x");
    }
    int seen = 0;
    host.onPost = [&](const QString &name, const QVariant &) {
        if (name == NotificationNames::ScanningProgressURL && ++seen == 5)
            host.state().isScanStop = true;
    };

    FileCount::scannigWithCheckingDirectory(host, dir.path());

    EXPECT_EQ(host.progressURLs().size(), 5);
    EXPECT_EQ(host.doneScanCalls(), 1);
    EXPECT_TRUE(host.deepScanStarts().isEmpty());
    EXPECT_EQ(host.state().fileCountCompleted, 0);
}

TEST_P(FileCountTest, CountsAChainDeeperThanThePathLimitWithFewDescriptors)
{
    const int depth = 5000;
    WalkFixtures::makeChain(dir.path(), "n", depth, "leaf");
    const int before = WalkFixtures::openDescriptorCount();
    int most = before;
    int posts = 0;
    host.keepPosts = false;
    host.onPost = [&](const QString &, const QVariant &) {
        if (++posts % 100 == 0)
            most = std::max(most, WalkFixtures::openDescriptorCount());
    };

    FileCount::scannigWithCheckingDirectory(host, dir.path());

    EXPECT_EQ(host.state().totalCount, depth + 1);
    EXPECT_LE(most - before, 40);
    EXPECT_EQ(WalkFixtures::openDescriptorCount(), before);
    WalkFixtures::removeChain(dir.path(), "n");
}

TEST_P(FileCountTest, NamesThatAreNotUtf8AreCounted)
{
    folder("bad\xff");
    file("bad\xff/\xfe\xfd");
    file("ok");
    FileCount::scannigWithCheckingDirectory(host, dir.path());
    EXPECT_EQ(host.state().totalCount, 3);
}

INSTANTIATE_TEST_SUITE_P(VolumePlaces, FileCountTest, everyVolumePlace(), volumePlaceName);
