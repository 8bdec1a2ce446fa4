#include "platform/PropertyList.h"
#include "platform/PropertyListShape.h"
#include "support/HostileFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>


namespace {

QVariant nestedLists(int depth)
{
    QVariant value = QVariantList{QStringLiteral("bottom")};
    for (int i = 1; i < depth; ++i)
        value = QVariantList{value};
    return value;
}

int depthOf(const QVariant &value)
{
    int depth = 0;
    for (QVariant inner = value; inner.typeId() == QMetaType::QVariantList; inner = inner.toList().value(0))
        ++depth;
    return depth;
}

} // namespace

TEST(PropertyListShape, ListsNestedTooDeepAreRefusedBeforeParsing)
{
    // 100,000 levels overflow the stack of a recursive parser.
    const QByteArray deepBinary = HostileFiles::nestedBinary(100000);
    EXPECT_GT(deepBinary.size(), 800 * 1024);
    EXPECT_FALSE(PropertyListShape::refusal(deepBinary).isEmpty());
    EXPECT_FALSE(PropertyList::parse(deepBinary));
    EXPECT_FALSE(PropertyList::parse(HostileFiles::nestedXml(100000)));
    EXPECT_FALSE(PropertyList::parse(HostileFiles::nestedBinary(PropertyListShape::kMaxDepth + 1)));

    // Depths a real list could have parse whole, in both formats.
    for (auto format : {PropertyList::Format::Xml, PropertyList::Format::Binary}) {
        const QByteArray bytes = PropertyList::serialize(nestedLists(100), format);
        EXPECT_EQ(PropertyListShape::refusal(bytes), QString());
        const auto parsed = PropertyList::parse(bytes);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(depthOf(*parsed), 100);
    }
    EXPECT_TRUE(PropertyList::parse(HostileFiles::nestedBinary(200)));
}

TEST(PropertyListShape, CyclesAndExponentialSharingAreRefused)
{
    EXPECT_FALSE(PropertyListShape::refusal(HostileFiles::cyclicBinary()).isEmpty());
    EXPECT_FALSE(PropertyList::parse(HostileFiles::cyclicBinary()));
    // 64 arrays that each hold the next twice: 2^64 objects once copied.
    EXPECT_FALSE(PropertyListShape::refusal(HostileFiles::sharedBinary(64)).isEmpty());
    EXPECT_FALSE(PropertyList::parse(HostileFiles::sharedBinary(64)));
    // A little sharing is fine.
    EXPECT_EQ(PropertyListShape::refusal(HostileFiles::sharedBinary(8)), QString());
    EXPECT_TRUE(PropertyList::parse(HostileFiles::sharedBinary(8)));
}

TEST(PropertyListShape, DamagedBinaryTablesAreRefused)
{
    QByteArray bytes = HostileFiles::nestedBinary(3);
    // A reference past the object table.
    QByteArray badReference = bytes;
    badReference[9] = char(7);
    EXPECT_FALSE(PropertyListShape::refusal(badReference).isEmpty());
    // An offset table said to lie past the end.
    QByteArray badTable = bytes;
    badTable[badTable.size() - 1] = char(0xFF);
    EXPECT_FALSE(PropertyListShape::refusal(badTable).isEmpty());
    EXPECT_FALSE(PropertyListShape::refusal(QByteArrayLiteral("bplist00")).isEmpty());
}

TEST(PropertyListShape, XmlCommentsAndDeclarationsDoNotCountAsNesting)
{
    QByteArray xml = PropertyList::serialize(QVariantMap{{QStringLiteral("a"), QStringLiteral("<array>")}});
    xml.insert(xml.indexOf("<plist"), QByteArray("<!-- <array><array> -->").repeated(1000));
    EXPECT_EQ(PropertyListShape::refusal(xml), QString());
    EXPECT_TRUE(PropertyList::parse(xml));
}

TEST(PropertyList, HostileFilesAreNotRead)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("Info.plist"));
    ASSERT_TRUE(HostileFiles::makeFifo(fifo));
    EXPECT_FALSE(HostileFiles::readGuarded(fifo, [&] { return PropertyList::readFile(fifo); }));

    const QString zero = dir.filePath(QStringLiteral("zero.plist"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QString sparse = dir.filePath(QStringLiteral("sparse.plist"));
    ASSERT_TRUE(HostileFiles::makeSparse(sparse, 2LL * 1024 * 1024 * 1024));
    const long before = HostileFiles::maxResidentKiB();
    EXPECT_FALSE(PropertyList::readFile(zero));
    EXPECT_FALSE(PropertyList::readFile(sparse));
    EXPECT_LT(HostileFiles::maxResidentKiB() - before, 32 * 1024) << "a refused file was read into memory";
}
