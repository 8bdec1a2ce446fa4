#pragma once

#include "platform/Volume.h"

#include <QString>
#include <optional>

// Deletes files and folders of one volume for good, item by item through the
// file-system calls, the way the file manager's permanent removal does; threat
// removal and privacy cleaning both go through it. The item at a path is
// removed itself and never followed when it is a symbolic link. A folder is
// emptied from the inside through directory descriptors, one per level:
// links inside it are removed without touching what they point to, nothing
// on another file system or below a mount point is entered, and folders
// nested deeper than 512 levels are left in place. The folders between the
// volume root and the item are resolved inside the volume (AnchoredPath), so
// the volume's own links ("/tmp" -> "/private/tmp") lead where they lead on
// the Mac and never outside the volume; paths outside the volume are refused.
//
// This is the one place every removal passes through (threat removal and
// privacy cleaning alike), so it is where an item is refused before anything
// is touched: a protected folder (ProtectedFolders: the volume root, system
// folders, home folders and their standard folders, and their ancestors),
// tested on the volume path as given and again on the one the links on the
// way really lead to; and a mount point. A refusal is logged and is the
// outcome's reason; the item counts as not removed.
// unlinkEntry() is the single place that deletes, so tests, which run as root
// and may delete anything, can stand in for a file system that refuses.
class ItemRemover
{
public:
    enum class Result { Removed, Absent, NotRemoved };

    struct Outcome
    {
        Result result = Result::Absent;
        // Why the item is still there: the first entry that could not be
        // removed and the reason. Empty unless NotRemoved.
        QString reason;
    };

    // anchor: host path of the volume root, trusted as it is ("/" when empty).
    explicit ItemRemover(QString anchor = QStringLiteral("/"));
    virtual ~ItemRemover() = default;

    const QString &anchor() const { return m_anchor; }

    // Removes the item at path. Removed or Absent mean that nothing of it
    // remains; every entry that could not be removed is logged.
    Outcome removeItem(const QString &path);
    // The same as a yes or no: true when nothing of the item remains (also
    // when nothing was there); otherwise error receives the reason.
    bool removeItemAtPath(const QString &path, QString *error = nullptr);

protected:
    // unlinkat(2): flags 0 for a file or link, AT_REMOVEDIR for an empty
    // folder.
    virtual int unlinkEntry(int folder, const char *name, int flags);

private:
    // Why the item at the (cleaned) host path must stay, from its path alone.
    std::optional<QString> refusal(const QString &path) const;
    Outcome outcomeWithoutParent(const QByteArray &where, int error) const;
    Outcome removeFolder(int parent, const QByteArray &name, const QByteArray &where);

    QString m_anchor;
    Volume m_volume;
};
