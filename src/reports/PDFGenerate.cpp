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
#include <QStandardPaths>

namespace {
const QString kTitle = QStringLiteral("Adware Report");
const QString kMaker = QStringLiteral("Quorvane");
} // namespace

QString PDFGenerate::applicationCacheDirectory(const Volume &volume)
{
    if (!volume.isSystemRoot() || QFileInfo(volume.homeFolder()).isDir())
        return volume.home(QStringLiteral("/Library/Caches"));
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

QString PDFGenerate::createPDFFileFor(const ReportPtr &report, const Volume &volume)
{
    if (!report)
        return {};
    const QString folder = applicationCacheDirectory(volume);
    if (!QDir().mkpath(folder)) {
        Log::warning(QStringLiteral("Cannot make the caches folder %1").arg(folder));
        return {};
    }
    const QString path = folder + QLatin1Char('/') + fileName();
    return createPDF(path, *report, MachineFacts::read(volume.loginName())) ? path : QString();
}

bool PDFGenerate::createPDF(const QString &path, const AdwareScanReport &report, const MachineFacts &facts)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        Log::warning(QStringLiteral("Cannot write %1: drawing needs the graphical application").arg(path));
        return false;
    }
    // Replaces an earlier document (a link at the path is removed, not followed).
    if (Adware::fileExistsAtPath(path) && !QFile::remove(path)) {
        Log::warning(QStringLiteral("Cannot replace %1").arg(path));
        return false;
    }
    {
        QPdfWriter writer(path);
        writer.setResolution(72);
        writer.setPageSize(QPageSize(QSizeF(kPageWidth, kPageHeight), QPageSize::Point, QStringLiteral("A4"),
                                     QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(kTitle);
        writer.setCreator(kMaker);
        QPainter painter;
        if (!painter.begin(&writer)) {
            Log::warning(QStringLiteral("Cannot write the PDF report %1").arg(path));
            return false;
        }
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::Antialiasing);
        ReportDrawing drawing(writer, painter, report, facts);
        drawing.draw();
        painter.end();
    }
    QString error;
    if (!PdfDocumentInfo::append(path, {{"Title", kTitle}, {"Subject", kTitle}, {"Author", kMaker},
                                        {"Creator", kMaker}, {"Producer", QStringLiteral("Qt " QT_VERSION_STR)}},
                                 &error))
        Log::warning(QStringLiteral("The PDF report has no document information: %1").arg(error));
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
