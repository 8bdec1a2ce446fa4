#include "cli/CliContext.h"
#include "cli/Commands.h"
#include "cli/SampleVolume.h"

#include <QDir>
#include <QFileInfo>

int runSampleVolumeCommand(CliContext &context)
{
    const QString user = context.takeOption(QStringLiteral("--user")).value_or(QStringLiteral("demo"));
    const QStringList args = context.arguments();
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--")))
        return context.fail(QStringLiteral("usage: sample-volume DIR [--user NAME]"));
    const QString root = QFileInfo(args.first()).absoluteFilePath();
    if (QFileInfo(root).exists() && !QDir(root).isEmpty())
        return context.fail(QStringLiteral("%1 exists and is not empty; choose a new folder").arg(root));
    QString error;
    if (!SampleVolume(Volume(root, user)).write(&error))
        return context.fail(error);
    context.out() << "Sample volume written to " << root << " (user " << user << ")\n"
                  << "Scan it with: sweepling-cli --root " << root << " --user " << user << " scan quick\n";
    return 0;
}
