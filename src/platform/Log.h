#pragma once

#include <QLoggingCategory>
#include <QString>

// One plain line per event, no levels in the text. Lines go through Qt's
// logging so tests and the CLI can silence or capture them; SWEEPLING_LOG=1
// shows the informational lines, warnings always show.
Q_DECLARE_LOGGING_CATEGORY(lcSweepling)

class Log
{
public:
    static void line(const QString &text);
    static void warning(const QString &text);
    // Enables or silences the informational lines for this process.
    static void setVerbose(bool verbose);
};
