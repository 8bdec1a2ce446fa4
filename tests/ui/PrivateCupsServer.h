#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A print server of the test's own: cupsd with its configuration, spool and
// logs in a temporary folder, listening on a free port of 127.0.0.1 only,
// with one virtual printer that writes what it receives to a file in that
// folder (a raw queue: the document as the job sent it, plus the job's
// options).
// start() answers false with the reason in error() when the server cannot
// run here (no cupsd, no root, the port refused).
class PrivateCupsServer
{
public:
    PrivateCupsServer();
    ~PrivateCupsServer();

    bool start();
    QString error() const { return m_error; }
    // "127.0.0.1:PORT", for CUPS_SERVER.
    QString address() const;
    QString printerName() const { return QStringLiteral("virtualpdf"); }
    // Where the virtual printer writes what it prints.
    QString outputFile() const;
    // The job options the printer received ("media=A4 ...").
    QString printedOptions() const;
    // Whether the printer still has jobs that are not completed.
    bool hasActiveJobs() const;
    QString log() const;

private:
    bool run(const QString &program, const QStringList &arguments);

    QTemporaryDir m_dir;
    QProcess m_cupsd;
    int m_port = 0;
    QString m_error;
};
