#pragma once

#include "scan/FolderListing.h"
#include "scan/FolderReadAhead.h"

#include <QByteArray>
#include <QByteArrayView>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// The chain of folders from a root down to the folder a count or a walk
// stands in, as paths of bytes and directory descriptors. Each folder is
// opened relative to its parent's descriptor with one name at a time, never
// following a link, so a tree of any depth is reached whatever the length of
// its full paths.
//
// Only the deepest openLimit folders keep their descriptor; a folder whose
// descriptor was let go is reopened through ".." of its child when the walk
// climbs back to it, and accepted only if it is the same folder (device and
// inode) as before. A folder that cannot be reopened that way (the tree was
// moved meanwhile) is marked lost: entering below it fails. Entering a folder
// that is already on the chain (a bind-mount loop) fails too.
//
// With read-ahead threads, listing a folder through list() also starts
// opening and listing its subfolders on those threads (FolderReadAhead), and
// enter() takes a subfolder read that way: the same folder, reached the same
// way, only read earlier. Owned by one pass on one thread.
class FolderStack
{
public:
    static constexpr int kDefaultOpenLimit = 32;

    // Read-ahead threads for a pass that does not say: the number set by
    // setDefaultReadAheadThreads(), else SWEEPLING_READ_AHEAD_THREADS, else
    // one per processor but one (at most 3; none on a single processor).
    static int defaultReadAheadThreads();
    // -1 goes back to the automatic choice; 0 reads every folder on the
    // pass's own thread.
    static void setDefaultReadAheadThreads(int threads);

    explicit FolderStack(int openLimit = kDefaultOpenLimit, int readAheadThreads = 0,
                         std::size_t readAheadWindow = FolderReadAhead::kDefaultWindow);
    ~FolderStack();
    FolderStack(const FolderStack &) = delete;
    FolderStack &operator=(const FolderStack &) = delete;

    // Opens the root folder (path as bytes; trailing slashes are ignored).
    // False, with error() set, when it is not a folder, is a link or cannot
    // be opened. The chain must be empty.
    bool openRoot(const QByteArray &path);
    // Opens the subfolder name of the current folder and makes it current.
    // False, with error() set (ELOOP for a folder already on the chain), when
    // it cannot be opened; the current folder is unchanged then.
    bool enter(QByteArrayView name);
    // Closes the current folder and makes its parent current again.
    void leave();
    // Lists the current folder (see FolderListing::read()). Call it once per
    // folder, before entering any of its subfolders.
    FolderListing list(FolderListing::HiddenFiles hiddenFiles);

    bool isEmpty() const { return m_levels.empty(); }
    int depth() const { return int(m_levels.size()); }
    int openDescriptors() const;
    // The current folder's descriptor, or -1 when it is lost.
    int fd() const { return m_levels.back().fd < 0 ? -1 : m_levels.back().fd; }
    // The current folder's path, without a trailing slash ("" for "/").
    const QByteArray &path() const { return m_path; }
    // The length of path() at a depth (1 for the root), so a folder's own
    // path is path().left(pathLengthAt(depth)) while it is on the chain.
    qsizetype pathLengthAt(int depth) const { return m_levels[std::size_t(depth - 1)].pathLength; }
    // The current folder's path followed by "/" and name; valid until the
    // next call, and followed by a NUL.
    QByteArrayView entryPath(QByteArrayView name);
    // Changes whenever the current folder does.
    quint64 generation() const { return m_generation; }
    int error() const { return m_error; }

private:
    struct Level
    {
        int fd;
        dev_t device;
        ino_t inode;
        qsizetype pathLength;
        // The folder's listing when it was read ahead, until list() hands it out.
        std::optional<FolderListing> listing;
        // Its subfolders being read ahead.
        std::shared_ptr<FolderReadAhead::Batch> batch;
        // Where the folder comes in the pass, for reading ahead below it;
        // nothing when it is not read ahead.
        std::optional<std::string> position;
    };

    bool isOnChain(dev_t device, ino_t inode) const;
    bool enterOpened(QByteArrayView name, FolderReadAhead::Opened opened);
    void push(int fd, dev_t device, ino_t inode);
    void reopenParentOf(const Level &child);

    int m_openLimit;
    std::unique_ptr<FolderReadAhead> m_readAhead;
    quint32 m_roots = 0;
    std::vector<Level> m_levels;
    QByteArray m_path;
    // The current folder's path and "/" followed by the last entry's name.
    std::string m_entryPath;
    bool m_entryPrefixValid = false;
    quint64 m_generation = 0;
    int m_error = 0;
};
