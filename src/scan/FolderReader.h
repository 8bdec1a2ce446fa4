#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

// The folder listings the inventory needs, done so that a hostile or broken
// folder cannot mislead or stall it: a symbolic link is never followed (a
// link is reported as a link, and listing one yields nothing), and a
// folder's identity is given so that a tree reached twice through a bind
// mount is not walked twice. Names that are not UTF-8 are carried as
// FileName reads them. Files are read through BoundedFile, sizes come from
// AllocatedSize. Stateless; every call stands alone and reports a
// failure as an empty answer.
class FolderReader
{
public:
    enum class Kind { Directory, File, SymLink, Other };

    struct Entry
    {
        QString name;
        QString path;
        Kind kind = Kind::Other;
    };

    // Identity of a folder on its device.
    struct FolderId
    {
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const FolderId &) const = default;
    };

    // The folder's direct entries, hidden ones included, sorted by the bytes
    // of their names (so every run lists them in the same order). Empty when
    // the folder is missing, unreadable or a symbolic link. When id is given
    // and the folder could be opened, it receives the folder's identity.
    static QList<Entry> entries(const QString &folder, FolderId *id = nullptr);
    // The same for the folder's subfolders alone (what a search for folders
    // needs, without the cost of naming every file).
    static QList<Entry> subfolders(const QString &folder, FolderId *id = nullptr);
};

inline size_t qHash(const FolderReader::FolderId &id, size_t seed = 0)
{
    return qHashMulti(seed, id.device, id.inode);
}
