#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The one way the engine reads a file of the scanned volume (property lists,
// JSON manifests, browser state). A hostile volume can put anything at those
// paths, so the file is opened without following a link in its last
// component and without blocking (a FIFO never stalls the open), must be a
// regular file (no FIFO, device or socket), and is read only up to a cap
// suited to its format: the size is checked before any byte is read, and at
// most cap + 1 bytes are ever read, so a file that grows or lies about its
// size cannot cost more. A refusal gets one log line naming the file and why;
// a missing file is an ordinary empty answer and logs nothing.
class BoundedFile
{
public:
    // Caps by format. Real files are far smaller.
    static constexpr qint64 kPropertyListBytes = 8 * 1024 * 1024;
    static constexpr qint64 kManifestBytes = 4 * 1024 * 1024;
    static constexpr qint64 kBrowserStateBytes = 64 * 1024 * 1024;

    static std::optional<QByteArray> read(const QString &path, qint64 maxBytes);
};
