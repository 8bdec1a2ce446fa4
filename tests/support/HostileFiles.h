#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <gtest/gtest.h>

#include <chrono>
#include <future>

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
    // Runs read, which reads the FIFO, on another thread. A read still
    // waiting after a minute fails the test, and a writer that opens and
    // closes the FIFO ends its wait, so a regression cannot hang the suite.
    template<typename Read>
    static auto readGuarded(const QString &fifo, Read read) -> decltype(read())
    {
        auto reading = std::async(std::launch::async, read);
        if (reading.wait_for(std::chrono::minutes(1)) != std::future_status::ready) {
            ADD_FAILURE() << "reading the FIFO " << fifo.toStdString() << " blocked";
            releaseFifo(fifo);
        }
        return reading.get();
    }
    static void releaseFifo(const QString &fifo);
    // A file of that size that takes no room on disk.
    static bool makeSparse(const QString &path, qint64 size);
    // The peak memory of this process so far.
    static long maxResidentKiB();
    // A file named by raw bytes in folder (host path); answers its path bytes.
    static QByteArray fileWithRawName(const QString &folder, const QByteArray &name,
                                      const QByteArray &contents = QByteArrayLiteral("x"));
};
