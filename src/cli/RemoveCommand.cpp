#include "cli/CliContext.h"
#include "cli/Commands.h"
#include "cli/TerminalText.h"
#include "platform/ScriptedAlerts.h"
#include "remedy/FourceQuitBrowserView.h"
#include "remedy/OutcomeDisplay.h"
#include "reports/Reports.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kUsage = QStringLiteral("usage: remove ID (--all | PATH...)");

// The row of the open report's threat at path, or -1.
int rowOfPath(const ReportPtr &report, const QString &path)
{
    const QString cleaned = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QList<AdwarePtr> &threats = report->adwareList();
    for (qsizetype row = 0; row < threats.size(); ++row) {
        if (threats.at(row)->path() == path || threats.at(row)->path() == cleaned)
            return int(row);
    }
    return -1;
}

QString browserNames(const QList<BrowserEntry> &entries)
{
    QStringList names;
    for (const BrowserEntry &entry : entries)
        names.append(entry.NameBrowser);
    return names.join(QStringLiteral(", "));
}

} // namespace

// Removes threats of a stored report the way the Reports page does: the
// present threats are re-checked, the chosen ones removed, the others left
// alone, and each threat's outcome printed. The command line is its own
// confirmation; a running browser that holds threats stops the removal.
int runRemoveCommand(CliContext &context)
{
    const bool all = context.takeFlag(QStringLiteral("--all"));
    const QStringList args = context.arguments();
    const QStringList paths = args.mid(1);
    if (args.isEmpty() || all == !paths.isEmpty())
        return context.fail(kUsage);

    Reports reports(context.platform());
    const ReportPtr report = reports.reportWithId(args.first());
    if (!report)
        return context.fail(
            QStringLiteral("no stored report has the id '%1' (see 'sweepling-cli reports list')").arg(args.first()));
    reports.refreshReport(report);
    if (!all) {
        QList<int> rows;
        for (const QString &path : paths) {
            const int row = rowOfPath(report, path);
            if (row < 0)
                return context.fail(QStringLiteral("the report has no threat at '%1'").arg(path));
            rows.append(row);
        }
        reports.checkAllAction(Qt::Unchecked);
        for (const int row : std::as_const(rows))
            reports.checkClicked(row, true);
    }

    auto alerts = std::make_unique<ScriptedAlerts>();
    alerts->answer(QStringLiteral("Yes"));
    context.platform().setAlerts(std::move(alerts));
    reports.removeSelected();
    const FourceQuitBrowserView &panel = reports.browserGuard().panel();
    if (panel.sheetShown()) {
        context.err() << "sweepling-cli: quit " << TerminalText::escaped(browserNames(panel.browserList()))
                      << " first; nothing was removed" << Qt::endl;
        return 1;
    }
    for (const AdwarePtr &adware : std::as_const(report->adwareList()))
        context.out() << OutcomeDisplay::row(*adware).status.leftJustified(9) << "  "
                      << TerminalText::escaped(adware->path()) << '\n';
    return reports.removal().unDeletedAdware().isEmpty() ? 0 : 1;
}
