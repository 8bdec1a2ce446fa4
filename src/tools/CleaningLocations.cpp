#include "tools/CleaningLocations.h"

using Base = CleaningLocations::Base;
using ItemPlaces = CleaningLocations::ItemPlaces;

CleaningLocations::Bases::Bases(const Volume &volume)
    : home(volume.home())
    , safari(volume.home(QStringLiteral("/Library/Safari")))
    , mail(volume.home(QStringLiteral("/Library/Containers/com.apple.mail/Data/Library")))
{
}

QString CleaningLocations::Bases::resolve(const Place &place) const
{
    const QString *folder = &home;
    switch (place.base) {
    case Base::Home: folder = &home; break;
    case Base::Safari: folder = &safari; break;
    case Base::ChromeProfile: folder = &chromeProfile; break;
    case Base::FirefoxProfile: folder = &firefoxProfile; break;
    case Base::Mail: folder = &mail; break;
    }
    return *folder + QLatin1Char('/') + QString::fromUtf8(place.relative);
}

QStringList CleaningLocations::Bases::resolve(const ItemPlaces &item) const
{
    QStringList paths;
    paths.reserve(qsizetype(item.places.size()));
    for (const Place &place : item.places)
        paths.append(resolve(place));
    return paths;
}

const std::vector<ItemPlaces> &CleaningLocations::safariItems()
{
    static const std::vector<ItemPlaces> items = {
        {"Cookies", {{Base::Home, "Library/Cookies/com.apple.Safari.SafeBrowsing.binarycookies"},
                     {Base::Home, "Library/Cookies/Cookies.binarycookies"}}},
        {"Browser Caches", {{Base::Home, "Library/Caches/com.apple.Safari"}}},
        {"History", {{Base::Safari, "History.db"}, {Base::Safari, "HistoryIndex.sk"}, {Base::Safari, "History.db-wal"}}},
        {"Downloads", {{Base::Safari, "Downloads.plist"}}},
        {"LastSession", {{Base::Safari, "LastSession.plist"}}},
        {"User preferences", {{Base::Safari, "Configurations.plist.signed"}}},
        {"Favicons", {{Base::Safari, "Touch Icons"}, {Base::Safari, "WebpageIcons"}}},
        {"TopSites", {{Base::Safari, "TopSites.plist"}}},
        {"Local Storage", {{Base::Safari, "LocalStorage"}, {Base::Safari, "Databases"}}},
        {"Reading List", {{Base::Safari, "ReadingListArchives"}}},
        {"Form", {{Base::Safari, "Form Values"}}},
        {"Recent Search", {{Base::Safari, "SearchDescriptions.plist"}}},
        {"WebFeeds", {{Base::Safari, "WebFeedSources.plist"}}},
    };
    return items;
}

const std::vector<ItemPlaces> &CleaningLocations::chromeProfileItems()
{
    constexpr Base P = Base::ChromeProfile;
    static const std::vector<ItemPlaces> items = {
        {"Cookies (%1)", {{P, "Cookies"}, {P, "Cookies-journal"}}},
        {"Visited Links (%1)", {{P, "Visited Links"}}},
        {"History (%1)", {{P, "History-journal"}, {P, "History"}, {P, "History Provider Cache"}}},
        {"Login Data (%1)", {{P, "Login Data"}, {P, "Login Data-journal"}}},
        {"LastSession (%1)", {{P, "Session Storage"}, {P, "Last Session"}, {P, "Last Tabs"}}},
        {"User preferences (%1)", {{P, "Preferences"}}},
        {"Favicons (%1)", {{P, "Favicons"}, {P, "Favicons-journal"}}},
        {"Top Sites (%1)", {{P, "Top Sites"}, {P, "Top Sites-journal"}}},
        {"Local Storage (%1)", {{P, "databases"}, {P, "File System"}, {P, "IndexedDB"}, {P, "Local Storage"},
                                {P, "Pepper Data"}, {P, "Storage"}, {P, "Web Data"}, {P, "Web Data-journal"}}},
    };
    return items;
}

const std::vector<ItemPlaces> &CleaningLocations::firefoxItems()
{
    constexpr Base F = Base::FirefoxProfile;
    static const std::vector<ItemPlaces> items = {
        {"Cookies", {{F, "cookies.sqlite"}, {F, "webappsstore.sqlite"}, {F, "chromeappsstore.sqlite"}}},
        {"Browser Caches", {{Base::Home, "Library/Caches/Mozilla/updates/Applications/Firefox"},
                            {Base::Home, "Library/Caches/Firefox"}}},
        {"Login Data", {{F, "logins.json"}, {F, "key3.db"}}},
        {"LastSession", {{F, "sessionstore-backups"}, {F, "sessionCheckpoints.json"}, {F, "sessionstore.bak"}}},
        {"User preferences", {{F, "user.js"}, {F, "xulstore.json"}, {F, "prefs.js"}}},
        {"Local Storage", {{F, "formhistory.sqlite"}, {F, "persdict.dat"}, {F, "search.sqlite"},
                           {F, "permissions.sqlite"}, {F, "content-prefs.sqlite"}, {F, "cert8.db"},
                           {F, "secmod.db"}, {F, "searchplugins"}, {F, "mimeTypes.rdf"}}},
        {"Crash Reports", {{Base::Home, "Library/Application Support/Firefox/Crash Reports"}}},
    };
    return items;
}

const std::vector<ItemPlaces> &CleaningLocations::mailItems()
{
    constexpr Base M = Base::Mail;
    static const std::vector<ItemPlaces> items = {
        {"Mail Download", {{M, "Mail Downloads"}}},
        {"Mail Cache Files", {{M, "Caches"}, {M, "Logs"}, {M, "WebKit"}, {M, "Saved Application State"}}},
    };
    return items;
}

const std::vector<ItemPlaces> &CleaningLocations::flashItems()
{
    static const std::vector<ItemPlaces> items = {
        {"Flash Cookies", {{Base::Home, "Library/Preferences/Macromedia/Flash Player"},
                           {Base::Home, "Library/Caches/Adobe/Flash Player"}}},
    };
    return items;
}
