#pragma once

#include <QDialog>

class FileList;
class QLabel;
class QPushButton;
class QVBoxLayout;
class Workspace;

// The small "FileList" window over the main window: the files and folders
// that could not be removed, each with a button that shows it in the file
// manager. Shown and hidden as its model says; its close button drops what
// is gone by now and posts "listChange" (through the model).
class FileListWindow : public QDialog
{
    Q_OBJECT
public:
    FileListWindow(FileList &model, Workspace &workspace, QWidget *parent = nullptr);

    QPushButton *closeButton() const { return m_close; }

private:
    void rebuild();
    void followSheet(bool shown);

    FileList &m_model;
    Workspace &m_workspace;
    QLabel *m_heading;
    QVBoxLayout *m_rows;
    QPushButton *m_close;
};
