#pragma once

#include <QString>
#include <QStringList>
#include <atomic>

class Platform;

// Access to the user's home folder and to the whole disk, kept as bookmarks in
// the preferences ("kSaveDirectory", "kSaveDirectoryForHD-8"). Used by the
// application object at start-up and by the scan driver from its thread; the
// preferences and the presenter are safe to use from any thread.
class AccessController
{
public:
    explicit AccessController(Platform &platform);

    // Sets and answers isUserDirAccessible: the home folder is writable, or a
    // stored "kSaveDirectory" bookmark resolves and can be opened.
    bool isUserAccessible();
    bool isUserDirAccessible() const { return m_userDirAccessible; }
    // The volume root is writable, or "kSaveDirectoryForHD-8" opens.
    bool isHDAccessible();
    bool makeBookMarkURLAccessible(const QString &key);

    // At scan start: when "SandboxingDone" is set and the disk cannot be
    // read, offers "Continue" or "Confirm Access". Answers whether the user
    // chose to confirm access (and ran the chooser).
    bool checkForHDAccess();
    // The whole-disk chooser; stores the grant under both keys. Answers
    // whether a bookmark was stored.
    bool confirmAccessAction();
    // The access window's chooser: only the home folder, "/Users" or "/" are
    // accepted. Stores "kSaveDirectory" and opens it. Answers success.
    bool confirmAccessFromAccessWindow();
    // The scan's access chooser: stores "Library Access" and the grant under
    // both keys. Answers whether a bookmark was stored.
    bool askForScanAccess();

    // Stores a bookmark of hostPath under every key. On failure logs, shows
    // "Error" / "Access Denied" and keeps whatever the keys held before.
    bool saveBookmark(const QString &hostPath, const QStringList &keys);
    bool isAcceptableAccessFolder(const QString &hostPath) const;

    static QString accessAlertText();

private:
    bool isWritable(const QString &hostPath) const;

    Platform &m_platform;
    std::atomic<bool> m_userDirAccessible{false};
};
