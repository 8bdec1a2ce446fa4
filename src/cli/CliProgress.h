#pragma once

#include <QMutex>
#include <QObject>
#include <QTimer>
#include <atomic>

class NotificationCenter;
class ScanDriver;

// The one-line progress display of a scan on a terminal: percentage and the
// item being scanned. The engine's notifications only store the latest
// values (from whatever thread posts them); a timer on the main thread
// redraws the line ten times a second, so a walk of millions of entries
// never floods the event loop or the terminal.
class CliProgress : public QObject
{
    Q_OBJECT
public:
    CliProgress(NotificationCenter &notifications, ScanDriver &driver, FILE *terminal);
    ~CliProgress() override;

    // Clears the progress line.
    void finish();

private:
    void redraw();
    void setItem(const QString &item);

    NotificationCenter &m_notifications;
    FILE *m_terminal;
    QTimer m_timer;
    std::atomic<double> m_percent{0};
    QMutex m_lock;
    QString m_item;
    bool m_dirty = false;
    QList<int> m_tokens;
};
