#pragma once

#include "platform/Platform.h"
#include "platform/ScriptedAlerts.h"
#include "support/VolumePlace.h"

#include <QTemporaryDir>
#include <memory>

// A Platform over a volume in a temporary folder, with its own preferences
// file, scripted alerts and a workspace whose running applications the test
// sets. Nothing touches the real preferences or the real desktop.
class TestWorkspace : public Workspace
{
public:
    using Workspace::Workspace;
    QStringList running;
    QList<QUrl> opened;
    QStringList revealed;

    QStringList runningApplicationNames() const override { return running; }
    bool openURL(const QUrl &url) override;
    bool revealInFileManager(const QString &path) override;
};

class TestPlatform
{
public:
    // root: host folder of the volume; empty makes a new temporary one, with
    // the volume root at place inside it.
    explicit TestPlatform(const QString &root = QString(), const QString &login = QStringLiteral("tester"),
                          VolumePlace place = VolumePlace::Plain);

    Platform &platform() { return *m_platform; }
    ScriptedAlerts &alerts() { return *m_alerts; }
    TestWorkspace &workspace() { return *m_workspace; }
    const Volume &volume() const { return m_platform->volume(); }
    QString settingsFile() const { return m_settingsDir.filePath(QStringLiteral("settings.ini")); }

private:
    QTemporaryDir m_rootDir;
    QTemporaryDir m_settingsDir;
    std::unique_ptr<Platform> m_platform;
    ScriptedAlerts *m_alerts = nullptr;
    TestWorkspace *m_workspace = nullptr;
};
