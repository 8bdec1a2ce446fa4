#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// Opens the folders of a volume below a trusted anchor folder (the volume
// root) the way the volume's own system would: the folders on the way are
// resolved inside the volume, with the anchor standing for "/", so the
// volume's links ("/tmp" -> "private/tmp", or an absolute "/private/tmp")
// lead where they lead on the Mac, and no link, "..", or absolute target
// ever leads out of the volume. The last component of a path is never
// followed. Presence checks, removal, sizing and the listings of the
// cleaning catalogue all go through it, so they agree on what a path names.
// The kernel resolves (openat2 with RESOLVE_IN_ROOT); where it cannot, the
// same walk is done here one component at a time. With an empty anchor the
// path is taken as it is and only its last component is left unfollowed.
// Descriptors returned belong to the caller.
class AnchoredPath
{
public:
    // Descriptor of the folder that holds path, with the last component in
    // *leaf; -1 with errno set when a folder on the way is missing or cannot
    // be opened (EXDEV when path is not below the anchor, ELOOP for too many
    // links).
    static int openParent(const QString &anchor, const QString &path, QByteArray *leaf);
    // Descriptor of the folder itself; -1 with errno set (ELOOP or ENOTDIR
    // when it is a link).
    static int openFolder(const QString &anchor, const QString &path);
    // Names of the folder's entries, hidden ones included, sorted by name;
    // nothing when the folder cannot be listed.
    static std::optional<QStringList> entryNames(const QString &anchor, const QString &folder);
    // Whether anything is at path, a link included.
    static bool exists(const QString &anchor, const QString &path);

    // The volume path (below the anchor, beginning with "/") of the folder
    // open at folder, as the system tells it; nothing when it cannot tell
    // (no /proc) or the folder is not below the anchor.
    static std::optional<QString> volumePathOf(int folder, const QString &anchor);
    // The same for the item named leaf in that folder (the folder itself
    // when leaf is empty).
    static std::optional<QString> volumePathOf(int folder, const QByteArray &leaf, const QString &anchor);
    // The volume path the item at path really lies at, the folders on the way
    // resolved inside the volume and the last component taken as it is;
    // nothing when a folder on the way is missing or the system cannot tell.
    static std::optional<QString> resolvedVolumePath(const QString &anchor, const QString &path);
    // Whether path lies strictly inside folder (both host paths of the
    // volume at anchor): as text, ".." resolved, and, where the system tells,
    // also where the links on the way really lead. Paths read from files the
    // user does not control are accepted only where this holds.
    static bool isInside(const QString &anchor, const QString &folder, const QString &path);

    // Tests only: false makes every resolution take the walk done here, as on
    // a kernel without openat2.
    static void setKernelResolution(bool enabled);
};
