#pragma once

#include "remedy/RunningBrowsers.h"

#include <QObject>

class FourceQuitBrowserViewDelegate;
class Workspace;

// The model of the browser-close panel, the sheet that lists the running
// browsers to quit before removal, with a Close and a Retry button. The
// application object owns one and shares it between the Scan and Reports
// pages; the page that opens it becomes its delegate until it is dismissed.
// The desktop application's panel shows browserList and sheetShown and calls
// closeWindow() and retryAction(). Main thread only.
class FourceQuitBrowserView : public QObject
{
    Q_OBJECT
public:
    explicit FourceQuitBrowserView(Workspace &workspace, QObject *parent = nullptr);

    const QList<BrowserEntry> &browserList() const { return m_browserList; }
    // Empties the list and adds the entries (setContent: nothing, then addObjects:).
    void setBrowserList(const QList<BrowserEntry> &entries);

    FourceQuitBrowserViewDelegate *delegate() const { return m_delegate; }
    void setDelegate(FourceQuitBrowserViewDelegate *delegate) { m_delegate = delegate; }

    // The running applications read at the last Retry.
    const QStringList &availbleApp() const { return m_availbleApp; }

    bool sheetShown() const { return m_sheetShown; }
    void beginSheet();
    void endSheet();

    // Button actions.
    void closeWindow();
    void retryAction();

Q_SIGNALS:
    void browserListChanged();
    void sheetShownChanged(bool shown);

private:
    Workspace &m_workspace;
    QList<BrowserEntry> m_browserList;
    FourceQuitBrowserViewDelegate *m_delegate = nullptr;
    QStringList m_availbleApp;
    bool m_sheetShown = false;
};
