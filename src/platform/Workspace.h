#pragma once

#include "platform/Volume.h"

#include <QStringList>
#include <QUrl>

// What the system's workspace knows about applications: which are running,
// where an application is installed on the volume and what its bundle
// identifier is, the icon of a file, and opening URLs or revealing files in
// the file manager. Virtual so tests can stand in for the running processes
// and for the desktop.
class Workspace
{
public:
    explicit Workspace(Volume volume);
    virtual ~Workspace() = default;

    // Names of the applications running on the volume. On this host they
    // come from the process table, with the browsers' executables named the
    // way the application knows them ("Safari", "Google Chrome", "Firefox");
    // a volume whose root is not "/" is not the running system and has none.
    virtual QStringList runningApplicationNames() const;
    // Host path of the application bundle "<name>.app" in the volume's
    // application folders, or an empty string.
    virtual QString fullPathForApplication(const QString &name) const;
    // CFBundleIdentifier of the bundle's Contents/Info.plist (XML or binary).
    virtual QString bundleIdentifier(const QString &bundlePath) const;
    // Host path of an image that stands for the file (a bundle's icon file),
    // or a themed icon name ("folder", "application-x-executable", "text-x-generic").
    virtual QString iconForFile(const QString &path) const;
    virtual bool openURL(const QUrl &url);
    virtual bool revealInFileManager(const QString &path);

    // Maps an executable name from the process table to an application name.
    static QString applicationNameForExecutable(const QString &executable);

protected:
    Volume m_volume;
};
