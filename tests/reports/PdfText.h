#pragma once

#include <QList>
#include <QMap>
#include <QString>

// What poppler's tools read back from a PDF file: the document information
// and page facts (pdfinfo) and every word with its box, in points from the
// top left of its page (pdftotext -bbox).
struct PdfText
{
    struct Word
    {
        int page = 0;  // from 1
        QString text;
        double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    };

    static PdfText read(const QString &pdfPath);

    QMap<QString, QString> info;
    QList<Word> words;
    QString error;

    int pages() const { return info.value(QStringLiteral("Pages")).toInt(); }
    QList<Word> onPage(int page) const;
    // The first word with that text (on the page, when given), or a word with page 0.
    Word find(const QString &text, int page = 0) const;
    QList<Word> all(const QString &text, int page = 0) const;
};
