#include "tools/CleaningCatalogue.h"

#include "platform/Log.h"
#include "platform/Workspace.h"
#include "tools/BrowserProfiles.h"
#include "tools/CleaningLocations.h"
#include "tools/ExtensionCleaningList.h"
#include "tools/SizeRule.h"
#include "tools/SystemCleaningList.h"

#include <QFileInfo>

namespace {

QList<CleaningItem> itemsFrom(const std::vector<CleaningLocations::ItemPlaces> &table,
                              const CleaningLocations::Bases &bases)
{
    QList<CleaningItem> items;
    for (const auto &places : table)
        items.append(CleaningItem::getDicForList(bases.resolve(places), QString::fromUtf8(places.nameText), false));
    return items;
}

} // namespace

CleaningCatalogue::CleaningCatalogue(Volume volume, const Workspace &workspace)
    : m_volume(std::move(volume))
    , m_workspace(workspace)
{
}

void CleaningCatalogue::build(const EntrySink &sink, const std::atomic<bool> *cancel) const
{
    const std::function<std::optional<CleaningEntry>()> builders[] = {
        [this] { return safariEntry(); },
        [this] { return chromeEntry(); },
        [this] { return firefoxEntry(); },
        [this] { return std::optional(adultHistoryEntry()); },
        [this] { return std::optional(browserExtensionsEntry()); },
        [this] { return std::optional(systemEntry()); },
        [this] { return mailEntry(); },
        [this] { return flashEntry(); },
    };
    for (const auto &builder : builders) {
        if (cancel && cancel->load())
            return;
        if (auto entry = builder())
            sink(std::move(*entry));
    }
}

QList<CleaningEntry> CleaningCatalogue::buildAll() const
{
    QList<CleaningEntry> entries;
    build([&entries](CleaningEntry entry) { entries.append(std::move(entry)); });
    return entries;
}

bool CleaningCatalogue::appExists(const QString &volumePath) const
{
    return QFileInfo::exists(m_volume.host(volumePath));
}

CleaningEntry CleaningCatalogue::sizedEntry(const QString &name, const QString &appPath,
                                            QList<CleaningItem> items) const
{
    CleaningEntry entry;
    entry.Name = name;
    entry.List = std::move(items);
    entry.Img = m_workspace.iconForFile(m_volume.host(appPath));
    SizeRule::applyTo(entry, m_volume.root());
    return entry;
}

std::optional<CleaningEntry> CleaningCatalogue::safariEntry() const
{
    if (!appExists(CleaningLocations::safariApp()))
        return std::nullopt;
    const CleaningLocations::Bases bases(m_volume);
    return sizedEntry(QStringLiteral("Safari"), CleaningLocations::safariApp(),
                      itemsFrom(CleaningLocations::safariItems(), bases));
}

std::optional<CleaningEntry> CleaningCatalogue::chromeEntry() const
{
    if (!appExists(CleaningLocations::chromeApp()))
        return std::nullopt;
    const auto localState = BrowserProfiles::readChromeLocalState(m_volume);
    if (!localState) {
        Log::line(QStringLiteral("Chrome Local State cannot be read; no Chrome entry"));
        return std::nullopt;
    }
    const auto profiles = BrowserProfiles::chromeProfiles(*localState);
    CleaningLocations::Bases bases(m_volume);
    QList<CleaningItem> items;
    QStringList caches;
    for (const auto &profile : profiles) {
        bases.chromeProfile = BrowserProfiles::chromeFolder(m_volume) + QLatin1Char('/') + profile.folder;
        for (const auto &places : CleaningLocations::chromeProfileItems()) {
            const QString name = QString::fromUtf8(places.nameText).arg(profile.name);
            items.append(CleaningItem::getDicForList(bases.resolve(places), name, false));
        }
        caches << bases.chromeProfile + QStringLiteral("/Application Cache")
               << bases.chromeProfile + QStringLiteral("/GPUCache");
    }
    caches << m_volume.home(QStringLiteral("/Library/Caches/Google/Chrome"));
    items.append(CleaningItem::getDicForList(caches, QStringLiteral("Browser Caches"), false));
    return sizedEntry(QStringLiteral("Chrome"), CleaningLocations::chromeApp(), std::move(items));
}

std::optional<CleaningEntry> CleaningCatalogue::firefoxEntry() const
{
    if (!appExists(CleaningLocations::firefoxApp()))
        return std::nullopt;
    const auto listing = BrowserProfiles::firefoxProfilesListing(m_volume);
    if (!listing || (listing->size() == 1 && listing->first() == QLatin1String(".DS_Store"))) {
        Log::line(QStringLiteral("No Firefox profiles to list; no Firefox entry"));
        return std::nullopt;
    }
    const QString profile = BrowserProfiles::firefoxProfileName(*listing);
    QList<CleaningItem> items;
    if (!profile.isEmpty()) {
        CleaningLocations::Bases bases(m_volume);
        bases.firefoxProfile = BrowserProfiles::firefoxProfilesFolder(m_volume) + QLatin1Char('/') + profile;
        items = itemsFrom(CleaningLocations::firefoxItems(), bases);
    }
    return sizedEntry(QStringLiteral("Firefox"), CleaningLocations::firefoxApp(), std::move(items));
}

CleaningEntry CleaningCatalogue::adultHistoryEntry() const
{
    CleaningEntry entry;
    entry.Name = QStringLiteral("Adult History");
    entry.Img = QStringLiteral("adult");
    if (appExists(CleaningLocations::chromeApp()))
        entry.List.append(CleaningItem::historyRow(QStringLiteral("Google Chrome Adult History"),
                                                   BrowserProfiles::chromeFolder(m_volume)
                                                       + QStringLiteral("/Default/History")));
    if (appExists(CleaningLocations::safariApp()))
        entry.List.append(CleaningItem::historyRow(QStringLiteral("Safari Adult History"),
                                                   m_volume.home(QStringLiteral("/Library/Safari/History.db"))));
    const QString firefoxProfile = BrowserProfiles::firefoxProfileFolder(m_volume);
    if (!firefoxProfile.isEmpty() && appExists(CleaningLocations::firefoxApp()))
        entry.List.append(CleaningItem::historyRow(QStringLiteral("Firefox Adult History"),
                                                   firefoxProfile + QStringLiteral("/places.sqlite")));
    return entry;
}

CleaningEntry CleaningCatalogue::browserExtensionsEntry() const
{
    return ExtensionCleaningList(m_volume).build();
}

CleaningEntry CleaningCatalogue::systemEntry() const
{
    return sizedEntry(QStringLiteral("System"), CleaningLocations::finderApp(), SystemCleaningList(m_volume).items());
}

std::optional<CleaningEntry> CleaningCatalogue::mailEntry() const
{
    if (!appExists(CleaningLocations::mailApp()))
        return std::nullopt;
    return sizedEntry(QStringLiteral("Mail"), CleaningLocations::mailApp(),
                      itemsFrom(CleaningLocations::mailItems(), CleaningLocations::Bases(m_volume)));
}

std::optional<CleaningEntry> CleaningCatalogue::flashEntry() const
{
    if (!appExists(CleaningLocations::flashApp()))
        return std::nullopt;
    return sizedEntry(QStringLiteral("Flash"), CleaningLocations::flashApp(),
                      itemsFrom(CleaningLocations::flashItems(), CleaningLocations::Bases(m_volume)));
}
