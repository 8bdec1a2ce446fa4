#include "reports/PdfDocumentInfo.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>

namespace {
bool failWith(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

qint64 lastNumberAfter(const QByteArray &data, const QByteArray &keyword, qsizetype from)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d+)"));
    const QRegularExpressionMatch match = number.match(QString::fromLatin1(data.mid(from + keyword.size(), 40)));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}
} // namespace

QByteArray PdfDocumentInfo::pdfString(const QString &text)
{
    bool plain = true;
    for (const QChar c : text)
        plain = plain && c.unicode() >= 0x20 && c.unicode() < 0x7f;
    if (!plain) {
        QByteArray hex("<FEFF");
        for (const QChar c : text)
            hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
        return hex + '>';
    }
    QByteArray literal("(");
    for (const char c : text.toLatin1()) {
        if (c == '(' || c == ')' || c == '\\')
            literal += '\\';
        literal += c;
    }
    return literal + ')';
}

bool PdfDocumentInfo::append(const QString &path, const Entries &entries, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return failWith(error, QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    const QByteArray data = file.readAll();
    const qsizetype startxref = data.lastIndexOf("startxref");
    const qsizetype trailer = data.lastIndexOf("trailer", startxref);
    if (startxref < 0 || trailer < 0)
        return failWith(error, QStringLiteral("%1 has no cross-reference trailer").arg(path));
    const QByteArray trailerText = data.mid(trailer, startxref - trailer);
    const qint64 previous = lastNumberAfter(data, "startxref", startxref);
    const qint64 size = lastNumberAfter(trailerText, "/Size", trailerText.indexOf("/Size"));
    static const QRegularExpression rootPattern(QStringLiteral("/Root\\s+(\\d+\\s+\\d+\\s+R)"));
    const QRegularExpressionMatch root = rootPattern.match(QString::fromLatin1(trailerText));
    if (previous < 0 || size <= 0 || !root.hasMatch())
        return failWith(error, QStringLiteral("%1 has a trailer this writer does not understand").arg(path));

    QByteArray update("\n");
    const qint64 objectOffset = data.size() + update.size();
    update += QByteArray::number(size) + " 0 obj\n<<\n";
    for (const auto &[key, value] : entries)
        update += '/' + key + ' ' + pdfString(value) + '\n';
    update += "/ModDate " + pdfString(QDateTime::currentDateTimeUtc().toString(QStringLiteral("'D:'yyyyMMddHHmmss'Z'")))
              + "\n>>\nendobj\n";
    const qint64 xrefOffset = data.size() + update.size();
    update += "xref\n" + QByteArray::number(size) + " 1\n" + QByteArray::number(objectOffset).rightJustified(10, '0')
              + " 00000 n \ntrailer\n<<\n/Size " + QByteArray::number(size + 1) + "\n/Root "
              + root.captured(1).toLatin1() + "\n/Info " + QByteArray::number(size) + " 0 R\n/Prev "
              + QByteArray::number(previous) + "\n>>\nstartxref\n" + QByteArray::number(xrefOffset) + "\n%%EOF\n";
    if (!file.seek(data.size()) || file.write(update) != update.size())
        return failWith(error, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return true;
}
