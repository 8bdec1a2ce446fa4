#include "platform/MainThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <QTimer>

bool MainThread::isCurrent()
{
    auto *app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void MainThread::async(std::function<void()> work)
{
    auto *app = QCoreApplication::instance();
    if (!app) {
        work();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

void MainThread::sync(const std::function<void()> &work)
{
    if (isCurrent()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), work, Qt::BlockingQueuedConnection);
}

void MainThread::after(int milliseconds, std::function<void()> work)
{
    auto *app = QCoreApplication::instance();
    if (!app) {
        work();
        return;
    }
    if (QThread::currentThread() == app->thread()) {
        QTimer::singleShot(milliseconds, app, std::move(work));
        return;
    }
    QMetaObject::invokeMethod(app, [milliseconds, work = std::move(work)]() mutable {
        QTimer::singleShot(milliseconds, QCoreApplication::instance(), std::move(work));
    }, Qt::QueuedConnection);
}
