#include "scan/FolderStack.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Level descriptors that are not open: let go to stay within the limit
// (reopened on the way back), or lost for good.
constexpr int kClosed = -1;
constexpr int kLost = -2;
constexpr int kOpenFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
} // namespace

FolderStack::FolderStack(int openLimit)
    : m_openLimit(openLimit < 1 ? 1 : openLimit)
{
}

FolderStack::~FolderStack()
{
    while (!m_levels.empty())
        leave();
}

bool FolderStack::openRoot(const QByteArray &path)
{
    QByteArray trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith('/'))
        trimmed.chop(1);
    const int fd = ::open(trimmed.constData(), kOpenFlags);
    struct stat st{};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        m_error = errno;
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    m_path = trimmed == "/" ? QByteArray() : trimmed;
    m_entryPrefixValid = false;
    ++m_generation;
    push(fd, st.st_dev, st.st_ino);
    return true;
}

bool FolderStack::enter(QByteArrayView name)
{
    const int parentFd = m_levels.back().fd;
    if (parentFd < 0) {
        m_error = ESTALE;
        return false;
    }
    // Names come from a listing, which keeps a NUL after each one.
    const int fd = ::openat(parentFd, name.data(), kOpenFlags);
    struct stat st{};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        m_error = errno;
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    if (isOnChain(st.st_dev, st.st_ino)) {
        ::close(fd);
        m_error = ELOOP;
        return false;
    }
    m_path.append('/').append(name);
    m_entryPrefixValid = false;
    ++m_generation;
    push(fd, st.st_dev, st.st_ino);
    return true;
}

void FolderStack::push(int fd, dev_t device, ino_t inode)
{
    m_levels.push_back({fd, device, inode, m_path.size()});
    if (m_levels.size() > std::size_t(m_openLimit)) {
        Level &farthest = m_levels[m_levels.size() - 1 - std::size_t(m_openLimit)];
        if (farthest.fd >= 0) {
            ::close(farthest.fd);
            farthest.fd = kClosed;
        }
    }
}

void FolderStack::leave()
{
    const Level child = m_levels.back();
    m_levels.pop_back();
    m_path.truncate(m_levels.empty() ? 0 : m_levels.back().pathLength);
    m_entryPrefixValid = false;
    ++m_generation;
    if (!m_levels.empty() && m_levels.back().fd == kClosed)
        reopenParentOf(child);
    if (child.fd >= 0)
        ::close(child.fd);
}

void FolderStack::reopenParentOf(const Level &child)
{
    Level &parent = m_levels.back();
    parent.fd = kLost;
    if (child.fd < 0)
        return;
    const int fd = ::openat(child.fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st{};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && st.st_dev == parent.device && st.st_ino == parent.inode) {
        parent.fd = fd;
        return;
    }
    if (fd >= 0)
        ::close(fd);
}

bool FolderStack::isOnChain(dev_t device, ino_t inode) const
{
    for (const Level &level : m_levels) {
        if (level.inode == inode && level.device == device)
            return true;
    }
    return false;
}

int FolderStack::openDescriptors() const
{
    int open = 0;
    for (const Level &level : m_levels)
        open += level.fd >= 0 ? 1 : 0;
    return open;
}

// Entries of one folder come one after the other: the folder's path and
// the slash stay in place and only the name is replaced.
QByteArrayView FolderStack::entryPath(QByteArrayView name)
{
    if (!m_entryPrefixValid) {
        m_entryPath.assign(m_path.constData(), std::size_t(m_path.size()));
        m_entryPath.push_back('/');
        m_entryPrefixValid = true;
    }
    m_entryPath.resize(std::size_t(m_path.size()) + 1);
    m_entryPath.append(name.data(), std::size_t(name.size()));
    return QByteArrayView(m_entryPath.data(), qsizetype(m_entryPath.size()));
}
