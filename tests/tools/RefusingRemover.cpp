#include "RefusingRemover.h"

#include <cerrno>

int RefusingRemover::unlinkEntry(int folder, const char *name, int flags)
{
    if (m_refused.contains(QByteArray(name))) {
        errno = EPERM;
        return -1;
    }
    return PathRemover::unlinkEntry(folder, name, flags);
}
