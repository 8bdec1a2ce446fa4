#include "platform/Log.h"

Q_LOGGING_CATEGORY(lcSweepling, "sweepling", QtWarningMsg)

void Log::line(const QString &text)
{
    qCInfo(lcSweepling).noquote() << text;
}

void Log::warning(const QString &text)
{
    qCWarning(lcSweepling).noquote() << text;
}

void Log::setVerbose(bool verbose)
{
    const_cast<QLoggingCategory &>(lcSweepling()).setEnabled(QtInfoMsg, verbose);
}
