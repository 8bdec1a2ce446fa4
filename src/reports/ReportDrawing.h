#pragma once

#include "platform/MachineFacts.h"
#include "scan/AdwareScanReport.h"

#include <QFont>
#include <QRectF>

class QPainter;
class QPdfWriter;

// Draws one scan report into a PDF writer, page after page, and keeps the
// drawing state of that document: the current line y (points from the page
// bottom), the page number and the height of the table drawn on the page.
// Positions are given the way the document's layout states them, from the
// bottom left corner, and turned into the painter's top-left coordinates
// here. Lives for one document; made and used by PDFGenerate.
class ReportDrawing
{
public:
    // One table row: "url", "infection", "available" and "status" columns.
    struct Row
    {
        QString url;
        QString infection;
        QString available;
        QString status;
    };

    // A threat's status is looked up inside the volume at volumeRoot ("/"
    // when empty).
    ReportDrawing(QPdfWriter &writer, QPainter &painter, const AdwareScanReport &report, const MachineFacts &facts,
                  const QString &volumeRoot = QString());

    void draw();

    // The standard size of the interface font on this platform (the layout's
    // "system font size"); the other sizes are the layout's own.
    static constexpr qreal kSystemFontSize = 11;
    static QFont titleBarFont(qreal size);
    static QFont systemFont(bool bold = false);
    // The application line of the title block: name, version and build.
    static QString applicationLine();

    int y() const { return m_y; }
    int pageNumber() const { return m_pageNumber; }

private:
    void titleText();
    void reportHeader();
    void headerLine(const QString &left, const QString &right, int extraSpace);
    qreal drawLabelled(qreal x, qreal y, const QString &text);
    void table();
    void printRow(bool isHeader, const Row &data, qreal height);
    // The used height of text wrapped in the first column (0 for no text).
    qreal measure(const QString &text) const;
    void pageBreak();
    void frameAndPageNumber();

    QRectF rect(qreal x, qreal y, qreal width, qreal height) const;
    void drawText(const QRectF &rect, const QString &text, const QFont &font, Qt::Alignment alignment,
                  const QColor &colour);
    void drawWrapped(const QRectF &rect, const QString &text, const QFont &font);
    void drawTruncated(const QRectF &rect, const QString &text, const QFont &font);
    // The height of one line of text in the font.
    qreal lineHeight(const QFont &font) const;

    QPdfWriter &m_writer;
    QPainter &m_painter;
    const AdwareScanReport &m_report;
    MachineFacts m_facts;
    QString m_volumeRoot;
    int m_y = 822;
    int m_pageNumber = 1;
    int m_tableHeight = 0;
};
