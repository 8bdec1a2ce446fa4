#include "platform/AnchoredPath.h"
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
#include <memory>
#include <sys/mount.h>
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

TEST_F(ItemRemoverTest, ALinkedFolderLeadsOnlyToWhatItNamesInsideTheVolume)
{
    // An absolute link names a folder of the volume, not of the host.
    const QString elsewhere = outside.filePath(QStringLiteral("Support"));
    QDir().mkpath(elsewhere + QStringLiteral("/Genieo"));
    mac.symlink(QStringLiteral("~/Library/Application Support"), elsewhere);
    const QString throughLink = home(QStringLiteral("/Library/Application Support/Genieo"));

    EXPECT_EQ(remover.removeItem(throughLink).result, Result::Absent);
    EXPECT_TRUE(QFileInfo(elsewhere + QStringLiteral("/Genieo")).isDir());

    // Behind a dangling linked folder nothing is there.
    mac.symlink(QStringLiteral("~/Library/Caches/Adobe"), outside.filePath(QStringLiteral("nowhere")));
    EXPECT_EQ(remover.removeItem(home(QStringLiteral("/Library/Caches/Adobe/Flash Player"))).result, Result::Absent);
    // Nor behind a loop of links.
    mac.symlink(QStringLiteral("~/Library/Caches/Loop"), QStringLiteral("Loop"));
    EXPECT_EQ(remover.removeItem(home(QStringLiteral("/Library/Caches/Loop/x"))).result, Result::Absent);
}

// On a Mac "/tmp", "/var" and "/etc" are links into "/private"; a catalogue
// path through them is found and removed where the Mac has it, by the
// kernel's resolution and by the walk done without it alike, and no link,
// however written, leads out of the volume.
TEST_F(ItemRemoverTest, TheVolumesOwnLinksAreFollowedInsideTheVolumeAndNeverOutOfIt)
{
    const QString root = test.volume().root();
    const QString tmpLink = mac.symlink(QStringLiteral("/tmp"), QStringLiteral("/private/tmp"));
    mac.symlink(QStringLiteral("/etc"), QStringLiteral("private/etc"));
    mac.symlink(QStringLiteral("~/Library/Caches/system"), QStringLiteral("/etc"));
    const QString victim = outside.filePath(QStringLiteral("victim"));
    QFile(victim).open(QIODevice::WriteOnly);
    mac.symlink(QStringLiteral("~/Library/Caches/up"), QStringLiteral("../../../../../../../../../.."));
    mac.symlink(QStringLiteral("~/Library/Caches/host"), outside.path());

    for (const bool kernel : {true, false}) {
        AnchoredPath::setKernelResolution(kernel);
        const QString real = mac.file(QStringLiteral("/private/tmp/mcyahooChecker.sh"));
        const QString threat = mac.host(QStringLiteral("/tmp/mcyahooChecker.sh"));
        EXPECT_TRUE(AnchoredPath::exists(root, threat)) << kernel;
        const ItemRemover::Outcome outcome = remover.removeItem(threat);
        EXPECT_EQ(outcome.result, Result::Removed) << kernel << outcome.reason.toStdString();
        EXPECT_FALSE(exists(real)) << kernel;
        EXPECT_FALSE(AnchoredPath::exists(root, threat)) << kernel;
        EXPECT_TRUE(QFileInfo(tmpLink).isSymLink());

        // An absolute link inside the home folder names the volume's "/etc".
        const QString conf = mac.file(QStringLiteral("/private/etc/evil.conf"));
        EXPECT_EQ(remover.removeItem(home(QStringLiteral("/Library/Caches/system/evil.conf"))).result, Result::Removed);
        EXPECT_FALSE(exists(conf)) << kernel;

        for (const QString &escape : {home(QStringLiteral("/Library/Caches/up")) + victim,
                                      home(QStringLiteral("/Library/Caches/host/victim"))}) {
            EXPECT_FALSE(AnchoredPath::exists(root, escape)) << kernel << escape.toStdString();
            EXPECT_EQ(remover.removeItem(escape).result, Result::Absent) << kernel << escape.toStdString();
        }
        EXPECT_TRUE(exists(victim)) << kernel;
    }
    AnchoredPath::setKernelResolution(true);
}

TEST_F(ItemRemoverTest, ProtectedFoldersAreNeverRemovedWhateverThePathSays)
{
    const QString thesis = mac.file(QStringLiteral("~/Documents/thesis.txt"));
    const QString photo = mac.file(QStringLiteral("/Users/other/Desktop/photo.jpg"));
    const QString preferences = mac.file(QStringLiteral("/Library/Preferences/keep.plist"));
    const QString database = mac.file(QStringLiteral("/private/var/db/keep.db"));
    mac.app(QStringLiteral("/Applications/Safari.app"));
    const QString root = test.volume().root();
    const QStringList refused{
        root + QLatin1Char('/'),
        home(QString()),
        home(QStringLiteral("/")),
        mac.host(QStringLiteral("/Applications/../Users")),
        mac.host(QStringLiteral("/Applications/../Users/tester")),
        root + QStringLiteral("//Users//tester/./Documents/"),
        home(QStringLiteral("/Documents/../Downloads")),
        home(QStringLiteral("/Library")),
        mac.host(QStringLiteral("/USERS/Tester")),
        mac.host(QStringLiteral("/Users/other")),
        mac.host(QStringLiteral("/Users/other/Desktop")),
        mac.host(QStringLiteral("/Applications")),
        mac.host(QStringLiteral("/Library/Preferences")),
        mac.host(QStringLiteral("/private")),
        mac.host(QStringLiteral("/private/var")),
        mac.host(QStringLiteral("/System")),
    };
    for (const QString &path : refused) {
        const ItemRemover::Outcome outcome = remover.removeItem(path);
        EXPECT_EQ(outcome.result, Result::NotRemoved) << path.toStdString();
        EXPECT_TRUE(outcome.reason.contains(QLatin1String("never removed"))) << outcome.reason.toStdString();
    }
    for (const QString &kept : {thesis, photo, preferences, database})
        EXPECT_TRUE(exists(kept)) << kept.toStdString();

    // A link on the way is no way round: what it leads to is tested too.
    mac.symlink(QStringLiteral("~/Library/Application Support/Evil"), QStringLiteral("/"));
    mac.symlink(QStringLiteral("~/Library/Application Support/Up"), QStringLiteral("../.."));
    for (const QString &path : {home(QStringLiteral("/Library/Application Support/Evil/Users/tester")),
                                home(QStringLiteral("/Library/Application Support/Evil/Users/tester/Documents")),
                                home(QStringLiteral("/Library/Application Support/Up/Documents"))}) {
        const ItemRemover::Outcome outcome = remover.removeItem(path);
        EXPECT_EQ(outcome.result, Result::NotRemoved) << path.toStdString();
        EXPECT_TRUE(outcome.reason.contains(QLatin1String("never removed"))) << outcome.reason.toStdString();
    }
    EXPECT_TRUE(exists(thesis));

    // What lies inside them goes as before, the links themselves too.
    EXPECT_EQ(remover.removeItem(thesis).result, Result::Removed);
    EXPECT_EQ(remover.removeItem(home(QStringLiteral("/Library/Application Support/Evil"))).result, Result::Removed);
    EXPECT_TRUE(QFileInfo(home(QStringLiteral("/Documents"))).isDir());
}

// A folder that is itself a mount point is refused before anything in it is
// touched: a file system mounted there, or a bind mount of another folder.
TEST_F(ItemRemoverTest, AMountPointIsRefusedBeforeAnythingInItIsTouched)
{
    const QString mounted = mac.dir(QStringLiteral("~/Library/Caches/Mounted"));
    if (::mount("tmpfs", QFile::encodeName(mounted).constData(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "mounting is not allowed here";
    const QByteArray mountedPath = QFile::encodeName(mounted);
    const std::unique_ptr<const char, void (*)(const char *)> unmount(
        mountedPath.constData(), [](const char *path) { ::umount2(path, MNT_DETACH); });
    const QString inside = mac.file(QStringLiteral("~/Library/Caches/Mounted/data/kept.bin"));

    ItemRemover::Outcome outcome = remover.removeItem(mounted);
    EXPECT_EQ(outcome.result, Result::NotRemoved);
    EXPECT_TRUE(outcome.reason.contains(QLatin1String("mount point"))) << outcome.reason.toStdString();
    EXPECT_TRUE(exists(inside));

    const QString source = mac.file(QStringLiteral("~/Library/Source/kept.txt"));
    const QString bound = mac.dir(QStringLiteral("~/Library/Caches/Bound"));
    const QByteArray boundPath = QFile::encodeName(bound);
    ASSERT_EQ(::mount(QFile::encodeName(QFileInfo(source).absolutePath()).constData(), boundPath.constData(), nullptr,
                      MS_BIND, nullptr),
              0);
    const std::unique_ptr<const char, void (*)(const char *)> unbind(
        boundPath.constData(), [](const char *path) { ::umount2(path, MNT_DETACH); });
    outcome = remover.removeItem(bound);
    EXPECT_EQ(outcome.result, Result::NotRemoved);
    EXPECT_TRUE(outcome.reason.contains(QLatin1String("mount point"))) << outcome.reason.toStdString();
    EXPECT_TRUE(exists(source));
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
