#include "WalkFixtures.h"

#include "app/NotificationNames.h"

#include <QDir>
#include <QFile>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

void WalkFixtures::makeFolder(const QByteArray &path)
{
    ::mkdir(path.constData(), 0755);
}

void WalkFixtures::makeFile(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0)
        ::close(fd);
}

QByteArray WalkFixtures::makeChain(const QString &top, const QByteArray &name, int depth, const QByteArray &leaf)
{
    QByteArray path = QFile::encodeName(top);
    int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int i = 0; i < depth && fd >= 0; ++i) {
        ::mkdirat(fd, name.constData(), 0755);
        const int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
        path += '/' + name;
    }
    if (fd >= 0) {
        const int file = ::openat(fd, leaf.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (file >= 0)
            ::close(file);
        ::close(fd);
    }
    return path + '/' + leaf;
}

void WalkFixtures::removeChain(const QString &top, const QByteArray &name)
{
    int fd = ::open(QFile::encodeName(top).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int depth = 0;
    for (;; ++depth) {
        const int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0)
            break;
        ::close(fd);
        fd = next;
    }
    removeContents(fd);
    for (; depth > 0 && fd >= 0; --depth) {
        const int parent = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = parent;
        if (fd >= 0)
            ::unlinkat(fd, name.constData(), AT_REMOVEDIR);
    }
    if (fd >= 0)
        ::close(fd);
}

void WalkFixtures::removeContents(int folderFd)
{
    const int readFd = ::dup(folderFd);
    DIR *dir = readFd >= 0 ? ::fdopendir(readFd) : nullptr;
    if (!dir)
        return;
    QList<QByteArray> names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);
    for (const QByteArray &name : names) {
        const int child = ::openat(folderFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child >= 0) {
            removeContents(child);
            ::close(child);
            ::unlinkat(folderFd, name.constData(), AT_REMOVEDIR);
        } else {
            ::unlinkat(folderFd, name.constData(), 0);
        }
    }
}

void WalkFixtures::removeContents(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    removeContents(fd);
    ::close(fd);
}

QList<WalkFixtures::Entry> WalkFixtures::recursiveListing(const QByteArray &root, bool keepHiddenFiles,
                                                          const std::function<bool(const QByteArray &)> &enter)
{
    QList<Entry> entries;
    DIR *dir = ::opendir(root.constData());
    if (!dir)
        return entries;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = (root == "/" ? QByteArray() : root) + '/' + name;
        struct stat st{};
        if (::lstat(path.constData(), &st) != 0)
            continue;
        if (S_ISREG(st.st_mode)) {
            if (keepHiddenFiles || !name.startsWith('.'))
                entries.append({path, false});
        } else if (S_ISDIR(st.st_mode)) {
            entries.append({path, true});
            if (!enter || enter(path))
                entries.append(recursiveListing(path, keepHiddenFiles, enter));
        }
    }
    ::closedir(dir);
    return entries;
}

int WalkFixtures::openDescriptorCount()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

void ObservingScanHost::post(const QString &name, const QVariant &object)
{
    ++m_postCount;
    if (keepPosts)
        RecordingScanHost::post(name, object);
    if (onPost)
        onPost(name, object);
}

QStringList ObservingScanHost::progressURLs() const
{
    QStringList urls;
    for (const auto &[name, object] : posts()) {
        if (name == NotificationNames::ScanningProgressURL)
            urls.append(object.toString());
    }
    return urls;
}

void ObservingScanHost::addIfAvail(const QUrl &url, const QString &name, const QString &type, const QString &risk,
                                   qint64 size, FindingSource source)
{
    {
        QMutexLocker locker(&m_offeredLock);
        m_offeredPaths.append(url.toLocalFile());
    }
    RecordingScanHost::addIfAvail(url, name, type, risk, size, source);
}

QStringList ObservingScanHost::offeredPaths() const
{
    QMutexLocker locker(&m_offeredLock);
    return m_offeredPaths;
}
