#include "scan/FolderListing.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isDotOrDotDot(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The kind of an entry without following it; false when it is neither a
// folder nor a regular file, or when its kind cannot be read.
bool kindOf(int folderFd, const dirent *entry, FolderListing::Kind &kind)
{
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN) {
        struct stat st{};
        if (::fstatat(folderFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (type == DT_DIR)
        kind = FolderListing::Kind::Folder;
    else if (type == DT_REG)
        kind = FolderListing::Kind::File;
    else
        return false;
    return true;
}

} // namespace

FolderListing FolderListing::read(int folderFd, HiddenFiles hiddenFiles)
{
    FolderListing listing;
    // readdir() needs a DIR of its own, which takes over the descriptor it
    // is given: hand it a duplicate so the caller's stays open.
    const int readFd = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    DIR *dir = readFd >= 0 ? ::fdopendir(readFd) : nullptr;
    if (!dir) {
        listing.m_error = errno;
        if (readFd >= 0)
            ::close(readFd);
        return listing;
    }
    ::rewinddir(dir);
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry) {
            listing.m_error = errno;
            break;
        }
        if (isDotOrDotDot(entry->d_name))
            continue;
        Kind kind;
        if (!kindOf(folderFd, entry, kind))
            continue;
        if (kind == Kind::File && hiddenFiles == HiddenFiles::Skip && entry->d_name[0] == '.')
            continue;
        listing.append(entry->d_name, std::strlen(entry->d_name), kind);
    }
    ::closedir(dir);
    return listing;
}

void FolderListing::append(const char *name, std::size_t length, Kind kind)
{
    m_items.push_back({std::uint32_t(m_names.size()), std::uint32_t(length), kind});
    m_names.append(name, qsizetype(length));
    m_names.append('\0');
}

QByteArrayView FolderListing::name(qsizetype index) const
{
    const Item &item = m_items[std::size_t(index)];
    return QByteArrayView(m_names.constData() + item.offset, item.length);
}
