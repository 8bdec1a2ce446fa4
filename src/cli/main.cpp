#include "cli/CliContext.h"
#include "cli/CommandTable.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
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
    const auto options = parseGlobal(app->arguments().mid(1), &error);
    if (!options) {
        std::fprintf(stderr, "sweepling-cli: %s\nTry 'sweepling-cli help'.\n", qPrintable(error));
        return 2;
    }
    if (options->version) {
        std::printf("sweepling-cli %s\n", SWEEPLING_VERSION);
        return 0;
    }
    Log::setVerbose(options->verbose || qEnvironmentVariableIntValue("SWEEPLING_LOG") != 0);
    if (options->rest.isEmpty()) {
        std::fputs(qPrintable(CommandTable::helpText()), stderr);
        return 2;
    }
    const CliCommand *command = CommandTable::find(options->rest.first());
    if (!command) {
        std::fprintf(stderr, "sweepling-cli: unknown command '%s'\nTry 'sweepling-cli help'.\n",
                     qPrintable(options->rest.first()));
        return 2;
    }
    if (!options->root.isEmpty()) {
        const QFileInfo root(options->root);
        if (!root.isDir() || !root.isReadable()) {
            std::fprintf(stderr, "sweepling-cli: the volume root '%s' is not a readable folder\n",
                         qPrintable(options->root));
            return 2;
        }
    }
    Volume volume(options->root, options->user);
    CliContext context(std::make_unique<Platform>(volume, options->settings), options->rest.mid(1));
    return command->run(context);
}
