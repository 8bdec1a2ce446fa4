#include "scan/PackageRule.h"

#include "platform/FileName.h"

#include <sys/stat.h>

const QStringList &PackageRule::packageSuffixes()
{
    static const QStringList suffixes{
        QStringLiteral("app"),           QStringLiteral("appex"),        QStringLiteral("bundle"),
        QStringLiteral("component"),     QStringLiteral("framework"),    QStringLiteral("kext"),
        QStringLiteral("mdimporter"),    QStringLiteral("plugin"),       QStringLiteral("prefPane"),
        QStringLiteral("qlgenerator"),   QStringLiteral("saver"),        QStringLiteral("safariextension"),
        QStringLiteral("service"),       QStringLiteral("systemextension"), QStringLiteral("xpc"),
        QStringLiteral("osax"),          QStringLiteral("wdgt"),         QStringLiteral("action"),
        QStringLiteral("workflow"),      QStringLiteral("pkg"),          QStringLiteral("mpkg"),
        QStringLiteral("rtfd"),          QStringLiteral("scptd"),        QStringLiteral("sparsebundle"),
        QStringLiteral("photoslibrary"), QStringLiteral("photolibrary"), QStringLiteral("musiclibrary"),
        QStringLiteral("imovielibrary"), QStringLiteral("fcpbundle"),    QStringLiteral("logicx"),
        QStringLiteral("band"),          QStringLiteral("key"),          QStringLiteral("pages"),
        QStringLiteral("numbers"),       QStringLiteral("xcodeproj"),    QStringLiteral("xcworkspace"),
        QStringLiteral("playground"),    QStringLiteral("docset"),       QStringLiteral("download"),
    };
    return suffixes;
}

bool PackageRule::isPackage(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == name.size() - 1)
        return false;
    return packageSuffixes().contains(name.mid(dot + 1), Qt::CaseInsensitive);
}

bool PackageRule::isPackageFolder(const QString &path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    struct stat st{};
    if (::lstat(FileName::encode(trimmed).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    return isPackage(trimmed.mid(trimmed.lastIndexOf(QLatin1Char('/')) + 1));
}
