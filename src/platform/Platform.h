#pragma once

#include "platform/AlertPresenter.h"
#include "platform/Bookmarks.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "platform/UserNotifier.h"
#include "platform/Volume.h"
#include "platform/Workspace.h"

#include <memory>

// Everything the engine asks of the operating system, in one place: the
// volume, the preferences, the notification centre, bookmarks, alerts and
// choosers, user notifications and the workspace. The application builds one
// for the host; tests build one over a temporary volume with their own
// doubles. The platform object owns every service it holds.
class Platform
{
public:
    Platform(Volume volume, const QString &settingsFile);

    const Volume &volume() const { return m_volume; }
    UserDefaults &defaults() { return *m_defaults; }
    NotificationCenter &notifications() { return m_notifications; }
    Bookmarks &bookmarks() { return *m_bookmarks; }
    AlertPresenter &alerts() { return *m_alerts; }
    UserNotifier &userNotifier() { return *m_userNotifier; }
    Workspace &workspace() { return *m_workspace; }

    void setBookmarks(std::unique_ptr<Bookmarks> bookmarks) { m_bookmarks = std::move(bookmarks); }
    void setAlerts(std::unique_ptr<AlertPresenter> alerts) { m_alerts = std::move(alerts); }
    void setUserNotifier(std::unique_ptr<UserNotifier> notifier) { m_userNotifier = std::move(notifier); }
    void setWorkspace(std::unique_ptr<Workspace> workspace) { m_workspace = std::move(workspace); }

private:
    Volume m_volume;
    std::unique_ptr<UserDefaults> m_defaults;
    NotificationCenter m_notifications;
    std::unique_ptr<Bookmarks> m_bookmarks;
    std::unique_ptr<AlertPresenter> m_alerts;
    std::unique_ptr<UserNotifier> m_userNotifier;
    std::unique_ptr<Workspace> m_workspace;
};
