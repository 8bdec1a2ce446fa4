#include "WalkFixtures.h"

#include "scan/FolderListing.h"
#include "scan/FolderStack.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// A tree with uneven fan-out, files and hidden files, links, empty folders,
// folders a pass skips ("skip*") and one chain deeper than read-ahead goes.
void makeTree(const QByteArray &root)
{
    for (int a = 0; a < 6; ++a) {
        const QByteArray top = root + "/top" + QByteArray::number(a);
        WalkFixtures::makeFolder(top);
        WalkFixtures::makeFile(top + "/.hidden");
        for (int b = 0; b < a * 2; ++b) {
            const QByteArray middle = top + (b % 3 == 1 ? "/skip" : "/mid") + QByteArray::number(b);
            WalkFixtures::makeFolder(middle);
            for (int c = 0; c < b % 4; ++c) {
                const QByteArray leaf = middle + "/leaf" + QByteArray::number(c);
                WalkFixtures::makeFolder(leaf);
                WalkFixtures::makeFile(leaf + "/file");
                WalkFixtures::makeFolder(leaf + "/empty");
            }
            WalkFixtures::makeFile(middle + "/f");
        }
        ASSERT_EQ(::symlink("..", (top + "/up").constData()), 0);
    }
    WalkFixtures::makeChain(QFile::decodeName(root + "/top0"), "deep", FolderReadAhead::kMaxDepth + 8, "bottom");
}

bool entered(const QByteArray &path)
{
    return !path.mid(path.lastIndexOf('/') + 1).startsWith("skip");
}

// Depth first through a folder stack, in listing order, not entering the
// folders entered() turns down; stops after `limit` entries. Answers the
// entries visited, as recursiveListing() gives them.
QList<WalkFixtures::Entry> pass(FolderStack &folders, const QByteArray &root, FolderListing::HiddenFiles hidden,
                                qsizetype limit = -1)
{
    QList<WalkFixtures::Entry> visited;
    EXPECT_TRUE(folders.openRoot(root));
    struct Open
    {
        FolderListing listing;
        qsizetype next = 0;
    };
    std::vector<Open> open;
    open.push_back({folders.list(hidden)});
    while (!open.empty() && visited.size() != limit) {
        Open &top = open.back();
        if (top.next == top.listing.count()) {
            open.pop_back();
            folders.leave();
            continue;
        }
        const qsizetype index = top.next++;
        const QByteArray path = folders.entryPath(top.listing.name(index)).toByteArray();
        const bool folder = top.listing.kind(index) == FolderListing::Kind::Folder;
        visited.append({path, folder});
        if (folder && entered(path) && folders.enter(top.listing.name(index)))
            open.push_back({folders.list(hidden)});
    }
    while (!folders.isEmpty())
        folders.leave();
    return visited;
}

class FolderReadAheadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        makeTree(root());
        descriptorsBefore = WalkFixtures::openDescriptorCount();
    }
    void TearDown() override
    {
        // The chain is too deep to remove by path.
        WalkFixtures::removeChain(QFile::decodeName(root() + "/top0"), "deep");
        WalkFixtures::removeContents(root());
    }
    QByteArray root() const { return QFile::encodeName(dir.path()); }

    QTemporaryDir dir;
    int descriptorsBefore = 0;
};

} // namespace

// Whatever the number of threads and however few folders they may read
// ahead, the pass sees the tree exactly as it does reading every folder
// itself, links unfollowed and skipped folders unvisited.
TEST_F(FolderReadAheadTest, ThePassVisitsTheSameEntriesInTheSameOrder)
{
    for (const auto hidden : {FolderListing::HiddenFiles::Keep, FolderListing::HiddenFiles::Skip}) {
        const bool keepHidden = hidden == FolderListing::HiddenFiles::Keep;
        const auto expected = WalkFixtures::recursiveListing(root(), keepHidden, entered);
        ASSERT_GT(expected.size(), 150);
        for (const int threads : {0, 1, 3}) {
            for (const std::size_t window : {std::size_t(1), std::size_t(3), FolderReadAhead::kDefaultWindow}) {
                SCOPED_TRACE(testing::Message() << "threads " << threads << ", window " << window << ", hidden "
                                                << keepHidden);
                FolderStack folders(4, threads, window);
                const auto visited = pass(folders, root(), hidden);
                ASSERT_EQ(visited.size(), expected.size());
                for (qsizetype i = 0; i < expected.size(); ++i) {
                    ASSERT_EQ(visited[i].path, expected[i].path) << i;
                    ASSERT_EQ(visited[i].folder, expected[i].folder) << i;
                }
            }
        }
    }
    EXPECT_EQ(WalkFixtures::openDescriptorCount(), descriptorsBefore);
}

// A pass that stops halfway leaves folders read ahead, and some being read,
// behind: they are closed, and the threads end, when the stack goes.
TEST_F(FolderReadAheadTest, APassStoppedHalfwayLeavesNoDescriptorOpen)
{
    const auto expected = WalkFixtures::recursiveListing(root(), true, entered);
    for (const qsizetype limit : {qsizetype(1), qsizetype(7), expected.size() / 2}) {
        for (int round = 0; round < 5; ++round) {
            FolderStack folders(FolderStack::kDefaultOpenLimit, 3);
            const auto visited = pass(folders, root(), FolderListing::HiddenFiles::Keep, limit);
            ASSERT_EQ(visited.size(), limit);
            EXPECT_EQ(visited.last().path, expected[limit - 1].path);
        }
        EXPECT_EQ(WalkFixtures::openDescriptorCount(), descriptorsBefore) << limit;
    }
}

// Roots walked one after the other with one stack each get their own
// read-ahead; nothing of the first is taken for the second.
TEST_F(FolderReadAheadTest, SeveralRootsInOnePass)
{
    FolderStack folders(FolderStack::kDefaultOpenLimit, 2);
    const auto first = pass(folders, root() + "/top5", FolderListing::HiddenFiles::Keep, 5);
    const auto second = pass(folders, root() + "/top4", FolderListing::HiddenFiles::Keep);
    EXPECT_EQ(first.size(), 5);
    const auto expected = WalkFixtures::recursiveListing(root() + "/top4", true, entered);
    ASSERT_EQ(second.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(second[i].path, expected[i].path);
}

// A folder that is the root again (a bind mount) is read ahead like any
// other, with what lies below it, but the pass refuses to enter it: what was
// read for it is dropped and the pass goes on unchanged.
TEST_F(FolderReadAheadTest, ABindMountLoopIsReadAheadButNotEntered)
{
    const QByteArray loop = root() + "/top3/loop";
    WalkFixtures::makeFolder(loop);
    if (::mount(root().constData(), loop.constData(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "bind mounts are not allowed here";
    // Gone before the tree is removed, whatever happens.
    const std::unique_ptr<const char, void (*)(const char *)> unmount(
        loop.constData(), [](const char *path) { ::umount2(path, MNT_DETACH); });
    const auto expected = WalkFixtures::recursiveListing(
        root(), true, [](const QByteArray &path) { return entered(path) && !path.endsWith("/loop"); });
    for (const int threads : {0, 3}) {
        FolderStack folders(FolderStack::kDefaultOpenLimit, threads);
        const auto visited = pass(folders, root(), FolderListing::HiddenFiles::Keep);
        ASSERT_EQ(visited.size(), expected.size()) << threads;
        for (qsizetype i = 0; i < expected.size(); ++i)
            ASSERT_EQ(visited[i].path, expected[i].path) << threads;
    }
    EXPECT_EQ(WalkFixtures::openDescriptorCount(), descriptorsBefore);
}

// A process that may open few files reads fewer folders ahead, and loses
// none to a lack of descriptors.
TEST_F(FolderReadAheadTest, AFewDescriptorsAreEnough)
{
    struct rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
    const auto expected = WalkFixtures::recursiveListing(root(), true, entered);
    struct rlimit tight = before;
    tight.rlim_cur = rlim_t(descriptorsBefore + 64);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    QList<WalkFixtures::Entry> visited;
    {
        FolderStack folders(4, 3);
        visited = pass(folders, root(), FolderListing::HiddenFiles::Keep);
    }
    ::setrlimit(RLIMIT_NOFILE, &before);
    ASSERT_EQ(visited.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        ASSERT_EQ(visited[i].path, expected[i].path);
    EXPECT_EQ(WalkFixtures::openDescriptorCount(), descriptorsBefore);
}
