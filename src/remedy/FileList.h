#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

class NotificationCenter;

// The model of the small "FileList" window, shown as a sheet on the main
// window: a list of file URLs that could not be removed (after a threat
// removal from a notification card or the application's remove action, or
// after a clean). Closing it drops the URLs whose files are gone by now and
// posts "listChange". Made once by its owner and kept; main thread only.
class FileList : public QObject
{
    Q_OBJECT
public:
    explicit FileList(NotificationCenter &notifications, QObject *parent = nullptr);

    // The volume the listed files belong to ("/" until set).
    void setVolumeRoot(const QString &root) { m_volumeRoot = root; }

    bool isReport() const { return m_isReport; }
    void setIsReport(bool isReport) { m_isReport = isReport; }

    // The list controller's content.
    const QList<QUrl> &urls() const { return m_urls; }
    void addObjects(const QList<QUrl> &urls);
    // Empties the list.
    void resetListAndMakeList();

    bool sheetShown() const { return m_sheetShown; }
    void beginSheet();
    // The close button: orders the window out, drops what no longer exists
    // and posts "listChange".
    void closeSelfAndReload();

Q_SIGNALS:
    void listChanged();
    void sheetShownChanged(bool shown);

private:
    NotificationCenter &m_notifications;
    QString m_volumeRoot;
    QList<QUrl> m_urls;
    bool m_isReport = false;
    bool m_sheetShown = false;
};
