#include "app/LaunchOptions.h"
#include "cli/CliContext.h"
#include "cli/CommandTable.h"
#include "cli/TerminalText.h"
#include "platform/FileName.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <memory>

namespace {

// Engine log lines name files of the volume; they reach the terminal
// escaped like everything else the command prints.
void printLogLine(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(TerminalText::escaped(qFormatLogMessage(type, context, message))));
}

// Drawing the PDF report needs fonts, which only a QGuiApplication provides
// (on the offscreen platform unless one is named); every other command runs
// on a QCoreApplication.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv)
{
    bool reports = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (reports && arg == "pdf") {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            // Without a session (cron, ssh as root) Qt warns that it has no
            // runtime folder; give it a private one.
            if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
                const QByteArray runtime = QDir::tempPath().toLocal8Bit() + "/sweepling-runtime-" + QByteArray::number(getuid());
                if (::mkdir(runtime.constData(), 0700) == 0 || errno == EEXIST)
                    qputenv("XDG_RUNTIME_DIR", runtime);
            }
            return std::make_unique<QGuiApplication>(argc, argv);
        }
        reports = reports || arg == "reports";
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char **argv)
{
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Sweepling"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SWEEPLING_VERSION));

    QString error;
    // Arguments are paths as often as not: read them as the engine reads
    // names, so that bytes that are not UTF-8 name the same file.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(FileName::decode(argv[i]));
    auto options = LaunchOptions::parse(arguments, &error);
    if (!options) {
        std::fprintf(stderr, "sweepling-cli: %s\nTry 'sweepling-cli help'.\n",
                     qPrintable(TerminalText::escaped(error)));
        return 2;
    }
    if (options->help)
        options->rest = QStringList{QStringLiteral("help")};
    if (options->version) {
        std::printf("sweepling-cli %s\n", SWEEPLING_VERSION);
        return 0;
    }
    qInstallMessageHandler(printLogLine);
    Log::setVerbose(options->verbose || qEnvironmentVariableIntValue("SWEEPLING_LOG") != 0);
    if (options->rest.isEmpty()) {
        std::fputs(qPrintable(CommandTable::helpText()), stderr);
        return 2;
    }
    const CliCommand *command = CommandTable::find(options->rest.first());
    if (!command) {
        std::fprintf(stderr, "sweepling-cli: unknown command '%s'\nTry 'sweepling-cli help'.\n",
                     qPrintable(TerminalText::escaped(options->rest.first())));
        return 2;
    }
    // The root must be a readable folder; unset, the login name is the
    // running user's, and given, it must be a plain one.
    for (const QString &problem : {options->rootError(), options->userError()}) {
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "sweepling-cli: %s\n", qPrintable(TerminalText::escaped(problem)));
            return 2;
        }
    }
    Volume volume(options->root, options->user);
    CliContext context(std::make_unique<Platform>(volume, options->settings), options->rest.mid(1));
    // A preferences file that cannot be parsed or read is left untouched:
    // no command that would read or write it runs.
    const QString settingsError = context.platform().defaults().loadError();
    if (command->usesSettings && !settingsError.isEmpty())
        return context.fail(settingsError);
    return command->run(context);
}
