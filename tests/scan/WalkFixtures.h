#pragma once

#include "RecordingScanHost.h"
#include "scan/FolderStack.h"
#include "support/VolumePlace.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>

// Trees for the count and walk tests that QDir cannot make or remove: names
// with any bytes, chains of folders deeper than PATH_MAX. Also a plain
// recursive listing to compare the walk's order with, and a recording host
// that lets a test act on every post (stop the scan, change the tree).
class WalkFixtures
{
public:
    struct Entry
    {
        QByteArray path;
        bool folder = false;
    };

    // A folder or an empty file at a path given as bytes.
    static void makeFolder(const QByteArray &path);
    static void makeFile(const QByteArray &path);
    // depth nested folders called name below top, and a file called leaf in
    // the deepest one; answers the leaf's path.
    static QByteArray makeChain(const QString &top, const QByteArray &name, int depth, const QByteArray &leaf);
    // Removes a chain made by makeChain() from the bottom up, holding two
    // descriptors at a time.
    static void removeChain(const QString &top, const QByteArray &name);
    // Removes everything inside a folder, whatever bytes the names hold
    // (QDir cannot name them). Deep chains must be flattened first.
    static void removeContents(const QByteArray &folder);
    static void removeContents(int folderFd);

    // Every folder and regular file below root in the order a recursive walk
    // visits them: each folder's entries in readdir() order, a subfolder
    // entered as soon as it is reached unless enter() says no. Links are
    // neither listed nor followed; hidden files are left out on request.
    static QList<Entry> recursiveListing(const QByteArray &root, bool keepHiddenFiles,
                                         const std::function<bool(const QByteArray &)> &enter = {});

    static int openDescriptorCount();
};

// Sets how many threads read folders ahead for the counts and walks a test
// runs, and goes back to the automatic choice when it goes.
class ReadAheadThreads
{
public:
    explicit ReadAheadThreads(int threads) { FolderStack::setDefaultReadAheadThreads(threads); }
    ~ReadAheadThreads() { FolderStack::setDefaultReadAheadThreads(-1); }
    ReadAheadThreads(const ReadAheadThreads &) = delete;
    ReadAheadThreads &operator=(const ReadAheadThreads &) = delete;
};

// A RecordingScanHost that calls onPost after recording each post, on the
// posting thread.
class ObservingScanHost : public RecordingScanHost
{
public:
    using RecordingScanHost::RecordingScanHost;
    std::function<void(const QString &, const QVariant &)> onPost;
    // Off: posts are only counted (for trees whose paths are very long).
    bool keepPosts = true;
    int postCount() const { return m_postCount; }

    void post(const QString &name, const QVariant &object = QVariant()) override;
    // The objects of every "ScanningProgressURL" post, in order.
    QStringList progressURLs() const;
    // The path of every finding offered, before the existence test.
    QStringList offeredPaths() const;

    void addIfAvail(const QUrl &url, const QString &name, const QString &type, const QString &risk, qint64 size,
                    FindingSource source) override;

private:
    std::atomic<int> m_postCount{0};
    mutable QMutex m_offeredLock;
    QStringList m_offeredPaths;
};

// A test over a temporary tree and an observing host, with helpers to make
// folders and files by raw byte names below it. The tree is a volume root
// placed at the test's parameter: at a plain path, and below folders named
// with signature and product words, a leading dot and a bundle extension.
class WalkTreeTest : public ::testing::TestWithParam<VolumePlace>
{
protected:
    PlacedVolumeFolder dir{GetParam()};
    ObservingScanHost host{Volume(dir.path(), QStringLiteral("tester"))};

    void TearDown() override { WalkFixtures::removeContents(root()); }

    QByteArray root() const { return QFile::encodeName(dir.path()); }
    QString path(const QString &relative) const { return dir.filePath(relative); }
    void folder(const QByteArray &relative) { WalkFixtures::makeFolder(root() + '/' + relative); }
    void file(const QByteArray &relative) { WalkFixtures::makeFile(root() + '/' + relative); }
};
