#pragma once

#include "platform/Volume.h"
#include "tools/CleaningEntry.h"

#include <atomic>
#include <functional>
#include <optional>

class Workspace;

// The catalogue of what the Tools page can clean on one volume: eight
// builders run in a fixed order (Safari, Chrome, Firefox, Adult History,
// Browser Extensions, System, Mail, Flash), each making its entry from the
// file system, sized where the entry is sized. A missing application leaves
// its entry out. Nothing is cached: every build reads the disk afresh. The
// catalogue keeps a copy of the volume and a reference to the workspace,
// which must outlive it.
class CleaningCatalogue
{
public:
    using EntrySink = std::function<void(CleaningEntry)>;

    CleaningCatalogue(Volume volume, const Workspace &workspace);

    // Runs the builders in order on the calling thread; each finished entry
    // reaches sink before the next builder starts. Stops between builders
    // once *cancel is true.
    void build(const EntrySink &sink, const std::atomic<bool> *cancel = nullptr) const;
    QList<CleaningEntry> buildAll() const;

    std::optional<CleaningEntry> safariEntry() const;
    std::optional<CleaningEntry> chromeEntry() const;
    std::optional<CleaningEntry> firefoxEntry() const;
    CleaningEntry adultHistoryEntry() const;
    CleaningEntry browserExtensionsEntry() const;
    CleaningEntry systemEntry() const;
    std::optional<CleaningEntry> mailEntry() const;
    std::optional<CleaningEntry> flashEntry() const;

private:
    bool appExists(const QString &volumePath) const;
    // An entry named name with the application's icon, sized by the size rule.
    CleaningEntry sizedEntry(const QString &name, const QString &appPath, QList<CleaningItem> items) const;

    Volume m_volume;
    const Workspace &m_workspace;
};
