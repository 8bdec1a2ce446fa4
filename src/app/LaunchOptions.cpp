#include "app/LaunchOptions.h"

#include "platform/FileName.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

std::optional<LaunchOptions> LaunchOptions::parse(const QStringList &args, QString *error)
{
    LaunchOptions options;
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
            options.help = true;
            options.rest = args.mid(i + 1);
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

QString LaunchOptions::rootError() const
{
    if (root.isEmpty())
        return QString();
    // Read as the engine reads names, so that bytes that are not UTF-8 name
    // the same folder.
    const QByteArray path = FileName::encode(root);
    struct stat st{};
    if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || ::access(path.constData(), R_OK | X_OK) != 0)
        return QStringLiteral("the volume root '%1' is not a readable folder").arg(root);
    return QString();
}

bool LaunchOptions::isPlainLoginName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name.contains(QLatin1Char('/'))
        || name.contains(QLatin1String("..")))
        return false;
    return std::none_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f) || c.isSurrogate();
    });
}

QString LaunchOptions::userError() const
{
    if (!userGiven || isPlainLoginName(user))
        return QString();
    return QStringLiteral("'%1' is not a login name (--user or SWEEPLING_USER)").arg(user);
}
