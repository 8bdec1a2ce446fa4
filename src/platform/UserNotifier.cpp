#include "platform/UserNotifier.h"

#include "platform/Log.h"

void UserNotifier::deliver(const QString &title, const QString &informativeText, bool sound)
{
    Log::line(QStringLiteral("%1: %2").arg(title, informativeText));
    QMutexLocker locker(&m_lock);
    m_delivered.append({title, informativeText, sound});
}

QList<UserNotifier::Delivered> UserNotifier::delivered() const
{
    QMutexLocker locker(&m_lock);
    return m_delivered;
}
