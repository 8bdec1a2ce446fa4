#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <string>
#include <vector>

// The entries of one folder, one level deep, as the count and the walk list
// them: subfolders ("D") and regular files ("F") in the order the file system
// answers, names kept as the bytes on disk. Symbolic links, devices, sockets
// and FIFOs are not listed, and nothing is followed: the kind comes from the
// directory entry itself, with an fstatat() that does not follow links only
// when the file system leaves the kind unknown. A folder that cannot be read
// lists what was read before the error. Owned by the node that lists it.
class FolderListing
{
public:
    enum class Kind : char { Folder = 'D', File = 'F' };
    enum class HiddenFiles { Keep, Skip };

    FolderListing() = default;

    // Lists the folder open at folderFd from the descriptor's read position
    // (a descriptor just opened lists the whole folder; the descriptor stays
    // open). With HiddenFiles::Skip, regular files whose name begins with "."
    // are left out; hidden folders are kept.
    static FolderListing read(int folderFd, HiddenFiles hiddenFiles);

    qsizetype count() const { return qsizetype(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    Kind kind(qsizetype index) const { return m_items[std::size_t(index)].kind; }
    // The entry's name; the bytes are followed by a NUL, so name().data()
    // can be handed to the *at() calls as it is.
    QByteArrayView name(qsizetype index) const;
    // errno of a failed read (0 when the whole folder was read).
    int error() const { return m_error; }
    // Heap memory the listing holds, in bytes.
    std::size_t byteSize() const { return m_names.capacity() + m_items.capacity() * sizeof(Item); }

private:
    struct Item
    {
        std::uint32_t offset;
        std::uint32_t length;
        Kind kind;
    };

    void reserveFor(std::size_t recordBytes);
    void consider(int folderFd, const char *name, unsigned char type, HiddenFiles hiddenFiles);
    void append(const char *name, std::size_t length, Kind kind);

    std::string m_names;
    std::vector<Item> m_items;
    int m_error = 0;
};
