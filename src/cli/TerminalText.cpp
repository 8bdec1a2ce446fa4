#include "cli/TerminalText.h"

namespace {

QString hexByte(uint value)
{
    return QStringLiteral("\\x%1").arg(value & 0xff, 2, 16, QLatin1Char('0'));
}

QString codeUnit(char16_t value)
{
    return QStringLiteral("\\u%1").arg(uint(value), 4, 16, QLatin1Char('0'));
}

// Characters that move or reorder what the terminal shows.
bool isLayoutControl(char16_t c)
{
    return (c >= 0x80 && c <= 0x9f) || c == 0x061c || c == 0x200e || c == 0x200f || (c >= 0x2028 && c <= 0x202e)
           || (c >= 0x2066 && c <= 0x2069);
}

void appendControl(QString &out, char16_t c)
{
    switch (c) {
    case '\a': out += QLatin1String("\\a"); return;
    case '\b': out += QLatin1String("\\b"); return;
    case '\t': out += QLatin1String("\\t"); return;
    case '\n': out += QLatin1String("\\n"); return;
    case '\v': out += QLatin1String("\\v"); return;
    case '\f': out += QLatin1String("\\f"); return;
    case '\r': out += QLatin1String("\\r"); return;
    case 0x1b: out += QLatin1String("\\e"); return;
    default: out += hexByte(c); return;
    }
}

} // namespace

QString TerminalText::escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x20 || c == 0x7f) {
            appendControl(out, c);
        } else if (c == '\\') {
            out += QLatin1String("\\\\");
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            out += text.at(i);
            out += text.at(++i);
        } else if (c >= 0xdc80 && c <= 0xdcff) {
            out += hexByte(c);
        } else if (QChar::isSurrogate(c) || isLayoutControl(c)) {
            out += codeUnit(c);
        } else {
            out += text.at(i);
        }
    }
    return out;
}
