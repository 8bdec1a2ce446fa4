#pragma once

#include "support/TestPlatform.h"

#include <QProcess>
#include <QStringList>

// What one run of a program printed, and its exit code (-1 when it crashed
// or did not end).
struct CliRun
{
    int code = -1;
    QString out;
    QString err;
};

// Runs command (a program and its arguments) and collects what it printed.
inline CliRun runCommand(const QStringList &command,
                         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(command.first(), command.mid(1));
    CliRun result;
    if (!process.waitForFinished(60000))
        return result;
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// Runs the built sweepling-cli.
inline CliRun runCli(const QStringList &arguments)
{
    return runCommand(QStringList{QStringLiteral(SWEEPLING_CLI_PATH)} + arguments);
}

// The same on the test platform's volume and preferences file.
inline CliRun runCli(const TestPlatform &test, const QStringList &arguments)
{
    return runCli(QStringList{QStringLiteral("--root"), test.volume().root(), QStringLiteral("--user"),
                              test.volume().loginName(), QStringLiteral("--settings"), test.settingsFile()}
                  + arguments);
}
