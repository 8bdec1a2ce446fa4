#pragma once

#include <QStringList>

// What the browser-close panel asks of the page that opened it (the Scan or
// the Reports page): close without removing, or try again with the names of
// the applications running at the moment Retry was pressed.
class FourceQuitBrowserViewDelegate
{
public:
    virtual ~FourceQuitBrowserViewDelegate() = default;
    virtual void closeBrowserWindowPanel() = 0;
    virtual void retryActionForWebBrowser(const QStringList &runningApplications) = 0;
};
