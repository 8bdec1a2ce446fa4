#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Stands in for security-scoped bookmarks. A bookmark records a folder's host
// path and its identity (device and inode); resolving it answers the path
// only while the same folder is still there. Starting access checks that the
// folder can be read; on this host there is no sandbox to open.
class Bookmarks
{
public:
    struct Resolved
    {
        QString path;
        bool stale = false;
    };

    virtual ~Bookmarks() = default;

    // Bookmark data for the folder at hostPath, or nothing with error set.
    virtual std::optional<QByteArray> make(const QString &hostPath, QString *error = nullptr) const;
    // The bookmarked folder, or nothing when the data is not a bookmark or its
    // target is gone. A target replaced by another folder resolves as stale.
    virtual std::optional<Resolved> resolve(const QByteArray &data) const;
    virtual bool startAccessing(const QString &hostPath) const;
};
