#include "cli/CliContext.h"
#include "cli/Commands.h"

int runRemoveCommand(CliContext &context)
{
    return context.fail(QStringLiteral("'remove' is not available in this build"));
}
