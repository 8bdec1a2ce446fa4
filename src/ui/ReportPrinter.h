#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QThread;
class QWidget;

// Prints the report's PDF file as it is: the print dialog chooses the
// printer, and the file itself goes to the print system (CUPS, whose native
// input is PDF) at its own page size, A4 portrait, unscaled, one page of the
// document per printed page. Nothing is re-rendered. The job is handed over
// on a worker thread so the window never waits on the print server. Main
// thread only; one job at a time.
class ReportPrinter : public QObject
{
    Q_OBJECT
public:
    explicit ReportPrinter(QObject *parent = nullptr);
    ~ReportPrinter() override;

    // printPDFfile: does nothing when no file is at path or the dialog is
    // cancelled; answers whether a job is being handed over.
    bool printPDFfile(const QString &path, QWidget *dialogParent);
    bool isPrinting() const;

    // The print system's options for a report: A4 portrait, unscaled.
    static QList<QPair<QByteArray, QByteArray>> jobOptions();
    // Hands the file to the named printer; answers the job id, or 0 with the
    // reason in *error. Blocks until the print server answers.
    static int submit(const QString &printer, const QString &path, const QString &title, QString *error);

Q_SIGNALS:
    void jobSubmitted(int jobId, const QString &printer);
    void jobFailed(const QString &message);

private:
    std::unique_ptr<QThread> m_thread;
};
