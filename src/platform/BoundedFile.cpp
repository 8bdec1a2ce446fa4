#include "platform/BoundedFile.h"

#include "platform/FileName.h"
#include "platform/Log.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

QString kindName(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a regular file");
}

void refuse(const QString &path, const QString &why)
{
    Log::warning(QStringLiteral("Not read %1: %2").arg(path, why));
}

} // namespace

std::optional<QByteArray> BoundedFile::read(const QString &path, qint64 maxBytes)
{
    if (path.isEmpty() || maxBytes < 0)
        return std::nullopt;
    const QByteArray encoded = FileName::encode(path);
    const FileDescriptor file(::open(encoded.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        const int error = errno;
        if (error == ELOOP)
            refuse(path, QStringLiteral("a symbolic link"));
        else if (error != ENOENT && error != ENOTDIR)
            refuse(path, QString::fromLocal8Bit(std::strerror(error)));
        return std::nullopt;
    }
    struct stat st{};
    if (::fstat(file.get(), &st) != 0) {
        refuse(path, QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        refuse(path, kindName(st.st_mode));
        return std::nullopt;
    }
    if (st.st_size > maxBytes) {
        refuse(path, QStringLiteral("%1 bytes, more than the %2 allowed").arg(st.st_size).arg(maxBytes));
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.resize(qsizetype(st.st_size) + 1);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > maxBytes) {
                refuse(path, QStringLiteral("grew past the %1 bytes allowed").arg(maxBytes));
                return std::nullopt;
            }
            bytes.resize(std::min<qsizetype>(maxBytes + 1, filled + 65536));
        }
        const ssize_t n = ::read(file.get(), bytes.data() + filled, size_t(bytes.size() - filled));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            refuse(path, QString::fromLocal8Bit(std::strerror(errno)));
            return std::nullopt;
        }
        if (n == 0)
            break;
        filled += n;
    }
    bytes.truncate(filled);
    return bytes;
}
