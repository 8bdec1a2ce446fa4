#include "app/LaunchOptions.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(LaunchOptions, OptionsComeBeforeTheRestAndOverrideTheEnvironment)
{
    qputenv("SWEEPLING_ROOT", "/from/env");
    qputenv("SWEEPLING_USER", "envuser");
    QString error;
    auto options = LaunchOptions::parse({"--user", "anna", "--settings", "/tmp/s.ini", "--verbose", "scan", "quick"},
                                        &error);
    ASSERT_TRUE(options) << qPrintable(error);
    EXPECT_EQ(options->root, QStringLiteral("/from/env"));
    EXPECT_EQ(options->user, QStringLiteral("anna"));
    EXPECT_EQ(options->settings, QStringLiteral("/tmp/s.ini"));
    EXPECT_TRUE(options->verbose);
    EXPECT_EQ(options->rest, (QStringList{"scan", "quick"}));
    qunsetenv("SWEEPLING_ROOT");
    qunsetenv("SWEEPLING_USER");

    options = LaunchOptions::parse({"--help"}, &error);
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->help);
}

TEST(LaunchOptions, MissingValuesAndUnknownOptionsAreErrors)
{
    QString error;
    EXPECT_FALSE(LaunchOptions::parse({"--root"}, &error));
    EXPECT_EQ(error, QStringLiteral("option --root needs a value"));
    EXPECT_FALSE(LaunchOptions::parse({"--root", ""}, &error));
    EXPECT_FALSE(LaunchOptions::parse({"--colour"}, &error));
    EXPECT_EQ(error, QStringLiteral("unknown option --colour"));
}

TEST(LaunchOptions, TheRootMustBeAReadableFolder)
{
    QTemporaryDir dir;
    LaunchOptions options;
    EXPECT_TRUE(options.rootError().isEmpty());
    options.root = dir.path();
    EXPECT_TRUE(options.rootError().isEmpty());
    options.root = dir.filePath(QStringLiteral("missing"));
    EXPECT_FALSE(options.rootError().isEmpty());
}

TEST(LaunchOptions, AGivenLoginNameMustNameOneFolderUnderUsers)
{
    LaunchOptions options;
    EXPECT_TRUE(options.userError().isEmpty());
    options.userGiven = true;
    for (const QString &bad : {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("a/b"),
                               QStringLiteral("x..y"), QStringLiteral("a\nb"), QStringLiteral("a\x1b[31m")}) {
        options.user = bad;
        EXPECT_FALSE(options.userError().isEmpty()) << qPrintable(bad);
    }
    options.user = QStringLiteral("anna.maria");
    EXPECT_TRUE(options.userError().isEmpty());

    QString error;
    const auto parsed = LaunchOptions::parse({"--user", "anna"}, &error);
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->userGiven);
}
