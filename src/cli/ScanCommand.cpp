#include "app/AccessController.h"
#include "app/StandardScanPhases.h"
#include "cli/CliContext.h"
#include "cli/CliProgress.h"
#include "cli/Commands.h"
#include "cli/ScanOutput.h"
#include "scan/ScanDriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>

#include <unistd.h>

namespace {

struct ScanRequest
{
    qint64 type = ScanState::QuickScan;
    QString customFolder;
    bool json = false;
    bool paced = false;
    bool wholeDisk = false;
};

std::optional<ScanRequest> parse(CliContext &context, QString *error)
{
    ScanRequest request;
    request.json = context.takeFlag(QStringLiteral("--json"));
    request.paced = context.takeFlag(QStringLiteral("--paced"));
    request.wholeDisk = context.takeFlag(QStringLiteral("--whole-disk"));
    const QStringList args = context.arguments();
    const QString kind = args.value(0);
    if (kind == QLatin1String("quick") && args.size() == 1) {
        request.type = ScanState::QuickScan;
    } else if (kind == QLatin1String("full") && args.size() == 1) {
        request.type = ScanState::FullSystemScan;
    } else if (kind == QLatin1String("custom") && args.size() == 2) {
        request.type = ScanState::CustomScan;
        // A link is followed here, once; the scan resolves it to its target.
        const QFileInfo folder(args.at(1));
        if (!folder.exists()) {
            *error = QStringLiteral("'%1' does not exist").arg(args.at(1));
            return std::nullopt;
        }
        if (!folder.isDir()) {
            *error = QStringLiteral("'%1' is not a folder").arg(args.at(1));
            return std::nullopt;
        }
        request.customFolder = QDir::cleanPath(folder.absoluteFilePath());
    } else {
        *error = QStringLiteral("usage: scan quick [--json] [--paced] | scan full [--whole-disk] [--json] | "
                                "scan custom FOLDER [--json]");
        return std::nullopt;
    }
    if (request.wholeDisk && request.type != ScanState::FullSystemScan) {
        *error = QStringLiteral("--whole-disk goes with 'scan full'");
        return std::nullopt;
    }
    return request;
}

} // namespace

int runScanCommand(CliContext &context)
{
    QString error;
    const auto request = parse(context, &error);
    if (!request)
        return context.fail(error);
    Platform &platform = context.platform();
    if (const std::optional<QString> problem = context.homeFolderProblem())
        return context.fail(*problem);

    AccessController access(platform);
    ScanDriver driver(platform, access, StandardScanPhases::standard());
    driver.setFullSystemScanPaths(StandardScanPhases::fullSyatemScanPath(platform.volume().loginName()));
    driver.setWholeDiskAccess(request->wholeDisk);
    driver.setPaced(request->paced);
    driver.setScanType(request->type);
    if (request->type == ScanState::CustomScan)
        driver.setCustomScanDirectory(request->customFolder);
    ScanOutput output(platform);
    QObject::connect(&driver, &ScanDriver::reportMade, &driver,
                     [&output](const ReportPtr &report) { output.store(report); });

    std::unique_ptr<CliProgress> progress;
    if (!request->json && isatty(STDOUT_FILENO))
        progress = std::make_unique<CliProgress>(platform.notifications(), driver, stdout);

    int status = 2;
    QObject::connect(&driver, &ScanDriver::scanFinished, &driver, [&](const ReportPtr &report) {
        if (progress)
            progress->finish();
        // Nothing was read: not a clean result, and no report was made.
        if (!driver.unreadableRoot().isEmpty()) {
            status = context.fail(QStringLiteral("nothing was scanned: cannot read %1 (%2)")
                                      .arg(driver.unreadableRoot(), driver.unreadableRootReason()));
            QCoreApplication::exit(status);
            return;
        }
        if (request->json)
            context.out() << QJsonDocument(output.json(report, driver)).toJson(QJsonDocument::Indented);
        else
            context.out() << output.summary(report, driver);
        context.out().flush();
        status = driver.arrAdwareList().isEmpty() ? 0 : 1;
        if (report && !output.storeError().isEmpty())
            status = context.fail(QStringLiteral("the report %1 was not stored: %2").arg(report->reportId(), output.storeError()));
        QCoreApplication::exit(status);
    });
    QObject::connect(&driver, &ScanDriver::scanCancelled, &driver, [] { QCoreApplication::exit(2); });
    QMetaObject::invokeMethod(&driver, [&driver] { driver.adwareScanStart(); }, Qt::QueuedConnection);
    const int code = QCoreApplication::exec();
    return code == status ? status : code;
}
