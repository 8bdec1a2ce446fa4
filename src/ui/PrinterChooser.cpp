#include "ui/PrinterChooser.h"

#include "platform/Log.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QQueue>

namespace {
QQueue<QString> &answers()
{
    static QQueue<QString> queue;
    return queue;
}

int &requestCount()
{
    static int count = 0;
    return count;
}
} // namespace

std::optional<QString> PrinterChooser::choosePrinter(QWidget *parent)
{
    ++requestCount();
    if (!answers().isEmpty()) {
        const QString answer = answers().dequeue();
        if (answer == QLatin1String("cancel"))
            return std::nullopt;
        return answer;
    }
    QPrinter printer(QPrinter::HighResolution);
    const auto dialog = makeDialog(printer, parent);
    if (dialog->exec() != QDialog::Accepted || printer.printerName().isEmpty()) {
        Log::line(QStringLiteral("Printing cancelled"));
        return std::nullopt;
    }
    return printer.printerName();
}

std::unique_ptr<QPrintDialog> PrinterChooser::makeDialog(QPrinter &printer, QWidget *parent)
{
    auto dialog = std::make_unique<QPrintDialog>(&printer, parent);
    dialog->setObjectName(QStringLiteral("printDialog"));
    dialog->setWindowTitle(QStringLiteral("Print Report"));
    dialog->setAccessibleName(QStringLiteral("Print Report"));
    dialog->setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog->setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog->setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog->setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog;
}

void PrinterChooser::setNextAnswer(const QString &answer)
{
    answers().enqueue(answer);
}

void PrinterChooser::clearAnswers()
{
    answers().clear();
}

int PrinterChooser::pendingAnswers()
{
    return int(answers().size());
}

int PrinterChooser::requests()
{
    return requestCount();
}
