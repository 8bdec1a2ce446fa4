#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Writes a home-like folder tree for the walk benchmarks: Library with its
// caches, containers and preferences, Documents, Downloads, source trees,
// dot-folders; mixed fan-out (most folders hold a few entries, a few hold
// thousands), about 8% hidden files, about 1% symbolic links (to a parent,
// outside the tree, dangling), and a few names that contain signatures.
// The same seed and size always write the same tree. Files are empty.
class HomeTreeGenerator
{
public:
    struct Summary
    {
        qint64 entries = 0; // everything below the root
        qint64 folders = 0;
        qint64 files = 0;
        qint64 hiddenFiles = 0;
        qint64 links = 0;
        qint64 plantedHits = 0; // entries named after a signature
        int deepest = 0;
    };

    // A list shaped like the full-system signature list: product names,
    // bundle and plist names, and folder paths under Library.
    static QStringList signatures(int count = 292);

    // Writes about entries entries below root (which must exist and be empty).
    static Summary write(const QString &root, qint64 entries, const QStringList &signatures, quint32 seed = 1);
    // Removes everything below root through directory descriptors.
    static void removeContents(const QString &root);
};
