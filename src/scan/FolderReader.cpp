#include "scan/FolderReader.h"

#include "platform/FileName.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FolderReader::Kind kindOfMode(mode_t mode)
{
    if (S_ISDIR(mode))
        return FolderReader::Kind::Directory;
    if (S_ISLNK(mode))
        return FolderReader::Kind::SymLink;
    if (S_ISREG(mode))
        return FolderReader::Kind::File;
    return FolderReader::Kind::Other;
}

FolderReader::Kind kindOfEntry(int dirFd, const dirent *entry)
{
    switch (entry->d_type) {
    case DT_DIR:
        return FolderReader::Kind::Directory;
    case DT_LNK:
        return FolderReader::Kind::SymLink;
    case DT_REG:
        return FolderReader::Kind::File;
    case DT_UNKNOWN: {
        struct stat st{};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
            return kindOfMode(st.st_mode);
        return FolderReader::Kind::Other;
    }
    default:
        return FolderReader::Kind::Other;
    }
}

struct RawEntry
{
    QByteArray name;
    FolderReader::Kind kind;
};

// Opens a folder without following a link in its last component and reads
// its entries (or its subfolders alone); "." and ".." are left out.
bool readFolder(const QByteArray &folder, QList<RawEntry> &out, FolderReader::FolderId *id, bool foldersOnly)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (id) {
        struct stat st{};
        if (::fstat(fd, &st) == 0)
            *id = {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
    }
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        const FolderReader::Kind kind = kindOfEntry(::dirfd(dir), entry);
        if (!foldersOnly || kind == FolderReader::Kind::Directory)
            out.append({QByteArray(name), kind});
    }
    ::closedir(dir);
    return true;
}

QByteArray childPath(const QByteArray &folder, const QByteArray &name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// Sorted by the bytes of the names, then named as text.
QList<FolderReader::Entry> sortedEntries(const QString &folder, FolderReader::FolderId *id, bool foldersOnly)
{
    if (folder.isEmpty())
        return {};
    const QByteArray encoded = FileName::encode(folder);
    QList<RawEntry> raw;
    if (!readFolder(encoded, raw, id, foldersOnly))
        return {};
    std::sort(raw.begin(), raw.end(), [](const RawEntry &a, const RawEntry &b) { return a.name < b.name; });
    QList<FolderReader::Entry> result;
    result.reserve(raw.size());
    for (const RawEntry &entry : raw)
        result.append({FileName::decode(entry.name), FileName::decode(childPath(encoded, entry.name)), entry.kind});
    return result;
}

} // namespace

QList<FolderReader::Entry> FolderReader::entries(const QString &folder, FolderId *id)
{
    return sortedEntries(folder, id, false);
}

QList<FolderReader::Entry> FolderReader::subfolders(const QString &folder, FolderId *id)
{
    return sortedEntries(folder, id, true);
}
