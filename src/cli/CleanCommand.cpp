#include "cli/CliContext.h"
#include "cli/Commands.h"

int runCleanCommand(CliContext &context)
{
    return context.fail(QStringLiteral("'clean' is not available in this build"));
}
