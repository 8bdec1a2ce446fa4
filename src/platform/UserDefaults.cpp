#include "platform/UserDefaults.h"

#include "platform/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

UserDefaults::UserDefaults(const QString &fileName)
    : m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat))
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
}

QString UserDefaults::defaultFileName()
{
    const QString chosen = qEnvironmentVariable("SWEEPLING_SETTINGS");
    if (!chosen.isEmpty())
        return chosen;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Sweepling/Sweepling.ini");
}

QString UserDefaults::fileName() const
{
    QMutexLocker locker(&m_lock);
    return m_settings->fileName();
}

QVariant UserDefaults::objectForKey(const QString &key) const
{
    QMutexLocker locker(&m_lock);
    if (m_settings->contains(key))
        return m_settings->value(key);
    return m_registered.value(key);
}

bool UserDefaults::boolForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().toLower();
        return text == QLatin1String("true") || text == QLatin1String("yes") || text.toInt() != 0;
    }
    return value.toBool();
}

QByteArray UserDefaults::dataForKey(const QString &key) const
{
    return objectForKey(key).toByteArray();
}

bool UserDefaults::contains(const QString &key) const
{
    QMutexLocker locker(&m_lock);
    return m_settings->contains(key) || m_registered.contains(key);
}

void UserDefaults::setObject(const QVariant &value, const QString &key)
{
    QMutexLocker locker(&m_lock);
    if (value.isValid())
        m_settings->setValue(key, value);
    else
        m_settings->remove(key);
}

void UserDefaults::setBool(bool value, const QString &key)
{
    setObject(value, key);
}

void UserDefaults::removeObjectForKey(const QString &key)
{
    QMutexLocker locker(&m_lock);
    m_settings->remove(key);
}

void UserDefaults::registerDefaults(const QVariantMap &defaults)
{
    QMutexLocker locker(&m_lock);
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        m_registered.insert(it.key(), it.value());
}

bool UserDefaults::synchronize()
{
    QMutexLocker locker(&m_lock);
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError) {
        Log::warning(QStringLiteral("Could not write the preferences file %1").arg(m_settings->fileName()));
        return false;
    }
    return true;
}
