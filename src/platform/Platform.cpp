#include "platform/Platform.h"

#include "platform/ScriptedAlerts.h"

Platform::Platform(Volume volume, const QString &settingsFile)
    : m_volume(std::move(volume))
    , m_defaults(std::make_unique<UserDefaults>(settingsFile.isEmpty() ? UserDefaults::defaultFileName()
                                                                        : settingsFile))
    , m_bookmarks(std::make_unique<Bookmarks>())
    , m_alerts(std::make_unique<ScriptedAlerts>())
    , m_userNotifier(std::make_unique<UserNotifier>())
    , m_workspace(std::make_unique<Workspace>(m_volume))
{
}
