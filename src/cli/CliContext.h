#pragma once

#include "platform/Platform.h"

#include <QStringList>
#include <QTextStream>
#include <memory>

// What every command of sweepling-cli gets: the platform built from the
// global options, the remaining arguments, and the two output streams.
class CliContext
{
public:
    CliContext(std::unique_ptr<Platform> platform, QStringList arguments);

    Platform &platform() { return *m_platform; }
    const QStringList &arguments() const { return m_arguments; }
    QTextStream &out() { return m_out; }
    QTextStream &err() { return m_err; }

    // Removes a flag from the arguments; answers whether it was there.
    bool takeFlag(const QString &flag);
    // Removes "--name VALUE"; answers the value, or nothing.
    std::optional<QString> takeOption(const QString &name);

    // What is wrong with the volume's home folder for a command that reads
    // it (missing, not a folder, a symbolic link, unreadable), or nothing.
    std::optional<QString> homeFolderProblem();

    // Prints "sweepling-cli: message" on the error stream, escaped for the
    // terminal (TerminalText), and answers 2.
    int fail(const QString &message);

private:
    std::unique_ptr<Platform> m_platform;
    QStringList m_arguments;
    QTextStream m_out;
    QTextStream m_err;
};
