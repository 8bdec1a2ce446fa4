#pragma once

#include "scan/ExtensionRecord.h"
#include "scan/Inventory.h"

#include <QList>
#include <QUrl>

class Volume;

// The inventory of the places where adware installs itself: applications,
// Application Support entries, launch agents and daemons, and the Safari,
// Chrome and Firefox extensions of the volume's user. Stateless; every
// operation answers a new list and never fails (a missing or unreadable file
// or folder contributes nothing). Folder arguments are host paths.
//
// Host rules: folders are listed in the byte order of their entry names, and
// a symbolic link is never followed (a linked folder lists nothing). A folder
// is a package when its suffix is one of the bundle suffixes macOS shows as
// one item (app, appex, bundle, framework, plugin, kext, pkg, mpkg, xpc,
// safariextension, photoslibrary, ...; case ignored); only "*.app" packages
// are applications. Hidden means a name beginning with "." or the Library
// folder of a home folder ("<...>/Users/<login>/Library"). Chrome profiles
// come in the sorted key order of "profile.info_cache". Firefox add-on paths
// are paths of the volume and are resolved inside its root. Every extension
// path lies strictly inside the folder it belongs to (a Firefox add-on in
// its profile, the Mozilla extensions folders or Firefox's own resources; a
// Chrome or Safari extension in its Extensions folder); anything else is
// logged and left out.
class AdwareScan
{
public:
    static QList<QUrl> getUrlListAt(const QString &folder);
    static QList<QUrl> getApplicationList(const QString &folder);
    static QList<QUrl> getAppList(const Volume &volume);
    static QList<QUrl> getApplicationSupportList(const Volume &volume);
    static QList<QUrl> getLaunchAgentsList(const Volume &volume);
    static QList<QUrl> getLaunchDaemonsList(const Volume &volume);
    static QList<QUrl> getSafariExtantionList(const Volume &volume);
    // Every inventory of the volume, taken in the order a scan takes them.
    static Inventory takeInventory(const Volume &volume);
    static QList<ExtensionRecord> getChromeExtantionList(const Volume &volume);
    static QList<ExtensionRecord> getFirefoxExtantionList(const Volume &volume);
    // Total allocated size of the files, links and other non-folder items
    // under a folder (0 for a single file); AllocatedSize::ofFilesBelow.
    static qint64 allocatedSizeOfTree(const QString &path);
};
