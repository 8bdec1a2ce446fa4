#pragma once

#include "platform/AlertPresenter.h"

#include <QMutex>
#include <QQueue>

// An AlertPresenter that answers from a script and records every request.
// Answers are consumed in order: for askYesNo "Yes" or "No", for ask a button
// title, for chooseFolder a host path or "cancel". With the script empty it
// answers "No", the first button, and cancel. Safe from any thread.
class ScriptedAlerts : public AlertPresenter
{
public:
    struct Request
    {
        QString kind;            // "yesno", "inform", "ask", "folder"
        QString messageText;
        QString informativeText; // for "folder": the chooser's message
        QStringList buttons;     // for "folder": the prompt
        int escapeButton = -1;   // for "ask": the button Escape presses
    };

    void answer(const QString &answer);
    void answer(const QStringList &answers);
    QList<Request> requests() const;
    int pendingAnswers() const;

    bool askYesNo(const QString &informativeText, const QString &messageText) override;
    void inform(const QString &informativeText, const QString &messageText, bool asSheet = false) override;
    int ask(const QString &messageText, const QString &informativeText, const QStringList &buttons,
            int escapeButton = -1) override;
    std::optional<QString> chooseFolder(const FolderRequest &request) override;

private:
    std::optional<QString> next();
    void record(Request request);

    mutable QMutex m_lock;
    QQueue<QString> m_answers;
    QList<Request> m_requests;
};
