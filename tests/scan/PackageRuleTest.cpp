#include "WalkFixtures.h"

#include "scan/PackageRule.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(PackageRule, AFolderIsAPackageByItsSuffixWhateverItsCase)
{
    EXPECT_TRUE(PackageRule::isPackage(QStringLiteral("Genieo.app")));
    EXPECT_TRUE(PackageRule::isPackage(QStringLiteral("Setup.PKG")));
    EXPECT_TRUE(PackageRule::isPackage(QStringLiteral("Tool.framework")));
    EXPECT_TRUE(PackageRule::isPackage(QStringLiteral("Notes.rtfd")));
    EXPECT_FALSE(PackageRule::isPackage(QStringLiteral(".app")));
    EXPECT_FALSE(PackageRule::isPackage(QStringLiteral("app")));
    EXPECT_FALSE(PackageRule::isPackage(QStringLiteral("Genieo.app.txt")));
    EXPECT_FALSE(PackageRule::isPackage(QStringLiteral("Genieo.")));
}

TEST(PackageRule, OnlyARealFolderIsAPackageFolder)
{
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    WalkFixtures::makeFolder(root + "/Real.app");
    WalkFixtures::makeFile(root + "/File.app");
    ASSERT_EQ(::symlink("Real.app", (root + "/Link.app").constData()), 0);

    EXPECT_TRUE(PackageRule::isPackageFolder(dir.filePath(QStringLiteral("Real.app"))));
    EXPECT_TRUE(PackageRule::isPackageFolder(dir.filePath(QStringLiteral("Real.app/"))));
    EXPECT_FALSE(PackageRule::isPackageFolder(dir.filePath(QStringLiteral("File.app"))));
    EXPECT_FALSE(PackageRule::isPackageFolder(dir.filePath(QStringLiteral("Link.app"))));
    EXPECT_FALSE(PackageRule::isPackageFolder(dir.filePath(QStringLiteral("Missing.app"))));
}
