#pragma once

#include "support/TestPlatform.h"

#include <QProcess>
#include <QStringList>

// Runs the built sweepling-cli and collects what it printed.
struct CliRun
{
    int code = -1;
    QString out;
    QString err;
};

inline CliRun runCli(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(SWEEPLING_CLI_PATH), arguments);
    CliRun result;
    if (!process.waitForFinished(60000))
        return result;
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// The same on the test platform's volume and preferences file.
inline CliRun runCli(const TestPlatform &test, const QStringList &arguments)
{
    return runCli(QStringList{QStringLiteral("--root"), test.volume().root(), QStringLiteral("--user"),
                              test.volume().loginName(), QStringLiteral("--settings"), test.settingsFile()}
                  + arguments);
}
