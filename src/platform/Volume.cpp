#include "platform/Volume.h"

#include <QDir>
#include <QFile>
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

// Length of the volume root's part at the start of a host path (0 for the
// root "/"), or -1 when the path is not the root or below it.
template <typename Path, typename Root>
static qsizetype rootPartLength(const Path &path, const Root &rootBytesOrText)
{
    const qsizetype length = rootBytesOrText.size();
    if (length == 0)
        return path.startsWith('/') ? 0 : -1;
    if (!path.startsWith(rootBytesOrText))
        return -1;
    return path.size() == length || path.at(length) == '/' ? length : -1;
}

Volume::Volume(QString root, QString loginName)
    : m_root(cleanRoot(root))
    , m_rootBytes(m_root == QLatin1String("/") ? QByteArray() : QFile::encodeName(m_root))
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
    const qsizetype rootPart = rootPartLength(hostPath, isSystemRoot() ? QString() : m_root);
    if (rootPart <= 0)
        return hostPath;
    const QString rest = hostPath.mid(rootPart);
    return rest.isEmpty() ? QStringLiteral("/") : rest;
}

QByteArrayView Volume::belowRoot(QByteArrayView hostPath) const
{
    const qsizetype rootPart = rootPartLength(hostPath, QByteArrayView(m_rootBytes));
    return rootPart <= 0 ? hostPath : hostPath.sliced(rootPart);
}

bool Volume::contains(const QString &hostPath) const
{
    return rootPartLength(hostPath, isSystemRoot() ? QString() : m_root) >= 0;
}

QString Volume::homeFolder() const
{
    return host(QStringLiteral("/Users/") + m_login);
}

QString Volume::home(const QString &rest) const
{
    return homeFolder() + rest;
}
