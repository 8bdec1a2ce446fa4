#include "cli/CliContext.h"
#include "cli/Commands.h"

int runReportsCommand(CliContext &context)
{
    return context.fail(QStringLiteral("'reports' is not available in this build"));
}
