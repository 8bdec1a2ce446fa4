#pragma once

#include "remedy/FourceQuitBrowserViewDelegate.h"
#include "remedy/RunningBrowsers.h"

#include <QPointer>
#include <functional>
#include <memory>

class FourceQuitBrowserView;
class Platform;

// The check both removal paths make before deleting anything: the question
// "Are you sure you want to delete selected threats?", then the running
// browsers that hold threats. When one runs, the browser-close panel opens
// with this guard as its delegate and removal waits: Close ends it, a Retry
// with no such browser left dismisses it and runs the deferred removal.
// The Scan and Reports models each own one; the panel is the application's
// shared one when given (while it lives), else the guard's own.
class BrowserGuard : public FourceQuitBrowserViewDelegate
{
public:
    // threatPaths: the paths the check tests (read at every check).
    BrowserGuard(Platform &platform, std::function<QStringList()> threatPaths);
    ~BrowserGuard() override;

    BrowserGuard(const BrowserGuard &) = delete;
    BrowserGuard &operator=(const BrowserGuard &) = delete;

    void setPanel(FourceQuitBrowserView *panel);
    FourceQuitBrowserView &panel() const;

    // Runs after a successful Retry has dismissed the panel.
    void setDeferredRemoval(std::function<void()> removal) { m_deferredRemoval = std::move(removal); }

    static QString confirmationText() { return QStringLiteral("Are you sure you want to delete selected threats?"); }

    QList<BrowserEntry> relevantRunningBrowsers() const;
    // forceQuitBrowsers: true when removal may go ahead now.
    bool forceQuitBrowsers();
    // tryAgain: true when no relevant browser runs any more; otherwise the
    // panel lists the ones still running.
    bool tryAgain();
    void reloadPanel(const QList<BrowserEntry> &entries);
    void disMissPanel();

    // FourceQuitBrowserViewDelegate
    void closeBrowserWindowPanel() override;
    void retryActionForWebBrowser(const QStringList &runningApplications) override;

private:
    Platform &m_platform;
    std::function<QStringList()> m_threatPaths;
    std::function<void()> m_deferredRemoval;
    std::unique_ptr<FourceQuitBrowserView> m_ownPanel;
    QPointer<FourceQuitBrowserView> m_sharedPanel;
};
