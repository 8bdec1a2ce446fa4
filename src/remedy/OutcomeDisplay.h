#pragma once

#include "scan/Adware.h"
#include "scan/NamedColour.h"

#include <QString>

// What the Scan and Reports pages show after a removal, as plain values: the
// summary above the outcome table (result text, threat-info text, background
// and status images) and each outcome row's status word, colour, indicator
// image and whether its show button is visible. The pages turn these into
// widgets; nothing here draws.
class OutcomeDisplay
{
public:
    struct Summary
    {
        qsizetype failed = 0;
        QString resultText;       // "2 Failed", "  1 Failed", "Successful" or empty
        QString threatInfo;       // "One Threat Remaining", ...
        QString backgroundImage;  // "report_bg" or "no_threats_bg"
        QString statusImage;      // "icn_white" or "icn_white_check"
        // The result text is white, centred, bold system font of 12 points;
        // the failure texts also sit 2 points above the baseline.
        int baselineOffset = 0;
    };

    struct Row
    {
        QString status;           // "Removed", "Failed" or "No Action"
        NamedColour colour;
        QString indicatorImage;   // "icn_gray" or "icn_light_red"
        bool showButtonVisible = false;
    };

    // The failure formats: the Reports page's remove action uses the plain
    // one, the retries after the browser panel (and the Scan page) the one
    // with two leading spaces.
    static QString failedFormat() { return QStringLiteral("%lu Failed"); }
    static QString spacedFailedFormat() { return QStringLiteral("  %lu Failed"); }
    // The Reports page says "Successful" when nothing failed; the Scan page
    // shows an empty text.
    static QString successText() { return QStringLiteral("Successful"); }

    static Summary summary(qsizetype failed, const QString &failedFormat, const QString &successText = QString());
    static Row row(const Adware &adware);

    // The format with %lu replaced by the count.
    static QString formatCount(const QString &format, qsizetype count);

    static NamedColour removedGreen() { return {QStringLiteral("green"), 67, 198, 89, 1.0}; }
    static NamedColour failedRed() { return {QStringLiteral("red"), 255, 0, 0, 1.0}; }
};
