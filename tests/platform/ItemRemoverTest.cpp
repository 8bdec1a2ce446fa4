#include "platform/ItemRemover.h"
#include "support/MacVolumeBuilder.h"
#include "support/RefusingItemRemover.h"
#include "support/TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Result = ItemRemover::Result;

class ItemRemoverTest : public ::testing::Test
{
protected:
    ItemRemoverTest()
        : mac(test.volume())
        , remover(test.volume().root())
    {
    }

    // Anything at the path, a dangling link included.
    static bool exists(const QString &path)
    {
        struct stat info;
        return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
    }
    QString home(const QString &rest) const { return test.volume().home(rest); }

    TestPlatform test;
    MacVolumeBuilder mac;
    RefusingItemRemover remover;
    QTemporaryDir outside;
};

} // namespace

TEST_F(ItemRemoverTest, RemovesAFileAndAFolderWithEverythingInItAndFindsNothingTheSecondTime)
{
    const QString file = mac.file(QStringLiteral("/Library/LaunchAgents/com.genieo.plist"));
    const QString bundle = mac.app(QStringLiteral("/Applications/Genieo.app"));
    mac.file(QStringLiteral("/Applications/Genieo.app/Contents/Resources/deep/er/icon.icns"), QByteArray(5000, 'd'));
    mac.file(QStringLiteral("/Applications/Genieo.app/Contents/.hidden"));
    mac.dir(QStringLiteral("/Applications/Genieo.app/Contents/Empty"));

    EXPECT_EQ(remover.removeItem(file).result, Result::Removed);
    const ItemRemover::Outcome outcome = remover.removeItem(bundle + QLatin1Char('/'));
    EXPECT_EQ(outcome.result, Result::Removed) << outcome.reason.toStdString();
    EXPECT_TRUE(outcome.reason.isEmpty());
    EXPECT_FALSE(exists(file));
    EXPECT_FALSE(exists(bundle));
    EXPECT_TRUE(QFileInfo(mac.host(QStringLiteral("/Applications"))).isDir());

    EXPECT_EQ(remover.removeItem(bundle).result, Result::Absent);
    EXPECT_EQ(remover.removeItem(mac.host(QStringLiteral("/No/Such/Folder/item"))).result, Result::Absent);
    QString error = QStringLiteral("stale");
    EXPECT_TRUE(remover.removeItemAtPath(mac.host(QStringLiteral("/Applications/Nothing.app")), &error));
    EXPECT_TRUE(error.isEmpty());
}

TEST_F(ItemRemoverTest, ALinkIsRemovedItselfAndItsTargetIsKept)
{
    const QString target = outside.filePath(QStringLiteral("precious"));
    QDir().mkpath(target + QStringLiteral("/inner"));
    QFile(target + QStringLiteral("/inner/data")).open(QIODevice::WriteOnly);
    const QString link = mac.symlink(QStringLiteral("~/Library/Application Support/Genieo"), target);
    const QString dangling = mac.symlink(QStringLiteral("~/Library/LaunchAgents/gone.plist"),
                                         outside.filePath(QStringLiteral("nowhere")));

    EXPECT_EQ(remover.removeItem(link).result, Result::Removed);
    EXPECT_EQ(remover.removeItem(dangling).result, Result::Removed);
    EXPECT_FALSE(exists(link));
    EXPECT_FALSE(exists(dangling));
    EXPECT_TRUE(QFileInfo::exists(target + QStringLiteral("/inner/data")));
}

TEST_F(ItemRemoverTest, LinksInsideAFolderAreRemovedWithoutTouchingWhatTheyPointTo)
{
    const QString keptFolder = outside.filePath(QStringLiteral("kept"));
    QDir().mkpath(keptFolder);
    const QString keptFile = outside.filePath(QStringLiteral("kept.txt"));
    QFile(keptFile).open(QIODevice::WriteOnly);
    QFile(keptFolder + QStringLiteral("/child")).open(QIODevice::WriteOnly);
    const QString threat = mac.dir(QStringLiteral("~/Library/Application Support/VSearch"));
    mac.symlink(QStringLiteral("~/Library/Application Support/VSearch/folder-link"), keptFolder);
    mac.symlink(QStringLiteral("~/Library/Application Support/VSearch/sub/file-link"), keptFile);
    mac.symlink(QStringLiteral("~/Library/Application Support/VSearch/loop"), threat);

    const ItemRemover::Outcome outcome = remover.removeItem(threat);
    EXPECT_EQ(outcome.result, Result::Removed) << outcome.reason.toStdString();
    EXPECT_FALSE(exists(threat));
    EXPECT_TRUE(QFileInfo::exists(keptFolder + QStringLiteral("/child")));
    EXPECT_TRUE(QFileInfo::exists(keptFile));
}

TEST_F(ItemRemoverTest, APathReachedThroughALinkedFolderIsLeftAloneAndNamesTheLink)
{
    const QString elsewhere = outside.filePath(QStringLiteral("Support"));
    QDir().mkpath(elsewhere + QStringLiteral("/Genieo"));
    mac.symlink(QStringLiteral("~/Library/Application Support"), elsewhere);
    const QString throughLink = home(QStringLiteral("/Library/Application Support/Genieo"));

    const ItemRemover::Outcome outcome = remover.removeItem(throughLink);
    EXPECT_EQ(outcome.result, Result::NotRemoved);
    EXPECT_TRUE(outcome.reason.contains(QLatin1String("symbolic link"))) << outcome.reason.toStdString();
    QString error;
    EXPECT_FALSE(remover.removeItemAtPath(throughLink, &error));
    EXPECT_EQ(error, outcome.reason);
    EXPECT_TRUE(QFileInfo(elsewhere + QStringLiteral("/Genieo")).isDir());

    // Behind a dangling linked folder nothing is there.
    mac.symlink(QStringLiteral("~/Library/Caches/Adobe"), outside.filePath(QStringLiteral("nowhere")));
    EXPECT_EQ(remover.removeItem(home(QStringLiteral("/Library/Caches/Adobe/Flash Player"))).result, Result::Absent);
}

TEST_F(ItemRemoverTest, NothingOutsideTheVolumeNorTheVolumeItselfIsRemoved)
{
    const QString elsewhere = outside.filePath(QStringLiteral("Genieo"));
    QDir().mkpath(elsewhere);
    const QString escape = test.volume().home(QStringLiteral("/../../Users/../../")) + QFileInfo(outside.path()).fileName();

    EXPECT_EQ(remover.removeItem(elsewhere).result, Result::NotRemoved);
    EXPECT_EQ(remover.removeItem(escape).result, Result::NotRemoved);
    EXPECT_EQ(remover.removeItem(mac.host(QStringLiteral("/Applications/../../escape"))).result, Result::NotRemoved);
    EXPECT_EQ(remover.removeItem(QStringLiteral("relative/path")).result, Result::NotRemoved);
    QString error;
    EXPECT_FALSE(remover.removeItemAtPath(test.volume().root() + QLatin1Char('/'), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(elsewhere).isDir());
    EXPECT_TRUE(QFileInfo(home(QString())).isDir());
}

TEST_F(ItemRemoverTest, AnEntryThatCannotBeDeletedStaysWithItsFoldersAndIsTheReason)
{
    const QString bundle = mac.app(QStringLiteral("/Applications/Codec-M.app"));
    const QString locked = mac.file(QStringLiteral("/Applications/Codec-M.app/Contents/Resources/locked.dat"));
    mac.file(QStringLiteral("/Applications/Codec-M.app/Contents/Resources/free.dat"));
    const QString sibling = mac.file(QStringLiteral("/Applications/Codec-M.app/Contents/Other/sibling.dat"));
    remover.refusedNames = {"locked.dat"};

    const ItemRemover::Outcome outcome = remover.removeItem(bundle);
    EXPECT_EQ(outcome.result, Result::NotRemoved);
    EXPECT_TRUE(outcome.reason.endsWith(QLatin1String("Resources/locked.dat: Operation not permitted")))
        << outcome.reason.toStdString();
    EXPECT_TRUE(exists(locked));
    EXPECT_FALSE(exists(bundle + QStringLiteral("/Contents/Resources/free.dat")));
    EXPECT_FALSE(exists(bundle + QStringLiteral("/Contents/Info.plist")));
    EXPECT_FALSE(exists(QFileInfo(sibling).absolutePath()));

    // A folder that cannot itself be removed fails even when emptied.
    const QString inside = mac.file(QStringLiteral("~/Library/Application Support/Pinned/inside.txt"));
    const QString pinned = QFileInfo(inside).absolutePath();
    remover.refusedNames = {"Pinned"};
    QString error;
    EXPECT_FALSE(remover.removeItemAtPath(pinned, &error));
    EXPECT_TRUE(error.startsWith(pinned)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(pinned).isDir());
    EXPECT_FALSE(exists(inside));
}

TEST_F(ItemRemoverTest, NamesThatAreNotUtf8AreRemovedLikeAnyOther)
{
    const QString folder = mac.dir(QStringLiteral("~/Library/Application Support/Odd"));
    const QByteArray odd = QFile::encodeName(folder) + "/bad-\xff\xfe-name";
    const int fd = ::open(odd.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);

    const ItemRemover::Outcome outcome = remover.removeItem(folder);
    EXPECT_EQ(outcome.result, Result::Removed) << outcome.reason.toStdString();
    EXPECT_FALSE(exists(folder));
}

TEST_F(ItemRemoverTest, FoldersNestedBeyondTheLimitAreLeftInPlaceAndReported)
{
    const QString top = mac.dir(QStringLiteral("~/Library/Deep"));
    int fd = ::open(QFile::encodeName(top).constData(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; fd >= 0 && level < 600; ++level) {
        const int next = ::mkdirat(fd, "d", 0755) == 0 ? ::openat(fd, "d", O_RDONLY | O_DIRECTORY) : -1;
        ::close(fd);
        fd = next;
    }
    ASSERT_GE(fd, 0);
    ::close(fd);

    const ItemRemover::Outcome outcome = remover.removeItem(top);
    EXPECT_EQ(outcome.result, Result::NotRemoved);
    EXPECT_TRUE(outcome.reason.endsWith(QLatin1String("nested too deeply, left in place"))) << outcome.reason.toStdString();
    EXPECT_TRUE(exists(top));
}
