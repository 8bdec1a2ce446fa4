#include "cli/CommandTable.h"

#include "cli/CliContext.h"
#include "cli/Commands.h"

const std::vector<CliCommand> &CommandTable::commands()
{
    static const std::vector<CliCommand> table = {
        {QStringLiteral("help"), QStringLiteral("help                      this text"),
         [](CliContext &context) {
             context.out() << helpText();
             return 0;
         }},
        {QStringLiteral("scan"),
         QStringLiteral("scan quick [--json] [--paced]\n"
                        "  scan full [--whole-disk] [--json]\n"
                        "  scan custom FOLDER [--json]"),
         runScanCommand, true},
        {QStringLiteral("sample-volume"), QStringLiteral("sample-volume DIR [--user NAME]   write a harmless infected sample volume"),
         runSampleVolumeCommand},
        {QStringLiteral("reports"),
         QStringLiteral("reports list [--json] | show ID [--json] | pdf ID FILE | delete ID"), runReportsCommand,
         true},
        {QStringLiteral("remove"), QStringLiteral("remove ID (--all | PATH...)"), runRemoveCommand, true},
        {QStringLiteral("clean"), QStringLiteral("clean list [--json] | clean run ITEM... [--yes]"), runCleanCommand},
    };
    return table;
}

const CliCommand *CommandTable::find(const QString &name)
{
    for (const CliCommand &command : commands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

QString CommandTable::helpText()
{
    QString text = QStringLiteral(
        "Usage: sweepling-cli [--root DIR] [--user NAME] [--settings FILE] [--verbose] COMMAND ...\n"
        "       sweepling-cli --version\n\n"
        "Global options:\n"
        "  --root DIR       the volume to look at (default /, or SWEEPLING_ROOT)\n"
        "  --user NAME      the login name on that volume (default the current user, or SWEEPLING_USER)\n"
        "  --settings FILE  the preferences file (default SWEEPLING_SETTINGS, or the per-user file)\n"
        "  --verbose        print the engine's log lines\n\n"
        "Commands:\n");
    for (const CliCommand &command : commands())
        text += QStringLiteral("  ") + command.usage + QLatin1Char('\n');
    return text;
}
