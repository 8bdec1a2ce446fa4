#pragma once

#include "scan/FolderListing.h"

#include <QByteArrayView>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

// Opens and lists folders ahead of a depth-first pass, on threads of its
// own, so that the kernel's directory reads run on several processors while
// the pass handles entries in its own order on its own thread.
//
// The pass hands over each folder it has listed as a batch: the folder's
// subfolders, in listing order. The threads open them relative to the
// batch's own duplicate of the folder's descriptor (never following a link)
// and list them, and go on with the subfolders of what they have read, always
// taking next the folder the depth-first pass will reach first. The pass
// takes the subfolders one by one in listing order: a folder already read
// comes at once with its own batch; while one is being read the pass reads
// others meanwhile; one no thread has started it reads itself. Subfolders the
// pass passes over are dropped with everything read below them.
//
// Nothing the pass sees changes: it enters the same folders in the same order
// and gets the same listings; only the time they were read differs. Folders
// read and not yet taken are bounded in number (each holds up to two
// descriptors; together at most a quarter of the process's limit) and in
// bytes, and reading ahead stops kMaxDepth levels below the pass's root, so
// memory and descriptors do not grow with the size of the tree. Owned by one
// pass; schedule(), take() and drop() are called from that pass's thread
// only.
class FolderReadAhead
{
public:
    class Batch;

    // A subfolder opened and listed: its descriptor (owned by whoever takes
    // it), device and inode, and its listing; or the errno of a failed open.
    // A folder read ahead comes with the batch of its own subfolders, which
    // must be dropped (drop()) if the folder is not entered.
    struct Opened
    {
        int fd = -1;
        dev_t device = 0;
        ino_t inode = 0;
        int error = 0;
        FolderListing listing;
        std::shared_ptr<Batch> subfolders;
        // Where the folder comes in the pass (see schedule()).
        std::string position;
    };

    static constexpr std::size_t kDefaultWindow = 128;
    static constexpr std::size_t kDefaultByteBudget = 8u << 20;
    static constexpr int kMaxDepth = 32;

    explicit FolderReadAhead(int threads, std::size_t window = kDefaultWindow,
                             std::size_t byteBudget = kDefaultByteBudget);
    ~FolderReadAhead();
    FolderReadAhead(const FolderReadAhead &) = delete;
    FolderReadAhead &operator=(const FolderReadAhead &) = delete;

    // Opens the folder name relative to folderFd (AT_FDCWD for a path)
    // without following a link, and reads its device and inode; no listing.
    static Opened openFolder(int folderFd, const char *name);
    // Opens one subfolder of the folder open at folderFd and lists it, the
    // way the threads do.
    static Opened open(int folderFd, const char *name, FolderListing::HiddenFiles hiddenFiles);
    // The position of the serial-th root a pass walks.
    static std::string rootPosition(quint32 serial);

    // Starts reading the subfolders in listing, the listing of the folder
    // open at folderFd (the descriptor is duplicated; the caller keeps its
    // own). position is the folder's own: "" for the pass's root, else the
    // position its Opened came with. Null when there is nothing to read.
    std::shared_ptr<Batch> schedule(int folderFd, const FolderListing &listing, FolderListing::HiddenFiles hiddenFiles,
                                    const std::string &position);
    // The batch's subfolder name, opened and listed. Earlier subfolders of
    // the batch not yet taken are dropped. Nothing when name is not among
    // the batch's subfolders still to come.
    std::optional<Opened> take(Batch &batch, QByteArrayView name);
    // Drops the batch's subfolders not yet taken, closing what was opened.
    void drop(Batch &batch);

private:
    struct Slot;
    struct EarlierFirst
    {
        bool operator()(const Slot *a, const Slot *b) const;
    };

    static std::size_t windowWithin(std::size_t window);
    std::shared_ptr<Batch> makeBatch(int fd, const FolderListing &listing, FolderListing::HiddenFiles hiddenFiles,
                                     const std::string &position) const;
    void queue(Batch &batch);
    void run();
    void readNext(std::unique_lock<std::mutex> &lock);
    void dropLocked(Batch &batch);
    void dropSlot(Slot &slot);
    bool hasRoom() const;
    void waitForRead(std::unique_lock<std::mutex> &lock, const Slot &slot);

    const std::size_t m_window;
    const std::size_t m_byteBudget;
    std::mutex m_mutex;
    // Wakes threads: new work, room in the window, or stopping.
    std::condition_variable m_wake;
    // Wakes the pass: a folder it waits for has been read.
    std::condition_variable m_done;
    // Subfolders no thread has started, in the order the pass reaches them.
    std::set<Slot *, EarlierFirst> m_queue;
    // m_queue's size, for threads that spin without the mutex.
    std::atomic<std::size_t> m_queued{0};
    std::size_t m_readyCount = 0;
    std::size_t m_readyBytes = 0;
    int m_idle = 0;
    int m_waiting = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};
