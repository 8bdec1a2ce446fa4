#include "platform/Bookmarks.h"

#include "platform/FileName.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>
#include <unistd.h>

namespace {
std::optional<struct stat> statOf(const QString &path)
{
    struct stat st{};
    if (::stat(FileName::encode(path).constData(), &st) != 0)
        return std::nullopt;
    return st;
}
} // namespace

std::optional<QByteArray> Bookmarks::make(const QString &hostPath, QString *error) const
{
    const auto st = statOf(hostPath);
    if (!st || !S_ISDIR(st->st_mode)) {
        if (error)
            *error = QStringLiteral("The folder \u201c%1\u201d does not exist.").arg(hostPath);
        return std::nullopt;
    }
    QJsonObject bookmark{{QStringLiteral("path"), QFileInfo(hostPath).absoluteFilePath()},
                         {QStringLiteral("device"), QString::number(st->st_dev)},
                         {QStringLiteral("inode"), QString::number(st->st_ino)}};
    return QJsonDocument(bookmark).toJson(QJsonDocument::Compact);
}

std::optional<Bookmarks::Resolved> Bookmarks::resolve(const QByteArray &data) const
{
    const QJsonDocument doc = QJsonDocument::fromJson(data);
    if (!doc.isObject())
        return std::nullopt;
    const QJsonObject bookmark = doc.object();
    const QString path = bookmark.value(QStringLiteral("path")).toString();
    if (path.isEmpty())
        return std::nullopt;
    const auto st = statOf(path);
    if (!st || !S_ISDIR(st->st_mode))
        return std::nullopt;
    const bool same = bookmark.value(QStringLiteral("device")).toString() == QString::number(st->st_dev)
                      && bookmark.value(QStringLiteral("inode")).toString() == QString::number(st->st_ino);
    return Resolved{path, !same};
}

bool Bookmarks::startAccessing(const QString &hostPath) const
{
    return ::access(FileName::encode(hostPath).constData(), R_OK | X_OK) == 0;
}
