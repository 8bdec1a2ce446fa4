#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Finds the line of an INI file that QSettings cannot parse, so that a damaged
// preferences file can be named with its line. QSettings only says that the
// file has a format error; it accepts the same lines as this check: blank
// lines, comments (";" first), section headers ("[" with a closing "]" on the
// same logical line) and "key=value" lines, where quotes and backslashes may
// carry a value over line ends.
class IniSyntaxCheck
{
public:
    struct Fault
    {
        int line = 0;   // 1-based line number in the file
        QString text;   // that line, shortened
    };

    // The first line that does not parse, or nothing when every line does.
    static std::optional<Fault> firstFault(const QByteArray &data);
};
