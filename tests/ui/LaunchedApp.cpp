#include "ui/LaunchedApp.h"

#include "app/PreferenceKeys.h"
#include "support/MacVolumeBuilder.h"
#include "ui/UiTiming.h"

#include <QDir>

LaunchedApp::LaunchedApp(bool withHome)
{
    UiTiming::setInstant(true);
    MacVolumeBuilder mac(test.volume());
    mac.dir(QStringLiteral("~/Library"));
    if (!withHome)
        QDir(test.volume().homeFolder()).removeRecursively();
    // Start-up asks the maker's server for a flag; a port nothing listens on
    // keeps the tests off the network.
    test.platform().defaults().setObject(QStringLiteral("http://127.0.0.1:9/flag.txt"), PreferenceKeys::SandboxingURL);
    test.platform().notifications().addObserver(QString(), nullptr,
                                                [this](const Notification &n) { posted.append(n.name); });
    core = std::make_unique<AppDelegate>(test.platform());
    delegate = std::make_unique<AppDelegateWindow>(*core);
}

LaunchedApp::~LaunchedApp()
{
    delegate.reset();
    core.reset();
}

void LaunchedApp::launch()
{
    delegate->applicationWillFinishLaunching();
    delegate->applicationDidFinishLaunching();
}
