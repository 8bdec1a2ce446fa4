#include "reports/ReportDrawing.h"

#include "platform/Log.h"
#include "reports/PDFGenerate.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

namespace {
const QColor kDarkGray(85, 85, 85);
const QString kFontFamily = QStringLiteral("DejaVu Sans");
constexpr int kFirstPageTop = 822;
constexpr int kNextPageTop = 802;
constexpr int kBottomLimit = 10;
constexpr qreal kFirstColumnWidth = 210;
constexpr qreal kMeasureBoxHeight = 1000;
constexpr qreal kRowPadding = 16;
// A row never runs past a fresh page; longer text is cut at the row's end.
constexpr qreal kTallestRow = kNextPageTop - kBottomLimit - 1;

QTextOption wrapOption()
{
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

QString mediumTimeFormat(const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("ss")))
        format.replace(QLatin1String("mm"), QLatin1String("mm:ss"));
    return format;
}
} // namespace

ReportDrawing::ReportDrawing(QPdfWriter &writer, QPainter &painter, const AdwareScanReport &report,
                             const MachineFacts &facts, const QString &volumeRoot)
    : m_writer(writer)
    , m_painter(painter)
    , m_report(report)
    , m_facts(facts)
    , m_volumeRoot(volumeRoot)
{
}

// The condensed face comes closest to the widths the column sizes were made for.
QFont ReportDrawing::titleBarFont(qreal size)
{
    QFont font(kFontFamily);
    font.setStretch(QFont::Condensed);
    font.setPointSizeF(size);
    font.setBold(true);
    return font;
}

QFont ReportDrawing::systemFont(bool bold)
{
    QFont font(kFontFamily);
    font.setStretch(QFont::Condensed);
    font.setPointSizeF(kSystemFontSize);
    font.setBold(bold);
    return font;
}

QString ReportDrawing::applicationLine()
{
    const QString version = QStringLiteral(SWEEPLING_VERSION);
    return QStringLiteral("%1 %2 (%3)").arg(QStringLiteral("Sweepling"), version, version);
}

void ReportDrawing::draw()
{
    m_y = kFirstPageTop;
    m_pageNumber = 1;
    titleText();
    reportHeader();
    table();
}

QRectF ReportDrawing::rect(qreal x, qreal y, qreal width, qreal height) const
{
    return QRectF(x, PDFGenerate::kPageHeight - y - height, width, height);
}

void ReportDrawing::titleText()
{
    const QFont small = titleBarFont(10);
    drawText(rect(18, m_y - 15, 525, lineHeight(small)), applicationLine(), small,
             Qt::AlignLeft, kDarkGray);
    const QFont big = titleBarFont(25);
    const QString title = QStringLiteral("ADWARE REPORT");
    const qreal h = lineHeight(big);
    drawText(rect(20, m_y - h - 30, 555, h), title, big, Qt::AlignHCenter, Qt::black);
    m_y = int(m_y - h - 30);
    const QLocale locale = QLocale::system();
    const QDateTime date = m_report.scanDate().toLocalTime();
    const QString when = locale.toString(date.date(), QStringLiteral("MMM d, yyyy")) + QStringLiteral(", ")
                         + locale.toString(date.time(), locale.timeFormat(QLocale::ShortFormat));
    drawText(rect(463, m_y + 44, 555, lineHeight(small)), when, small, Qt::AlignLeft, kDarkGray);
}

void ReportDrawing::reportHeader()
{
    const QLocale locale = QLocale::system();
    const QDateTime date = m_report.scanDate().toLocalTime();
    const QString started = locale.toString(date.date(), QLocale::ShortFormat) + QLatin1Char(' ')
                            + locale.toString(date.time(), mediumTimeFormat(locale));
    headerLine(QStringLiteral("Mac Name : %1").arg(m_facts.computerName),
               QStringLiteral("Scan Type : %1").arg(m_report.reportType()), 10);
    headerLine(QStringLiteral("Current User : %1").arg(m_facts.loginName),
               QStringLiteral("Scan Started : %1").arg(started), 10);
    headerLine(QStringLiteral("Machine Name : %1").arg(m_facts.model),
               QStringLiteral("Scan Duration : %1").arg(m_report.scanDuration()), 10);
    headerLine(QStringLiteral("Machine Serial Number : %1").arg(m_facts.serialNumber),
               QStringLiteral("Infections : %1").arg(m_report.adwareCount()), 35);
}

void ReportDrawing::headerLine(const QString &left, const QString &right, int extraSpace)
{
    const qreal h = std::max(lineHeight(systemFont(true)), lineHeight(systemFont()));
    drawLabelled(40, m_y - h - 10, left);
    drawLabelled(337, m_y - h - 10, right);
    m_y = int(m_y - h - extraSpace);
}

// The label, up to and including its colon, is bold; the value is not.
qreal ReportDrawing::drawLabelled(qreal x, qreal y, const QString &text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString label = text.left(colon + 1);
    const QString value = text.mid(colon + 1);
    const QFont bold = systemFont(true);
    const QFont plain = systemFont();
    const qreal h = std::max(lineHeight(bold), lineHeight(plain));
    const qreal labelWidth = QFontMetricsF(bold, &m_writer).horizontalAdvance(label);
    drawText(rect(x, y, 555, h), label, bold, Qt::AlignLeft, Qt::black);
    drawText(rect(x + labelWidth, y, 555 - labelWidth, h), value, plain, Qt::AlignLeft, Qt::black);
    return h;
}

void ReportDrawing::table()
{
    const qreal headerHeight = measure(QStringLiteral("Scan Path")) + kRowPadding;
    m_y = int(m_y - headerHeight);
    printRow(true, {QStringLiteral("Scan Path"), QStringLiteral("Infection Details"), QStringLiteral("Available"),
                    QStringLiteral("Status")},
             headerHeight);
    m_tableHeight = int(headerHeight);
    const QList<AdwarePtr> threats = m_report.adwareList();
    for (const AdwarePtr &adware : threats) {
        if (!adware)
            continue;
        const QString path = adware->path();
        const qreal h = std::min(measure(path) + kRowPadding, kTallestRow);
        if (m_y - h <= kBottomLimit)
            pageBreak();
        m_y = int(m_y - h);
        m_tableHeight = int(m_tableHeight + h);
        // The status is the file test at writing time, not the stored risk.
        const QString status = Adware::fileExistsAtPath(path, m_volumeRoot) ? QStringLiteral("Not Quarantined")
                                                               : QStringLiteral("Quarantined");
        printRow(false, {path, adware->infections(), adware->risk(), status}, h);
    }
    frameAndPageNumber();
}

void ReportDrawing::printRow(bool isHeader, const Row &data, qreal height)
{
    const QFont font = isHeader ? titleBarFont(kSystemFontSize) : systemFont();
    drawWrapped(rect(50, m_y - (isHeader ? 7 : 8), kFirstColumnWidth, height), data.url, font);
    if (isHeader)
        m_painter.fillRect(rect(40, m_y, 515, height), QColor::fromRgbF(0.2f, 0.2f, 0.2f, 0.1f));
    drawTruncated(rect(260, m_y - 8, 115, height), data.infection, font);
    drawTruncated(rect(380, m_y - 8, 65, height), data.available, font);
    drawTruncated(rect(450, m_y - 8, 100, height), data.status, font);
}

qreal ReportDrawing::measure(const QString &text) const
{
    if (text.isEmpty()) {
        Log::line(QStringLiteral("empty"));
        return 0;
    }
    QTextLayout layout(text, titleBarFont(kSystemFontSize), &m_writer);
    layout.setTextOption(wrapOption());
    layout.beginLayout();
    qreal used = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(kFirstColumnWidth);
        if (used + line.height() > kMeasureBoxHeight)
            break;
        used += line.height();
    }
    layout.endLayout();
    return used;
}

void ReportDrawing::pageBreak()
{
    frameAndPageNumber();
    ++m_pageNumber;
    m_writer.newPage();
    m_y = kNextPageTop;
    m_tableHeight = 0;
}

void ReportDrawing::frameAndPageNumber()
{
    m_painter.save();
    m_painter.setPen(QPen(kDarkGray, 1));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(rect(40, m_y, 515, m_tableHeight));
    m_painter.restore();
    const QFont font = titleBarFont(8);
    const QString number = QString::number(m_pageNumber);
    drawText(rect(475, 8, 100, lineHeight(font)), number, font, Qt::AlignRight, kDarkGray);
}

void ReportDrawing::drawText(const QRectF &area, const QString &text, const QFont &font, Qt::Alignment alignment,
                             const QColor &colour)
{
    m_painter.save();
    m_painter.setFont(font);
    m_painter.setPen(colour);
    m_painter.drawText(area, int(alignment | Qt::AlignTop | Qt::TextSingleLine), text);
    m_painter.restore();
}

void ReportDrawing::drawWrapped(const QRectF &area, const QString &text, const QFont &font)
{
    QTextLayout layout(text, font, &m_writer);
    layout.setTextOption(wrapOption());
    layout.beginLayout();
    qreal used = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        line.setPosition(QPointF(0, used));
        used += line.height();
    }
    layout.endLayout();
    m_painter.save();
    m_painter.setPen(Qt::black);
    m_painter.setClipRect(area);
    layout.draw(&m_painter, area.topLeft());
    m_painter.restore();
}

void ReportDrawing::drawTruncated(const QRectF &area, const QString &text, const QFont &font)
{
    const QString shown = QFontMetricsF(font, &m_writer).elidedText(text, Qt::ElideMiddle, area.width());
    drawText(area, shown, font, Qt::AlignLeft, Qt::black);
}

qreal ReportDrawing::lineHeight(const QFont &font) const
{
    return QFontMetricsF(font, &m_writer).height();
}
