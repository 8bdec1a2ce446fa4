#include "support/MacVolumeBuilder.h"

#include "platform/PropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

MacVolumeBuilder::MacVolumeBuilder(Volume volume)
    : m_volume(std::move(volume))
{
    QDir().mkpath(m_volume.homeFolder());
}

QString MacVolumeBuilder::host(const QString &path) const
{
    if (path.startsWith(QLatin1Char('~')))
        return m_volume.home(path.mid(1));
    return m_volume.host(path);
}

QString MacVolumeBuilder::dir(const QString &path) const
{
    const QString target = host(path);
    QDir().mkpath(target);
    return target;
}

QString MacVolumeBuilder::file(const QString &path, const QByteArray &contents) const
{
    const QString target = host(path);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile f(target);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(contents);
    return target;
}

QString MacVolumeBuilder::app(const QString &path, const QString &bundleIdentifier, bool binaryPlist) const
{
    const QString bundle = dir(path);
    QVariantMap info{{QStringLiteral("CFBundleName"), QFileInfo(bundle).completeBaseName()},
                     {QStringLiteral("CFBundlePackageType"), QStringLiteral("APPL")}};
    if (!bundleIdentifier.isEmpty())
        info.insert(QStringLiteral("CFBundleIdentifier"), bundleIdentifier);
    QFile plist(bundle + QStringLiteral("/Contents/Info.plist"));
    QDir().mkpath(bundle + QStringLiteral("/Contents/MacOS"));
    if (plist.open(QIODevice::WriteOnly))
        plist.write(PropertyList::serialize(info, binaryPlist ? PropertyList::Format::Binary : PropertyList::Format::Xml));
    QFile exe(bundle + QStringLiteral("/Contents/MacOS/") + QFileInfo(bundle).completeBaseName());
    if (exe.open(QIODevice::WriteOnly))
        exe.write("#!/bin/sh\n");
    return bundle;
}

QString MacVolumeBuilder::symlink(const QString &path, const QString &target) const
{
    const QString link = host(path);
    QDir().mkpath(QFileInfo(link).absolutePath());
    QFile::link(target, link);
    return link;
}

void MacVolumeBuilder::chromeLocalState(const QList<QPair<QString, QString>> &profiles) const
{
    QJsonObject cache;
    for (const auto &[folder, display] : profiles)
        cache.insert(folder, QJsonObject{{QStringLiteral("name"), display}});
    const QJsonObject state{{QStringLiteral("profile"), QJsonObject{{QStringLiteral("info_cache"), cache}}}};
    file(QStringLiteral("~/Library/Application Support/Google/Chrome/Local State"), QJsonDocument(state).toJson());
}

QString MacVolumeBuilder::chromeExtension(const QString &profile, const QString &id, const QString &name,
                                          const QString &version, const QJsonObject &localeMessages,
                                          const QString &locale) const
{
    const QString idPath = QStringLiteral("~/Library/Application Support/Google/Chrome/%1/Extensions/%2").arg(profile, id);
    const QString versionPath = idPath + QLatin1Char('/') + version;
    const QJsonObject manifest{{QStringLiteral("name"), name}, {QStringLiteral("version"), version}};
    file(versionPath + QStringLiteral("/manifest.json"), QJsonDocument(manifest).toJson());
    if (!localeMessages.isEmpty())
        file(versionPath + QStringLiteral("/_locales/") + locale + QStringLiteral("/messages.json"),
             QJsonDocument(localeMessages).toJson());
    return host(idPath);
}

QString MacVolumeBuilder::firefoxProfile(const QString &profile, const QList<QPair<QString, QString>> &addons) const
{
    const QString folder = dir(QStringLiteral("~/Library/Application Support/Firefox/Profiles/") + profile);
    QJsonArray list;
    for (const auto &[name, path] : addons) {
        list.append(QJsonObject{{QStringLiteral("id"), name + QStringLiteral("@example.org")},
                                {QStringLiteral("version"), QStringLiteral("1.0")},
                                {QStringLiteral("path"), path},
                                {QStringLiteral("defaultLocale"), QJsonObject{{QStringLiteral("name"), name}}}});
    }
    QFile f(folder + QStringLiteral("/extensions.json"));
    if (f.open(QIODevice::WriteOnly))
        f.write(QJsonDocument(QJsonObject{{QStringLiteral("addons"), list}}).toJson());
    return folder;
}
