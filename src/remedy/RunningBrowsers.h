#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Volume;
class Workspace;

// One row of the browser-close panel: the browser's display name and the
// icon of its application (a host path of an image, or a themed icon name).
struct BrowserEntry
{
    QString NameBrowser;
    QString iconBrowser;

    bool operator==(const BrowserEntry &) const = default;
};

// Which running browsers hold threats and must be quit before removal:
// Safari, Chrome and Firefox, in that order, each listed when some threat
// path lies in its folder of the user's Library and its application is
// among the running applications (those of the volume: none on a volume
// that is not the running system). Browsers are never quit by the program.
class RunningBrowsers
{
public:
    struct Browser
    {
        QString applicationName;  // as the running applications name it
        QString threatFolder;     // host path tested as a substring of threat paths
        QString NameBrowser;
        QString applicationPath;  // host path of the bundle the icon comes from
    };

    // The three browsers of the volume's user, in their fixed order.
    static QList<Browser> browsers(const Volume &volume);

    static QList<BrowserEntry> relevant(const QStringList &threatPaths, const QStringList &runningApplications,
                                        const Volume &volume, const Workspace &workspace);
};
