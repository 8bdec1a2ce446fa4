#include "platform/Workspace.h"

#include "platform/Log.h"
#include "platform/PropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <sys/stat.h>

Workspace::Workspace(Volume volume)
    : m_volume(std::move(volume))
{
}

QString Workspace::applicationNameForExecutable(const QString &executable)
{
    const QString exe = executable.toLower();
    if (exe == QLatin1String("safari"))
        return QStringLiteral("Safari");
    if (exe == QLatin1String("chrome") || exe == QLatin1String("google-chrome")
        || exe.startsWith(QLatin1String("google-chrome")) || exe == QLatin1String("chromium")
        || exe == QLatin1String("google chrome"))
        return QStringLiteral("Google Chrome");
    if (exe == QLatin1String("firefox") || exe == QLatin1String("firefox-esr") || exe == QLatin1String("firefox-bin"))
        return QStringLiteral("Firefox");
    return executable;
}

QStringList Workspace::runningApplicationNames() const
{
    QStringList names;
    // The process table is the host's: a volume that is not the running
    // system (a mounted disk, a backup) has no running applications, so the
    // host's browsers never hold back a removal there.
    if (!m_volume.isSystemRoot())
        return names;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        bool numeric = false;
        pid.toInt(&numeric);
        if (!numeric)
            continue;
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (!comm.open(QIODevice::ReadOnly))
            continue;
        const QString name = applicationNameForExecutable(QString::fromLocal8Bit(comm.readAll()).trimmed());
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

QString Workspace::fullPathForApplication(const QString &name) const
{
    if (name.isEmpty())
        return {};
    const QString bundle = name.endsWith(QLatin1String(".app")) ? name : name + QStringLiteral(".app");
    const QStringList folders{m_volume.host(QStringLiteral("/Applications")),
                              m_volume.host(QStringLiteral("/Applications/Utilities")),
                              m_volume.home(QStringLiteral("/Applications")),
                              m_volume.host(QStringLiteral("/System/Applications"))};
    for (const QString &folder : folders) {
        const QString candidate = folder + QLatin1Char('/') + bundle;
        if (QFileInfo(candidate).isDir())
            return candidate;
    }
    return {};
}

QString Workspace::bundleIdentifier(const QString &bundlePath) const
{
    const auto info = PropertyList::readFile(bundlePath + QStringLiteral("/Contents/Info.plist"));
    if (!info)
        return {};
    return info->toMap().value(QStringLiteral("CFBundleIdentifier")).toString();
}

QString Workspace::iconForFile(const QString &path) const
{
    const QFileInfo info(path);
    if (info.isDir() && info.suffix() == QLatin1String("app")) {
        const auto plist = PropertyList::readFile(path + QStringLiteral("/Contents/Info.plist"));
        QString iconFile = plist ? plist->toMap().value(QStringLiteral("CFBundleIconFile")).toString() : QString();
        // The name comes from the bundle: only a plain name among its own
        // resources, and only a regular file, is opened as an image (a link
        // could lead anywhere, and a pipe would hold whoever reads it).
        const bool plainName = !iconFile.isEmpty() && !iconFile.contains(QLatin1Char('/'))
                               && iconFile != QLatin1String(".") && iconFile != QLatin1String("..");
        if (plainName) {
            if (QFileInfo(iconFile).suffix().isEmpty())
                iconFile += QStringLiteral(".icns");
            const QString icon = path + QStringLiteral("/Contents/Resources/") + iconFile;
            struct stat st {};
            if (::lstat(QFile::encodeName(icon).constData(), &st) == 0) {
                if (S_ISREG(st.st_mode))
                    return icon;
                Log::line(QStringLiteral("The icon %1 is not a plain file; a standard icon stands for it").arg(icon));
            }
        } else if (!iconFile.isEmpty()) {
            Log::line(QStringLiteral("The icon name \"%1\" of %2 is not a plain file name; a standard icon stands for it")
                          .arg(iconFile, path));
        }
        return QStringLiteral("application-x-executable");
    }
    return info.isDir() ? QStringLiteral("folder") : QStringLiteral("text-x-generic");
}

bool Workspace::openURL(const QUrl &url)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        Log::warning(QStringLiteral("Cannot open %1: no xdg-open on this system").arg(url.toString()));
        return false;
    }
    return QProcess::startDetached(opener, {url.toString()});
}

bool Workspace::revealInFileManager(const QString &path)
{
    return openURL(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}
