#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Files a hostile volume can hold, for the tests that check the engine
// survives them: property lists built to break a recursive parser, FIFOs,
// names that are not UTF-8.
class HostileFiles
{
public:
    // A binary property list whose objects are all arrays; object i holds
    // references to the objects listed in children[i]; object 0 is the top.
    static QByteArray binaryArrays(const QList<QList<int>> &children);
    // Arrays nested depth levels deep (100,000 levels: about 900 kB).
    static QByteArray nestedBinary(int depth);
    // The same as XML.
    static QByteArray nestedXml(int depth);
    // An array that contains itself through a second one.
    static QByteArray cyclicBinary();
    // levels arrays, each holding the next one twice: 2^levels objects
    // once every reference is copied.
    static QByteArray sharedBinary(int levels);

    // A FIFO at path (host path); false when the system refuses one.
    static bool makeFifo(const QString &path);
    // A file named by raw bytes in folder (host path); answers its path bytes.
    static QByteArray fileWithRawName(const QString &folder, const QByteArray &name,
                                      const QByteArray &contents = QByteArrayLiteral("x"));
};
