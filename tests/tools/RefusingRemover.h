#pragma once

#include "tools/PathRemover.h"

#include <QSet>

// A remover over a file system that refuses to delete entries of the given
// names, the way a locked or protected file would (tests run as root, who
// may delete anything).
class RefusingRemover : public PathRemover
{
public:
    RefusingRemover(const QString &anchor, QSet<QByteArray> refused)
        : PathRemover(anchor)
        , m_refused(std::move(refused))
    {
    }

protected:
    int unlinkEntry(int folder, const char *name, int flags) override;

private:
    QSet<QByteArray> m_refused;
};
