#pragma once

#include "platform/AlertPresenter.h"

#include <QFileDialog>

// The folder chooser behind AlertPresenter::chooseFolder: folders only, one
// selection, the request's prompt on the confirm button and its message as
// the title. A choice the request's validator refuses keeps the chooser open
// (the validator has shown its own alert). Qt's own dialog is used, never the
// desktop's, so the validator always sees the choice.
class FolderChooser : public QFileDialog
{
    Q_OBJECT
public:
    explicit FolderChooser(const AlertPresenter::FolderRequest &request, QWidget *parent = nullptr);

    QString chosenFolder() const;

public Q_SLOTS:
    void accept() override;

private:
    std::function<bool(const QString &)> m_validate;
};
