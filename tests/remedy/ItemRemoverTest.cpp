#include "remedy/RefusingItemRemover.h"
#include "scan/Adware.h"
#include "support/MacVolumeBuilder.h"
#include "support/TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

class ItemRemoverTest : public ::testing::Test
{
protected:
    ItemRemoverTest()
        : mac(test.volume())
        , remover(test.volume().root())
    {
    }

    static bool exists(const QString &path) { return Adware::fileExistsAtPath(path); }

    TestPlatform test;
    MacVolumeBuilder mac;
    RefusingItemRemover remover;
    QTemporaryDir outside;
};

} // namespace

TEST_F(ItemRemoverTest, RemovesAFileAFolderWithItsContentsAndAnswersTrueForNothing)
{
    const QString file = mac.file(QStringLiteral("/Library/LaunchAgents/com.genieo.plist"));
    const QString bundle = mac.app(QStringLiteral("/Applications/Genieo.app"));
    mac.file(QStringLiteral("/Applications/Genieo.app/Contents/Resources/deep/er/icon.icns"));
    mac.dir(QStringLiteral("/Applications/Genieo.app/Contents/Empty"));

    QString error;
    EXPECT_TRUE(remover.removeItemAtPath(file, &error)) << error.toStdString();
    EXPECT_TRUE(remover.removeItemAtPath(bundle + QLatin1Char('/'), &error)) << error.toStdString();
    EXPECT_FALSE(exists(file));
    EXPECT_FALSE(exists(bundle));
    EXPECT_TRUE(QFileInfo(mac.host(QStringLiteral("/Applications"))).isDir());
    EXPECT_TRUE(remover.removeItemAtPath(mac.host(QStringLiteral("/Applications/Nothing.app")), &error));
    EXPECT_TRUE(remover.removeItemAtPath(mac.host(QStringLiteral("/No/Such/Folder/item")), &error));
}

TEST_F(ItemRemoverTest, ALinkIsRemovedItselfAndItsTargetIsKept)
{
    const QString target = outside.filePath(QStringLiteral("precious"));
    QDir().mkpath(target + QStringLiteral("/inner"));
    QFile(target + QStringLiteral("/inner/data")).open(QIODevice::WriteOnly);
    const QString link = mac.symlink(QStringLiteral("~/Library/Application Support/Genieo"), target);
    const QString dangling = mac.symlink(QStringLiteral("~/Library/LaunchAgents/gone.plist"),
                                         outside.filePath(QStringLiteral("nowhere")));

    EXPECT_TRUE(remover.removeItemAtPath(link));
    EXPECT_TRUE(remover.removeItemAtPath(dangling));
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

    QString error;
    EXPECT_TRUE(remover.removeItemAtPath(threat, &error)) << error.toStdString();
    EXPECT_FALSE(exists(threat));
    EXPECT_TRUE(QFileInfo::exists(keptFolder + QStringLiteral("/child")));
    EXPECT_TRUE(QFileInfo::exists(keptFile));
}

TEST_F(ItemRemoverTest, APathReachedThroughALinkedFolderOrOutsideTheVolumeIsLeftAlone)
{
    const QString elsewhere = outside.filePath(QStringLiteral("Support"));
    QDir().mkpath(elsewhere + QStringLiteral("/Genieo"));
    mac.dir(QStringLiteral("~/Library"));
    mac.symlink(QStringLiteral("~/Library/Application Support"), elsewhere);
    const QString throughLink = mac.host(QStringLiteral("~/Library/Application Support/Genieo"));

    QString error;
    EXPECT_FALSE(remover.removeItemAtPath(throughLink, &error));
    EXPECT_TRUE(error.contains(QLatin1String("symbolic link"))) << error.toStdString();
    EXPECT_TRUE(QFileInfo(elsewhere + QStringLiteral("/Genieo")).isDir());

    EXPECT_FALSE(remover.removeItemAtPath(elsewhere + QStringLiteral("/Genieo"), &error));
    EXPECT_FALSE(remover.removeItemAtPath(mac.host(QStringLiteral("/Applications/../../escape")), &error));
    EXPECT_FALSE(remover.removeItemAtPath(test.volume().root(), &error));
    EXPECT_TRUE(QFileInfo(elsewhere + QStringLiteral("/Genieo")).isDir());
    EXPECT_TRUE(QFileInfo(test.volume().root()).isDir());
}

TEST_F(ItemRemoverTest, AnEntryThatCannotBeDeletedFailsTheRemovalAndTheRestIsGone)
{
    const QString bundle = mac.app(QStringLiteral("/Applications/Codec-M.app"));
    mac.file(QStringLiteral("/Applications/Codec-M.app/Contents/Resources/locked.dat"));
    mac.file(QStringLiteral("/Applications/Codec-M.app/Contents/Resources/free.dat"));
    remover.refusedNames = {"locked.dat"};

    QString error;
    EXPECT_FALSE(remover.removeItemAtPath(bundle, &error));
    EXPECT_TRUE(error.endsWith(QLatin1String("Resources/locked.dat: Operation not permitted"))) << error.toStdString();
    EXPECT_TRUE(exists(bundle + QStringLiteral("/Contents/Resources/locked.dat")));
    EXPECT_FALSE(exists(bundle + QStringLiteral("/Contents/Resources/free.dat")));
    EXPECT_FALSE(exists(bundle + QStringLiteral("/Contents/Info.plist")));

    // A folder that cannot itself be removed fails even when emptied.
    const QString folder = mac.file(QStringLiteral("~/Library/Application Support/Pinned/inside.txt"));
    remover.refusedNames = {"Pinned"};
    EXPECT_FALSE(remover.removeItemAtPath(QFileInfo(folder).absolutePath(), &error));
    EXPECT_TRUE(QFileInfo(QFileInfo(folder).absolutePath()).isDir());
    EXPECT_FALSE(exists(folder));
}

TEST_F(ItemRemoverTest, NamesThatAreNotUtf8AreRemovedLikeAnyOther)
{
    const QString folder = mac.dir(QStringLiteral("~/Library/Application Support/Odd"));
    const QByteArray odd = QFile::encodeName(folder) + "/bad-\xff\xfe-name";
    const int fd = ::open(odd.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);

    QString error;
    EXPECT_TRUE(remover.removeItemAtPath(folder, &error)) << error.toStdString();
    EXPECT_FALSE(exists(folder));
}
