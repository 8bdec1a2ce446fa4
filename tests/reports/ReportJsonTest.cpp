#include "reports/ReportJson.h"
#include "reports/ReportsFixture.h"

#include <QJsonArray>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {
class ReportJsonTest : public ::testing::Test, public ReportsFixture
{
};
} // namespace

TEST_F(ReportJsonTest, AReportCarriesItsFactsAndEveryThreat)
{
    const AdwarePtr present = threat(QStringLiteral("/Library/LaunchAgents/a.plist"), QStringLiteral("Genieo"));
    const AdwarePtr gone = threatAt(mac.host(QStringLiteral("/Applications/Gone.app")));
    const QDateTime date(QDate(2024, 3, 5), QTime(14, 7, 9), QTimeZone::utc());
    const ReportPtr report = makeReport({present, gone}, QStringLiteral("Custom Scan"), date, QStringLiteral("Stopped"));

    const QJsonObject object = ReportJson::reportObject(*report);
    EXPECT_EQ(object.keys(), (QStringList{"adwareCount", "reportId", "reportType", "scanDate", "scanDuration", "threats"}));
    EXPECT_EQ(object.value(QStringLiteral("adwareCount")).toInteger(), 2);
    EXPECT_EQ(object.value(QStringLiteral("scanDuration")).toString(), QStringLiteral("Stopped"));
    EXPECT_EQ(QDateTime::fromString(object.value(QStringLiteral("scanDate")).toString(), Qt::ISODate), date);
    const QJsonArray threats = object.value(QStringLiteral("threats")).toArray();
    ASSERT_EQ(threats.size(), 2);
    EXPECT_EQ(threats.at(0).toObject().keys(),
              (QStringList{"infections", "isAvail", "isChecked", "name", "path", "risk", "size"}));
    EXPECT_EQ(threats.at(0).toObject().value(QStringLiteral("path")).toString(), present->path());
    EXPECT_TRUE(threats.at(0).toObject().value(QStringLiteral("isAvail")).toBool());
    EXPECT_FALSE(threats.at(1).toObject().value(QStringLiteral("isAvail")).toBool());

    const QJsonObject summary = ReportJson::summaryObject(*report);
    EXPECT_FALSE(summary.contains(QStringLiteral("threats")));
    EXPECT_EQ(summary.value(QStringLiteral("reportDateDisplay")).toString(), report->reportDateDisplay());
    EXPECT_EQ(summary.value(QStringLiteral("reportId")).toString(), report->reportId());
}
