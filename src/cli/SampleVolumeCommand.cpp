#include "cli/CliContext.h"
#include "cli/Commands.h"

int runSampleVolumeCommand(CliContext &context)
{
    return context.fail(QStringLiteral("'sample-volume' is not available in this build"));
}
