#include "platform/BoundedFile.h"
#include "platform/FileName.h"
#include "support/HostileFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class BoundedFileTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }
    QString write(const QString &name, const QByteArray &contents) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return file.fileName();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(BoundedFileTest, ReadsARegularFileUpToItsCap)
{
    const QString small = write(QStringLiteral("small.json"), QByteArray(100, 'x'));
    EXPECT_EQ(BoundedFile::read(small, 100), QByteArray(100, 'x'));
    EXPECT_FALSE(BoundedFile::read(small, 99));
    EXPECT_EQ(BoundedFile::read(write(QStringLiteral("empty"), {}), 10), QByteArray());
    EXPECT_FALSE(BoundedFile::read(path(QStringLiteral("missing")), 10));
    EXPECT_FALSE(BoundedFile::read(dir.path(), 1 << 20));
}

TEST_F(BoundedFileTest, AFifoIsRefusedWithoutWaitingForAWriter)
{
    const QString fifo = path(QStringLiteral("Local State"));
    ASSERT_TRUE(HostileFiles::makeFifo(fifo));
    EXPECT_FALSE(HostileFiles::readGuarded(fifo, [&] { return BoundedFile::read(fifo, 1 << 20); }));
}

TEST_F(BoundedFileTest, DevicesAndLinksAreNeverRead)
{
    EXPECT_FALSE(BoundedFile::read(QStringLiteral("/dev/zero"), 1 << 20));
    EXPECT_FALSE(BoundedFile::read(QStringLiteral("/dev/null"), 1 << 20));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path(QStringLiteral("Info.plist"))));
    EXPECT_FALSE(BoundedFile::read(path(QStringLiteral("Info.plist")), 1 << 20));
    const QString target = write(QStringLiteral("target"), "x");
    ASSERT_TRUE(QFile::link(target, path(QStringLiteral("link"))));
    EXPECT_FALSE(BoundedFile::read(path(QStringLiteral("link")), 1 << 20));
}

TEST_F(BoundedFileTest, ASparseFileLargerThanTheCapIsRefusedBeforeAnyRead)
{
    const QString sparse = path(QStringLiteral("Info.plist"));
    ASSERT_TRUE(HostileFiles::makeSparse(sparse, 2LL * 1024 * 1024 * 1024));
    const long before = HostileFiles::maxResidentKiB();
    EXPECT_FALSE(BoundedFile::read(sparse, BoundedFile::kBrowserStateBytes));
    EXPECT_LT(HostileFiles::maxResidentKiB() - before, 64 * 1024) << "the refused file was read into memory";
}

TEST_F(BoundedFileTest, AFileLongerThanItsSizeSaysIsCutOffAtTheCap)
{
    // Files of /proc report a size of 0 and hold more.
    EXPECT_FALSE(BoundedFile::read(QStringLiteral("/proc/self/status"), 16));
    const auto whole = BoundedFile::read(QStringLiteral("/proc/self/status"), 1 << 20);
    ASSERT_TRUE(whole);
    EXPECT_TRUE(whole->startsWith("Name:"));
}

TEST_F(BoundedFileTest, ANameThatIsNotUtf8IsFoundByItsText)
{
    const QByteArray raw = HostileFiles::fileWithRawName(dir.path(), "manifest\xff.json", "{}");
    ASSERT_FALSE(raw.isEmpty());
    EXPECT_EQ(BoundedFile::read(FileName::decode(raw), 10), QByteArray("{}"));
    ::unlink(raw.constData());
}
