#include "remedy/ItemRemover.h"

#include "scan/Adware.h"

#include <QDir>
#include <QFile>
#include <QList>

#include <cerrno>
#include <functional>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Deeper folders than this are left in place and reported; each level holds
// one open descriptor while its children are removed.
constexpr int kMaxDepth = 512;

class TreeRemoval
{
public:
    using Unlink = std::function<int(int, const char *, int)>;

    TreeRemoval(Unlink unlink, QString *error)
        : m_unlink(std::move(unlink))
        , m_error(error)
    {
    }

    // Removes the entry name of the folder parentFd; device is the file
    // system the walk may enter (0 at the top, where any is allowed).
    bool removeEntry(int parentFd, const QByteArray &name, const QByteArray &where, dev_t device, int depth)
    {
        struct stat st{};
        if (::fstatat(parentFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT || fail(where, errno);
        if (!S_ISDIR(st.st_mode))
            return m_unlink(parentFd, name.constData(), 0) == 0 || errno == ENOENT || fail(where, errno);
        if (device != 0 && st.st_dev != device)
            return fail(where, QStringLiteral("on another file system, left in place"));
        if (depth >= kMaxDepth)
            return fail(where, QStringLiteral("nested too deeply, left in place"));
        const bool emptied = removeFolderContents(parentFd, name, where, st, depth);
        if (m_unlink(parentFd, name.constData(), AT_REMOVEDIR) == 0 || errno == ENOENT)
            return true;
        // When emptying failed, that first reason is the one reported.
        return emptied ? fail(where, errno) : false;
    }

private:
    bool removeFolderContents(int parentFd, const QByteArray &name, const QByteArray &where,
                              const struct stat &expected, int depth)
    {
        const int fd = ::openat(parentFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return fail(where, errno);
        struct stat opened{};
        // The folder may have been replaced (by a link, say) since it was examined.
        if (::fstat(fd, &opened) != 0 || opened.st_dev != expected.st_dev || opened.st_ino != expected.st_ino) {
            ::close(fd);
            return fail(where, QStringLiteral("changed while being removed"));
        }
        bool ok = true;
        const QList<QByteArray> children = listChildren(fd, where, &ok);
        for (const QByteArray &child : children)
            ok = removeEntry(fd, child, where + '/' + child, expected.st_dev, depth + 1) && ok;
        ::close(fd);
        return ok;
    }

    // Names are read first and the stream closed, so that a walk holds one
    // descriptor per level.
    QList<QByteArray> listChildren(int fd, const QByteArray &where, bool *ok)
    {
        QList<QByteArray> names;
        const int streamFd = ::dup(fd);
        DIR *dir = streamFd >= 0 ? ::fdopendir(streamFd) : nullptr;
        if (!dir) {
            *ok = fail(where, errno);
            if (streamFd >= 0)
                ::close(streamFd);
            return names;
        }
        while (const dirent *entry = ::readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
                continue;
            names.append(QByteArray(entry->d_name));
        }
        ::closedir(dir);
        return names;
    }

    bool fail(const QByteArray &where, int err) { return fail(where, QString::fromLocal8Bit(std::strerror(err))); }

    bool fail(const QByteArray &where, const QString &why)
    {
        if (m_error && m_error->isEmpty())
            *m_error = QStringLiteral("%1: %2").arg(QFile::decodeName(where), why);
        return false;
    }

    Unlink m_unlink;
    QString *m_error;
};

} // namespace

ItemRemover::ItemRemover(QString anchor)
    : m_anchor(anchor.isEmpty() ? QStringLiteral("/") : QDir::cleanPath(anchor))
{
}

int ItemRemover::unlinkEntry(int folder, const char *name, int flags)
{
    return ::unlinkat(folder, name, flags);
}

bool ItemRemover::fileExistsAtPath(const QString &path) const
{
    return Adware::fileExistsAtPath(path);
}

int ItemRemover::openParent(const QString &path, QByteArray *name, QString *error) const
{
    const QString cleaned = QDir::cleanPath(path);
    const QString prefix = m_anchor.endsWith(QLatin1Char('/')) ? m_anchor : m_anchor + QLatin1Char('/');
    if (!QDir::isAbsolutePath(cleaned) || !cleaned.startsWith(prefix) || cleaned.size() == prefix.size()) {
        *error = QStringLiteral("%1: not an item of the volume %2").arg(path, m_anchor);
        return -1;
    }
    const QList<QByteArray> parts = QFile::encodeName(cleaned.mid(prefix.size())).split('/');
    int fd = ::open(QFile::encodeName(m_anchor).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    QByteArray where = QFile::encodeName(m_anchor);
    for (qsizetype i = 0; fd >= 0 && i + 1 < parts.size(); ++i) {
        where += '/' + parts.at(i);
        const int next = ::openat(fd, parts.at(i).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int err = errno;
        ::close(fd);
        if (next < 0 && err == ENOENT)
            return -2;
        if (next < 0) {
            *error = QStringLiteral("%1: %2").arg(QFile::decodeName(where),
                                                  err == ELOOP || err == ENOTDIR
                                                      ? QStringLiteral("reached through a symbolic link, left in place")
                                                      : QString::fromLocal8Bit(std::strerror(err)));
            return -1;
        }
        fd = next;
    }
    if (fd < 0) {
        if (errno == ENOENT)
            return -2;
        *error = QStringLiteral("%1: %2").arg(m_anchor, QString::fromLocal8Bit(std::strerror(errno)));
        return -1;
    }
    *name = parts.last();
    return fd;
}

bool ItemRemover::removeItemAtPath(const QString &path, QString *error)
{
    QString ignored;
    QString &message = error ? *error : ignored;
    message.clear();
    QByteArray name;
    const int parentFd = openParent(path, &name, &message);
    if (parentFd == -2)
        return true;
    if (parentFd < 0)
        return false;
    TreeRemoval removal([this](int folder, const char *entry, int flags) { return unlinkEntry(folder, entry, flags); },
                        &message);
    const bool removed = removal.removeEntry(parentFd, name, QFile::encodeName(QDir::cleanPath(path)), 0, 0);
    ::close(parentFd);
    return removed;
}
