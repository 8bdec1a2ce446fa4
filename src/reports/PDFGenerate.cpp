#include "reports/PDFGenerate.h"

#include "platform/Log.h"
#include "platform/MachineFacts.h"
#include "platform/Volume.h"
#include "reports/PdfDocumentInfo.h"
#include "reports/ReportDrawing.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kTitle = QStringLiteral("Adware Report");
const QString kMaker = QStringLiteral("Quorvane");

// The replaced document's owner, when this process may give it, then its
// mode (a change of owner may clear some mode bits).
void keepModeAndOwner(const QString &path, const struct stat &earlier)
{
    const auto warn = [&path] {
        Log::warning(QStringLiteral("Cannot keep the mode of %1: %2")
                         .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    };
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat now{};
    if (fd < 0 || ::fstat(fd, &now) != 0) {
        warn();
        if (fd >= 0)
            ::close(fd);
        return;
    }
    if ((now.st_uid != earlier.st_uid || now.st_gid != earlier.st_gid)
        && ::fchown(fd, earlier.st_uid, earlier.st_gid) != 0)
        Log::line(QStringLiteral("Cannot keep the owner of %1").arg(path));
    if (::fchmod(fd, earlier.st_mode & 07777) != 0)
        warn();
    ::close(fd);
}
} // namespace

QString PDFGenerate::applicationCacheDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

QString PDFGenerate::createPDFFileFor(const ReportPtr &report, const Volume &volume)
{
    if (!report)
        return {};
    const QString folder = applicationCacheDirectory();
    if (!QDir().mkpath(folder)) {
        Log::warning(QStringLiteral("Cannot make the caches folder %1").arg(folder));
        return {};
    }
    const QString path = folder + QLatin1Char('/') + fileName();
    return createPDF(path, *report, MachineFacts::read(volume.loginName()), nullptr, volume.root()) ? path : QString();
}

bool PDFGenerate::createPDF(const QString &path, const AdwareScanReport &report, const MachineFacts &facts,
                            QString *error, const QString &volumeRoot)
{
    const auto fail = [&](const QString &reason) {
        Log::warning(QStringLiteral("Cannot write the PDF report: %1").arg(reason));
        if (error)
            *error = reason;
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("no file name was given"));
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return fail(QStringLiteral("%1: drawing needs the graphical application").arg(path));
    std::optional<struct stat> earlier;
    if (struct stat st{}; ::lstat(QFile::encodeName(path).constData(), &st) == 0) {
        if (S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR))
            return fail(QStringLiteral("%1 is read-only").arg(path));
        if (S_ISREG(st.st_mode))
            earlier = st;
        else if (!S_ISLNK(st.st_mode))
            return fail(QStringLiteral("%1 is not a regular file").arg(path));
        else if (!QFile::remove(path))
            return fail(QStringLiteral("cannot replace the link %1").arg(path));
    }
    // Drawn beside the target and renamed over it: a failed drawing leaves
    // the earlier document as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setResolution(72);
        writer.setPageSize(QPageSize(QSizeF(kPageWidth, kPageHeight), QPageSize::Point, QStringLiteral("A4"),
                                     QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(kTitle);
        writer.setCreator(kMaker);
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(QStringLiteral("%1: the document could not be started").arg(path));
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::Antialiasing);
        ReportDrawing drawing(writer, painter, report, facts, volumeRoot);
        drawing.draw();
        painter.end();
    }
    if (!file.commit())
        return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    QString infoError;
    if (!PdfDocumentInfo::append(path, {{"Title", kTitle}, {"Subject", kTitle}, {"Author", kMaker},
                                        {"Creator", kMaker}, {"Producer", QStringLiteral("Qt " QT_VERSION_STR)}},
                                 &infoError))
        Log::warning(QStringLiteral("The PDF report has no document information: %1").arg(infoError));
    if (earlier)
        keepModeAndOwner(path, *earlier);
    return true;
}

QString PDFGenerate::machineModel()
{
    return MachineFacts::read(QString()).model;
}

QString PDFGenerate::serialNumber()
{
    return MachineFacts::read(QString()).serialNumber;
}
