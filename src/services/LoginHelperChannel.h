#pragma once

#include <QString>

// The local socket between the application and its login-item helper, which
// stands in for a distributed notification. The helper listens (for this
// user only); the application, started at login, connects and sends
// "TERMINATEHELPERAdware", and the helper ends.
class LoginHelperChannel
{
public:
    static QString terminateMessage() { return QStringLiteral("TERMINATEHELPERAdware"); }
    // The helper's identifier, also the autostart entry's name.
    static QString helperIdentifier() { return QStringLiteral("com.brindlecast.AdwareHelper"); }
    // The per-user server name ("com.brindlecast.AdwareHelper-<uid>").
    static QString defaultServerName();

    // Sends the message to a helper listening on serverName; answers false
    // when none listens (the usual case: no helper runs).
    static bool sendTerminate(const QString &serverName = defaultServerName());
};
