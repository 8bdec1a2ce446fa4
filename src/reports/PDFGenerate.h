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
    // any earlier one, and answers its path (empty when it could not be
    // written). The volume gives the user the report's facts are about.
    static QString createPDFFileFor(const ReportPtr &report, const Volume &volume);
    // The caches folder of the user running the program (never one on the
    // scanned volume, which may be a backup, a disk under inspection or
    // read-only).
    static QString applicationCacheDirectory();
    // createPDF: writes the whole document at path; false (logged, and the
    // reason in *error) on failure. An existing regular file is replaced
    // with its mode and owner kept, unless it has no owner write bit (it is
    // read-only: refused); a link at the path is replaced, never followed;
    // anything else there is refused. Each threat's status is looked up
    // inside the volume at volumeRoot ("/" when empty), as removal finds it.
    static bool createPDF(const QString &path, const AdwareScanReport &report, const MachineFacts &facts,
                          QString *error = nullptr, const QString &volumeRoot = QString());

    static QString machineModel();
    static QString serialNumber();
};
