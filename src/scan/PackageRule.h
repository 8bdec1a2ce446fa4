#pragma once

#include <QString>
#include <QStringList>

// Which folders count as packages: the folders the Finder shows as a single
// item (an application, a plug-in, a document bundle). On a Mac volume the
// rule is the folder's suffix, matched without regard to case as Launch
// Services does: "X.app", "Y.bundle", "Z.framework", "I.pkg", ... A name that
// only begins with a dot (".app") has no suffix and is a hidden folder, not a
// package. The walk uses it for its roots; the inventory may use it for
// bundles. Stateless.
class PackageRule
{
public:
    // The suffixes (without the dot) that make a folder a package.
    static const QStringList &packageSuffixes();
    // The suffix rule alone, for a name known to be a folder's.
    static bool isPackage(const QString &name);
    // A folder (not a link to one) at path whose name follows the suffix rule.
    static bool isPackageFolder(const QString &path);
};
