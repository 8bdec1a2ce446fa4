#include "WalkFixtures.h"

#include "scan/FolderListing.h"
#include "scan/FolderStack.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QMap<QByteArray, char> kinds(const FolderListing &listing)
{
    QMap<QByteArray, char> found;
    for (qsizetype i = 0; i < listing.count(); ++i)
        found.insert(listing.name(i).toByteArray(), char(listing.kind(i)));
    return found;
}

} // namespace

TEST(FolderListing, ListsFoldersAndRegularFilesOnlyWithoutFollowingLinks)
{
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    WalkFixtures::makeFolder(root + "/sub");
    WalkFixtures::makeFolder(root + "/.hiddenFolder");
    WalkFixtures::makeFile(root + "/file");
    WalkFixtures::makeFile(root + "/.hiddenFile");
    ASSERT_EQ(::symlink("sub", (root + "/linkToFolder").constData()), 0);
    ASSERT_EQ(::symlink("file", (root + "/linkToFile").constData()), 0);
    ASSERT_EQ(::mkfifo((root + "/fifo").constData(), 0600), 0);

    FolderStack folders;
    ASSERT_TRUE(folders.openRoot(root));
    const auto all = kinds(FolderListing::read(folders.fd(), FolderListing::HiddenFiles::Keep));
    EXPECT_EQ(all, (QMap<QByteArray, char>{{"sub", 'D'}, {".hiddenFolder", 'D'}, {"file", 'F'}, {".hiddenFile", 'F'}}));
    FolderStack again;
    ASSERT_TRUE(again.openRoot(root));
    const auto visible = kinds(FolderListing::read(again.fd(), FolderListing::HiddenFiles::Skip));
    EXPECT_EQ(visible, (QMap<QByteArray, char>{{"sub", 'D'}, {".hiddenFolder", 'D'}, {"file", 'F'}}));
}

TEST(FolderStack, EntersByNameAndRefusesLinksAndFiles)
{
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    WalkFixtures::makeFolder(root + "/a");
    WalkFixtures::makeFile(root + "/f");
    ASSERT_EQ(::symlink("a", (root + "/link").constData()), 0);

    FolderStack folders;
    ASSERT_TRUE(folders.openRoot(root + "///"));
    EXPECT_EQ(folders.path(), root);
    EXPECT_FALSE(folders.enter(QByteArray("link")));
    EXPECT_FALSE(folders.enter(QByteArray("f")));
    EXPECT_EQ(folders.error(), ENOTDIR);
    EXPECT_FALSE(folders.enter(QByteArray("missing")));
    EXPECT_EQ(folders.depth(), 1);
    ASSERT_TRUE(folders.enter(QByteArray("a")));
    EXPECT_EQ(folders.path(), root + "/a");
    EXPECT_EQ(folders.entryPath("x"), QByteArrayView(root + "/a/x"));
    folders.leave();
    EXPECT_EQ(folders.path(), root);

    FolderStack fromLink;
    EXPECT_FALSE(fromLink.openRoot(root + "/link"));
    FolderStack system;
    ASSERT_TRUE(system.openRoot("/"));
    EXPECT_EQ(system.entryPath("tmp"), QByteArrayView("/tmp"));
}

TEST(FolderStack, KeepsFewDescriptorsAndReopensFoldersOnTheWayBack)
{
    QTemporaryDir dir;
    WalkFixtures::makeChain(dir.path(), "d", 12, "leaf");
    const QByteArray root = QFile::encodeName(dir.path());

    FolderStack folders(3);
    ASSERT_TRUE(folders.openRoot(root));
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(folders.enter(QByteArray("d")));
        EXPECT_LE(folders.openDescriptors(), 3);
    }
    EXPECT_EQ(FolderListing::read(folders.fd(), FolderListing::HiddenFiles::Keep).count(), 1);
    while (folders.depth() > 1) {
        folders.leave();
        ASSERT_GE(folders.fd(), 0) << folders.depth();
        EXPECT_EQ(FolderListing::read(folders.fd(), FolderListing::HiddenFiles::Keep).count(), 1);
        EXPECT_LE(folders.openDescriptors(), 3);
    }
    EXPECT_EQ(folders.path(), root);
    WalkFixtures::removeChain(dir.path(), "d");
}

TEST(FolderStack, AFolderMovedAwayMeanwhileIsLostNotMistaken)
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QByteArray root = QFile::encodeName(dir.path());
    WalkFixtures::makeFolder(root + "/a");
    WalkFixtures::makeFolder(root + "/a/b");
    WalkFixtures::makeFolder(root + "/a/b/c");

    FolderStack folders(1);
    ASSERT_TRUE(folders.openRoot(root));
    ASSERT_TRUE(folders.enter(QByteArray("a")));
    ASSERT_TRUE(folders.enter(QByteArray("b")));
    ASSERT_TRUE(folders.enter(QByteArray("c")));
    // b moves out of a: b is still the same folder, a is no longer its parent.
    ASSERT_EQ(::rename((root + "/a/b").constData(), QFile::encodeName(elsewhere.filePath("b")).constData()), 0);
    folders.leave();
    EXPECT_GE(folders.fd(), 0);
    folders.leave();
    EXPECT_EQ(folders.fd(), -1);
    EXPECT_FALSE(folders.enter(QByteArray("other")));
    EXPECT_EQ(folders.error(), ESTALE);
    folders.leave();
    EXPECT_EQ(folders.fd(), -1);
    folders.leave();
    EXPECT_TRUE(folders.isEmpty());
}
