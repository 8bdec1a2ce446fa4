#include "app/DateWording.h"

#include <gtest/gtest.h>

namespace {
const QDateTime kNow(QDate(2026, 6, 15), QTime(12, 0, 0));

QString ago(qint64 seconds)
{
    return DateWording::relativeDateStringForDate(kNow.addSecs(-seconds), kNow);
}
} // namespace

TEST(DateWording, RelativeDatesFollowTheCalendarDifference)
{
    EXPECT_EQ(DateWording::relativeDateStringForDate(kNow.addSecs(1), kNow), QStringLiteral("Not scan yet"));
    EXPECT_EQ(DateWording::relativeDateStringForDate(kNow, kNow), QStringLiteral("Not scan yet"));
    EXPECT_EQ(DateWording::relativeDateStringForDate(kNow.addMSecs(-400), kNow), QStringLiteral("In few seconds"));
    EXPECT_EQ(ago(1), QStringLiteral("1 second ago"));
    EXPECT_EQ(ago(30), QStringLiteral("30 seconds ago"));
    EXPECT_EQ(ago(60), QStringLiteral("1 minute ago"));
    EXPECT_EQ(ago(3 * 3600 + 5), QStringLiteral("3 hours ago"));
    EXPECT_EQ(ago(25 * 3600), QStringLiteral("Yesterday"));
    EXPECT_EQ(ago(47 * 3600), QStringLiteral("Yesterday"));
    EXPECT_EQ(ago(49 * 3600), QStringLiteral("2 days ago"));
    EXPECT_EQ(ago(8 * 86400), QStringLiteral("1 week ago"));
    EXPECT_EQ(ago(13 * 86400), QStringLiteral("1 week ago"));
    EXPECT_EQ(ago(14 * 86400), QStringLiteral("2 weeks ago"));
    EXPECT_EQ(DateWording::relativeDateStringForDate(kNow.addMonths(-1), kNow), QStringLiteral("1 month ago"));
    EXPECT_EQ(DateWording::relativeDateStringForDate(kNow.addMonths(-5).addDays(-3), kNow), QStringLiteral("5 months ago"));
    EXPECT_EQ(DateWording::relativeDateStringForDate(kNow.addYears(-2), kNow), QStringLiteral("2 years ago"));
    EXPECT_EQ(DateWording::relativeDateStringForDate(QDateTime(), kNow), QStringLiteral("Not scan yet"));
}

TEST(DateWording, DurationsPadAndPluraliseEachUnit)
{
    EXPECT_EQ(DateWording::stringFromTimeInterval(0.4), QStringLiteral("less then 1 second"));
    EXPECT_EQ(DateWording::stringFromTimeInterval(1), QStringLiteral(" 1 second"));
    EXPECT_EQ(DateWording::stringFromTimeInterval(59), QStringLiteral("59 seconds"));
    EXPECT_EQ(DateWording::stringFromTimeInterval(60), QStringLiteral(" 1 minute  0 seconds"));
    EXPECT_EQ(DateWording::stringFromTimeInterval(61), QStringLiteral(" 1 minute  1 second"));
    EXPECT_EQ(DateWording::stringFromTimeInterval(65), QStringLiteral(" 1 minute  5 seconds"));
    EXPECT_EQ(DateWording::stringFromTimeInterval(3600), QStringLiteral(" 1 hour  0 seconds"));
    EXPECT_EQ(DateWording::stringFromTimeInterval(3661), QStringLiteral(" 1 hour  1 minute  1 second"));
    EXPECT_EQ(DateWording::stringFromTimeInterval(7200), QStringLiteral(" 2 hours  0 seconds"));
    EXPECT_EQ(DateWording::stringFromTimeInterval(125.9), QStringLiteral(" 2 minutes  5 seconds"));
}

TEST(DateWording, LastScanTextReadsTheStoredDate)
{
    EXPECT_EQ(DateWording::lastScanText(QVariant(), kNow), QStringLiteral("Not scan yet"));
    EXPECT_EQ(DateWording::lastScanText(QStringLiteral("garbage"), kNow), QStringLiteral("Not scan yet"));
    EXPECT_EQ(DateWording::lastScanText(kNow.addSecs(-120), kNow), QStringLiteral("2 minutes ago"));
}
