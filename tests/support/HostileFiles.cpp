#include "support/HostileFiles.h"

#include <QFile>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void appendNumber(QByteArray &out, quint64 value, int width)
{
    for (int i = width - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

} // namespace

QByteArray HostileFiles::binaryArrays(const QList<QList<int>> &children)
{
    const int refSize = children.size() < 256 ? 1 : children.size() < 65536 ? 2 : 4;
    QByteArray out("bplist00");
    QList<quint64> offsets;
    for (const QList<int> &refs : children) {
        offsets.append(quint64(out.size()));
        if (refs.size() < 15) {
            out.append(char(0xA0 | refs.size()));
        } else {
            out.append(char(0xAF));
            out.append(char(0x12));
            appendNumber(out, quint64(refs.size()), 4);
        }
        for (int ref : refs)
            appendNumber(out, quint64(ref), refSize);
    }
    const quint64 table = quint64(out.size());
    for (quint64 offset : offsets)
        appendNumber(out, offset, 4);
    out.append(QByteArray(6, '\0'));
    out.append(char(4));
    out.append(char(refSize));
    appendNumber(out, quint64(children.size()), 8);
    appendNumber(out, 0, 8);
    appendNumber(out, table, 8);
    return out;
}

QByteArray HostileFiles::nestedBinary(int depth)
{
    QList<QList<int>> children(depth);
    for (int i = 0; i + 1 < depth; ++i)
        children[i] = {i + 1};
    return binaryArrays(children);
}

QByteArray HostileFiles::nestedXml(int depth)
{
    QByteArray out("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                   "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">");
    out.append(QByteArray("<array>").repeated(depth));
    out.append(QByteArray("</array>").repeated(depth));
    out.append("</plist>\n");
    return out;
}

QByteArray HostileFiles::cyclicBinary()
{
    return binaryArrays({{1}, {0}});
}

QByteArray HostileFiles::sharedBinary(int levels)
{
    QList<QList<int>> children(levels + 1);
    for (int i = 0; i < levels; ++i)
        children[i] = {i + 1, i + 1};
    return binaryArrays(children);
}

bool HostileFiles::makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

void HostileFiles::releaseFifo(const QString &fifo)
{
    const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer >= 0)
        ::close(writer);
}

bool HostileFiles::makeSparse(const QString &path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && ::ftruncate(file.handle(), size) == 0;
}

long HostileFiles::maxResidentKiB()
{
    struct rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QByteArray HostileFiles::fileWithRawName(const QString &folder, const QByteArray &name, const QByteArray &contents)
{
    const QByteArray path = QFile::encodeName(folder) + '/' + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        const ssize_t written = ::write(fd, contents.constData(), size_t(contents.size()));
        ::close(fd);
        if (written == contents.size())
            return path;
    }
    return {};
}
