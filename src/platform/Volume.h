#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The disk the application looks at. Every absolute path the system builds
// ("/Applications", "/Library/...", "/Users/<login>/...") is a path of the
// volume; host() turns it into a real path under the volume's root folder, so
// the same engine scans the running system ("/"), a mounted Mac disk, a backup
// or a test fixture. Paths shown to the user are host paths.
//
// Every rule on paths (signatures, the maker's product words, package and
// hidden roots, folder containment) is a rule on the Mac's paths, so it reads
// volumePath() of a host path, never the host path itself: a volume mounted
// below a folder named "Genieo" or ".backup" is the same disk as one mounted
// anywhere else.
class Volume
{
public:
    // Root "/" and the login name of the user running the process.
    Volume();
    Volume(QString root, QString loginName);

    // Root and user from SWEEPLING_ROOT / SWEEPLING_USER, else the defaults.
    static Volume fromEnvironment();
    static QString currentLoginName();

    const QString &root() const { return m_root; }
    const QString &loginName() const { return m_login; }
    bool isSystemRoot() const { return m_root == QLatin1String("/"); }

    // Host path of a volume path ("/Library/Caches" -> "<root>/Library/Caches").
    QString host(const QString &volumePath) const;
    // Volume path of a host path: the part below the root, beginning with
    // "/" ("<root>/Library/" -> "/Library/", the root itself -> "/"). A path
    // outside the volume ("<root>2", a relative path) is answered as it is.
    QString volumePath(const QString &hostPath) const;
    // The same on a path's bytes as on disk, without the copy and without
    // the "/" of the root itself: "" for the root, "/Library" for
    // "<root>/Library", the whole path outside the volume.
    QByteArrayView belowRoot(QByteArrayView hostPath) const;
    bool contains(const QString &hostPath) const;

    // "/Users/<login>" as a volume path, and the same followed by rest
    // (the "/Users/%@%@" form); both as host paths.
    QString homeFolder() const;
    QString home(const QString &rest = QString()) const;

private:
    QString m_root;
    // The root as bytes on disk; empty for "/", whose paths are all below it.
    QByteArray m_rootBytes;
    QString m_login;
};
