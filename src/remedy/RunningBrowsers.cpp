#include "remedy/RunningBrowsers.h"

#include "platform/Volume.h"
#include "platform/Workspace.h"

QList<RunningBrowsers::Browser> RunningBrowsers::browsers(const Volume &volume)
{
    return {
        {QStringLiteral("Safari"), volume.home(QStringLiteral("/Library/Safari/")), QStringLiteral("Safari"),
         volume.host(QStringLiteral("/Applications/Safari.app"))},
        {QStringLiteral("Google Chrome"), volume.home(QStringLiteral("/Library/Application Support/Google/Chrome")),
         QStringLiteral("Chrome"), volume.host(QStringLiteral("/Applications/Google Chrome.app"))},
        {QStringLiteral("Firefox"), volume.home(QStringLiteral("/Library/Application Support/Firefox/Profiles")),
         QStringLiteral("Firefox"), volume.host(QStringLiteral("/Applications/Firefox.app"))},
    };
}

QList<BrowserEntry> RunningBrowsers::relevant(const QStringList &threatPaths, const QStringList &runningApplications,
                                              const Volume &volume, const Workspace &workspace)
{
    QList<BrowserEntry> entries;
    const QList<Browser> all = browsers(volume);
    const bool anyRunning = std::any_of(all.cbegin(), all.cend(), [&](const Browser &browser) {
        return runningApplications.contains(browser.applicationName);
    });
    if (!anyRunning)
        return entries;
    for (const Browser &browser : all) {
        if (!runningApplications.contains(browser.applicationName))
            continue;
        const bool holdsThreat = std::any_of(threatPaths.cbegin(), threatPaths.cend(), [&](const QString &path) {
            return path.contains(browser.threatFolder);
        });
        if (holdsThreat)
            entries.append({browser.NameBrowser, workspace.iconForFile(browser.applicationPath)});
    }
    return entries;
}
