#include "tools/ExtensionCleaningList.h"

#include "scan/AdwareScan.h"
#include "platform/AnchoredPath.h"
#include "platform/Log.h"
#include "tools/BrowserProfiles.h"
#include "tools/CleaningLocations.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kResetRow = QStringLiteral("Reset Browsers Preferences to Defaults");

// "Foo.safariextz" -> "Foo"; a name without an extension stays as it is.
QString withoutExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? fileName.left(dot) : fileName;
}

// A title row followed by its members, only when there are members.
void addGroup(QList<CleaningItem> &list, const QString &title, const QList<CleaningItem> &rows)
{
    if (rows.isEmpty())
        return;
    list.append(CleaningItem::getDicForList({}, title, true));
    list.append(rows);
}

} // namespace

ExtensionCleaningList::ExtensionCleaningList(Volume volume)
    : m_volume(std::move(volume))
{
}

CleaningEntry ExtensionCleaningList::build() const
{
    QList<CleaningItem> list;
    QStringList preferences;
    if (appExists(CleaningLocations::safariApp())) {
        preferences << m_volume.home(QStringLiteral("/Library/Safari/Configurations.plist.signed"));
        addGroup(list, QStringLiteral("Safari Extensions"), safariRows());
    }
    if (appExists(CleaningLocations::chromeApp())) {
        addGroup(list, QStringLiteral("Google Chrome Extensions"), chromeRows());
        preferences << chromePreferences();
    }
    if (appExists(CleaningLocations::firefoxApp())) {
        addGroup(list, QStringLiteral("Firefox Extensions"), firefoxRows());
        preferences << firefoxPreferences();
    }
    CleaningItem reset = CleaningItem::getDicForList(preferences, kResetRow, true);
    reset.isHeader = false;
    list.append(reset);
    for (CleaningItem &item : list) {
        item.isEnabled = true;
        item.sizeText.clear();
    }
    CleaningEntry entry;
    entry.Name = QStringLiteral("Browser Extensions");
    entry.List = std::move(list);
    entry.Size = QString();
    entry.Img = QStringLiteral("Browser_ext");
    entry.isFromAdware = true;
    return entry;
}

QList<CleaningItem> ExtensionCleaningList::safariRows() const
{
    QList<CleaningItem> rows;
    for (const QUrl &url : AdwareScan::getSafariExtantionList(m_volume)) {
        const QString fileName = url.fileName();
        if (fileName == QLatin1String("Extensions.plist") || fileName == QLatin1String(".DS_Store"))
            continue;
        rows.append(CleaningItem::getDicForList({url.toLocalFile()}, withoutExtension(fileName), true));
    }
    return rows;
}

QList<CleaningItem> ExtensionCleaningList::chromeRows() const
{
    QList<CleaningItem> rows;
    for (const ExtensionRecord &record : AdwareScan::getChromeExtantionList(m_volume)) {
        const QString path = record.urlExt.toLocalFile();
        if (!AnchoredPath::exists(m_volume.root(), path))
            continue;
        const QString name = QStringLiteral("%1 v%2 (%3)").arg(record.nameExt, record.verExt, record.PersonExt);
        rows.append(CleaningItem::getDicForList({path}, name, true));
    }
    return rows;
}

// Profile add-ons only: Firefox's own (system add-ons and language packs in
// the application's resources) belong to the signed application, and the
// shared Mozilla extensions folders to other programs; removing them breaks
// what they belong to.
QList<CleaningItem> ExtensionCleaningList::firefoxRows() const
{
    QList<CleaningItem> rows;
    const QString profiles = BrowserProfiles::firefoxProfilesFolder(m_volume);
    for (const ExtensionRecord &record : AdwareScan::getFirefoxExtantionList(m_volume)) {
        const QString path = record.urlExt.toLocalFile();
        const QString inProfiles = QDir::cleanPath(path).mid(profiles.size() + 1);
        if (!AnchoredPath::isInside(m_volume.root(), profiles, path) || !inProfiles.contains(QLatin1Char('/'))) {
            Log::line(QStringLiteral("Not offered for cleaning (not a profile add-on): %1").arg(path));
            continue;
        }
        if (!AnchoredPath::exists(m_volume.root(), path))
            continue;
        const QString name = QStringLiteral("%1 v%2").arg(record.nameExt, record.verExt);
        rows.append(CleaningItem::getDicForList({path}, name, true));
    }
    return rows;
}

QStringList ExtensionCleaningList::chromePreferences() const
{
    const auto localState = BrowserProfiles::readChromeLocalState(m_volume);
    if (!localState)
        return {};
    QStringList files;
    for (const auto &profile : BrowserProfiles::chromeProfiles(*localState))
        files << BrowserProfiles::chromeFolder(m_volume) + QLatin1Char('/') + profile.folder + QStringLiteral("/Preferences");
    return files;
}

QStringList ExtensionCleaningList::firefoxPreferences() const
{
    const QString profile = BrowserProfiles::firefoxProfileFolder(m_volume);
    if (profile.isEmpty())
        return {};
    return {profile + QStringLiteral("/user.js"), profile + QStringLiteral("/xulstore.json"),
            profile + QStringLiteral("/prefs.js")};
}

bool ExtensionCleaningList::appExists(const QString &volumePath) const
{
    return QFileInfo::exists(m_volume.host(volumePath));
}
