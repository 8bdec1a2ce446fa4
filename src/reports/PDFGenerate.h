#pragma once

#include "scan/AdwareScanReport.h"

#include <QString>

struct MachineFacts;
class Volume;

// Writes a scan report as an A4 PDF document: a title block, eight facts
// about the machine and the scan, and a table of the threats (path,
// infection, risk, and whether the item is still on disk) continued over as
// many framed and numbered pages as needed. Each document is drawn with its
// own state, so documents may be written one after another from any
// caller; drawing needs the application's QGuiApplication (fonts).
class PDFGenerate
{
public:
    static constexpr int kPageWidth = 595;
    static constexpr int kPageHeight = 842;

    static QString fileName() { return QStringLiteral("Report.PDF"); }

    // createPDFFileFor: writes "Report.PDF" in the caches folder, replacing
    // any earlier one, and answers its path (empty when it could not be written).
    static QString createPDFFileFor(const ReportPtr &report, const Volume &volume);
    // The user's caches folder: "~/Library/Caches" of the volume's user on a
    // Mac volume, this host user's cache folder otherwise.
    static QString applicationCacheDirectory(const Volume &volume);
    // createPDF: writes the whole document at path; false (logged) on failure.
    static bool createPDF(const QString &path, const AdwareScanReport &report, const MachineFacts &facts);

    static QString machineModel();
    static QString serialNumber();
};
