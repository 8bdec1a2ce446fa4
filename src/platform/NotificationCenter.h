#pragma once

#include "platform/Notification.h"

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <functional>
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

    QMutex m_lock;
    std::vector<Observer> m_observers;
    int m_nextToken = 1;
};
