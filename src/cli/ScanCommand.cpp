#include "cli/CliContext.h"
#include "cli/Commands.h"

int runScanCommand(CliContext &context)
{
    return context.fail(QStringLiteral("'scan' is not available in this build"));
}
