#pragma once

#include <QString>
#include <functional>
#include <vector>

class CliContext;

// The commands of sweepling-cli: a name, a one-line usage text, the
// function that runs it (answering the process exit code), and whether it
// reads or writes the preferences (it is then refused while they cannot be used).
struct CliCommand
{
    QString name;
    QString usage;
    std::function<int(CliContext &)> run;
    bool usesSettings = false;
};

class CommandTable
{
public:
    static const std::vector<CliCommand> &commands();
    static const CliCommand *find(const QString &name);
    static QString helpText();
};
