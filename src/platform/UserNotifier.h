#pragma once

#include <QMutex>
#include <QString>
#include <QList>

// User notifications ("Adware Found: ..."). The host delivers them as log
// lines; the desktop application replaces deliver() with its own cards.
// Every delivered notification is remembered, so tests can read them.
class UserNotifier
{
public:
    struct Delivered
    {
        QString title;
        QString informativeText;
        bool sound = false;
    };

    virtual ~UserNotifier() = default;
    virtual void deliver(const QString &title, const QString &informativeText, bool sound = true);
    QList<Delivered> delivered() const;

private:
    mutable QMutex m_lock;
    QList<Delivered> m_delivered;
};
