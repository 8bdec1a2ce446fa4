#include "platform/NotificationCenter.h"

#include <QMetaObject>
#include <algorithm>
#include <optional>

int NotificationCenter::addObserver(const QString &name, QObject *context, Handler handler,
                                    Delivery delivery)
{
    QMutexLocker locker(&m_lock);
    const int token = m_nextToken++;
    m_observers.push_back({token, name, context, context != nullptr,
                           std::make_shared<Handler>(std::move(handler)), delivery});
    publish(m_observers);
    if (context) {
        QObject::connect(context, &QObject::destroyed, context, [this, token] { removeObserver(token); },
                         Qt::DirectConnection);
    }
    return token;
}

void NotificationCenter::removeObserver(int token)
{
    QMutexLocker locker(&m_lock);
    std::erase_if(m_observers, [token](const Observer &o) { return o.token == token; });
    publish(m_observers);
}

void NotificationCenter::removeObservers(QObject *context)
{
    QMutexLocker locker(&m_lock);
    std::erase_if(m_observers, [context](const Observer &o) { return o.hasContext && o.context == context; });
    publish(m_observers);
}

namespace {
std::atomic<quint64> s_nextVersion{1};

// The snapshot a thread read last, so that posting in a tight loop (a walk
// posts for every entry) does not go through the shared pointer's lock.
struct CachedSnapshot
{
    quint64 version = 0;
    std::shared_ptr<const void> snapshot;
};
thread_local CachedSnapshot t_cached;
} // namespace

void NotificationCenter::publish(std::vector<Observer> observers)
{
    std::atomic_store(&m_snapshot, std::shared_ptr<const std::vector<Observer>>(
                                       std::make_shared<const std::vector<Observer>>(std::move(observers))));
    m_version.store(s_nextVersion.fetch_add(1), std::memory_order_release);
}

std::shared_ptr<const std::vector<NotificationCenter::Observer>> NotificationCenter::currentSnapshot() const
{
    // Versions are unique across centres, so a snapshot cached for another
    // (or a destroyed) centre never matches.
    const quint64 version = m_version.load(std::memory_order_acquire);
    if (version != 0 && t_cached.version == version)
        return std::static_pointer_cast<const std::vector<Observer>>(t_cached.snapshot);
    auto snapshot = std::atomic_load(&m_snapshot);
    if (version != 0 && m_version.load(std::memory_order_acquire) == version) {
        t_cached.version = version;
        t_cached.snapshot = snapshot;
    }
    return snapshot;
}

void NotificationCenter::post(const QString &name, const QVariant &object)
{
    const auto snapshot = currentSnapshot();
    std::optional<Notification> note;
    for (const Observer &o : *snapshot) {
        if (!o.name.isEmpty() && o.name != name)
            continue;
        if (!note)
            note = Notification{name, object};
        if (o.hasContext && !o.context)
            continue;
        if (o.delivery == Delivery::Queued && o.context) {
            QPointer<QObject> context = o.context;
            auto handler = o.handler;
            QMetaObject::invokeMethod(
                o.context.data(),
                [context, handler, note = *note] {
                    if (context)
                        (*handler)(note);
                },
                Qt::QueuedConnection);
        } else {
            (*o.handler)(*note);
        }
    }
}
