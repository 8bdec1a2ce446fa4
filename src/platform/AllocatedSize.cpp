#include "tools/AllocatedSize.h"

#include "platform/Log.h"
#include "platform/AnchoredPath.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

} // namespace

qint64 AllocatedSize::fileSizeOf(const QString &path, const QString &anchor)
{
    return measure(path, anchor).bytes;
}

AllocatedSize::Tally AllocatedSize::measure(const QString &path, const QString &anchor)
{
    Tally tally;
    QByteArray leaf;
    const int parent = AnchoredPath::openParent(anchor, path, &leaf);
    if (parent < 0)
        return tally;
    struct stat info;
    const char *name = leaf.isEmpty() ? "." : leaf.constData();
    if (::fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
        ++tally.entries;
        if (!S_ISDIR(info.st_mode)) {
            tally.bytes = allocatedBytes(info);
        } else {
            const int folder = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (folder >= 0)
                sumBelow(folder, tally);
            else
                ++tally.unreadable;
        }
    }
    ::close(parent);
    if (tally.unreadable > 0)
        Log::warning(QStringLiteral("Size of %1 leaves out %2 unreadable folders").arg(path).arg(tally.unreadable));
    return tally;
}

// Depth-first with one open folder per level. An unreadable folder is
// counted and skipped; the walk goes on with its siblings.
void AllocatedSize::sumBelow(int folder, Tally &tally)
{
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
        struct stat info;
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        ++tally.entries;
        tally.bytes += allocatedBytes(info);
        if (!S_ISDIR(info.st_mode))
            continue;
        const int child = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        DIR *childDir = child >= 0 ? ::fdopendir(child) : nullptr;
        if (childDir) {
            stack.push_back(childDir);
        } else {
            if (child >= 0)
                ::close(child);
            ++tally.unreadable;
        }
    }
}
