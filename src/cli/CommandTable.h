#pragma once

#include <QString>
#include <functional>
#include <vector>

class CliContext;

// The commands of sweepling-cli: a name, a one-line usage text and the
// function that runs it (answering the process exit code).
struct CliCommand
{
    QString name;
    QString usage;
    std::function<int(CliContext &)> run;
};

class CommandTable
{
public:
    static const std::vector<CliCommand> &commands();
    static const CliCommand *find(const QString &name);
    static QString helpText();
};
