#include "tools/BrowserProfiles.h"

#include "platform/Log.h"
#include "platform/AnchoredPath.h"
#include "platform/BoundedFile.h"

#include <QJsonDocument>
#include <QJsonObject>

QString BrowserProfiles::chromeFolder(const Volume &volume)
{
    return volume.home(QStringLiteral("/Library/Application Support/Google/Chrome"));
}

std::optional<QByteArray> BrowserProfiles::readChromeLocalState(const Volume &volume)
{
    return BoundedFile::read(chromeFolder(volume) + QStringLiteral("/Local State"), BoundedFile::kBrowserStateBytes);
}

QList<BrowserProfiles::ChromeProfile> BrowserProfiles::chromeProfiles(const QByteArray &localState)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(localState, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        Log::line(QStringLiteral("Chrome Local State is not a JSON object"));
        return {};
    }
    const QJsonValue profile = document.object().value(QStringLiteral("profile"));
    const QJsonValue cache = profile.toObject().value(QStringLiteral("info_cache"));
    if (!profile.isObject() || !cache.isObject())
        return {};
    QList<ChromeProfile> profiles;
    const QJsonObject members = cache.toObject();
    for (auto it = members.begin(); it != members.end(); ++it) {
        // The key names one folder inside Chrome's; anything else would send
        // the cleaning to other folders.
        if (it.key().isEmpty() || it.key() == QLatin1String(".") || it.key() == QLatin1String("..")
            || it.key().contains(QLatin1Char('/'))) {
            Log::warning(QStringLiteral("Chrome profile folder name %1 is not a folder name; left out").arg(it.key()));
            continue;
        }
        // A profile without a usable display name is shown by its folder name.
        const QString name = it.value().toObject().value(QStringLiteral("name")).toString();
        profiles.append({it.key(), name.isEmpty() ? it.key() : name});
    }
    return profiles;
}

QString BrowserProfiles::firefoxProfilesFolder(const Volume &volume)
{
    return volume.home(QStringLiteral("/Library/Application Support/Firefox/Profiles"));
}

std::optional<QStringList> BrowserProfiles::firefoxProfilesListing(const Volume &volume)
{
    return AnchoredPath::entryNames(volume.root(), firefoxProfilesFolder(volume));
}

QString BrowserProfiles::firefoxProfileName(const QStringList &listing)
{
    for (const QString &name : listing) {
        if (name.contains(QLatin1String("default")))
            return name;
    }
    return {};
}

QString BrowserProfiles::firefoxProfileFolder(const Volume &volume)
{
    const auto listing = firefoxProfilesListing(volume);
    const QString name = listing ? firefoxProfileName(*listing) : QString();
    return name.isEmpty() ? QString() : firefoxProfilesFolder(volume) + QLatin1Char('/') + name;
}
