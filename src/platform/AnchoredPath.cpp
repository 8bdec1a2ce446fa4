#include "platform/AnchoredPath.h"

#include "platform/FileName.h"

#include <QDir>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

int openPlain(const QString &path)
{
    return ::open(FileName::encode(path).constData(), kFolderFlags);
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

} // namespace

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
    const QStringList parts = relative->split(QLatin1Char('/'), Qt::SkipEmptyParts);
    int fd = openPlain(root);
    for (qsizetype i = 0; fd >= 0 && i + 1 < parts.size(); ++i) {
        const int next = ::openat(fd, FileName::encode(parts.at(i)).constData(), kFolderFlags | O_NOFOLLOW);
        const int error = errno;
        ::close(fd);
        errno = error;
        fd = next;
    }
    if (fd >= 0)
        *leaf = FileName::encode(parts.last());
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
