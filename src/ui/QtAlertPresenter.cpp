#include "ui/QtAlertPresenter.h"

#include "platform/MainThread.h"
#include "ui/AppDelegateWindow.h"
#include "ui/FolderChooser.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

bool QtAlertPresenter::askYesNo(const QString &informativeText, const QString &messageText)
{
    int answer = AppDelegateWindow::AlertSecondButtonReturn;
    MainThread::sync([&] {
        answer = AppDelegateWindow::createAlertForInformativeText(informativeText, messageText,
                                                                  QApplication::activeWindow());
    });
    return answer == AppDelegateWindow::AlertFirstButtonReturn;
}

void QtAlertPresenter::inform(const QString &informativeText, const QString &messageText, bool asSheet)
{
    MainThread::sync([&] {
        AppDelegateWindow::createAlertForInformativeText(informativeText, messageText, asSheet,
                                                         QApplication::activeWindow());
    });
}

int QtAlertPresenter::ask(const QString &messageText, const QString &informativeText, const QStringList &buttons,
                          int escapeButton)
{
    int answer = 0;
    MainThread::sync([&] {
        const auto alert = AppDelegateWindow::askAlert(messageText, informativeText, buttons, escapeButton);
        alert->exec();
        answer = AppDelegateWindow::askAnswer(alert.get());
    });
    return answer;
}

std::optional<QString> QtAlertPresenter::chooseFolder(const FolderRequest &request)
{
    std::optional<QString> chosen;
    MainThread::sync([&] {
        FolderChooser chooser(request, QApplication::activeWindow());
        if (chooser.exec() == QDialog::Accepted && !chooser.chosenFolder().isEmpty())
            chosen = chooser.chosenFolder();
    });
    return chosen;
}
