#include "reports/PdfText.h"

#include <QProcess>
#include <QXmlStreamReader>

namespace {
QByteArray runTool(const QString &tool, const QStringList &arguments, QString *error)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = QStringLiteral("%1 failed: %2").arg(tool, QString::fromUtf8(process.readAllStandardError()));
        return {};
    }
    return process.readAllStandardOutput();
}
} // namespace

PdfText PdfText::read(const QString &pdfPath)
{
    PdfText text;
    const QByteArray info = runTool(QStringLiteral("pdfinfo"), {pdfPath}, &text.error);
    for (const QByteArray &line : info.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            text.info.insert(QString::fromUtf8(line.left(colon)), QString::fromUtf8(line.mid(colon + 1)).trimmed());
    }
    QXmlStreamReader xml(runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdfPath, QStringLiteral("-")},
                                 &text.error));
    int page = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page")) {
            ++page;
        } else if (xml.name() == QLatin1String("word")) {
            const auto attributes = xml.attributes();
            Word word;
            word.page = page;
            word.xMin = attributes.value(QLatin1String("xMin")).toDouble();
            word.yMin = attributes.value(QLatin1String("yMin")).toDouble();
            word.xMax = attributes.value(QLatin1String("xMax")).toDouble();
            word.yMax = attributes.value(QLatin1String("yMax")).toDouble();
            word.text = xml.readElementText();
            text.words.append(word);
        }
    }
    return text;
}

QList<PdfText::Word> PdfText::onPage(int page) const
{
    QList<Word> list;
    for (const Word &word : words) {
        if (word.page == page)
            list.append(word);
    }
    return list;
}

PdfText::Word PdfText::find(const QString &text, int page) const
{
    const QList<Word> found = all(text, page);
    return found.isEmpty() ? Word{} : found.first();
}

QList<PdfText::Word> PdfText::all(const QString &text, int page) const
{
    QList<Word> list;
    for (const Word &word : words) {
        if (word.text == text && (page == 0 || word.page == page))
            list.append(word);
    }
    return list;
}
