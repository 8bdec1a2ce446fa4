#pragma once

#include <QString>

// The disk the application looks at. Every absolute path the system builds
// ("/Applications", "/Library/...", "/Users/<login>/...") is a path of the
// volume; host() turns it into a real path under the volume's root folder, so
// the same engine scans the running system ("/"), a mounted Mac disk, a backup
// or a test fixture. Paths shown to the user are host paths.
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
    // Volume path of a host path under the root; the path itself otherwise.
    QString volumePath(const QString &hostPath) const;
    bool contains(const QString &hostPath) const;

    // "/Users/<login>" as a volume path, and the same followed by rest
    // (the "/Users/%@%@" form); both as host paths.
    QString homeFolder() const;
    QString home(const QString &rest = QString()) const;

private:
    QString m_root;
    QString m_login;
};
