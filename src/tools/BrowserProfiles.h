#pragma once

#include "platform/Volume.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Finds the browser profiles whose files the cleaning catalogue lists:
// Chrome's profiles from its "Local State" file and the one Firefox profile
// folder. Parsing takes bytes so it can be checked apart from the disk.
class BrowserProfiles
{
public:
    struct ChromeProfile
    {
        QString folder;  // folder name under the Chrome folder ("Default", "Profile 1")
        QString name;    // display name
        bool operator==(const ChromeProfile &) const = default;
    };

    // Host path of "Library/Application Support/Google/Chrome" in the home folder.
    static QString chromeFolder(const Volume &volume);
    // The bytes of "Local State", or nothing when the file cannot be read.
    static std::optional<QByteArray> readChromeLocalState(const Volume &volume);
    // The members of "profile.info_cache", in key order; none when the
    // bytes are not JSON or a level is not an object. A key that is not a
    // single folder name ("..", "a/b") is left out.
    static QList<ChromeProfile> chromeProfiles(const QByteArray &localState);

    // Host path of "Library/Application Support/Firefox/Profiles".
    static QString firefoxProfilesFolder(const Volume &volume);
    // Entry names of that folder, or nothing when it cannot be listed.
    static std::optional<QStringList> firefoxProfilesListing(const Volume &volume);
    // The first name containing "default" (case-sensitive), or an empty string.
    static QString firefoxProfileName(const QStringList &listing);
    // Host path of the Firefox profile folder, or an empty string.
    static QString firefoxProfileFolder(const Volume &volume);
};
