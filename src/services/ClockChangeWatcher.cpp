#include "services/ClockChangeWatcher.h"

#include "platform/Log.h"

#include <QDBusConnection>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sys/timerfd.h>
#include <unistd.h>

ClockChangeWatcher::ClockChangeWatcher(QObject *parent)
    : QObject(parent)
{
    m_fd = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0 || !arm()) {
        Log::line(QStringLiteral("Clock changes are not watched: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    } else {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &ClockChangeWatcher::onReadable);
    }
    // A subscription only: no call is made, so nothing waits when there is
    // no system bus or no logind.
    QDBusConnection::systemBus().connect(QStringLiteral("org.freedesktop.login1"),
                                         QStringLiteral("/org/freedesktop/login1"),
                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                         QStringLiteral("PrepareForSleep"), this, SLOT(onPrepareForSleep(bool)));
}

ClockChangeWatcher::~ClockChangeWatcher()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ClockChangeWatcher::arm()
{
    // Far in the future: the timer itself never expires, only the
    // cancellation on a clock change matters.
    itimerspec expiry{};
    expiry.it_value.tv_sec = static_cast<time_t>(INT32_MAX);
    return ::timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &expiry, nullptr) == 0;
}

void ClockChangeWatcher::onReadable()
{
    std::uint64_t expirations = 0;
    const ssize_t n = ::read(m_fd, &expirations, sizeof expirations);
    if (n < 0 && errno == EAGAIN)
        return;
    // ECANCELED (the clock was set) or an expiry: arm again and re-check.
    if (!arm())
        Log::warning(QStringLiteral("Clock change watch could not be re-armed"));
    Log::line(QStringLiteral("The system clock was changed"));
    Q_EMIT clockChanged();
}

void ClockChangeWatcher::onPrepareForSleep(bool sleeping)
{
    if (!sleeping) {
        Log::line(QStringLiteral("The machine woke from sleep"));
        Q_EMIT woke();
    }
}
