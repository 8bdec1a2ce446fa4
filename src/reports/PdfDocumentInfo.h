#pragma once

#include <QList>
#include <QPair>
#include <QString>

// Sets the document information of a finished PDF file (title, subject,
// author, creator...) by appending an incremental update: a new information
// dictionary and a cross-reference section that points back at the file's
// own. Qt's PDF writer fills in only the title and the creator, and the
// report needs the subject and the author as well.
class PdfDocumentInfo
{
public:
    using Entries = QList<QPair<QByteArray, QString>>;  // ("Title", "Adware Report"), ...

    // False (with error set) when the file is not a PDF with a classic
    // cross-reference table and trailer, or cannot be written.
    static bool append(const QString &path, const Entries &entries, QString *error = nullptr);

    // A PDF string: literal when plain ASCII, UTF-16 in hexadecimal otherwise.
    static QByteArray pdfString(const QString &text);
};
