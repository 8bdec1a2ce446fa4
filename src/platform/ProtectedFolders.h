#pragma once

#include <QString>
#include <optional>

// The folders no removal ever takes, whatever a scan or a stored report
// says: the volume root, the system's own top-level folders ("/Applications",
// "/Library", "/System", "/Users", "/private", "/usr", "/tmp", ...) and a few
// of their well-known subfolders, every home folder ("/Users/<anyone>") with
// its standard folders ("Library", "Documents", "Desktop", "Downloads", ...),
// and with them every ancestor of any of these. A threat is always something
// inside such a folder, never the folder itself. Paths are volume paths; they
// are normalised lexically first ("/Applications/../Users" is "/Users",
// ".." never climbs above "/") and compared without regard to letter case,
// as the Mac's own file system compares them. Stateless.
class ProtectedFolders
{
public:
    // Why the item at volumePath must stay, or nothing when it may go.
    static std::optional<QString> reason(const QString &volumePath);
    // volumePath with ".", ".." and repeated slashes resolved as text, always
    // beginning with "/".
    static QString normalised(const QString &volumePath);
};
