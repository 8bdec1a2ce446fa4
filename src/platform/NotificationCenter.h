#pragma once

#include "platform/Notification.h"

#include <QMutex>
#include <atomic>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

// Named notifications posted from any thread and observed by name.
// An observer either runs on the posting thread (Direct, the way the
// platform's notification centre delivers) or is queued to the thread of its
// context object (Queued, for observers that touch the interface). Observers
// go away with their context object or through removeObserver().
class NotificationCenter
{
public:
    enum class Delivery { Direct, Queued };
    using Handler = std::function<void(const Notification &)>;

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter &) = delete;
    NotificationCenter &operator=(const NotificationCenter &) = delete;

    // Returns a token for removeObserver(). An empty name observes every name.
    int addObserver(const QString &name, QObject *context, Handler handler,
                    Delivery delivery = Delivery::Direct);
    void removeObserver(int token);
    void removeObservers(QObject *context);

    void post(const QString &name, const QVariant &object = QVariant());

private:
    struct Observer
    {
        int token;
        QString name;
        QPointer<QObject> context;
        bool hasContext;
        std::shared_ptr<Handler> handler;
        Delivery delivery;
    };

    void publish(std::vector<Observer> observers);

    // Writers copy the list under the lock and publish a new snapshot;
    // post() reads the current snapshot without copying it, so posting
    // from a busy scan thread stays cheap.
    std::shared_ptr<const std::vector<Observer>> currentSnapshot() const;

    QMutex m_lock;
    std::vector<Observer> m_observers;
    // Changes with every publish, unique across all centres, so a posting
    // thread can keep the snapshot it read last while the version holds.
    std::atomic<quint64> m_version{0};
    std::shared_ptr<const std::vector<Observer>> m_snapshot = std::make_shared<const std::vector<Observer>>();
    int m_nextToken = 1;
};
