#include "remedy/BrowserGuard.h"

#include "platform/Platform.h"
#include "remedy/FourceQuitBrowserView.h"

BrowserGuard::BrowserGuard(Platform &platform, std::function<QStringList()> threatPaths)
    : m_platform(platform)
    , m_threatPaths(std::move(threatPaths))
    , m_ownPanel(std::make_unique<FourceQuitBrowserView>(platform.workspace()))
    , m_panel(m_ownPanel.get())
{
}

BrowserGuard::~BrowserGuard()
{
    if (m_panel->delegate() == this) {
        m_panel->setDelegate(nullptr);
        m_panel->endSheet();
    }
}

void BrowserGuard::setPanel(FourceQuitBrowserView *panel)
{
    if (m_panel->delegate() == this)
        m_panel->setDelegate(nullptr);
    m_panel = panel ? panel : m_ownPanel.get();
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
    m_panel->setDelegate(this);
    m_panel->setBrowserList(entries);
    m_panel->beginSheet();
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
    m_panel->setBrowserList(entries);
}

void BrowserGuard::disMissPanel()
{
    m_panel->endSheet();
    if (m_panel->delegate() == this)
        m_panel->setDelegate(nullptr);
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
