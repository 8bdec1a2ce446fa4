#include "platform/NotificationCenter.h"

#include <QMetaObject>
#include <algorithm>

int NotificationCenter::addObserver(const QString &name, QObject *context, Handler handler,
                                    Delivery delivery)
{
    QMutexLocker locker(&m_lock);
    const int token = m_nextToken++;
    m_observers.push_back({token, name, context, context != nullptr,
                           std::make_shared<Handler>(std::move(handler)), delivery});
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
}

void NotificationCenter::removeObservers(QObject *context)
{
    QMutexLocker locker(&m_lock);
    std::erase_if(m_observers, [context](const Observer &o) { return o.hasContext && o.context == context; });
}

void NotificationCenter::post(const QString &name, const QVariant &object)
{
    std::vector<Observer> matching;
    {
        QMutexLocker locker(&m_lock);
        for (const Observer &o : m_observers) {
            if (o.name.isEmpty() || o.name == name)
                matching.push_back(o);
        }
    }
    const Notification note{name, object};
    for (const Observer &o : matching) {
        if (o.hasContext && !o.context)
            continue;
        if (o.delivery == Delivery::Queued && o.context) {
            QPointer<QObject> context = o.context;
            auto handler = o.handler;
            QMetaObject::invokeMethod(
                o.context.data(),
                [context, handler, note] {
                    if (context)
                        (*handler)(note);
                },
                Qt::QueuedConnection);
        } else {
            (*o.handler)(note);
        }
    }
}
