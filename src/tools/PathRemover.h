#pragma once

#include <QByteArray>
#include <QString>

// Removes files and whole folders of a volume, entry by entry through the
// file-system calls, never following a symbolic link: a listed path that is
// a link loses the link only, a link inside a listed folder is removed
// without touching what it points to, and a path reached through a linked
// folder is left alone. unlinkEntry() is the single place that deletes, so
// a test can stand in for a file system that refuses.
class PathRemover
{
public:
    enum class Result { Removed, Absent, NotRemoved };

    struct Outcome
    {
        Result result = Result::Absent;
        // Why the path is still there (empty otherwise).
        QString reason;
    };

    // anchor: the volume root; paths outside it are never removed.
    explicit PathRemover(QString anchor);
    virtual ~PathRemover() = default;

    Outcome removeItem(const QString &path);

protected:
    // unlinkat(2): flags 0 for a file or link, AT_REMOVEDIR for an empty folder.
    virtual int unlinkEntry(int folder, const char *name, int flags);

private:
    Outcome outcomeWithoutParent(const QString &path, int error) const;
    // Empties the folder (descriptor owned here); answers the first failure.
    QString removeContents(int folder, const QString &path);
    QString unlinkOrReason(int folder, const QByteArray &name, int flags, const QString &path);

    QString m_anchor;
};
