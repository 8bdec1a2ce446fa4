#include "remedy/OutcomeDisplay.h"

OutcomeDisplay::Summary OutcomeDisplay::summary(qsizetype failed, const QString &failedFormat,
                                                const QString &successText)
{
    Summary summary;
    summary.failed = failed;
    if (failed > 0) {
        summary.resultText = formatCount(failedFormat, failed);
        summary.threatInfo = failed == 1 ? QStringLiteral("One Threat Remaining")
                                         : QStringLiteral("Multiple Threats Remaining");
        summary.backgroundImage = QStringLiteral("report_bg");
        summary.statusImage = QStringLiteral("icn_white");
        summary.baselineOffset = 2;
    } else {
        summary.resultText = successText;
        summary.threatInfo = QStringLiteral("All threats are Removed");
        summary.backgroundImage = QStringLiteral("no_threats_bg");
        summary.statusImage = QStringLiteral("icn_white_check");
    }
    return summary;
}

OutcomeDisplay::Row OutcomeDisplay::row(const Adware &adware)
{
    if (adware.isNoAction())
        return {QStringLiteral("No Action"), failedRed(), QStringLiteral("icn_gray"), false};
    if (adware.isDeleted())
        return {QStringLiteral("Removed"), removedGreen(), QStringLiteral("icn_gray"), false};
    return {QStringLiteral("Failed"), failedRed(), QStringLiteral("icn_light_red"), true};
}

QString OutcomeDisplay::formatCount(const QString &format, qsizetype count)
{
    QString text = format;
    return text.replace(QLatin1String("%lu"), QString::number(quint64(count)));
}
