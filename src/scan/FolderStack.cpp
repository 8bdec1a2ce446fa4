#include "scan/FolderStack.h"

#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Level descriptors that are not open: let go to stay within the limit
// (reopened on the way back), or lost for good.
constexpr int kClosed = -1;
constexpr int kLost = -2;

std::atomic<int> g_readAheadThreads{-1};
} // namespace

int FolderStack::defaultReadAheadThreads()
{
    const int chosen = g_readAheadThreads.load();
    if (chosen >= 0)
        return chosen;
    bool set = false;
    const int fromEnvironment = qEnvironmentVariableIntValue("SWEEPLING_READ_AHEAD_THREADS", &set);
    if (set && fromEnvironment >= 0)
        return std::min(fromEnvironment, 16);
    // The pass keeps one processor busy itself; with no other, reading
    // ahead would only take turns with it.
    const int processors = int(std::thread::hardware_concurrency());
    return processors <= 1 ? 0 : std::min(processors - 1, 3);
}

void FolderStack::setDefaultReadAheadThreads(int threads)
{
    g_readAheadThreads.store(threads < 0 ? -1 : threads);
}

FolderStack::FolderStack(int openLimit, int readAheadThreads, std::size_t readAheadWindow)
    : m_openLimit(openLimit < 1 ? 1 : openLimit)
{
    if (readAheadThreads > 0)
        m_readAhead = std::make_unique<FolderReadAhead>(readAheadThreads, readAheadWindow);
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
    const FolderReadAhead::Opened root = FolderReadAhead::openFolder(AT_FDCWD, trimmed.constData());
    if (root.fd < 0) {
        m_error = root.error;
        return false;
    }
    m_path = trimmed == "/" ? QByteArray() : trimmed;
    m_entryPrefixValid = false;
    ++m_generation;
    push(root.fd, root.device, root.inode);
    // Each root its own positions, so that nothing left of a root can be
    // taken for a folder of the next.
    if (m_readAhead)
        m_levels.back().position = FolderReadAhead::rootPosition(m_roots++);
    return true;
}

bool FolderStack::enter(QByteArrayView name)
{
    const int parentFd = m_levels.back().fd;
    if (parentFd < 0) {
        m_error = ESTALE;
        return false;
    }
    if (Level &current = m_levels.back(); current.batch) {
        if (std::optional<FolderReadAhead::Opened> opened = m_readAhead->take(*current.batch, name))
            return enterOpened(name, std::move(*opened));
    }
    // Names come from a listing, which keeps a NUL after each one.
    return enterOpened(name, FolderReadAhead::openFolder(parentFd, name.data()));
}

// Takes over opened.fd, whatever the outcome.
bool FolderStack::enterOpened(QByteArrayView name, FolderReadAhead::Opened opened)
{
    if (opened.fd < 0) {
        m_error = opened.error;
        return false;
    }
    if (isOnChain(opened.device, opened.inode)) {
        if (opened.subfolders)
            m_readAhead->drop(*opened.subfolders);
        ::close(opened.fd);
        m_error = ELOOP;
        return false;
    }
    m_path.append('/').append(name);
    m_entryPrefixValid = false;
    ++m_generation;
    push(opened.fd, opened.device, opened.inode);
    if (m_readAhead && !opened.position.empty()) {
        Level &level = m_levels.back();
        level.listing = std::move(opened.listing);
        level.batch = std::move(opened.subfolders);
        level.position = std::move(opened.position);
    }
    return true;
}

FolderListing FolderStack::list(FolderListing::HiddenFiles hiddenFiles)
{
    Level &current = m_levels.back();
    FolderListing listing;
    if (current.listing) {
        listing = std::move(*current.listing);
        current.listing.reset();
    } else {
        listing = FolderListing::read(fd(), hiddenFiles);
    }
    if (m_readAhead && current.position && !current.batch)
        current.batch = m_readAhead->schedule(current.fd, listing, hiddenFiles, *current.position);
    return listing;
}

void FolderStack::push(int fd, dev_t device, ino_t inode)
{
    m_levels.push_back({fd, device, inode, m_path.size(), std::nullopt, nullptr, std::nullopt});
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
    Level child = std::move(m_levels.back());
    m_levels.pop_back();
    if (child.batch)
        m_readAhead->drop(*child.batch);
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
