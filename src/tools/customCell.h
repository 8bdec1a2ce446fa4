#pragma once

#include <QString>

class Workspace;

// A row of a list of paths: the path shown, and a button that reveals the
// file in the file manager. The button's tooltip is the path it reveals; its
// highlight is off when the row is set up.
class customCell
{
public:
    customCell(Workspace &workspace, QString path);

    const QString &toolTip() const { return m_path; }
    bool isShowInFinderHighlighted() const { return false; }
    // showInFinderAction: reveals the file whose path is the tooltip.
    bool showInFinderAction();

private:
    Workspace &m_workspace;
    QString m_path;
};
