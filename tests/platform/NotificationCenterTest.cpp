#include "platform/NotificationCenter.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

TEST(NotificationCenter, DeliversByNameOnThePostingThread)
{
    NotificationCenter center;
    QStringList seen;
    QObject context;
    center.addObserver(QStringLiteral("listChange"), &context,
                       [&](const Notification &n) { seen.append(n.name + n.object.toString()); });
    center.post(QStringLiteral("listChange"), QStringLiteral("!"));
    center.post(QStringLiteral("ScanningProgress"), 3);
    EXPECT_EQ(seen, QStringList{QStringLiteral("listChange!")});
}

TEST(NotificationCenter, ObserverGoesAwayWithItsContextOrToken)
{
    NotificationCenter center;
    int calls = 0;
    auto *context = new QObject;
    center.addObserver(QStringLiteral("x"), context, [&](const Notification &) { ++calls; });
    const int token = center.addObserver(QStringLiteral("x"), nullptr, [&](const Notification &) { calls += 10; });
    center.post(QStringLiteral("x"));
    delete context;
    center.post(QStringLiteral("x"));
    center.removeObserver(token);
    center.post(QStringLiteral("x"));
    EXPECT_EQ(calls, 21);
}

TEST(NotificationCenter, QueuedObserversRunOnTheirContextThread)
{
    NotificationCenter center;
    QObject context;
    QThread *seenOn = nullptr;
    center.addObserver(QStringLiteral("ScanningProgressURL"), &context,
                       [&](const Notification &) { seenOn = QThread::currentThread(); },
                       NotificationCenter::Delivery::Queued);
    QThread *poster = QThread::create([&] { center.post(QStringLiteral("ScanningProgressURL"), QStringLiteral("/a")); });
    poster->start();
    poster->wait();
    delete poster;
    EXPECT_EQ(seenOn, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(seenOn, QThread::currentThread());
}
