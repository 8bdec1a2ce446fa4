#pragma once

#include <QString>

// On-disk (allocated) sizes for the cleaning catalogue: st_blocks of every
// entry, hidden files and package contents included, symbolic links counted
// as themselves and never followed. One walk per path asked for; every entry
// is examined once. Stateless and safe from any thread.
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
    // otherwise of the path itself; 0 when nothing is there. Folders on the
    // way are reached through AnchoredPath (empty anchor: plain path).
    static qint64 fileSizeOf(const QString &path, const QString &anchor = QString());
    static Tally measure(const QString &path, const QString &anchor = QString());

private:
    // Sums everything below the folder; takes ownership of the descriptor.
    static void sumBelow(int folder, Tally &tally);
};
