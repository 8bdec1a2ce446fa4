#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// Opens the folders of a volume one path component at a time below a trusted
// anchor folder (the volume root), never following a symbolic link on the
// way. Removal, sizing and the listings of the cleaning catalogue go through
// it, so a link inside the user's folders never leads them to files
// elsewhere. With an empty anchor only the last component is left
// unfollowed. Descriptors returned belong to the caller.
class AnchoredPath
{
public:
    // Descriptor of the folder that holds path, with the last component in
    // *leaf; -1 with errno set when a folder on the way is missing, is a
    // link or cannot be opened (EXDEV when path is not below the anchor).
    static int openParent(const QString &anchor, const QString &path, QByteArray *leaf);
    // Descriptor of the folder itself; -1 with errno set (ELOOP or ENOTDIR
    // when it is a link).
    static int openFolder(const QString &anchor, const QString &path);
    // Names of the folder's entries, hidden ones included, sorted by name;
    // nothing when the folder cannot be listed.
    static std::optional<QStringList> entryNames(const QString &anchor, const QString &folder);
    // Whether anything is at path, a link included, reached without links.
    static bool exists(const QString &anchor, const QString &path);
};
