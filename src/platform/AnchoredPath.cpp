#include "platform/AnchoredPath.h"

#include "platform/FileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
// As many links as the kernel follows in one path before it gives up.
constexpr int kMaxLinks = 40;

std::atomic<bool> s_kernelResolves{true};

int openPlain(const QString &path)
{
    return ::open(FileName::encode(path).constData(), kFolderFlags);
}

void closeKeepingErrno(int fd)
{
    const int error = errno;
    ::close(fd);
    errno = error;
}

// The part of path below anchor, or nothing when path lies elsewhere.
std::optional<QString> relativeTo(const QString &anchor, const QString &path)
{
    if (anchor == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/')) ? std::optional(path.mid(1)) : std::nullopt;
    if (path == anchor)
        return QString();
    if (path.startsWith(anchor + QLatin1Char('/')))
        return path.mid(anchor.size() + 1);
    return std::nullopt;
}

int openUnanchoredParent(const QString &path, QByteArray *leaf)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    *leaf = FileName::encode(path.mid(slash + 1));
    return openPlain(slash <= 0 ? QStringLiteral("/") : path.left(slash));
}

std::optional<QByteArray> readLink(int folder, const QByteArray &name)
{
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t length = ::readlinkat(folder, name.constData(), target.data(), size_t(target.size()));
    if (length < 0)
        return std::nullopt;
    if (length >= target.size()) {
        errno = ENAMETOOLONG;
        return std::nullopt;
    }
    target.truncate(length);
    return target;
}

// The kernel's own resolution: links followed, ".." and absolute targets kept
// inside the folder open at root. Answers -2 when the kernel cannot do it.
int resolveByKernel(int root, const QByteArray &relative)
{
    if (!s_kernelResolves.load(std::memory_order_relaxed))
        return -2;
    open_how how{};
    how.flags = kFolderFlags;
    how.resolve = RESOLVE_IN_ROOT | RESOLVE_NO_MAGICLINKS;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const long fd = ::syscall(SYS_openat2, root, relative.constData(), &how, sizeof how);
        if (fd >= 0)
            return int(fd);
        if (errno == EAGAIN || errno == EINTR)
            continue;  // a rename elsewhere raced with ".."; try again
        if (errno == ENOSYS) {
            s_kernelResolves.store(false, std::memory_order_relaxed);
            return -2;
        }
        return errno == ENAMETOOLONG ? -2 : -1;
    }
    return -2;
}

// The same resolution done here, one component at a time with links never
// followed by the kernel: a link's target is read and walked in its place,
// an absolute one from root again, and ".." never climbs above root.
int resolveByHand(int root, const QByteArray &relative)
{
    std::vector<int> folders{::dup(root)};
    if (folders.front() < 0)
        return -1;
    auto closeAll = [&folders] {
        for (const int fd : folders)
            closeKeepingErrno(fd);
    };
    QList<QByteArray> pending = relative.split('/');
    std::reverse(pending.begin(), pending.end());
    int links = 0;
    while (!pending.isEmpty()) {
        const QByteArray name = pending.takeLast();
        if (name.isEmpty() || name == ".")
            continue;
        if (name == "..") {
            if (folders.size() > 1) {
                ::close(folders.back());
                folders.pop_back();
            }
            continue;
        }
        const int next = ::openat(folders.back(), name.constData(), kFolderFlags | O_NOFOLLOW);
        if (next >= 0) {
            folders.push_back(next);
            continue;
        }
        const int error = errno;
        if (error != ELOOP && error != ENOTDIR) {
            closeAll();
            return -1;
        }
        const std::optional<QByteArray> target = readLink(folders.back(), name);
        if (!target || ++links > kMaxLinks) {
            closeAll();
            errno = !target ? error : ELOOP;
            return -1;
        }
        if (target->startsWith('/')) {
            while (folders.size() > 1) {
                ::close(folders.back());
                folders.pop_back();
            }
        }
        QList<QByteArray> parts = target->split('/');
        for (auto it = parts.crbegin(); it != parts.crend(); ++it)
            pending.append(*it);
    }
    const int result = folders.back();
    folders.pop_back();
    closeAll();
    return result;
}

// The folder at relative below the folder open at root, resolved with root
// standing for "/".
int resolveInRoot(int root, const QByteArray &relative)
{
    const int fd = resolveByKernel(root, relative);
    return fd == -2 ? resolveByHand(root, relative) : fd;
}

} // namespace

std::optional<QString> AnchoredPath::volumePathOf(int folder, const QString &anchor)
{
    const QString real = QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(folder));
    const QString root = QFileInfo(anchor.isEmpty() ? QStringLiteral("/") : anchor).canonicalFilePath();
    if (real.isEmpty() || root.isEmpty())
        return std::nullopt;
    if (root == QLatin1String("/"))
        return real;
    if (real == root)
        return QStringLiteral("/");
    if (!real.startsWith(root + QLatin1Char('/')))
        return std::nullopt;
    return real.mid(root.size());
}

std::optional<QString> AnchoredPath::resolvedVolumePath(const QString &anchor, const QString &path)
{
    QByteArray leaf;
    const int parent = openParent(anchor, path, &leaf);
    if (parent < 0)
        return std::nullopt;
    const std::optional<QString> resolved = volumePathOf(parent, leaf, anchor);
    ::close(parent);
    return resolved;
}

std::optional<QString> AnchoredPath::volumePathOf(int folder, const QByteArray &leaf, const QString &anchor)
{
    const std::optional<QString> folderPath = volumePathOf(folder, anchor);
    if (!folderPath || leaf.isEmpty())
        return folderPath;
    return (*folderPath == QLatin1String("/") ? QString() : *folderPath) + QLatin1Char('/') + FileName::decode(leaf);
}

bool AnchoredPath::isInside(const QString &anchor, const QString &folder, const QString &path)
{
    const QString cleanFolder = QDir::cleanPath(folder);
    const QString cleanPath = QDir::cleanPath(path);
    if (!cleanPath.startsWith(cleanFolder + QLatin1Char('/')))
        return false;
    const std::optional<QString> realFolder = resolvedVolumePath(anchor, cleanFolder);
    const std::optional<QString> realPath = resolvedVolumePath(anchor, cleanPath);
    if (!realFolder || !realPath)
        return true;  // the text is all there is to go by
    return realPath->startsWith((*realFolder == QLatin1String("/") ? QString() : *realFolder) + QLatin1Char('/'));
}

void AnchoredPath::setKernelResolution(bool enabled)
{
    s_kernelResolves.store(enabled, std::memory_order_relaxed);
}

int AnchoredPath::openParent(const QString &anchor, const QString &path, QByteArray *leaf)
{
    const QString cleaned = QDir::cleanPath(path);
    if (anchor.isEmpty())
        return openUnanchoredParent(cleaned, leaf);
    const QString root = QDir::cleanPath(anchor);
    const auto relative = relativeTo(root, cleaned);
    if (!relative) {
        errno = EXDEV;
        return -1;
    }
    if (relative->isEmpty())
        return openUnanchoredParent(cleaned, leaf);
    const qsizetype slash = relative->lastIndexOf(QLatin1Char('/'));
    const int rootFd = openPlain(root);
    if (rootFd < 0 || slash < 0) {
        if (rootFd >= 0)
            *leaf = FileName::encode(*relative);
        return rootFd;
    }
    const int fd = resolveInRoot(rootFd, FileName::encode(relative->left(slash)));
    closeKeepingErrno(rootFd);
    if (fd >= 0)
        *leaf = FileName::encode(relative->mid(slash + 1));
    return fd;
}

int AnchoredPath::openFolder(const QString &anchor, const QString &path)
{
    QByteArray leaf;
    const int parent = openParent(anchor, path, &leaf);
    if (parent < 0)
        return -1;
    const int fd = leaf.isEmpty() ? ::openat(parent, ".", kFolderFlags)
                                  : ::openat(parent, leaf.constData(), kFolderFlags | O_NOFOLLOW);
    const int error = errno;
    ::close(parent);
    errno = error;
    return fd;
}

std::optional<QStringList> AnchoredPath::entryNames(const QString &anchor, const QString &folder)
{
    const int fd = openFolder(anchor, folder);
    if (fd < 0)
        return std::nullopt;
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return std::nullopt;
    }
    QStringList names;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        names.append(FileName::decode(name));
    }
    ::closedir(dir);
    names.sort();
    return names;
}

bool AnchoredPath::exists(const QString &anchor, const QString &path)
{
    QByteArray leaf;
    const int parent = openParent(anchor, path, &leaf);
    if (parent < 0)
        return false;
    struct stat info;
    const bool found = leaf.isEmpty() || ::fstatat(parent, leaf.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
    ::close(parent);
    return found;
}
