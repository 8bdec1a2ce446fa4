#pragma once

#include <QString>

// On-disk (allocated) sizes: st_blocks of the entries of a tree, hidden files
// and package contents included, symbolic links counted as themselves and
// never followed. The cleaning catalogue sizes a path with everything below
// it; the inventory sizes the files below a folder. One walk per path asked
// for, with one open folder per level; every entry is examined once, and a
// folder reached again (through a bind mount) is not walked twice.
// Stateless and safe from any thread.
class AllocatedSize
{
public:
    struct Tally
    {
        qint64 bytes = 0;
        // Entries examined (the path itself included).
        qint64 entries = 0;
        // Folders below the path that could not be opened or read.
        qint64 unreadable = 0;
    };

    // fileSizeOf: for a folder the allocated size of everything below it,
    // folders included; otherwise of the path itself; 0 when nothing is
    // there. Folders on the way are reached through AnchoredPath (empty
    // anchor: the path as it is, only its last component not followed).
    static qint64 fileSizeOf(const QString &path, const QString &anchor = QString());
    static Tally measure(const QString &path, const QString &anchor = QString());

    // The allocated size of every item below a folder that is not itself a
    // folder (folders add nothing); 0 when path is not a folder.
    static qint64 ofFilesBelow(const QString &path);

private:
    enum class Counting { Everything, FilesOnly };

    static Tally measure(const QString &path, const QString &anchor, Counting counting);
};
