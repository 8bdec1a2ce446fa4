#include "app/AccessController.h"

#include "app/PreferenceKeys.h"
#include "platform/FileName.h"
#include "platform/Log.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

using namespace PreferenceKeys;

AccessController::AccessController(Platform &platform)
    : m_platform(platform)
{
}

QString AccessController::accessAlertText()
{
    return QStringLiteral("Sweepling does not have permission to scan your entire mac. Please grant root access "
                          "or continue to only scan your user directory.");
}

bool AccessController::isWritable(const QString &hostPath) const
{
    return ::access(FileName::encode(hostPath).constData(), W_OK) == 0;
}

bool AccessController::isUserAccessible()
{
    bool accessible = false;
    if (isWritable(m_platform.volume().homeFolder()))
        accessible = true;
    else if (m_platform.defaults().contains(kSaveDirectory))
        accessible = makeBookMarkURLAccessible(kSaveDirectory);
    m_userDirAccessible = accessible;
    return accessible;
}

bool AccessController::isHDAccessible()
{
    if (isWritable(m_platform.volume().root()))
        return true;
    if (m_platform.defaults().contains(kSaveDirectoryForHD8))
        return makeBookMarkURLAccessible(kSaveDirectoryForHD8);
    return false;
}

bool AccessController::makeBookMarkURLAccessible(const QString &key)
{
    const QByteArray data = m_platform.defaults().dataForKey(key);
    if (data.isEmpty())
        return false;
    const auto resolved = m_platform.bookmarks().resolve(data);
    if (!resolved || resolved->stale) {
        Log::line(QStringLiteral("Bookmark under %1 does not resolve").arg(key));
        return false;
    }
    return m_platform.bookmarks().startAccessing(resolved->path);
}

bool AccessController::checkForHDAccess()
{
    UserDefaults &defaults = m_platform.defaults();
    if (!(defaults.contains(SandboxingDone) && defaults.boolForKey(SandboxingDone)) || isHDAccessible())
        return false;
    const int answer = m_platform.alerts().ask(QStringLiteral("Access Alert"), accessAlertText(),
                                               {QStringLiteral("Continue"), QStringLiteral("Confirm Access")});
    if (answer != 1)
        return false;
    confirmAccessAction();
    return true;
}

bool AccessController::confirmAccessAction()
{
    AlertPresenter::FolderRequest request{QStringLiteral("Confirm Access"),
                                          QStringLiteral("Give access for scanning in your HardDisk"),
                                          m_platform.volume().root(), {}};
    const auto chosen = m_platform.alerts().chooseFolder(request);
    if (!chosen)
        return false;
    return saveBookmark(*chosen, {kSaveDirectory, kSaveDirectoryForHD8});
}

bool AccessController::isAcceptableAccessFolder(const QString &hostPath) const
{
    const Volume &volume = m_platform.volume();
    const QString chosen = QDir::cleanPath(hostPath);
    return chosen == QDir::cleanPath(volume.homeFolder()) || chosen == QDir::cleanPath(volume.host(QStringLiteral("/Users")))
           || chosen == QDir::cleanPath(volume.root());
}

bool AccessController::confirmAccessFromAccessWindow()
{
    AlertPresenter::FolderRequest request{
        QStringLiteral("Confirm Access"), QStringLiteral("Give access for scanning in your HardDisk"),
        m_platform.volume().homeFolder(), [this](const QString &folder) {
            if (isAcceptableAccessFolder(folder))
                return true;
            m_platform.alerts().inform(QStringLiteral("Please select home directory."), QStringLiteral("Sweepling"));
            return false;
        }};
    const auto chosen = m_platform.alerts().chooseFolder(request);
    if (!chosen || !saveBookmark(*chosen, {kSaveDirectory}))
        return false;
    return makeBookMarkURLAccessible(kSaveDirectory);
}

bool AccessController::askForScanAccess()
{
    AlertPresenter::FolderRequest request{QStringLiteral("Confirm Access"),
                                          QStringLiteral("Give access for scanning in your HardDisk"),
                                          m_platform.volume().homeFolder(), {}};
    const auto chosen = m_platform.alerts().chooseFolder(request);
    if (!chosen)
        return false;
    m_platform.defaults().setBool(true, LibraryAccess);
    return saveBookmark(*chosen, {kSaveDirectory, kSaveDirectoryForHD8});
}

bool AccessController::saveBookmark(const QString &hostPath, const QStringList &keys)
{
    QString error;
    const auto bookmark = m_platform.bookmarks().make(hostPath, &error);
    if (!bookmark) {
        // A failed bookmark leaves any earlier grant in place: writing an empty
        // value would take away access the user gave before.
        Log::warning(QStringLiteral("Error bookmarking selected URL: %1").arg(error));
        m_platform.alerts().inform(QStringLiteral("Access Denied"), QStringLiteral("Error"));
        m_platform.defaults().synchronize();
        return false;
    }
    for (const QString &key : keys)
        m_platform.defaults().setObject(*bookmark, key);
    m_platform.defaults().synchronize();
    return true;
}
