#pragma once

#include <QByteArrayView>
#include <QString>

// Checks the shape of a property list before libplist parses it. The parser
// (and the conversion to QVariant) recurses once per nesting level, and its
// binary reader copies an object each time it is referenced, so a small
// hostile file (100,000 nested arrays; a chain of arrays that each refer to
// the next one twice; an array that contains itself) would overflow the
// stack or expand to billions of nodes. The check reads the structure
// without recursion: a binary list's object graph through its offset table,
// an XML list's element nesting. Real property lists (an Info.plist, a
// launch agent) are a few levels deep and a few thousand objects large.
class PropertyListShape
{
public:
    static constexpr int kMaxDepth = 512;
    static constexpr qint64 kMaxObjects = 1'000'000;

    // Empty when the bytes may go to the parser, otherwise why they may not.
    static QString refusal(QByteArrayView bytes);

private:
    static QString binaryRefusal(QByteArrayView bytes);
    static QString xmlRefusal(QByteArrayView bytes);
};
