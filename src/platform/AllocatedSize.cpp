#include "platform/AllocatedSize.h"

#include "platform/AnchoredPath.h"
#include "platform/Log.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <vector>

namespace {

qint64 allocatedBytes(const struct stat &info)
{
    return qint64(info.st_blocks) * 512;
}

bool isDotOrDotDot(const char *name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// Folders already walked, by device and inode.
class SeenFolders
{
public:
    // False when the folder was seen before.
    bool insert(const struct stat &info) { return m_seen.insert(Key{info.st_dev, info.st_ino}).second; }

private:
    struct Key
    {
        dev_t device;
        ino_t inode;
        bool operator==(const Key &) const = default;
    };
    struct Hash
    {
        size_t operator()(const Key &key) const { return std::hash<ino_t>()(key.inode) ^ (std::hash<dev_t>()(key.device) << 1); }
    };
    std::unordered_set<Key, Hash> m_seen;
};

// Sums everything below the folder into tally, the folders themselves only
// when countFolders; takes ownership of the descriptor. Depth-first with one
// open folder per level. An unreadable folder is counted and skipped; the
// walk goes on with its siblings.
void sumBelow(int folder, const struct stat &info, bool countFolders, AllocatedSize::Tally &tally)
{
    SeenFolders seen;
    seen.insert(info);
    std::vector<DIR *> stack;
    if (DIR *dir = ::fdopendir(folder))
        stack.push_back(dir);
    else
        ::close(folder);
    while (!stack.empty()) {
        DIR *dir = stack.back();
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry) {
            if (errno != 0)
                ++tally.unreadable;
            ::closedir(dir);
            stack.pop_back();
            continue;
        }
        if (isDotOrDotDot(entry->d_name))
            continue;
        struct stat child;
        if (::fstatat(::dirfd(dir), entry->d_name, &child, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        ++tally.entries;
        const bool isFolder = S_ISDIR(child.st_mode);
        if (!isFolder || countFolders)
            tally.bytes += allocatedBytes(child);
        if (!isFolder || !seen.insert(child))
            continue;
        const int childFd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        DIR *childDir = childFd >= 0 ? ::fdopendir(childFd) : nullptr;
        if (childDir) {
            stack.push_back(childDir);
        } else {
            if (childFd >= 0)
                ::close(childFd);
            ++tally.unreadable;
        }
    }
}

} // namespace

qint64 AllocatedSize::fileSizeOf(const QString &path, const QString &anchor)
{
    return measure(path, anchor).bytes;
}

AllocatedSize::Tally AllocatedSize::measure(const QString &path, const QString &anchor)
{
    return measure(path, anchor, Counting::Everything);
}

qint64 AllocatedSize::ofFilesBelow(const QString &path)
{
    return measure(path, QString(), Counting::FilesOnly).bytes;
}

AllocatedSize::Tally AllocatedSize::measure(const QString &path, const QString &anchor, Counting counting)
{
    Tally tally;
    QByteArray leaf;
    const int parent = path.isEmpty() ? -1 : AnchoredPath::openParent(anchor, path, &leaf);
    if (parent < 0)
        return tally;
    struct stat info;
    const char *name = leaf.isEmpty() ? "." : leaf.constData();
    if (::fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
        ++tally.entries;
        if (!S_ISDIR(info.st_mode)) {
            if (counting == Counting::Everything)
                tally.bytes = allocatedBytes(info);
        } else {
            const int folder = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (folder >= 0)
                sumBelow(folder, info, counting == Counting::Everything, tally);
            else
                ++tally.unreadable;
        }
    }
    ::close(parent);
    if (tally.unreadable > 0)
        Log::warning(QStringLiteral("Size of %1 leaves out %2 unreadable folders").arg(path).arg(tally.unreadable));
    return tally;
}
