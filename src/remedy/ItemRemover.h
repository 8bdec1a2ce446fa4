#pragma once

#include <QString>

// Deletes files and folders of one volume for good, item by item, the way
// threat removal needs it: the item at the path is removed itself and never
// followed when it is a symbolic link; a folder is emptied from the inside
// through directory descriptors (links inside it are removed, never
// followed, and nothing on another file system is entered) and then removed.
// The folders between the volume root and the item are entered without
// following links either, so a linked folder of a mounted volume never leads
// the removal outside it; paths outside the volume are refused. A removal
// succeeds only when nothing of the item remains. Virtual so tests, which run
// as root and may delete anything, can stand in for a file system that refuses.
class ItemRemover
{
public:
    // anchor: host path of the volume root (trusted as it is).
    explicit ItemRemover(QString anchor = QStringLiteral("/"));
    virtual ~ItemRemover() = default;

    const QString &anchor() const { return m_anchor; }

    // Whether anything is at the path, a dangling symbolic link included.
    virtual bool fileExistsAtPath(const QString &path) const;
    // Removes the item at the path. True when nothing of it remains; otherwise
    // error names the first entry that could not be removed and why.
    virtual bool removeItemAtPath(const QString &path, QString *error = nullptr);

protected:
    // unlinkat(2): flags 0 for a file or link, AT_REMOVEDIR for an empty
    // folder. The single place that deletes.
    virtual int unlinkEntry(int folder, const char *name, int flags);

private:
    // Opens the folder that holds the item, walking down from the anchor;
    // -1 with error set when it cannot, -2 when it does not exist.
    int openParent(const QString &path, QByteArray *name, QString *error) const;

    QString m_anchor;
};
