#include "CleaningFixture.h"
#include "RefusingRemover.h"

#include <QFileInfo>

namespace {
bool present(const QString &path)
{
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}
} // namespace

class PathRemoverTest : public CleaningFixture
{
protected:
    PathRemover remover{test.volume().root()};
};

TEST_F(PathRemoverTest, RemovesAFolderWithEverythingInIt)
{
    mac.file(QStringLiteral("~/Library/Caches/a/b/c/deep.bin"), QByteArray(5000, 'd'));
    mac.file(QStringLiteral("~/Library/Caches/.hidden"));
    mac.dir(QStringLiteral("~/Library/Caches/empty"));
    const auto outcome = remover.removeItem(home("/Library/Caches"));
    EXPECT_EQ(outcome.result, PathRemover::Result::Removed);
    EXPECT_FALSE(present(home("/Library/Caches")));
    EXPECT_TRUE(present(home("/Library")));
    EXPECT_EQ(remover.removeItem(home("/Library/Caches")).result, PathRemover::Result::Absent);
}

TEST_F(PathRemoverTest, ALinkInsideAListedFolderIsRemovedWithoutTouchingItsTarget)
{
    const QString keep = mac.file(QStringLiteral("/outside/keep/precious.txt"));
    mac.symlink(QStringLiteral("~/Library/Logs/to-folder"), test.volume().host("/outside/keep"));
    mac.symlink(QStringLiteral("~/Library/Logs/to-file"), keep);
    EXPECT_EQ(remover.removeItem(home("/Library/Logs")).result, PathRemover::Result::Removed);
    EXPECT_FALSE(present(home("/Library/Logs")));
    EXPECT_TRUE(present(keep));
}

TEST_F(PathRemoverTest, AListedPathThatIsALinkLosesTheLinkOnly)
{
    const QString keep = mac.file(QStringLiteral("/outside/keep/precious.txt"));
    const QString link = mac.symlink(QStringLiteral("~/Library/Caches/Google"), test.volume().host("/outside/keep"));
    EXPECT_EQ(remover.removeItem(link).result, PathRemover::Result::Removed);
    EXPECT_FALSE(present(link));
    EXPECT_TRUE(present(keep));
}

TEST_F(PathRemoverTest, APathReachedThroughALinkedFolderIsLeftAlone)
{
    const QString keep = mac.file(QStringLiteral("/outside/Chrome/precious.txt"));
    mac.symlink(QStringLiteral("~/Library/Caches/Google"), test.volume().host("/outside"));
    const auto outcome = remover.removeItem(home("/Library/Caches/Google/Chrome"));
    EXPECT_EQ(outcome.result, PathRemover::Result::NotRemoved);
    EXPECT_FALSE(outcome.reason.isEmpty());
    EXPECT_TRUE(present(keep));
    // A dangling linked folder: nothing is there.
    mac.symlink(QStringLiteral("~/Library/Caches/Adobe"), test.volume().host("/nowhere"));
    EXPECT_EQ(remover.removeItem(home("/Library/Caches/Adobe/Flash Player")).result, PathRemover::Result::Absent);
}

TEST_F(PathRemoverTest, NothingOutsideTheVolumeOrTheVolumeItselfIsRemoved)
{
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.filePath(QStringLiteral("file"));
    QFile(outside).open(QIODevice::WriteOnly);
    EXPECT_EQ(remover.removeItem(outside).result, PathRemover::Result::NotRemoved);
    EXPECT_EQ(remover.removeItem(test.volume().home("/../../Users/../../") + QFileInfo(elsewhere.path()).fileName()).result,
              PathRemover::Result::NotRemoved);
    EXPECT_TRUE(present(outside));
    EXPECT_EQ(remover.removeItem(test.volume().root()).result, PathRemover::Result::NotRemoved);
    EXPECT_TRUE(present(home("")));
}

TEST_F(PathRemoverTest, AnEntryThatCannotBeRemovedKeepsItsFoldersAndIsReported)
{
    const QString locked = mac.file(QStringLiteral("~/Library/Caches/app/locked.db"));
    const QString other = mac.file(QStringLiteral("~/Library/Caches/app/other.db"));
    const QString sibling = mac.file(QStringLiteral("~/Library/Caches/sibling.db"));
    RefusingRemover refusing(test.volume().root(), {"locked.db"});
    const auto outcome = refusing.removeItem(home("/Library/Caches"));
    EXPECT_EQ(outcome.result, PathRemover::Result::NotRemoved);
    EXPECT_TRUE(outcome.reason.contains(QStringLiteral("locked.db")));
    EXPECT_TRUE(present(locked));
    EXPECT_FALSE(present(other));
    EXPECT_FALSE(present(sibling));
}
