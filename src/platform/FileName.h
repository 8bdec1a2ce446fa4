#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// File names and paths between the file system (bytes) and text, without
// loss. Valid UTF-8 reads as itself. A byte that is not part of valid UTF-8
// becomes the lone surrogate U+DC80-U+DCFF of the same low eight bits (as
// Python's "surrogateescape" does), and encoding turns such a surrogate back
// into its byte. So every name the system lists reaches removal, existence
// tests and listings as the same bytes, while a Mac's names (always UTF-8)
// read and write exactly as with QFile::encodeName/decodeName.
//
// Use these, never QFile::encodeName/decodeName, for every path of the
// scanned volume that goes to or comes from the system: Qt's own conversion
// turns such bytes into U+FFFD and can never find the file again.
class FileName
{
public:
    static QString decode(QByteArrayView bytes);
    static QByteArray encode(QStringView text);

    // Whether the text holds an escaped byte (it came from a name that is
    // not valid UTF-8, and UTF-8 text alone cannot carry it).
    static bool hasEscapedBytes(QStringView text);

    static constexpr char16_t kFirstEscape = 0xDC80;
    static constexpr char16_t kLastEscape = 0xDCFF;
};
