#pragma once

#include "ui/FileListWindow.h"
#include "ui/PageView.h"

#include <QList>
#include <QPointer>
#include <memory>

class AppDelegate;
class FileList;
class QLabel;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class SelectionView;
class SpinnerView;
class Tools;
class ToolsCell;

// The Tools page of the main window (the application object's `toolsObj`):
// the cleanable browser and system data as a table of entries with their
// sizes, filled while the catalogue is built on its background thread; the
// detail overlay for one entry's items; the Remove button with its
// confirmation; the list of what a clean could not remove; and the access
// button while the home folder cannot be read.
// The pages carry the suffix "View": the engine has its own Tools and Reports.
class ToolsView : public PageView
{
    Q_OBJECT
public:
    explicit ToolsView(AppDelegate &app, QWidget *parent = nullptr);
    ~ToolsView() override;

    Tools &model() { return *m_model; }
    FileList &fileList() { return *m_fileList; }
    FileListWindow *fileListWindow() const { return m_fileListWindow; }

    // The tab change: refreshes the catalogue when the Tools tab is chosen.
    void tabSelected(qint64 tag);
    // Starts a refresh (when the home folder is readable, the Tools tab is
    // shown and no catalogue is built or being built).
    void resetAndAddavailbleApplications();
    // The access button: asks for the home folder, then refreshes.
    void grantAccessUserDirectory();

    QScrollArea *table() const { return m_table; }
    QList<ToolsCell *> cells() const { return m_cells; }
    SpinnerView *indicator() const { return m_indicator; }
    SelectionView *selectionTableView() const { return m_selection; }
    QPushButton *removeButton() const { return m_removeButton; }
    QPushButton *accessButton() const { return m_accessButton; }

private:
    void reloadTableAndUI();
    void ShowDetailsFor(int row);
    void CheckBoxAction(const QString &toolTip, int state);
    void AddDetailsForRemoval();
    void cleanAndReloadData();
    void showNotRemoved(const QList<QUrl> &urls);
    void updateAccess();

    AppDelegate &m_app;
    std::unique_ptr<Tools> m_model;
    std::unique_ptr<FileList> m_fileList;
    QPointer<FileListWindow> m_fileListWindow;
    SpinnerView *m_indicator;
    QLabel *m_status;
    QScrollArea *m_table;
    QVBoxLayout *m_rows;
    QList<ToolsCell *> m_cells;
    SelectionView *m_selection;
    QPushButton *m_removeButton;
    QPushButton *m_accessButton;
    QLabel *m_accessText;
};
