#include "tools/NotRemovedList.h"

#include "app/NotificationNames.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "scan/Adware.h"

NotRemovedList::NotRemovedList(NotificationCenter &notifications)
    : m_notifications(notifications)
{
    Log::line(QStringLiteral("created"));
}

void NotRemovedList::resetListAndMakeList()
{
    m_paths.clear();
    m_selectedRow = -1;
}

void NotRemovedList::addPaths(const QStringList &paths)
{
    m_paths << paths;
}

void NotRemovedList::closeSelfAndReload()
{
    m_shown = false;
    m_paths.removeIf([](const QString &path) { return !Adware::fileExistsAtPath(path); });
    m_selectedRow = -1;
    m_notifications.post(NotificationNames::listChange);
}

void NotRemovedList::mouseEntered(int row)
{
    m_selectedRow = row >= 0 && row < m_paths.size() ? row : -1;
}
