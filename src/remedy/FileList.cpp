#include "remedy/FileList.h"

#include "app/NotificationNames.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "scan/Adware.h"

FileList::FileList(NotificationCenter &notifications, QObject *parent)
    : QObject(parent)
    , m_notifications(notifications)
{
    Log::line(QStringLiteral("created"));
}

void FileList::addObjects(const QList<QUrl> &urls)
{
    m_urls.append(urls);
    Q_EMIT listChanged();
}

void FileList::resetListAndMakeList()
{
    m_urls.clear();
    Q_EMIT listChanged();
}

void FileList::beginSheet()
{
    if (m_sheetShown)
        return;
    m_sheetShown = true;
    Q_EMIT sheetShownChanged(true);
}

void FileList::closeSelfAndReload()
{
    if (m_sheetShown) {
        m_sheetShown = false;
        Q_EMIT sheetShownChanged(false);
    }
    m_urls.removeIf([this](const QUrl &url) { return !Adware::fileExistsAtPath(url.toLocalFile(), m_volumeRoot); });
    Q_EMIT listChanged();
    m_notifications.post(NotificationNames::listChange);
}
