#include "platform/IniSyntaxCheck.h"

namespace {

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || isLineEnd(c);
}

// The end of the logical line that starts at start; tells whether it holds
// an "=" outside quotes.
qsizetype logicalLineEnd(const QByteArray &data, qsizetype start, bool *hasEquals)
{
    bool inQuotes = false;
    *hasEquals = false;
    qsizetype at = start;
    while (at < data.size()) {
        const char c = data.at(at);
        if (!inQuotes && (isLineEnd(c) || (c == ';' && at > start)))
            return at;
        if (c == '=' && !inQuotes) {
            *hasEquals = true;
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == '\\' && at + 1 < data.size()) {
            // An escaped character, or a line carried over ("\" CR LF counts once).
            ++at;
            const char next = data.at(at);
            if (at + 1 < data.size() && isLineEnd(next) && isLineEnd(data.at(at + 1)) && data.at(at + 1) != next)
                ++at;
        }
        ++at;
    }
    return at;
}

} // namespace

std::optional<IniSyntaxCheck::Fault> IniSyntaxCheck::firstFault(const QByteArray &data)
{
    // No byte-order mark is skipped: QSettings (Qt 6) does not accept one either.
    qsizetype at = 0;
    while (at < data.size()) {
        while (at < data.size() && isSpace(data.at(at)))
            ++at;
        if (at >= data.size())
            break;
        if (data.at(at) == ';') {
            while (at < data.size() && !isLineEnd(data.at(at)))
                ++at;
            continue;
        }
        bool hasEquals = false;
        const qsizetype end = logicalLineEnd(data, at, &hasEquals);
        const QByteArray line = data.mid(at, end - at);
        const bool fine = line.startsWith('[') ? line.contains(']') : hasEquals;
        if (!fine) {
            Fault fault;
            fault.line = int(data.left(at).count('\n')) + 1;
            QByteArray shown = line.left(line.indexOf('\n') < 0 ? line.size() : line.indexOf('\n')).trimmed();
            if (shown.size() > 60)
                shown = shown.left(57) + "...";
            fault.text = QString::fromUtf8(shown);
            return fault;
        }
        at = end;
    }
    return std::nullopt;
}
