#include "ui/ReportPrinter.h"

#include "platform/Log.h"
#include "ui/PrinterChooser.h"

#include <QFileInfo>
#include <QThread>
#include <cups/cups.h>

ReportPrinter::ReportPrinter(QObject *parent)
    : QObject(parent)
{
}

ReportPrinter::~ReportPrinter()
{
    if (m_thread)
        m_thread->wait();
}

bool ReportPrinter::isPrinting() const
{
    return m_thread && m_thread->isRunning();
}

QList<QPair<QByteArray, QByteArray>> ReportPrinter::jobOptions()
{
    return {{"media", "A4"},
            {"orientation-requested", "3"},
            {"print-scaling", "none"},
            {"fit-to-page", "false"},
            {"number-up", "1"}};
}

int ReportPrinter::submit(const QString &printer, const QString &path, const QString &title, QString *error)
{
    cups_option_t *options = nullptr;
    int count = 0;
    for (const auto &[name, value] : jobOptions())
        count = cupsAddOption(name.constData(), value.constData(), count, &options);
    const QByteArray printerName = printer.toUtf8();
    const QByteArray file = QFile::encodeName(path);
    const QByteArray jobTitle = title.toUtf8();
    const int job = cupsPrintFile(printerName.constData(), file.constData(), jobTitle.constData(), count, options);
    cupsFreeOptions(count, options);
    if (job == 0 && error)
        *error = QString::fromUtf8(cupsLastErrorString());
    return job;
}

bool ReportPrinter::printPDFfile(const QString &path, QWidget *dialogParent)
{
    if (!QFileInfo(path).isFile()) {
        Log::line(QStringLiteral("No report to print at %1").arg(path));
        return false;
    }
    if (isPrinting()) {
        Log::line(QStringLiteral("A report is being printed already"));
        return false;
    }
    const std::optional<QString> printer = PrinterChooser::choosePrinter(dialogParent);
    if (!printer)
        return false;
    if (m_thread)
        m_thread->wait();
    // The destructor waits for the thread, so the printer outlives it; a
    // reply queued after the printer is gone is dropped by Qt.
    const QString chosen = *printer;
    m_thread.reset(QThread::create([this, chosen, path] {
        QString error;
        const int job = submit(chosen, path, QStringLiteral("Adware Report"), &error);
        QMetaObject::invokeMethod(
            this,
            [this, job, chosen, error] {
                if (job > 0) {
                    Log::line(QStringLiteral("Report sent to %1 as job %2").arg(chosen).arg(job));
                    Q_EMIT jobSubmitted(job, chosen);
                } else {
                    Log::warning(QStringLiteral("Printing on %1 failed: %2").arg(chosen, error));
                    Q_EMIT jobFailed(error);
                }
            },
            Qt::QueuedConnection);
    }));
    m_thread->start();
    return true;
}
