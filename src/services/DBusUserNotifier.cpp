#include "services/DBusUserNotifier.h"

#include "platform/Log.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QMetaObject>

DBusUserNotifier::DBusUserNotifier(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
}

void DBusUserNotifier::deliver(const QString &title, const QString &informativeText, bool sound)
{
    UserNotifier::deliver(title, informativeText, sound);
    // The call and its reply live on this object's thread, whichever thread
    // delivers.
    QMetaObject::invokeMethod(this, [this, title, informativeText, sound] { send(title, informativeText, sound); },
                              Qt::AutoConnection);
}

void DBusUserNotifier::send(const QString &title, const QString &informativeText, bool sound)
{
    if (!m_bus.isConnected()) {
        Log::line(QStringLiteral("No desktop notification: no session bus"));
        Q_EMIT notShown(QStringLiteral("No session bus"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints;
    if (!sound)
        hints.insert(QStringLiteral("suppress-sound"), true);
    call << QStringLiteral("Sweepling") << uint(0) << QStringLiteral("sweepling") << title << informativeText
         << QStringList() << hints << int(-1);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        QDBusPendingReply<uint> reply = *w;
        if (reply.isError()) {
            Log::line(QStringLiteral("No desktop notification: %1").arg(reply.error().message()));
            Q_EMIT notShown(reply.error().message());
            return;
        }
        Q_EMIT shown(reply.value());
    });
}
