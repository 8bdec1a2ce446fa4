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
bool kindOf(int folderFd, const char *name, unsigned char type, FolderListing::Kind &kind)
{
    if (type == DT_UNKNOWN) {
        struct stat st{};
        if (::fstatat(folderFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
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

#if defined(__linux__)
// Reads the descriptor directly in large batches: no DIR, no duplicate
// descriptor, no extra fstat(), fcntl() or lseek() per folder.
FolderListing FolderListing::read(int folderFd, HiddenFiles hiddenFiles)
{
    FolderListing listing;
    alignas(dirent64) char buffer[32 * 1024];
    for (;;) {
        const ssize_t filled = ::getdents64(folderFd, buffer, sizeof buffer);
        if (filled <= 0) {
            listing.m_error = filled < 0 ? errno : 0;
            break;
        }
        listing.reserveFor(std::size_t(filled));
        for (ssize_t offset = 0; offset < filled;) {
            const auto *entry = reinterpret_cast<const dirent64 *>(buffer + offset);
            offset += entry->d_reclen;
            listing.consider(folderFd, entry->d_name, entry->d_type, hiddenFiles);
        }
    }
    return listing;
}
#else
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
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry) {
            listing.m_error = errno;
            break;
        }
        listing.consider(folderFd, entry->d_name, entry->d_type, hiddenFiles);
    }
    ::closedir(dir);
    return listing;
}
#endif

void FolderListing::consider(int folderFd, const char *name, unsigned char type, HiddenFiles hiddenFiles)
{
    if (isDotOrDotDot(name))
        return;
    Kind kind;
    if (!kindOf(folderFd, name, type, kind))
        return;
    if (kind == Kind::File && hiddenFiles == HiddenFiles::Skip && name[0] == '.')
        return;
    append(name, std::strlen(name), kind);
}

// Sized from the first batch of directory records (at least 24 bytes each,
// holding the name once); later batches grow the lists as usual.
void FolderListing::reserveFor(std::size_t recordBytes)
{
    if (!m_items.empty())
        return;
    m_names.reserve(recordBytes);
    m_items.reserve(recordBytes / 24);
}

void FolderListing::append(const char *name, std::size_t length, Kind kind)
{
    m_items.push_back({std::uint32_t(m_names.size()), std::uint32_t(length), kind});
    m_names.append(name, length + 1); // with its NUL
}

QByteArrayView FolderListing::name(qsizetype index) const
{
    const Item &item = m_items[std::size_t(index)];
    return QByteArrayView(m_names.data() + item.offset, item.length);
}
