#include "tools/SystemCleaningList.h"

#include "platform/AnchoredPath.h"

SystemCleaningList::SystemCleaningList(Volume volume)
    : m_volume(std::move(volume))
{
}

QList<CleaningItem> SystemCleaningList::items() const
{
    auto item = [](const QStringList &paths, const char *name) {
        return CleaningItem::getDicForList(paths, QString::fromUtf8(name), false);
    };
    return {
        item({m_volume.home(QStringLiteral("/Library/Caches"))}, "System Cache Files"),
        item(containerContents(QStringLiteral("Data/Library/Caches")), "Applications Cache Files"),
        item({m_volume.home(QStringLiteral("/Library/Logs"))}, "System Log Files"),
        item(containerContents(QStringLiteral("Data/Library/Logs")), "Applications Log Files"),
        item(quarantineLogs(), "System Downloads Log"),
        item(entriesOf(trashFolder()), "Trash Files"),
    };
}

QString SystemCleaningList::trashFolder() const
{
    return m_volume.home(QStringLiteral("/.Trash"));
}

QStringList SystemCleaningList::containerContents(const QString &subfolder) const
{
    const QString containers = m_volume.home(QStringLiteral("/Library/Containers"));
    QStringList paths;
    const auto names = AnchoredPath::entryNames(m_volume.root(), containers);
    for (const QString &container : names.value_or(QStringList())) {
        if (container == QLatin1String(".DS_Store"))
            continue;
        paths << entriesOf(containers + QLatin1Char('/') + container + QLatin1Char('/') + subfolder);
    }
    return paths;
}

QStringList SystemCleaningList::quarantineLogs() const
{
    const QString preferences = m_volume.home(QStringLiteral("/Library/Preferences"));
    QStringList paths;
    const auto names = AnchoredPath::entryNames(m_volume.root(), preferences);
    for (const QString &name : names.value_or(QStringList())) {
        if (name.contains(QLatin1String("com.apple.LaunchServices.QuarantineEventsV"), Qt::CaseInsensitive))
            paths << preferences + QLatin1Char('/') + name;
    }
    return paths;
}

QStringList SystemCleaningList::entriesOf(const QString &folder) const
{
    QStringList paths;
    const auto names = AnchoredPath::entryNames(m_volume.root(), folder);
    for (const QString &name : names.value_or(QStringList()))
        paths << folder + QLatin1Char('/') + name;
    return paths;
}
