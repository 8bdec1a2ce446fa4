#include "app/AccessController.h"
#include "app/PreferenceKeys.h"
#include "support/FailingBookmarks.h"
#include "support/MacVolumeBuilder.h"
#include "support/TestPlatform.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace PreferenceKeys;

TEST(AccessController, HomeFolderAccessComesFromWritabilityOrAStoredBookmark)
{
    TestPlatform test;
    AccessController access(test.platform());
    // No home folder on the volume, nothing stored.
    EXPECT_FALSE(access.isUserAccessible());
    EXPECT_FALSE(access.isUserDirAccessible());

    MacVolumeBuilder mac(test.volume());
    EXPECT_TRUE(access.isUserAccessible());
    EXPECT_TRUE(access.isUserDirAccessible());
}

TEST(AccessController, StoredBookmarksOpenUntilTheirFolderIsReplaced)
{
    TestPlatform test;
    MacVolumeBuilder mac(test.volume());
    AccessController access(test.platform());
    EXPECT_FALSE(access.makeBookMarkURLAccessible(kSaveDirectoryForHD8));
    ASSERT_TRUE(access.saveBookmark(test.volume().homeFolder(), {kSaveDirectory, kSaveDirectoryForHD8}));
    EXPECT_TRUE(access.makeBookMarkURLAccessible(kSaveDirectory));
    EXPECT_TRUE(access.makeBookMarkURLAccessible(kSaveDirectoryForHD8));
    // The old folder is kept aside, so the new one cannot get its inode back.
    ASSERT_TRUE(QDir().rename(test.volume().homeFolder(), test.volume().homeFolder() + QStringLiteral("-old")));
    ASSERT_TRUE(QDir().mkpath(test.volume().homeFolder()));
    EXPECT_FALSE(access.makeBookMarkURLAccessible(kSaveDirectory));
}

TEST(AccessController, AFailedBookmarkKeepsTheEarlierGrant)
{
    TestPlatform test;
    MacVolumeBuilder mac(test.volume());
    AccessController access(test.platform());
    ASSERT_TRUE(access.saveBookmark(test.volume().homeFolder(), {kSaveDirectory}));
    const QByteArray before = test.platform().defaults().dataForKey(kSaveDirectory);

    test.platform().setBookmarks(std::make_unique<FailingBookmarks>());
    EXPECT_FALSE(access.saveBookmark(test.volume().homeFolder(), {kSaveDirectory}));
    EXPECT_EQ(test.platform().defaults().dataForKey(kSaveDirectory), before);
    const auto requests = test.alerts().requests();
    ASSERT_FALSE(requests.isEmpty());
    EXPECT_EQ(requests.last().messageText, QStringLiteral("Error"));
    EXPECT_EQ(requests.last().informativeText, QStringLiteral("Access Denied"));
}

TEST(AccessController, AccessWindowAcceptsOnlyTheHomeFolderUsersOrTheRoot)
{
    TestPlatform test(QString(), QStringLiteral("ann"));
    MacVolumeBuilder mac(test.volume());
    const QString other = mac.dir(QStringLiteral("/Users/bob"));
    AccessController access(test.platform());
    test.alerts().answer({other, test.volume().homeFolder()});
    EXPECT_TRUE(access.confirmAccessFromAccessWindow());
    const auto requests = test.alerts().requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests.at(0).kind, QStringLiteral("folder"));
    EXPECT_EQ(requests.at(1).messageText, QStringLiteral("Sweepling"));
    EXPECT_EQ(requests.at(1).informativeText, QStringLiteral("Please select home directory."));
    EXPECT_TRUE(test.platform().defaults().contains(kSaveDirectory));
    EXPECT_TRUE(access.isAcceptableAccessFolder(test.volume().host(QStringLiteral("/Users"))));
    EXPECT_TRUE(access.isAcceptableAccessFolder(test.volume().root()));
}

TEST(AccessController, DiskAccessIsAskedOnlyWhenTheRemoteFlagIsSet)
{
    TestPlatform test;
    AccessController access(test.platform());
    // The test volume's root is writable, so the disk reads as accessible.
    test.platform().defaults().setBool(true, SandboxingDone);
    EXPECT_FALSE(access.checkForHDAccess());
    EXPECT_TRUE(test.alerts().requests().isEmpty());
    test.platform().defaults().setBool(false, SandboxingDone);
    EXPECT_FALSE(access.checkForHDAccess());
    EXPECT_TRUE(test.alerts().requests().isEmpty());
}

TEST(AccessController, ScanAccessChooserStoresTheGrantUnderBothKeys)
{
    TestPlatform test;
    MacVolumeBuilder mac(test.volume());
    AccessController access(test.platform());
    test.alerts().answer(test.volume().homeFolder());
    EXPECT_TRUE(access.askForScanAccess());
    EXPECT_TRUE(test.platform().defaults().boolForKey(LibraryAccess));
    EXPECT_EQ(test.platform().defaults().dataForKey(kSaveDirectory),
              test.platform().defaults().dataForKey(kSaveDirectoryForHD8));
    EXPECT_FALSE(access.askForScanAccess());
}
