#pragma once

#include "platform/UserNotifier.h"

#include <QDBusConnection>
#include <QObject>

// User notifications on the desktop: org.freedesktop.Notifications.Notify on
// the session bus, called asynchronously (a QDBusInterface would block the
// main thread on introspection). Every notification is also logged and
// recorded as by UserNotifier; where no notification service answers, the
// log line is all there is.
class DBusUserNotifier : public QObject, public UserNotifier
{
    Q_OBJECT
public:
    explicit DBusUserNotifier(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    void deliver(const QString &title, const QString &informativeText, bool sound = true) override;

Q_SIGNALS:
    // The service answered with the notification's id.
    void shown(uint id);
    // No service answered, or it refused; the notification went to the log only.
    void notShown(const QString &error);

private:
    void send(const QString &title, const QString &informativeText, bool sound);

    QDBusConnection m_bus;
};
