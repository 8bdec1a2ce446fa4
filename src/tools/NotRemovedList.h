#pragma once

#include <QStringList>

class NotificationCenter;

// The content of the window listing what could not be removed: host paths,
// filled by the caller after a clean, shown until the user closes it. On
// closing, the paths that are gone meanwhile leave the list and "listChange"
// is posted. The model only; the window that shows it lives in the interface.
class NotRemovedList
{
public:
    explicit NotRemovedList(NotificationCenter &notifications);

    // Set by the caller: the list belongs to a stored report.
    bool isReport = false;

    // resetListAndMakeList: empties the list.
    void resetListAndMakeList();
    void addPaths(const QStringList &paths);
    const QStringList &paths() const { return m_paths; }

    // The window is asked to show (as a sheet on the main window) or is closed.
    void show() { m_shown = true; }
    bool isShown() const { return m_shown; }
    // The close button: hides, keeps only the paths still present, posts "listChange".
    void closeSelfAndReload();

    // The pointer entering a row selects that row alone.
    void mouseEntered(int row);
    int selectedRow() const { return m_selectedRow; }

private:
    NotificationCenter &m_notifications;
    QStringList m_paths;
    bool m_shown = false;
    int m_selectedRow = -1;
};
