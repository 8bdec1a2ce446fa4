#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The options the desktop application and sweepling-cli take before anything
// else: the volume ("--root", "--user", or SWEEPLING_ROOT / SWEEPLING_USER),
// the preferences file ("--settings", or SWEEPLING_SETTINGS through the
// platform), "--verbose", "--version" and "--help", with the checks of the
// root and the login name. What follows them is the CLI's command; the
// desktop application accepts nothing after them.
class LaunchOptions
{
public:
    QString root;
    QString user;
    QString settings;
    // "--user" or SWEEPLING_USER was given (unset means the running user).
    bool userGiven = false;
    bool verbose = false;
    bool version = false;
    bool help = false;
    // The arguments from the first one that is not an option on.
    QStringList rest;

    // Reads the options at the front of args (the program name excluded).
    static std::optional<LaunchOptions> parse(const QStringList &args, QString *error);

    // An empty error when the root is unset or a readable folder.
    QString rootError() const;
    // An empty error when the login name is the running user's or a plain
    // one: it names one folder under "/Users", so nothing that climbs out of
    // it or names another ("/", ".."), and no control character.
    QString userError() const;
    static bool isPlainLoginName(const QString &name);
};
