#include "platform/AllocatedSize.h"
#include "support/MacVolumeBuilder.h"
#include "support/TestPlatform.h"

#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// A cache folder with a hidden file, a package, a link to a big file outside
// it, a link to a folder outside it and a link back to itself.
class AllocatedSizeTest : public ::testing::Test
{
protected:
    AllocatedSizeTest()
        : mac(test.volume())
        , big(mac.file(QStringLiteral("/outside/big.bin"), QByteArray(300000, 'b')))
        , a(mac.file(QStringLiteral("~/Library/Caches/a.bin"), QByteArray(5000, 'a')))
        , hidden(mac.file(QStringLiteral("~/Library/Caches/sub/.hidden"), QByteArray(9000, 'h')))
        , packaged(mac.file(QStringLiteral("~/Library/Caches/Thing.app/Contents/x"), QByteArray(7000, 'p')))
        , link(mac.symlink(QStringLiteral("~/Library/Caches/sub/to-big"), big))
        , folderLink(mac.symlink(QStringLiteral("~/Library/Caches/to-outside"), test.volume().host("/outside")))
        , loop(mac.symlink(QStringLiteral("~/Library/Caches/sub/loop"), test.volume().home("/Library/Caches")))
        , caches(test.volume().home(QStringLiteral("/Library/Caches")))
    {
    }

    // Allocated bytes of one entry as the file system reports it.
    static qint64 blocksOf(const QString &path)
    {
        struct stat info;
        return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? qint64(info.st_blocks) * 512 : 0;
    }
    qint64 filesAndLinks() const
    {
        return blocksOf(a) + blocksOf(hidden) + blocksOf(packaged) + blocksOf(link) + blocksOf(folderLink) + blocksOf(loop);
    }

    TestPlatform test;
    MacVolumeBuilder mac;
    const QString big, a, hidden, packaged, link, folderLink, loop, caches;
};

} // namespace

TEST_F(AllocatedSizeTest, AFolderSumsEverythingBelowItOnceHiddenAndPackagedIncludedWithoutFollowingLinks)
{
    const qint64 folders = blocksOf(caches + "/sub") + blocksOf(caches + "/Thing.app") + blocksOf(caches + "/Thing.app/Contents");
    const AllocatedSize::Tally tally = AllocatedSize::measure(caches, test.volume().root());
    EXPECT_EQ(tally.bytes, filesAndLinks() + folders);
    EXPECT_LT(tally.bytes, blocksOf(big));
    EXPECT_EQ(tally.entries, 10);  // the folder and the nine entries below it, each once
    EXPECT_EQ(tally.unreadable, 0);
    EXPECT_EQ(AllocatedSize::fileSizeOf(caches), tally.bytes);
}

TEST_F(AllocatedSizeTest, APathThatIsNotAFolderSizesAsItself)
{
    EXPECT_EQ(AllocatedSize::fileSizeOf(a), blocksOf(a));
    EXPECT_EQ(AllocatedSize::fileSizeOf(link, test.volume().root()), blocksOf(link));
    EXPECT_EQ(AllocatedSize::fileSizeOf(folderLink), blocksOf(folderLink));
    EXPECT_EQ(AllocatedSize::fileSizeOf(test.volume().home("/nothing/here")), 0);
    EXPECT_EQ(AllocatedSize::fileSizeOf(QString()), 0);
}

TEST_F(AllocatedSizeTest, TheFilesBelowAFolderLeaveTheFoldersOutAndNothingElseCounts)
{
    EXPECT_EQ(AllocatedSize::ofFilesBelow(caches), filesAndLinks());
    EXPECT_EQ(AllocatedSize::ofFilesBelow(a), 0);
    EXPECT_EQ(AllocatedSize::ofFilesBelow(folderLink), 0);
    EXPECT_EQ(AllocatedSize::ofFilesBelow(test.volume().home("/missing")), 0);
    EXPECT_EQ(AllocatedSize::ofFilesBelow(QString()), 0);
}

TEST_F(AllocatedSizeTest, APathReachedThroughALinkedFolderSizesAsNothingBelowTheAnchor)
{
    mac.file(QStringLiteral("/outside/Chrome/big.bin"), QByteArray(300000, 'b'));
    mac.symlink(QStringLiteral("~/Library/Caches/Google"), test.volume().host("/outside"));
    const QString throughLink = test.volume().home("/Library/Caches/Google/Chrome");
    EXPECT_EQ(AllocatedSize::fileSizeOf(throughLink, test.volume().root()), 0);
    EXPECT_GT(AllocatedSize::fileSizeOf(throughLink), 0);
}
