#include "ui/FolderChooser.h"

FolderChooser::FolderChooser(const AlertPresenter::FolderRequest &request, QWidget *parent)
    : QFileDialog(parent)
    , m_validate(request.validate)
{
    setObjectName(QStringLiteral("folderChooser"));
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::ShowDirsOnly);
    setFileMode(QFileDialog::Directory);
    setAcceptMode(QFileDialog::AcceptOpen);
    setWindowTitle(request.message);
    setAccessibleName(request.message);
    if (!request.prompt.isEmpty())
        setLabelText(QFileDialog::Accept, request.prompt);
    setDirectory(request.startFolder);
    setWindowModality(Qt::ApplicationModal);
}

QString FolderChooser::chosenFolder() const
{
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

void FolderChooser::accept()
{
    const QString chosen = chosenFolder();
    if (m_validate && !chosen.isEmpty() && !m_validate(chosen))
        return;
    QFileDialog::accept();
}
