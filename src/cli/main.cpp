#include "cli/CliContext.h"
#include "cli/CommandTable.h"
#include "cli/TerminalText.h"
#include "platform/FileName.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <memory>

namespace {

struct GlobalOptions
{
    QString root;
    QString user;
    QString settings;
    bool userGiven = false;
    bool verbose = false;
    bool version = false;
    QStringList rest;
};

// Reads the global options that come before the command word.
std::optional<GlobalOptions> parseGlobal(const QStringList &args, QString *error)
{
    GlobalOptions options;
    options.root = qEnvironmentVariable("SWEEPLING_ROOT");
    options.user = qEnvironmentVariable("SWEEPLING_USER");
    options.userGiven = qEnvironmentVariableIsSet("SWEEPLING_USER");
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        auto value = [&](QString *target) {
            if (i + 1 >= args.size() || args.at(i + 1).isEmpty()) {
                *error = QStringLiteral("option %1 needs a value").arg(arg);
                return false;
            }
            *target = args.at(++i);
            return true;
        };
        if (arg == QLatin1String("--root")) {
            if (!value(&options.root))
                return std::nullopt;
        } else if (arg == QLatin1String("--user")) {
            if (!value(&options.user))
                return std::nullopt;
            options.userGiven = true;
        } else if (arg == QLatin1String("--settings")) {
            if (!value(&options.settings))
                return std::nullopt;
        } else if (arg == QLatin1String("--verbose")) {
            options.verbose = true;
        } else if (arg == QLatin1String("--version")) {
            options.version = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.rest = QStringList{QStringLiteral("help")};
            return options;
        } else if (arg.startsWith(QLatin1String("--"))) {
            *error = QStringLiteral("unknown option %1").arg(arg);
            return std::nullopt;
        } else {
            options.rest = args.mid(i);
            return options;
        }
    }
    return options;
}

// A login name names one folder under "/Users": nothing that could climb out
// of it or name another ("/", ".."), and nothing a terminal would act on.
bool isPlainLoginName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name.contains(QLatin1Char('/'))
        || name.contains(QLatin1String("..")))
        return false;
    return std::none_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f) || c.isSurrogate();
    });
}

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
    const auto options = parseGlobal(arguments, &error);
    if (!options) {
        std::fprintf(stderr, "sweepling-cli: %s\nTry 'sweepling-cli help'.\n",
                     qPrintable(TerminalText::escaped(error)));
        return 2;
    }
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
    if (!options->root.isEmpty()) {
        const QFileInfo root(options->root);
        if (!root.isDir() || !root.isReadable()) {
            std::fprintf(stderr, "sweepling-cli: the volume root '%s' is not a readable folder\n",
                         qPrintable(TerminalText::escaped(options->root)));
            return 2;
        }
    }
    // Unset, the login name is the running user's; given, it must be a plain one.
    if (options->userGiven && !isPlainLoginName(options->user)) {
        std::fprintf(stderr, "sweepling-cli: '%s' is not a login name (--user or SWEEPLING_USER)\n",
                     qPrintable(TerminalText::escaped(options->user)));
        return 2;
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
