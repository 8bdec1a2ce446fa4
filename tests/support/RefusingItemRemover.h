#pragma once

#include "platform/ItemRemover.h"

#include <QSet>
#include <cerrno>

// A file system that refuses to delete the entries with the given names, the
// way an immutable file or a read-only mount would (tests run as root, which
// may delete anything else). A refused entry stays, and so does every folder
// above it; everything else is deleted for real.
class RefusingItemRemover : public ItemRemover
{
public:
    explicit RefusingItemRemover(const QString &anchor, QSet<QByteArray> refused = {})
        : ItemRemover(anchor)
        , refusedNames(std::move(refused))
    {
    }

    QSet<QByteArray> refusedNames;

protected:
    int unlinkEntry(int folder, const char *name, int flags) override
    {
        if (refusedNames.contains(QByteArray(name))) {
            errno = EPERM;
            return -1;
        }
        return ItemRemover::unlinkEntry(folder, name, flags);
    }
};
