#include "cli/CliContext.h"

#include "cli/TerminalText.h"

#include <QFileInfo>
#include <cstdio>

CliContext::CliContext(std::unique_ptr<Platform> platform, QStringList arguments)
    : m_platform(std::move(platform))
    , m_arguments(std::move(arguments))
    , m_out(stdout)
    , m_err(stderr)
{
}

bool CliContext::takeFlag(const QString &flag)
{
    return m_arguments.removeAll(flag) > 0;
}

std::optional<QString> CliContext::takeOption(const QString &name)
{
    const qsizetype at = m_arguments.indexOf(name);
    if (at < 0 || at + 1 >= m_arguments.size())
        return std::nullopt;
    const QString value = m_arguments.at(at + 1);
    m_arguments.remove(at, 2);
    return value;
}

int CliContext::fail(const QString &message)
{
    m_err << "sweepling-cli: " << TerminalText::escaped(message) << Qt::endl;
    return 2;
}

std::optional<QString> CliContext::homeFolderProblem()
{
    const QFileInfo home(m_platform->volume().homeFolder());
    QString problem;
    if (home.isSymLink())
        problem = QStringLiteral("is a symbolic link, which is never followed");
    else if (!home.exists())
        problem = QStringLiteral("does not exist");
    else if (!home.isDir())
        problem = QStringLiteral("is not a folder");
    else if (!home.isReadable())
        problem = QStringLiteral("cannot be read");
    if (problem.isEmpty())
        return std::nullopt;
    return QStringLiteral("the home folder %1 %2 (check --root and --user)").arg(home.filePath(), problem);
}
