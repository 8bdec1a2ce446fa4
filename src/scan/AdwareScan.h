#pragma once

#include "scan/ExtensionRecord.h"

#include <QList>
#include <QUrl>

class Volume;

// The inventory of the places where adware installs itself: applications,
// Application Support entries, launch agents and daemons, and the Safari,
// Chrome and Firefox extensions of the volume's user. Stateless; every
// operation answers a new list and never fails (a missing or unreadable file
// or folder contributes nothing). Folder arguments are host paths.
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
    static QList<ExtensionRecord> getChromeExtantionList(const Volume &volume);
    static QList<ExtensionRecord> getFirefoxExtantionList(const Volume &volume);
    // Total allocated size of everything under a folder (0 for a single file).
    static qint64 allocatedSizeOfTree(const QString &path);
};
