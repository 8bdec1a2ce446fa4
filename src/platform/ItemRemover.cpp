#include "platform/ItemRemover.h"

#include "platform/AnchoredPath.h"
#include "platform/FileName.h"
#include "platform/Log.h"
#include "platform/ProtectedFolders.h"

#include <QDir>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
// Deeper folders than this are left in place and reported; each level holds
// one open descriptor while its entries are removed.
constexpr size_t kMaxDepth = 512;

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Every entry that stays is logged; the first one is the reason given.
class Failures
{
public:
    void note(const QByteArray &where, const QString &why)
    {
        const QString text = QStringLiteral("%1: %2").arg(FileName::decode(where), why);
        Log::warning(QStringLiteral("Cannot remove %1").arg(text));
        if (m_first.isEmpty())
            m_first = text;
    }
    void note(const QByteArray &where, int error) { note(where, errorText(error)); }
    bool any() const { return !m_first.isEmpty(); }
    const QString &first() const { return m_first; }

private:
    QString m_first;
};

struct Child
{
    QByteArray name;
    unsigned char type;
};

// Reads the whole folder first, so that removing entries cannot upset the
// listing; the stream is closed again, so a walk holds one descriptor per
// level. Answers 0, or the error that kept the folder from being read whole.
int readChildren(int fd, std::vector<Child> &children)
{
    const int copy = ::dup(fd);
    DIR *dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (!dir) {
        const int error = errno;
        if (copy >= 0)
            ::close(copy);
        return error;
    }
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (!(name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))))
            children.push_back({QByteArray(name), entry->d_type});
        errno = 0;
    }
    const int error = errno;
    ::closedir(dir);
    return error;
}

bool isFolder(int parent, const Child &child)
{
    if (child.type != DT_UNKNOWN)
        return child.type == DT_DIR;
    struct stat info;
    return ::fstatat(parent, child.name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
}

// Whether the open folder may be entered by a removal that started on
// device: not on another file system, and not the root of a mount (which
// catches a bind mount of a folder of the same file system too, where the
// kernel tells).
bool mayEnter(int fd, dev_t device)
{
    struct statx info;
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_TYPE, &info) == 0) {
        const bool mountRoot = (info.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0
            && (info.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
        return makedev(info.stx_dev_major, info.stx_dev_minor) == device && !mountRoot;
    }
    struct stat fallback;
    return ::fstat(fd, &fallback) == 0 && fallback.st_dev == device;
}

// Empties one folder tree depth first, one open folder per level, without
// recursion. A folder whose entries could not all be removed is still tried
// (and its failure is the entry's, not reported again).
class TreeEmptier
{
public:
    using Unlink = std::function<int(int, const char *, int)>;

    TreeEmptier(Unlink unlink, dev_t device, Failures &failures)
        : m_unlink(std::move(unlink))
        , m_device(device)
        , m_failures(failures)
    {
    }

    // Empties the folder open at fd (owned here), found at where.
    void empty(int fd, const QByteArray &where)
    {
        enter(fd, {}, where);
        while (!m_stack.empty()) {
            Frame &top = m_stack.back();
            if (top.next == top.children.size())
                leave();
            else
                removeChild(top.children[top.next++]);
        }
    }

private:
    struct Frame
    {
        int fd;
        QByteArray name;  // in the folder of the frame below
        QByteArray where;
        std::vector<Child> children;
        size_t next = 0;
        bool failed = false;
    };

    void enter(int fd, const QByteArray &name, const QByteArray &where)
    {
        Frame frame{fd, name, where, {}};
        if (const int error = readChildren(fd, frame.children)) {
            m_failures.note(where, error);
            frame.failed = true;
        }
        m_stack.push_back(std::move(frame));
    }

    void leave()
    {
        const Frame done = std::move(m_stack.back());
        m_stack.pop_back();
        ::close(done.fd);
        if (m_stack.empty())
            return;
        Frame &parent = m_stack.back();
        if (m_unlink(parent.fd, done.name.constData(), AT_REMOVEDIR) == 0 || errno == ENOENT)
            return;
        if (!done.failed)
            m_failures.note(done.where, errno);
        parent.failed = true;
    }

    // Takes the child by value: entering a folder may move the frames.
    void removeChild(const Child child)
    {
        const int parent = m_stack.back().fd;
        const QByteArray where = m_stack.back().where + '/' + child.name;
        if (isFolder(parent, child))
            enterFolder(parent, child.name, where);
        else
            unlinkChild(parent, child.name, where);
    }

    void enterFolder(int parent, const QByteArray &name, const QByteArray &where)
    {
        if (m_stack.size() >= kMaxDepth) {
            fail(where, QStringLiteral("nested too deeply, left in place"));
            return;
        }
        const int fd = ::openat(parent, name.constData(), kFolderFlags);
        if (fd >= 0 && mayEnter(fd, m_device)) {
            enter(fd, name, where);
        } else if (fd >= 0) {
            ::close(fd);
            fail(where, QStringLiteral("on another file system or mount, left in place"));
        } else if (errno == ELOOP || errno == ENOTDIR) {
            unlinkChild(parent, name, where);  // replaced by a link or a file meanwhile
        } else if (errno != ENOENT) {
            fail(where, errorText(errno));
        }
    }

    void unlinkChild(int parent, const QByteArray &name, const QByteArray &where)
    {
        if (m_unlink(parent, name.constData(), 0) != 0 && errno != ENOENT)
            fail(where, errorText(errno));
    }

    void fail(const QByteArray &where, const QString &why)
    {
        m_failures.note(where, why);
        m_stack.back().failed = true;
    }

    Unlink m_unlink;
    dev_t m_device;
    Failures &m_failures;
    std::vector<Frame> m_stack;
};

ItemRemover::Outcome notRemoved(const Failures &failures)
{
    return {ItemRemover::Result::NotRemoved, failures.first()};
}

ItemRemover::Outcome notRemoved(const QByteArray &where, const QString &why)
{
    Failures failures;
    failures.note(where, why);
    return notRemoved(failures);
}

// A mount point (the item's device differs from its folder's, or the kernel
// marks it as the root of a mount, as for a bind mount within one file
// system) is never emptied: removal would take the mounted file system's
// contents and fail only at the end.
bool isMountPoint(int parent, const QByteArray &leaf)
{
    struct stat folder;
    struct statx item;
    if (::fstat(parent, &folder) != 0
        || ::statx(parent, leaf.constData(), AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_INO, &item) != 0)
        return false;
    const bool mountRoot = (item.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0
        && (item.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    return mountRoot || makedev(item.stx_dev_major, item.stx_dev_minor) != folder.st_dev;
}

} // namespace

ItemRemover::ItemRemover(QString anchor)
    : m_anchor(anchor.isEmpty() ? QStringLiteral("/") : QDir::cleanPath(anchor))
    , m_volume(m_anchor, QStringLiteral("-"))
{
}

std::optional<QString> ItemRemover::refusal(const QString &path) const
{
    if (!m_volume.contains(path))
        return std::nullopt;  // not an item of the volume: refused on the way
    return ProtectedFolders::reason(m_volume.volumePath(path));
}

int ItemRemover::unlinkEntry(int folder, const char *name, int flags)
{
    return ::unlinkat(folder, name, flags);
}

bool ItemRemover::removeItemAtPath(const QString &path, QString *error)
{
    const Outcome outcome = removeItem(path);
    if (error)
        *error = outcome.reason;
    return outcome.result != Result::NotRemoved;
}

ItemRemover::Outcome ItemRemover::removeItem(const QString &path)
{
    const QString cleaned = QDir::cleanPath(path);
    const QByteArray where = FileName::encode(cleaned);
    if (const std::optional<QString> why = refusal(cleaned))
        return notRemoved(where, *why);
    QByteArray leaf;
    const int parent = AnchoredPath::openParent(m_anchor, cleaned, &leaf);
    if (parent < 0)
        return outcomeWithoutParent(where, errno);
    Outcome outcome{Result::Removed, {}};
    struct stat info;
    // The volume's links may lead the folders on the way elsewhere in the
    // volume: what is really there is tested again.
    const std::optional<QString> resolved = AnchoredPath::volumePathOf(parent, leaf, m_anchor);
    const std::optional<QString> why = resolved ? ProtectedFolders::reason(*resolved) : std::nullopt;
    if (::fstatat(parent, leaf.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        outcome = errno == ENOENT ? Outcome{} : notRemoved(where, errorText(errno));
    else if (why)
        outcome = notRemoved(where, *why + QStringLiteral(" (reached through a link as ") + *resolved + u')');
    else if (isMountPoint(parent, leaf))
        outcome = notRemoved(where, QStringLiteral("a mount point, left in place"));
    else if (S_ISDIR(info.st_mode))
        outcome = removeFolder(parent, leaf, where);
    else if (unlinkEntry(parent, leaf.constData(), 0) != 0 && errno != ENOENT)
        outcome = notRemoved(where, errorText(errno));
    ::close(parent);
    return outcome;
}

// The folder holding the item could not be opened: nothing is there as the
// volume resolves the path (a folder on the way missing, a file, or a loop
// of links), or it cannot be reached.
ItemRemover::Outcome ItemRemover::outcomeWithoutParent(const QByteArray &where, int error) const
{
    if (error == EXDEV)
        return notRemoved(where, QStringLiteral("not an item of the volume %1").arg(m_anchor));
    if (error == ENOENT || error == ENOTDIR || error == ELOOP)
        return {};
    return notRemoved(where, errorText(error));
}

ItemRemover::Outcome ItemRemover::removeFolder(int parent, const QByteArray &name, const QByteArray &where)
{
    Failures failures;
    const int fd = ::openat(parent, name.constData(), kFolderFlags);
    struct stat info;
    if (fd < 0) {
        failures.note(where, errno);
    } else if (::fstat(fd, &info) != 0) {
        failures.note(where, errno);
        ::close(fd);
    } else {
        TreeEmptier emptier([this](int folder, const char *entry, int flags) { return unlinkEntry(folder, entry, flags); },
                            info.st_dev, failures);
        emptier.empty(fd, where);
    }
    if (unlinkEntry(parent, name.constData(), AT_REMOVEDIR) == 0 || errno == ENOENT)
        return {Result::Removed, {}};
    if (!failures.any())
        failures.note(where, errno);
    return notRemoved(failures);
}
