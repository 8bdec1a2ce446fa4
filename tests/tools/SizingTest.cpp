#include "CleaningFixture.h"

#include "tools/SizeRule.h"

#include <QLocale>

using SizingTest = CleaningFixture;

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
