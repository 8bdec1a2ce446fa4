#include "cli/CliProgress.h"

#include "cli/TerminalText.h"

#include "app/NotificationNames.h"
#include "platform/NotificationCenter.h"
#include "scan/ScanDriver.h"

#include <cstdio>

namespace {
constexpr int kWidth = 78;

QString middleTruncated(const QString &text, int width)
{
    if (text.size() <= width)
        return text;
    const int half = (width - 1) / 2;
    return text.left(half) + QChar(0x2026) + text.right(width - half - 1);
}
} // namespace

CliProgress::CliProgress(NotificationCenter &notifications, ScanDriver &driver, FILE *terminal)
    : m_notifications(notifications)
    , m_terminal(terminal)
{
    m_tokens << notifications.addObserver(NotificationNames::ScanningProgress, nullptr, [this](const Notification &) {
        double value = m_percent.load();
        while (!m_percent.compare_exchange_weak(value, std::min(value + 1.0, 100.0))) {
        }
        QMutexLocker locker(&m_lock);
        m_dirty = true;
    });
    m_tokens << notifications.addObserver(NotificationNames::ScanningProgressURL, nullptr,
                                          [this](const Notification &n) { setItem(n.object.toString()); });
    connect(&driver, &ScanDriver::ScanningProgressChange, this, [this](const QString &text, int step) {
        m_percent = std::min(double(step + 1), 100.0);
        setItem(text);
    });
    connect(&m_timer, &QTimer::timeout, this, &CliProgress::redraw);
    m_timer.start(100);
}

CliProgress::~CliProgress()
{
    for (int token : std::as_const(m_tokens))
        m_notifications.removeObserver(token);
}

void CliProgress::setItem(const QString &item)
{
    QMutexLocker locker(&m_lock);
    m_item = item;
    m_dirty = true;
}

void CliProgress::redraw()
{
    QString item;
    {
        QMutexLocker locker(&m_lock);
        if (!m_dirty)
            return;
        m_dirty = false;
        item = m_item;
    }
    const QString line = QStringLiteral("[%1%] ").arg(m_percent.load(), 3, 'f', 0)
                         + middleTruncated(TerminalText::escaped(item), kWidth - 7);
    std::fprintf(m_terminal, "\r\033[K%s", qPrintable(line));
    std::fflush(m_terminal);
}

void CliProgress::finish()
{
    m_timer.stop();
    std::fputs("\r\033[K", m_terminal);
    std::fflush(m_terminal);
}
