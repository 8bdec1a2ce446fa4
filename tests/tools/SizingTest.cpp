#include "CleaningFixture.h"

#include "tools/AllocatedSize.h"
#include "tools/SizeRule.h"

#include <QLocale>

using SizingTest = CleaningFixture;

TEST_F(SizingTest, AFolderSumsEverythingBelowItHiddenAndPackagedIncludedWithoutFollowingLinks)
{
    const QString big = mac.file(QStringLiteral("/outside/big.bin"), QByteArray(300000, 'b'));
    const QString a = mac.file(QStringLiteral("~/Library/Caches/a.bin"), QByteArray(5000, 'a'));
    const QString hidden = mac.file(QStringLiteral("~/Library/Caches/sub/.hidden"), QByteArray(9000, 'h'));
    const QString packaged = mac.file(QStringLiteral("~/Library/Caches/Thing.app/Contents/x"), QByteArray(7000, 'p'));
    const QString link = mac.symlink(QStringLiteral("~/Library/Caches/sub/to-big"), big);
    const QString folderLink = mac.symlink(QStringLiteral("~/Library/Caches/to-outside"), test.volume().host("/outside"));
    const QString caches = home(QStringLiteral("/Library/Caches"));

    const qint64 expected = blocksOf(a) + blocksOf(hidden) + blocksOf(packaged) + blocksOf(link) + blocksOf(folderLink)
        + blocksOf(caches + "/sub") + blocksOf(caches + "/Thing.app") + blocksOf(caches + "/Thing.app/Contents");
    const AllocatedSize::Tally tally = AllocatedSize::measure(caches, test.volume().root());
    EXPECT_EQ(tally.bytes, expected);
    EXPECT_LT(tally.bytes, blocksOf(big));
    EXPECT_EQ(tally.entries, 9);  // the folder and the eight entries below it, each once
    EXPECT_EQ(AllocatedSize::fileSizeOf(a), blocksOf(a));
    EXPECT_EQ(AllocatedSize::fileSizeOf(link), blocksOf(link));
    EXPECT_EQ(AllocatedSize::fileSizeOf(home("/nothing/here")), 0);
}

TEST_F(SizingTest, APathReachedThroughALinkedFolderSizesAsNothing)
{
    mac.file(QStringLiteral("/outside/Chrome/big.bin"), QByteArray(300000, 'b'));
    mac.symlink(QStringLiteral("~/Library/Caches/Google"), test.volume().host("/outside"));
    EXPECT_EQ(AllocatedSize::fileSizeOf(home("/Library/Caches/Google/Chrome"), test.volume().root()), 0);
    EXPECT_GT(AllocatedSize::fileSizeOf(home("/Library/Caches/Google/Chrome")), 0);
}

TEST(SizeRule, WordsByteCountsInDecimalUnits)
{
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(SizeRule::byteCountText(0), QStringLiteral("0 byte"));
    EXPECT_EQ(SizeRule::byteCountText(1), QStringLiteral("1 byte"));
    EXPECT_EQ(SizeRule::byteCountText(999), QStringLiteral("999 bytes"));
    EXPECT_EQ(SizeRule::byteCountText(1000), QStringLiteral("1 kB"));
    EXPECT_EQ(SizeRule::byteCountText(4096), QStringLiteral("4 kB"));
    EXPECT_EQ(SizeRule::byteCountText(1234567), QStringLiteral("1.2 MB"));
    EXPECT_EQ(SizeRule::byteCountText(1500000000), QStringLiteral("1.50 GB"));
}

TEST_F(SizingTest, AnItemWhosePathsAreAllMissingSizesZeroByteAndIsDisabled)
{
    const QString present = mac.file(QStringLiteral("~/present"), QByteArray(5000, 'x'));
    QList<CleaningItem> items{
        CleaningItem::getDicForList({home("/missing/a"), home("/missing/b")}, QStringLiteral("Missing"), false),
        CleaningItem::getDicForList({present, present}, QStringLiteral("Twice"), false),
        CleaningItem::getDicForList({}, QStringLiteral("Empty"), false),
    };
    EXPECT_EQ(SizeRule::countSize(items, test.volume().root()), 2 * blocksOf(present));
    EXPECT_EQ(items.at(0).sizeText, QStringLiteral("0 byte"));
    EXPECT_FALSE(items.at(0).isEnabled);
    EXPECT_EQ(items.at(1).sizeText, SizeRule::byteCountText(2 * blocksOf(present)));
    EXPECT_TRUE(items.at(1).isEnabled);
    EXPECT_EQ(items.at(2).sizeText, QStringLiteral("0 byte"));

    CleaningEntry entry;
    entry.List = {items.at(0), items.at(2)};
    SizeRule::applyTo(entry, test.volume().root());
    EXPECT_EQ(entry.Size, QStringLiteral("0 byte"));
    EXPECT_FALSE(entry.isEnabled);
}
