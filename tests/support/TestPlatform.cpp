#include "support/TestPlatform.h"

#include <QDir>

bool TestWorkspace::openURL(const QUrl &url)
{
    opened.append(url);
    return true;
}

bool TestWorkspace::revealInFileManager(const QString &path)
{
    revealed.append(path);
    return true;
}

TestPlatform::TestPlatform(const QString &root, const QString &login, VolumePlace place)
{
    QString rootPath = root;
    if (rootPath.isEmpty()) {
        rootPath = place == VolumePlace::Plain ? m_rootDir.path() : placedVolumeRoot(m_rootDir.path(), place);
        QDir().mkpath(rootPath);
    }
    m_platform = std::make_unique<Platform>(Volume(rootPath, login), settingsFile());
    auto alerts = std::make_unique<ScriptedAlerts>();
    m_alerts = alerts.get();
    m_platform->setAlerts(std::move(alerts));
    auto workspace = std::make_unique<TestWorkspace>(m_platform->volume());
    m_workspace = workspace.get();
    m_platform->setWorkspace(std::move(workspace));
}
