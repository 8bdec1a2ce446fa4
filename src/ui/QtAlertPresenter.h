#pragma once

#include "platform/AlertPresenter.h"

// The desktop's AlertPresenter: real message boxes and the folder chooser.
// Each question waits for its answer in a modal loop on the main thread; a
// caller on another thread (the scan driver choosing its root) waits for the
// main thread to show and answer it. Tests and the command line use
// ScriptedAlerts instead, so nothing there waits for a person.
class QtAlertPresenter : public AlertPresenter
{
public:
    bool askYesNo(const QString &informativeText, const QString &messageText) override;
    void inform(const QString &informativeText, const QString &messageText, bool asSheet = false) override;
    int ask(const QString &messageText, const QString &informativeText, const QStringList &buttons,
            int escapeButton = -1) override;
    std::optional<QString> chooseFolder(const FolderRequest &request) override;
};
