#include "services/BackgroundSettings.h"

#include "platform/Log.h"
#include "platform/UserDefaults.h"

BackgroundSettings::BackgroundSettings(UserDefaults &defaults)
    : m_defaults(defaults)
{
}

bool BackgroundSettings::read(const char *key, bool absent) const
{
    const QString name = QString::fromLatin1(key);
    return m_defaults.contains(name) ? m_defaults.boolForKey(name) : absent;
}

void BackgroundSettings::write(const char *key, bool value)
{
    m_defaults.setBool(value, QString::fromLatin1(key));
    if (!m_defaults.synchronize())
        Log::warning(QStringLiteral("%1 could not be stored: %2").arg(QString::fromLatin1(key), m_defaults.lastError()));
}

bool BackgroundSettings::isRealTimeProtectionON() const { return read("RealTimeScanONOFF", true); }
void BackgroundSettings::setRealTimeProtectionON(bool on) { write("RealTimeScanONOFF", on); }
bool BackgroundSettings::runOnStart() const { return read("kIsRunOnStart", false); }
void BackgroundSettings::setRunOnStart(bool on) { write("kIsRunOnStart", on); }
bool BackgroundSettings::dockIcon() const { return read("kIsDockIcon", true); }
void BackgroundSettings::setDockIcon(bool shown) { write("kIsDockIcon", shown); }
