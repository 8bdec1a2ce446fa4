#include "tools/PathRemover.h"

#include "platform/Log.h"
#include "platform/AnchoredPath.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

struct Child
{
    QByteArray name;
    unsigned char type;
};

struct Frame
{
    int fd;
    QByteArray name;  // in the parent frame's folder
    QString path;
    std::vector<Child> children;
    size_t next = 0;
};

// Reads the whole folder first, so that removing entries cannot upset the listing.
std::vector<Child> readChildren(int fd)
{
    std::vector<Child> children;
    const int copy = ::dup(fd);
    DIR *dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (!dir) {
        if (copy >= 0)
            ::close(copy);
        return children;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        children.push_back({QByteArray(name), entry->d_type});
    }
    ::closedir(dir);
    return children;
}

bool isFolder(int parent, const Child &child)
{
    if (child.type != DT_UNKNOWN)
        return child.type == DT_DIR;
    struct stat info;
    return ::fstatat(parent, child.name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
}

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

PathRemover::PathRemover(QString anchor)
    : m_anchor(QDir::cleanPath(anchor))
{
}

int PathRemover::unlinkEntry(int folder, const char *name, int flags)
{
    return ::unlinkat(folder, name, flags);
}

PathRemover::Outcome PathRemover::removeItem(const QString &path)
{
    if (QDir::cleanPath(path) == m_anchor)
        return {Result::NotRemoved, QStringLiteral("the volume root is never removed")};
    QByteArray leaf;
    const int parent = AnchoredPath::openParent(m_anchor, path, &leaf);
    if (parent < 0)
        return outcomeWithoutParent(path, errno);
    Outcome outcome;
    struct stat info;
    if (::fstatat(parent, leaf.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        outcome = errno == ENOENT ? Outcome{} : Outcome{Result::NotRemoved, errorText(errno)};
    } else {
        QString reason;
        if (S_ISDIR(info.st_mode)) {
            const int folder = ::openat(parent, leaf.constData(), kFolderFlags);
            reason = folder < 0 ? errorText(errno) : removeContents(folder, path);
        }
        const QString last = unlinkOrReason(parent, leaf, S_ISDIR(info.st_mode) ? AT_REMOVEDIR : 0, path);
        if (reason.isEmpty())
            reason = last;
        outcome = last.isEmpty() ? Outcome{Result::Removed, {}} : Outcome{Result::NotRemoved, reason};
    }
    ::close(parent);
    return outcome;
}

// The folder holding path could not be opened without following links:
// either nothing is there, or it lies behind a linked folder.
PathRemover::Outcome PathRemover::outcomeWithoutParent(const QString &path, int error) const
{
    if (error == EXDEV)
        return {Result::NotRemoved, QStringLiteral("not on this volume")};
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    if (error == ELOOP || error == ENOTDIR)
        return {Result::NotRemoved, QStringLiteral("a folder on its way is a symbolic link")};
    return {Result::NotRemoved, errorText(error)};
}

QString PathRemover::unlinkOrReason(int folder, const QByteArray &name, int flags, const QString &path)
{
    if (unlinkEntry(folder, name.constData(), flags) == 0 || errno == ENOENT)
        return {};
    const QString reason = QStringLiteral("%1: %2").arg(path, errorText(errno));
    Log::warning(QStringLiteral("Cannot remove %1").arg(reason));
    return reason;
}

QString PathRemover::removeContents(int folder, const QString &path)
{
    QString firstFailure;
    auto note = [&firstFailure](const QString &reason) {
        if (firstFailure.isEmpty())
            firstFailure = reason;
    };
    std::vector<Frame> stack;
    stack.push_back({folder, {}, path, readChildren(folder)});
    while (!stack.empty()) {
        Frame &top = stack.back();
        if (top.next == top.children.size()) {
            const Frame done = std::move(top);
            stack.pop_back();
            ::close(done.fd);
            if (!stack.empty())
                note(unlinkOrReason(stack.back().fd, done.name, AT_REMOVEDIR, done.path));
            continue;
        }
        const Child child = top.children.at(top.next++);
        const QString childPath = top.path + QLatin1Char('/') + QFile::decodeName(child.name);
        if (!isFolder(top.fd, child)) {
            note(unlinkOrReason(top.fd, child.name, 0, childPath));
            continue;
        }
        const int fd = ::openat(top.fd, child.name.constData(), kFolderFlags);
        if (fd >= 0)
            stack.push_back({fd, child.name, childPath, readChildren(fd)});
        else if (errno == ELOOP || errno == ENOTDIR)  // replaced by a link meanwhile
            note(unlinkOrReason(top.fd, child.name, 0, childPath));
        else if (errno != ENOENT)
            note(QStringLiteral("%1: %2").arg(childPath, errorText(errno)));
    }
    return firstFailure;
}
