#pragma once

#include "platform/Volume.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// Builds a small Mac-like volume in a folder: application bundles with an
// Info.plist, Application Support entries, launch agents, Chrome profiles
// with extensions, Firefox profiles. Every path given is a path of the
// volume ("/Applications/X.app", "/Users/<login>/..."); "~" at the start
// stands for the user's home folder. Answers host paths.
class MacVolumeBuilder
{
public:
    explicit MacVolumeBuilder(Volume volume);

    const Volume &volume() const { return m_volume; }
    QString host(const QString &path) const;

    QString dir(const QString &path) const;
    QString file(const QString &path, const QByteArray &contents = QByteArrayLiteral("x")) const;
    // A bundle with Contents/Info.plist (binary when asked) and an executable.
    QString app(const QString &path, const QString &bundleIdentifier = QString(), bool binaryPlist = false) const;
    QString symlink(const QString &path, const QString &target) const;

    // Chrome: "Local State" naming the profiles (folder -> display name).
    void chromeLocalState(const QList<QPair<QString, QString>> &profiles) const;
    // Chrome extension version folder with the manifest; answers the identifier folder.
    QString chromeExtension(const QString &profile, const QString &id, const QString &name,
                            const QString &version = QStringLiteral("1.0"),
                            const QJsonObject &localeMessages = {}, const QString &locale = QStringLiteral("en")) const;
    // Firefox profile folder with extensions.json listing the add-ons
    // (name, path) pairs; answers the profile folder.
    QString firefoxProfile(const QString &profile, const QList<QPair<QString, QString>> &addons = {}) const;

private:
    Volume m_volume;
};
