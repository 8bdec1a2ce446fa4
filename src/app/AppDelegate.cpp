#include "app/AppDelegate.h"

#include "app/DateWording.h"
#include "app/NotificationNames.h"
#include "app/PreferenceKeys.h"
#include "app/StandardScanPhases.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "remedy/DirectRemoval.h"

#include <QTimer>

using namespace PreferenceKeys;

AppDelegate::AppDelegate(Platform &platform, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_access(platform)
    , m_remoteFlag(platform.defaults())
    , m_scanDriver(std::make_unique<ScanDriver>(platform, m_access, StandardScanPhases::standard(), this))
    , m_reportsObj(std::make_unique<Reports>(platform, this))
    , m_scheduler(std::make_unique<Scheduler>(platform, *m_scanDriver))
    , m_realTime(std::make_unique<RealTimeScanning>(platform, *m_scanDriver))
    , m_loginItem(std::make_unique<LoginItem>([&platform]() -> AlertPresenter & { return platform.alerts(); },
                                              m_realTime->settings(),
                                              LoginItem::helperBesideApplication()))
    , m_directRemoval(std::make_unique<DirectRemoval>(platform))
{
    connect(m_scanDriver.get(), &ScanDriver::reportMade, m_reportsObj.get(), &Reports::updateReportInDefaults);
    connect(m_scanDriver.get(), &ScanDriver::scanFinished, this,
            [this] { setLastScanTextisRepeat(QStringLiteral("N")); });
}

AppDelegate::~AppDelegate() = default;

QStringList AppDelegate::fullSyatemScanPath() const
{
    return StandardScanPhases::fullSyatemScanPath(m_platform.volume().loginName());
}

void AppDelegate::applicationWillFinishLaunching()
{
    m_scanDriver->state().fileCountCompleted = 0;
    m_scanDriver->setFullSystemScanPaths(fullSyatemScanPath());
}

void AppDelegate::applicationDidFinishLaunching()
{
    UserDefaults &defaults = m_platform.defaults();
    defaults.registerDefaults({{NSApplicationCrashOnExceptions, true}});
    tabtype = 40;
    old = 0;
    m_scanDriver->state().isScanStop = false;
    m_scanDriver->state().isScanning = false;
    m_scanDriver->state().ScanTypeCount = 0;

    m_showsAccessWindow = !m_access.isUserAccessible();
    Q_EMIT interfaceChosen(m_showsAccessWindow);

    defaults.setBool(false, NSConstraintBasedLayoutVisualizeMutuallyExclusiveConstraints);
    defaults.synchronize();

    // The flag is cleared at every launch and set again only by the server.
    defaults.setBool(false, SandboxingDone);
    if (!(defaults.contains(SandboxingDone) && defaults.boolForKey(SandboxingDone)))
        m_remoteFlag.checkDataFromURL();

    m_platform.notifications().post(NotificationNames::ScanningStatusChange);
    m_platform.notifications().post(NotificationNames::listChange);

    setLastScanTextisRepeat(QStringLiteral("Y"));
    m_scheduler->restore();
    applyBackgroundSettings();
}

void AppDelegate::applyBackgroundSettings()
{
    BackgroundSettings &settings = m_realTime->settings();
    const bool loginStart = settings.runOnStart();
    if (loginStart)
        m_loginItem->terminateHelper();
    // An entry is written again (the helper may have moved) or removed; with
    // neither the setting nor an entry, the user's autostart folder is left alone.
    if (loginStart || m_loginItem->isRegistered())
        m_loginItem->setStartAtLoginEnabled(loginStart);
    m_realTime->realTimeScanning(m_realTime->isRealTimeProtectionON());
}

bool AppDelegate::isScanning() const
{
    return m_scanDriver->isScanning();
}

void AppDelegate::setLastScanTextisRepeat(const QString &flag)
{
    if (!isScanning()) {
        m_lastScanText = DateWording::lastScanText(m_platform.defaults().objectForKey(kLastScanDate));
        Q_EMIT lastScanTextChanged(m_lastScanText);
    }
    if (flag == QLatin1String("Y"))
        QTimer::singleShot(10000, this, [this] { setLastScanTextisRepeat(QStringLiteral("Y")); });
}
