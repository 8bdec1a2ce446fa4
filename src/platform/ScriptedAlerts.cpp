#include "platform/ScriptedAlerts.h"

#include "platform/Log.h"

void ScriptedAlerts::answer(const QString &answer)
{
    QMutexLocker locker(&m_lock);
    m_answers.enqueue(answer);
}

void ScriptedAlerts::answer(const QStringList &answers)
{
    for (const QString &a : answers)
        answer(a);
}

QList<ScriptedAlerts::Request> ScriptedAlerts::requests() const
{
    QMutexLocker locker(&m_lock);
    return m_requests;
}

int ScriptedAlerts::pendingAnswers() const
{
    QMutexLocker locker(&m_lock);
    return int(m_answers.size());
}

std::optional<QString> ScriptedAlerts::next()
{
    QMutexLocker locker(&m_lock);
    if (m_answers.isEmpty())
        return std::nullopt;
    return m_answers.dequeue();
}

void ScriptedAlerts::record(Request request)
{
    Log::line(QStringLiteral("alert %1: %2 %3").arg(request.kind, request.messageText, request.informativeText));
    QMutexLocker locker(&m_lock);
    m_requests.append(std::move(request));
}

bool ScriptedAlerts::askYesNo(const QString &informativeText, const QString &messageText)
{
    record({QStringLiteral("yesno"), messageText, informativeText, {QStringLiteral("Yes"), QStringLiteral("No")}});
    return next().value_or(QStringLiteral("No")) == QLatin1String("Yes");
}

void ScriptedAlerts::inform(const QString &informativeText, const QString &messageText, bool)
{
    record({QStringLiteral("inform"), messageText, informativeText, {QStringLiteral("OK")}});
}

int ScriptedAlerts::ask(const QString &messageText, const QString &informativeText, const QStringList &buttons,
                        int escapeButton)
{
    record({QStringLiteral("ask"), messageText, informativeText, buttons, escapeButton});
    const auto chosen = next();
    const int index = chosen ? int(buttons.indexOf(*chosen)) : 0;
    return index < 0 ? 0 : index;
}

std::optional<QString> ScriptedAlerts::chooseFolder(const FolderRequest &request)
{
    record({QStringLiteral("folder"), request.prompt, request.message, {request.startFolder}});
    while (true) {
        const auto chosen = next();
        if (!chosen || *chosen == QLatin1String("cancel"))
            return std::nullopt;
        if (!request.validate || request.validate(*chosen))
            return chosen;
    }
}
