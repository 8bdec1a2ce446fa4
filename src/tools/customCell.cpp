#include "tools/customCell.h"

#include "platform/Workspace.h"

customCell::customCell(Workspace &workspace, QString path)
    : m_workspace(workspace)
    , m_path(std::move(path))
{
}

bool customCell::showInFinderAction()
{
    return m_workspace.revealInFileManager(m_path);
}
