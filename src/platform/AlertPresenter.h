#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Questions and information for the user: modal alerts and the folder
// chooser. The desktop application answers them with real dialogs; tests and
// the command line use ScriptedAlerts, so nothing ever blocks on a person.
// Presenters may be called from any thread; one that shows windows runs them
// on the main thread itself and waits for the answer.
class AlertPresenter
{
public:
    struct FolderRequest
    {
        QString prompt;        // the chooser's confirm button, e.g. "Confirm Access"
        QString message;       // e.g. "Give access for scanning in your HardDisk"
        QString startFolder;   // host path the chooser opens in
        // Called with each chosen folder; answering false keeps the chooser
        // open (the validator shows its own alert).
        std::function<bool(const QString &)> validate;
    };

    virtual ~AlertPresenter() = default;

    // Modal question with "Yes" (first button) and "No"; true only for "Yes".
    virtual bool askYesNo(const QString &informativeText, const QString &messageText) = 0;
    // Information with the single button "OK".
    virtual void inform(const QString &informativeText, const QString &messageText, bool asSheet = false) = 0;
    // Alert with the given buttons, the first one answering Return; answers
    // the index of the pressed one. escapeButton: the index Escape presses
    // (none when out of range).
    virtual int ask(const QString &messageText, const QString &informativeText, const QStringList &buttons,
                    int escapeButton = -1) = 0;
    // Host path of the chosen folder, or nothing when cancelled.
    virtual std::optional<QString> chooseFolder(const FolderRequest &request) = 0;
};
