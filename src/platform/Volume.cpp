#include "platform/Volume.h"

#include <QDir>
#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

static QString cleanRoot(const QString &root)
{
    if (root.isEmpty())
        return QStringLiteral("/");
    QString cleaned = QDir::cleanPath(QFileInfo(root).absoluteFilePath());
    return cleaned.isEmpty() ? QStringLiteral("/") : cleaned;
}

Volume::Volume()
    : Volume(QStringLiteral("/"), currentLoginName())
{
}

Volume::Volume(QString root, QString loginName)
    : m_root(cleanRoot(root))
    , m_login(loginName.isEmpty() ? currentLoginName() : std::move(loginName))
{
}

Volume Volume::fromEnvironment()
{
    return Volume(qEnvironmentVariable("SWEEPLING_ROOT"), qEnvironmentVariable("SWEEPLING_USER"));
}

QString Volume::currentLoginName()
{
    if (const passwd *pw = getpwuid(geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? QStringLiteral("root") : user;
}

QString Volume::host(const QString &volumePath) const
{
    if (isSystemRoot())
        return volumePath;
    if (volumePath.startsWith(QLatin1Char('/')))
        return m_root + volumePath;
    return m_root + QLatin1Char('/') + volumePath;
}

QString Volume::volumePath(const QString &hostPath) const
{
    if (isSystemRoot() || !contains(hostPath))
        return hostPath;
    const QString rest = hostPath.mid(m_root.size());
    return rest.isEmpty() ? QStringLiteral("/") : rest;
}

bool Volume::contains(const QString &hostPath) const
{
    if (isSystemRoot())
        return hostPath.startsWith(QLatin1Char('/'));
    return hostPath == m_root || hostPath.startsWith(m_root + QLatin1Char('/'));
}

QString Volume::homeFolder() const
{
    return host(QStringLiteral("/Users/") + m_login);
}

QString Volume::home(const QString &rest) const
{
    return homeFolder() + rest;
}
