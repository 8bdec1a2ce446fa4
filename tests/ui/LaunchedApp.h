#pragma once

#include "app/AppDelegate.h"
#include "support/TestPlatform.h"
#include "ui/AppDelegateWindow.h"
#include "ui/MainWindow.h"

#include <QStringList>
#include <memory>

// The desktop application over a temporary volume, started the way the
// program starts it: scripted alerts, an offline remote flag, animations and
// delays that end at once. Records every notification name posted.
class LaunchedApp
{
public:
    // withHome: whether the user's home folder exists (and so can be read).
    explicit LaunchedApp(bool withHome = true);
    ~LaunchedApp();

    void launch();

    TestPlatform test;
    std::unique_ptr<AppDelegate> core;
    std::unique_ptr<AppDelegateWindow> delegate;
    QStringList posted;

    MainWindow *window() const { return delegate->window(); }
    int postedCount(const QString &name) const { return static_cast<int>(posted.count(name)); }
    QString host(const QString &volumePath) const { return test.volume().host(volumePath); }
};
