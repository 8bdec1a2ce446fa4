#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One desktop application per user and preferences file. Starting it again
// while it runs does not open a second copy: the new process asks the running
// one to bring its window back (the desktop's "reopen") and ends. This is also
// the way back to a main window that was closed, since closing it keeps the
// application running.
class ReopenChannel : public QObject
{
    Q_OBJECT
public:
    // key: what tells two instances apart (the preferences file).
    explicit ReopenChannel(const QString &key, QObject *parent = nullptr);
    ~ReopenChannel() override;

    // True when a running instance took the request.
    bool askRunningInstance() const;
    // Starts answering later instances; false when the channel cannot listen.
    bool listen();

    QString serverName() const { return m_serverName; }

Q_SIGNALS:
    void reopenRequested();

private:
    QString m_serverName;
    QLocalServer *m_server = nullptr;
};
