#include "remedy/BrowserGuard.h"

#include "platform/Platform.h"
#include "remedy/FourceQuitBrowserView.h"

BrowserGuard::BrowserGuard(Platform &platform, std::function<QStringList()> threatPaths)
    : m_platform(platform)
    , m_threatPaths(std::move(threatPaths))
    , m_ownPanel(std::make_unique<FourceQuitBrowserView>(platform.workspace()))
{
}

BrowserGuard::~BrowserGuard()
{
    if (panel().delegate() == this) {
        panel().setDelegate(nullptr);
        panel().endSheet();
    }
}

FourceQuitBrowserView &BrowserGuard::panel() const
{
    return m_sharedPanel ? *m_sharedPanel : *m_ownPanel;
}

void BrowserGuard::setPanel(FourceQuitBrowserView *shared)
{
    if (panel().delegate() == this)
        panel().setDelegate(nullptr);
    m_sharedPanel = shared;
}

QList<BrowserEntry> BrowserGuard::relevantRunningBrowsers() const
{
    return RunningBrowsers::relevant(m_threatPaths ? m_threatPaths() : QStringList(),
                                     m_platform.workspace().runningApplicationNames(), m_platform.volume(),
                                     m_platform.workspace());
}

bool BrowserGuard::forceQuitBrowsers()
{
    if (!m_platform.alerts().askYesNo(confirmationText(), QStringLiteral("Alert")))
        return false;
    const QList<BrowserEntry> entries = relevantRunningBrowsers();
    if (entries.isEmpty())
        return true;
    panel().setDelegate(this);
    panel().setBrowserList(entries);
    panel().beginSheet();
    return false;
}

bool BrowserGuard::tryAgain()
{
    const QList<BrowserEntry> entries = relevantRunningBrowsers();
    if (entries.isEmpty())
        return true;
    reloadPanel(entries);
    return false;
}

void BrowserGuard::reloadPanel(const QList<BrowserEntry> &entries)
{
    panel().setBrowserList(entries);
}

void BrowserGuard::disMissPanel()
{
    panel().endSheet();
    if (panel().delegate() == this)
        panel().setDelegate(nullptr);
}

void BrowserGuard::closeBrowserWindowPanel()
{
    disMissPanel();
}

void BrowserGuard::retryActionForWebBrowser(const QStringList &)
{
    if (!tryAgain())
        return;
    disMissPanel();
    if (m_deferredRemoval)
        m_deferredRemoval();
}
