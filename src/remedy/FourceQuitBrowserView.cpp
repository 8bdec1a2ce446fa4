#include "remedy/FourceQuitBrowserView.h"

#include "platform/Workspace.h"
#include "remedy/FourceQuitBrowserViewDelegate.h"

FourceQuitBrowserView::FourceQuitBrowserView(Workspace &workspace, QObject *parent)
    : QObject(parent)
    , m_workspace(workspace)
{
}

void FourceQuitBrowserView::setBrowserList(const QList<BrowserEntry> &entries)
{
    m_browserList = entries;
    Q_EMIT browserListChanged();
}

void FourceQuitBrowserView::beginSheet()
{
    if (m_sheetShown)
        return;
    m_sheetShown = true;
    Q_EMIT sheetShownChanged(true);
}

void FourceQuitBrowserView::endSheet()
{
    if (!m_sheetShown)
        return;
    m_sheetShown = false;
    Q_EMIT sheetShownChanged(false);
}

void FourceQuitBrowserView::closeWindow()
{
    if (m_delegate)
        m_delegate->closeBrowserWindowPanel();
    else
        endSheet();
}

void FourceQuitBrowserView::retryAction()
{
    m_availbleApp = m_workspace.runningApplicationNames();
    if (m_delegate)
        m_delegate->retryActionForWebBrowser(m_availbleApp);
}
