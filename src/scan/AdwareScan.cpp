#include "scan/AdwareScan.h"

#include "platform/AllocatedSize.h"
#include "platform/AnchoredPath.h"
#include "platform/BoundedFile.h"
#include "platform/Log.h"
#include "platform/Volume.h"
#include "scan/Adware.h"
#include "scan/FolderReader.h"
#include "scan/PackageRule.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <optional>

namespace {

QString suffixOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot <= 0 ? QString() : name.mid(dot + 1);
}

// Names beginning with "." are hidden, and so is the Library folder of every
// home folder ("<...>/Users/<login>/Library"), which the Finder hides.
bool isHidden(const QString &folder, const FolderReader::Entry &entry)
{
    if (entry.name.startsWith(QLatin1Char('.')))
        return true;
    if (entry.name != QLatin1String("Library"))
        return false;
    const QString cleaned = QDir::cleanPath(folder);
    const qsizetype slash = cleaned.lastIndexOf(QLatin1Char('/'));
    return slash > 0 && QDir(cleaned.left(slash)).dirName() == QLatin1String("Users");
}

std::optional<QJsonObject> readJsonObject(const QString &path, qint64 maxBytes)
{
    const std::optional<QByteArray> bytes = BoundedFile::read(path, maxBytes);
    if (!bytes)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(*bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        Log::warning(QStringLiteral("Skipped malformed JSON %1: %2")
                         .arg(path, error.error != QJsonParseError::NoError ? error.errorString()
                                                                             : QStringLiteral("not an object")));
        return std::nullopt;
    }
    return document.object();
}

// Follows a dotted key path ("appName.message") through nested objects.
QJsonValue valueForKeyPath(const QJsonObject &object, const QString &keyPath)
{
    QJsonValue value = object;
    for (const QString &key : keyPath.split(QLatin1Char('.'))) {
        if (!value.isObject())
            return QJsonValue::Undefined;
        value = value.toObject().value(key);
    }
    return value;
}

bool exists(const QString &path)
{
    return Adware::fileExistsAtPath(path);
}

QString chromeFolder(const Volume &volume)
{
    return volume.home(QStringLiteral("/Library/Application Support/Google/Chrome"));
}

// The locale folder whose messages name a localised extension: "en", then
// "en_US", then "en_GB", else the first entry of the listing.
QString chooseLocale(const QString &locales)
{
    for (const char *preferred : {"en", "en_US", "en_GB"}) {
        const QString candidate = locales + QLatin1Char('/') + QLatin1String(preferred);
        if (exists(candidate))
            return candidate;
    }
    const QList<QUrl> listing = AdwareScan::getUrlListAt(locales);
    return listing.isEmpty() ? QString() : listing.first().toLocalFile();
}

// "__MSG_appName__" -> the message of "appName" in the chosen locale; a key
// holding "_" is looked up in lower case. Anything missing keeps the raw name.
QString localisedName(const QString &versionFolder, const QString &rawName)
{
    const QString locale = chooseLocale(versionFolder + QStringLiteral("/_locales"));
    if (locale.isEmpty())
        return rawName;
    const std::optional<QJsonObject> messages = readJsonObject(locale + QStringLiteral("/messages.json"), BoundedFile::kManifestBytes);
    if (!messages)
        return rawName;
    QString key = rawName;
    key.remove(QStringLiteral("__")).remove(QStringLiteral("MSG_"));
    if (key.contains(QLatin1Char('_')))
        key = key.toLower();
    const QJsonValue message = valueForKeyPath(*messages, key + QStringLiteral(".message"));
    return message.isString() ? message.toString() : rawName;
}

// The record of one version folder, or nothing when it must be skipped.
std::optional<ExtensionRecord> chromeRecord(const QString &versionFolder)
{
    const std::optional<QJsonObject> manifest = readJsonObject(versionFolder + QStringLiteral("/manifest.json"), BoundedFile::kManifestBytes);
    if (!manifest)
        return std::nullopt;
    const QJsonValue nameValue = manifest->value(QStringLiteral("name"));
    if (!nameValue.isString()) {
        Log::warning(QStringLiteral("Skipped Chrome extension without a name: %1").arg(versionFolder));
        return std::nullopt;
    }
    QString name = nameValue.toString();
    if (name.startsWith(QLatin1String("__MSG_"))) {
        if (!exists(versionFolder + QStringLiteral("/_locales")))
            return std::nullopt;
        name = localisedName(versionFolder, name);
    }
    ExtensionRecord record;
    record.nameExt = name;
    record.verExt = manifest->value(QStringLiteral("version")).toString();
    return record;
}

// A profile folder name from "Local State" must name one folder of Chrome's
// own folder; anything else would lead the inventory (and a later removal)
// outside it.
bool isPlainFolderName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

// A path taken from a browser's files, or found in one of its folders, is
// kept only where it belongs: strictly inside one of the given folders (host
// paths), also once the links on the way are followed inside the volume.
// Anything else is logged and left out, so it can never become a finding
// or be removed.
bool belongsIn(const Volume &volume, const QStringList &folders, const QString &path, const QString &what)
{
    for (const QString &folder : folders) {
        if (AnchoredPath::isInside(volume.root(), folder, path))
            return true;
    }
    Log::warning(QStringLiteral("Ignored %1 outside its folders: %2").arg(what, path));
    return false;
}

void appendChromeProfile(const Volume &volume, const QString &extensionsFolder, const QString &person,
                         QList<ExtensionRecord> &records)
{
    for (const QUrl &identifier : AdwareScan::getUrlListAt(extensionsFolder)) {
        const QString identifierPath = identifier.toLocalFile();
        if (!belongsIn(volume, {extensionsFolder}, identifierPath, QStringLiteral("Chrome extension")))
            continue;
        std::optional<qint64> size;
        for (const QUrl &version : AdwareScan::getUrlListAt(identifierPath)) {
            const QString versionPath = version.toLocalFile();
            if (AdwareScan::getUrlListAt(versionPath).isEmpty())
                continue;
            std::optional<ExtensionRecord> record = chromeRecord(versionPath);
            if (!record)
                continue;
            if (!size)
                size = AdwareScan::allocatedSizeOfTree(identifierPath);
            record->urlExt = identifier;
            record->sizeExt = *size;
            record->PersonExt = person;
            records.append(*record);
        }
    }
}

// A path read from a browser's files is a path of the volume. It is cleaned
// and kept inside the volume; anything that is not absolute is refused.
std::optional<QString> volumePathToHost(const Volume &volume, const QString &path)
{
    if (!path.startsWith(QLatin1Char('/')))
        return std::nullopt;
    QString cleaned = QDir::cleanPath(path);
    while (cleaned.startsWith(QLatin1String("/..")) && (cleaned.size() == 3 || cleaned.at(3) == QLatin1Char('/')))
        cleaned = cleaned.size() == 3 ? QStringLiteral("/") : cleaned.mid(3);
    return volume.host(cleaned);
}

// Where Firefox keeps add-ons: the profile itself, the Mozilla extensions
// folders of the user and of the system, and the application's own
// resources (system add-ons and language packs, which the cleaning list
// never offers).
QStringList firefoxAddonFolders(const Volume &volume, const QString &profile)
{
    const QString mozilla = QStringLiteral("/Library/Application Support/Mozilla/Extensions");
    return {profile, volume.home(mozilla), volume.host(mozilla),
            volume.host(QStringLiteral("/Applications/Firefox.app/Contents/Resources"))};
}

std::optional<ExtensionRecord> firefoxRecord(const Volume &volume, const QString &profile, const QJsonObject &addon)
{
    const QJsonValue descriptor = addon.value(QStringLiteral("descriptor"));
    const QJsonValue pathValue = descriptor.isString() && !descriptor.toString().isEmpty()
        ? descriptor
        : addon.value(QStringLiteral("path"));
    const QJsonValue nameValue = valueForKeyPath(addon, QStringLiteral("defaultLocale.name"));
    if (!nameValue.isString() || !pathValue.isString() || pathValue.toString().isEmpty())
        return std::nullopt;
    const QString name = nameValue.toString();
    if (name == QLatin1String("Default"))
        return std::nullopt;
    const std::optional<QString> hostPath = volumePathToHost(volume, pathValue.toString());
    if (!hostPath
        || !belongsIn(volume, firefoxAddonFolders(volume, profile), *hostPath, QStringLiteral("Firefox add-on")))
        return std::nullopt;
    ExtensionRecord record;
    record.urlExt = QUrl::fromLocalFile(*hostPath);
    record.verExt = addon.value(QStringLiteral("version")).toString();
    record.nameExt = name;
    record.sizeExt = AdwareScan::allocatedSizeOfTree(*hostPath);
    record.PersonExt = QStringLiteral("Default");
    return record;
}

} // namespace

QList<QUrl> AdwareScan::getUrlListAt(const QString &folder)
{
    QList<QUrl> urls;
    const QList<FolderReader::Entry> entries = FolderReader::entries(folder);
    urls.reserve(entries.size());
    for (const FolderReader::Entry &entry : entries)
        urls.append(QUrl::fromLocalFile(entry.path));
    return urls;
}

QList<QUrl> AdwareScan::getApplicationList(const QString &folder)
{
    // Depth first, in listing order: a folder's applications and those of its
    // subfolders appear where the folder itself is listed. Folders reached a
    // second time (a bind mount of an ancestor) are not entered again.
    QList<QUrl> applications;
    QSet<FolderReader::FolderId> seen;
    struct Pending
    {
        QString folder;
        FolderReader::Entry entry;
    };
    QList<Pending> stack;
    auto pushEntries = [&](const QString &path) {
        FolderReader::FolderId id;
        const QList<FolderReader::Entry> entries = FolderReader::subfolders(path, &id);
        if (entries.isEmpty() || seen.contains(id))
            return;
        seen.insert(id);
        for (auto it = entries.crbegin(); it != entries.crend(); ++it) {
            if (!isHidden(path, *it))
                stack.append({path, *it});
        }
    };
    pushEntries(folder);
    while (!stack.isEmpty()) {
        const Pending next = stack.takeLast();
        if (PackageRule::isPackage(next.entry.name)) {
            if (suffixOf(next.entry.name) == QLatin1String("app"))
                applications.append(QUrl::fromLocalFile(next.entry.path));
            continue;
        }
        pushEntries(next.entry.path);
    }
    return applications;
}

QList<QUrl> AdwareScan::getAppList(const Volume &volume)
{
    return getApplicationList(volume.host(QStringLiteral("/Applications"))) + getApplicationList(volume.homeFolder());
}

QList<QUrl> AdwareScan::getApplicationSupportList(const Volume &volume)
{
    const QString rest = QStringLiteral("/Library/Application Support");
    return getUrlListAt(volume.host(rest)) + getUrlListAt(volume.home(rest));
}

QList<QUrl> AdwareScan::getLaunchAgentsList(const Volume &volume)
{
    const QString rest = QStringLiteral("/Library/LaunchAgents");
    return getUrlListAt(volume.host(rest)) + getUrlListAt(volume.home(rest));
}

QList<QUrl> AdwareScan::getLaunchDaemonsList(const Volume &volume)
{
    const QString rest = QStringLiteral("/Library/LaunchDaemons");
    return getUrlListAt(volume.host(rest)) + getUrlListAt(volume.home(rest));
}

QList<QUrl> AdwareScan::getSafariExtantionList(const Volume &volume)
{
    const QString folder = volume.home(QStringLiteral("/Library/Safari/Extensions"));
    QList<QUrl> entries = getUrlListAt(folder);
    entries.removeIf([&](const QUrl &url) {
        return !belongsIn(volume, {folder}, url.toLocalFile(), QStringLiteral("Safari extension"));
    });
    return entries;
}

QList<ExtensionRecord> AdwareScan::getChromeExtantionList(const Volume &volume)
{
    // Profiles come in the order of the parsed "profile.info_cache" object,
    // which sorts its keys; each folder keeps its own display name.
    const std::optional<QJsonObject> localState = readJsonObject(chromeFolder(volume) + QStringLiteral("/Local State"),
                                                                 BoundedFile::kBrowserStateBytes);
    if (!localState)
        return {};
    const QJsonValue cache = valueForKeyPath(*localState, QStringLiteral("profile.info_cache"));
    if (!cache.isObject())
        return {};
    QList<ExtensionRecord> records;
    const QJsonObject profiles = cache.toObject();
    for (auto it = profiles.constBegin(); it != profiles.constEnd(); ++it) {
        if (!isPlainFolderName(it.key())) {
            Log::warning(QStringLiteral("Skipped Chrome profile with an unusable folder name: %1").arg(it.key()));
            continue;
        }
        const QString person = it.value().toObject().value(QStringLiteral("name")).toString();
        appendChromeProfile(volume, chromeFolder(volume) + QLatin1Char('/') + it.key() + QStringLiteral("/Extensions"),
                            person, records);
    }
    return records;
}

QList<ExtensionRecord> AdwareScan::getFirefoxExtantionList(const Volume &volume)
{
    QList<ExtensionRecord> records;
    const QString root = volume.home(QStringLiteral("/Library/Application Support/Firefox/Profiles"));
    for (const QUrl &profile : getUrlListAt(root)) {
        const QString folder = profile.toLocalFile();
        const std::optional<QJsonObject> list = readJsonObject(folder + QStringLiteral("/extensions.json"),
                                                               BoundedFile::kBrowserStateBytes);
        if (!list)
            continue;
        const QJsonArray addons = list->value(QStringLiteral("addons")).toArray();
        for (const QJsonValue &addon : addons) {
            if (std::optional<ExtensionRecord> record = firefoxRecord(volume, folder, addon.toObject()))
                records.append(*record);
        }
    }
    return records;
}

qint64 AdwareScan::allocatedSizeOfTree(const QString &path)
{
    return AllocatedSize::ofFilesBelow(path);
}

Inventory AdwareScan::takeInventory(const Volume &volume)
{
    Inventory inventory;
    inventory.applicationList = getAppList(volume);
    inventory.applicationSupportList = getApplicationSupportList(volume);
    inventory.launchAgentsList = getLaunchAgentsList(volume);
    inventory.launchDaemonsList = getLaunchDaemonsList(volume);
    inventory.chromeExtantionList = getChromeExtantionList(volume);
    inventory.firefoxExtantionList = getFirefoxExtantionList(volume);
    inventory.safariExtantionList = getSafariExtantionList(volume);
    return inventory;
}
