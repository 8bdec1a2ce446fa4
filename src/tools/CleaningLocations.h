#pragma once

#include "platform/Volume.h"

#include <QString>
#include <QStringList>
#include <vector>

// Where the cleanable items of Safari, Chrome, Firefox, Mail and Flash lie,
// kept as data: each item's name and its paths, each path relative to one of
// a few base folders of the user's home. The catalogue builders resolve the
// tables for one volume and one browser profile.
class CleaningLocations
{
public:
    enum class Base { Home, Safari, ChromeProfile, FirefoxProfile, Mail };

    struct Place
    {
        Base base;
        const char *relative;
    };

    struct ItemPlaces
    {
        // For Chrome a format whose %1 is the profile's display name.
        const char *nameText;
        std::vector<Place> places;
    };

    // Host paths of the base folders; the profile ones are set per profile.
    struct Bases
    {
        explicit Bases(const Volume &volume);
        QString home;
        QString safari;
        QString chromeProfile;
        QString firefoxProfile;
        QString mail;

        QString resolve(const Place &place) const;
        QStringList resolve(const ItemPlaces &item) const;
    };

    static const std::vector<ItemPlaces> &safariItems();
    static const std::vector<ItemPlaces> &chromeProfileItems();
    static const std::vector<ItemPlaces> &firefoxItems();
    static const std::vector<ItemPlaces> &mailItems();
    static const std::vector<ItemPlaces> &flashItems();

    // Volume paths of the application bundles that decide which entries exist.
    static QString safariApp() { return QStringLiteral("/Applications/Safari.app"); }
    static QString chromeApp() { return QStringLiteral("/Applications/Google Chrome.app"); }
    static QString firefoxApp() { return QStringLiteral("/Applications/Firefox.app"); }
    static QString mailApp() { return QStringLiteral("/Applications/Mail.app"); }
    static QString flashApp() { return QStringLiteral("/Applications/Utilities/Adobe Flash Player Install Manager.app"); }
    static QString finderApp() { return QStringLiteral("/System/Library/CoreServices/Finder.app"); }
};
