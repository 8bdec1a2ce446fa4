#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The options both programs take before anything else: the volume ("--root",
// "--user", or SWEEPLING_ROOT / SWEEPLING_USER), the preferences file
// ("--settings", or SWEEPLING_SETTINGS through the platform), "--verbose",
// "--version" and "--help". sweepling-cli reads its command from what
// follows; the desktop application accepts nothing after them.
class LaunchOptions
{
public:
    QString root;
    QString user;
    QString settings;
    bool verbose = false;
    bool version = false;
    bool help = false;
    // The arguments from the first one that is not an option on.
    QStringList rest;

    // Reads the options at the front of args (the program name excluded).
    static std::optional<LaunchOptions> parse(const QStringList &args, QString *error);

    // An empty error when the root is unset or a readable folder.
    QString rootError() const;
};
