#pragma once

#include <QMutex>
#include <QSettings>
#include <QVariant>
#include <memory>

// The user's preferences: one INI file read and written through QSettings.
// Safe to use from any thread (one lock around the settings object). The file
// is chosen by the caller (--settings FILE), by SWEEPLING_SETTINGS, or is the
// per-user default, so tests never touch the real preferences.
class UserDefaults
{
public:
    explicit UserDefaults(const QString &fileName);

    // The file named by SWEEPLING_SETTINGS, else the per-user default file.
    static QString defaultFileName();

    QString fileName() const;

    QVariant objectForKey(const QString &key) const;
    QVariant valueForKey(const QString &key) const { return objectForKey(key); }
    bool boolForKey(const QString &key) const;
    QByteArray dataForKey(const QString &key) const;
    bool contains(const QString &key) const;

    void setObject(const QVariant &value, const QString &key);
    void setBool(bool value, const QString &key);
    void removeObjectForKey(const QString &key);

    // Values answered for keys that were never set; not written to the file.
    void registerDefaults(const QVariantMap &defaults);

    // Writes pending changes and reads what other processes wrote since.
    // Answers false when the file could not be written.
    bool synchronize();

private:
    mutable QMutex m_lock;
    std::unique_ptr<QSettings> m_settings;
    QVariantMap m_registered;
};
