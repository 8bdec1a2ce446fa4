#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QPrintDialog;
class QPrinter;
class QWidget;

// The print dialog, behind a seam: it answers the name of the printer the
// person chose, or nothing when the dialog was cancelled. Tests queue their
// answers with setNextAnswer() (a printer name, or "cancel"); with answers
// queued no dialog is shown.
class PrinterChooser
{
public:
    static std::optional<QString> choosePrinter(QWidget *parent);
    // The dialog as it is shown: it chooses the printer and nothing that
    // would re-lay out the document (no page ranges, no printing to a file).
    static std::unique_ptr<QPrintDialog> makeDialog(QPrinter &printer, QWidget *parent);

    static void setNextAnswer(const QString &answer);
    static void clearAnswers();
    static int pendingAnswers();
    // How many times a printer was asked for, answered by script or not.
    static int requests();
};
