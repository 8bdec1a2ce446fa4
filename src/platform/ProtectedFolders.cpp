#include "platform/ProtectedFolders.h"

#include <QSet>
#include <QStringList>

namespace {

// Top-level folders of a Mac volume, and those a Linux system keeps there.
const QSet<QString> &systemFolders()
{
    static const QSet<QString> names{
        QStringLiteral("applications"), QStringLiteral("library"), QStringLiteral("system"),
        QStringLiteral("users"),        QStringLiteral("private"), QStringLiteral("bin"),
        QStringLiteral("sbin"),         QStringLiteral("usr"),     QStringLiteral("etc"),
        QStringLiteral("var"),          QStringLiteral("tmp"),     QStringLiteral("opt"),
        QStringLiteral("cores"),        QStringLiteral("volumes"), QStringLiteral("network"),
        QStringLiteral("dev"),          QStringLiteral("net"),     QStringLiteral("home"),
        QStringLiteral("developer"),    QStringLiteral(".vol"),    QStringLiteral("root"),
        QStringLiteral("boot"),         QStringLiteral("lib"),     QStringLiteral("lib32"),
        QStringLiteral("lib64"),        QStringLiteral("libx32"),  QStringLiteral("proc"),
        QStringLiteral("sys"),          QStringLiteral("run"),     QStringLiteral("mnt"),
        QStringLiteral("media"),        QStringLiteral("srv"),     QStringLiteral("snap"),
        QStringLiteral("lost+found"),
    };
    return names;
}

// Well-known folders one level further down ("top/name").
const QSet<QString> &systemSubfolders()
{
    static const QSet<QString> paths{
        QStringLiteral("private/etc"),
        QStringLiteral("private/tmp"),
        QStringLiteral("private/var"),
        QStringLiteral("usr/bin"),
        QStringLiteral("usr/sbin"),
        QStringLiteral("usr/lib"),
        QStringLiteral("usr/libexec"),
        QStringLiteral("usr/local"),
        QStringLiteral("usr/share"),
        QStringLiteral("system/library"),
        QStringLiteral("system/applications"),
        QStringLiteral("system/volumes"),
        QStringLiteral("applications/utilities"),
        QStringLiteral("library/application support"),
        QStringLiteral("library/caches"),
        QStringLiteral("library/extensions"),
        QStringLiteral("library/frameworks"),
        QStringLiteral("library/internet plug-ins"),
        QStringLiteral("library/launchagents"),
        QStringLiteral("library/launchdaemons"),
        QStringLiteral("library/logs"),
        QStringLiteral("library/preferences"),
        QStringLiteral("library/privilegedhelpertools"),
    };
    return paths;
}

// The folders that hold home folders.
bool holdsHomes(const QString &name)
{
    return name == QLatin1String("users") || name == QLatin1String("home");
}

// The standard folders of a home folder.
const QSet<QString> &homeFolders()
{
    static const QSet<QString> names{
        QStringLiteral("library"),  QStringLiteral("documents"),    QStringLiteral("desktop"),
        QStringLiteral("downloads"), QStringLiteral("movies"),      QStringLiteral("music"),
        QStringLiteral("pictures"), QStringLiteral("public"),       QStringLiteral("applications"),
        QStringLiteral("sites"),    QStringLiteral(".trash"),       QStringLiteral("icloud drive"),
    };
    return names;
}

} // namespace

QString ProtectedFolders::normalised(const QString &volumePath)
{
    QStringList parts;
    for (const QString &part : volumePath.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    return QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

std::optional<QString> ProtectedFolders::reason(const QString &volumePath)
{
    const QString path = normalised(volumePath);
    const QStringList parts = path.toCaseFolded().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString why;
    if (parts.isEmpty())
        why = QStringLiteral("the volume root");
    else if (parts.size() == 1 && systemFolders().contains(parts.at(0)))
        why = QStringLiteral("a system folder");
    else if (parts.size() == 2 && holdsHomes(parts.at(0)))
        why = QStringLiteral("a home folder");
    else if (parts.size() == 2 && systemSubfolders().contains(parts.at(0) + QLatin1Char('/') + parts.at(1)))
        why = QStringLiteral("a system folder");
    else if (parts.size() == 3 && holdsHomes(parts.at(0)) && homeFolders().contains(parts.at(2)))
        why = QStringLiteral("a standard folder of a home folder");
    if (why.isEmpty())
        return std::nullopt;
    return QStringLiteral("%1 is %2 and is never removed").arg(path, why);
}
