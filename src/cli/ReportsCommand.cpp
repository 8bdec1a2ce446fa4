#include "cli/CliContext.h"
#include "cli/Commands.h"
#include "cli/TerminalText.h"
#include "platform/MachineFacts.h"
#include "platform/ScriptedAlerts.h"
#include "reports/PDFGenerate.h"
#include "reports/ReportJson.h"
#include "reports/Reports.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>

namespace {

const QString kUsage = QStringLiteral("usage: reports list [--json] | reports show ID [--json] | reports pdf ID FILE | "
                                      "reports delete ID");

// The stored report with that identifier; prints the error when there is none.
ReportPtr findReport(CliContext &context, const Reports &reports, const QString &reportId)
{
    const ReportPtr report = reports.reportWithId(reportId);
    if (!report)
        context.fail(QStringLiteral("no stored report has the id '%1' (see 'sweepling-cli reports list')").arg(reportId));
    return report;
}

QString threatCount(quint64 count)
{
    return QStringLiteral("%1 threat%2").arg(count).arg(count == 1 ? "" : "s");
}

int listReports(CliContext &context, Reports &reports, bool json)
{
    reports.reloadReportDates();
    if (json) {
        context.out() << QJsonDocument(ReportJson::summaryArray(reports.reportList())).toJson(QJsonDocument::Indented);
        return 0;
    }
    if (reports.reportList().isEmpty())
        context.out() << "No reports stored.\n";
    for (const ReportPtr &report : reports.reportList()) {
        context.out() << TerminalText::escaped(report->reportId()) << "  "
                      << TerminalText::escaped(report->reportType()) << "  " << ReportJson::isoDate(report->scanDate())
                      << " (" << report->reportDateDisplay() << ")  " << threatCount(report->adwareCount()) << "  "
                      << TerminalText::escaped(report->scanDuration().trimmed()) << '\n';
    }
    return 0;
}

int showReport(CliContext &context, const ReportPtr &report, bool json)
{
    for (const AdwarePtr &adware : std::as_const(report->adwareList()))
        adware->recheckPresence(context.platform().volume().root());
    if (json) {
        context.out() << QJsonDocument(ReportJson::reportObject(*report)).toJson(QJsonDocument::Indented);
        return 0;
    }
    context.out() << "Report    " << TerminalText::escaped(report->reportId()) << '\n'
                  << "Type      " << TerminalText::escaped(report->reportType()) << '\n'
                  << "Date      " << ReportJson::isoDate(report->scanDate()) << " (" << report->reportDateDisplay()
                  << ")\n"
                  << "Duration  " << TerminalText::escaped(report->scanDuration().trimmed()) << '\n'
                  << "Found     " << threatCount(report->adwareCount()) << '\n';
    for (const AdwarePtr &adware : std::as_const(report->adwareList())) {
        context.out() << (adware->isAvail() ? "  present  " : "  gone     ") << TerminalText::escaped(adware->path())
                      << "  [" << TerminalText::escaped(adware->infections()) << "]\n";
    }
    return 0;
}

int writePdf(CliContext &context, const ReportPtr &report, const QString &file)
{
    if (file.isEmpty())
        return context.fail(QStringLiteral("reports pdf needs a file name, and the one given is empty"));
    const QFileInfo target(file);
    if (!target.absoluteDir().exists())
        return context.fail(QStringLiteral("the folder of '%1' does not exist").arg(file));
    if (target.isDir())
        return context.fail(QStringLiteral("'%1' is a folder").arg(file));
    const MachineFacts facts = MachineFacts::read(context.platform().volume().loginName());
    QString error;
    if (!PDFGenerate::createPDF(target.absoluteFilePath(), *report, facts, &error, context.platform().volume().root()))
        return context.fail(QStringLiteral("could not write the PDF report: %1").arg(error));
    context.out() << "Wrote " << TerminalText::escaped(target.absoluteFilePath()) << '\n';
    return 0;
}

// The command itself is the confirmation: the deletion question is answered "Yes".
int deleteReport(CliContext &context, Reports &reports, const ReportPtr &report)
{
    auto alerts = std::make_unique<ScriptedAlerts>();
    alerts->answer(QStringLiteral("Yes"));
    context.platform().setAlerts(std::move(alerts));
    const QString reportId = report->reportId();
    reports.refreshReport(report);
    reports.trashReport();
    if (!reports.storeError().isEmpty())
        return context.fail(QStringLiteral("the report '%1' was not deleted: %2").arg(reportId, reports.storeError()));
    if (reports.reportWithId(reportId))
        return context.fail(QStringLiteral("the report '%1' could not be deleted").arg(reportId));
    context.out() << "Deleted report " << TerminalText::escaped(reportId) << '\n';
    return 0;
}

} // namespace

int runReportsCommand(CliContext &context)
{
    const bool json = context.takeFlag(QStringLiteral("--json"));
    const QStringList args = context.arguments();
    const QString action = args.value(0);
    const qsizetype expected = action == QLatin1String("list")                                    ? 1
                               : action == QLatin1String("show") || action == QLatin1String("delete") ? 2
                               : action == QLatin1String("pdf")                                   ? 3
                                                                                                  : -1;
    if (expected < 0 || args.size() != expected
        || (json && action != QLatin1String("list") && action != QLatin1String("show")))
        return context.fail(kUsage);

    Reports reports(context.platform());
    if (action == QLatin1String("list"))
        return listReports(context, reports, json);
    const ReportPtr report = findReport(context, reports, args.at(1));
    if (!report)
        return 2;
    if (action == QLatin1String("show"))
        return showReport(context, report, json);
    if (action == QLatin1String("pdf"))
        return writePdf(context, report, args.at(2));
    return deleteReport(context, reports, report);
}
