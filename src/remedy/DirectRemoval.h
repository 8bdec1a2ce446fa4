#pragma once

#include "scan/Adware.h"

#include <QObject>
#include <memory>

class FileList;
class ItemRemover;
class Platform;
class ThreatRemoval;

// The application object's own removals, without question or browser check:
// one threat from a threat notification card (removeThisAndReloadData) and
// the checked threats of the Scan list (removeAdwarepressed). What could not
// be removed is listed in the FileList sheet; a removal that left nothing
// behind is confirmed with an alert. Afterwards the application refreshes
// its threat list (changeInListRequested). Owned by the application object;
// main thread only. A remover given (tests) is not owned.
class DirectRemoval : public QObject
{
    Q_OBJECT
public:
    explicit DirectRemoval(Platform &platform, ItemRemover *remover = nullptr, QObject *parent = nullptr);
    ~DirectRemoval() override;

    // The not-removed list, made once and kept.
    FileList &fileList() { return *m_fileList; }

    void removeThisAndReloadData(const AdwarePtr &threat);
    // The threats of scanList whose isChecked is true.
    void removeAdwarepressed(const QList<AdwarePtr> &scanList);

    static QString successText() { return QStringLiteral("Selected adware successfully removed."); }

Q_SIGNALS:
    // changeInList: drop vanished threats from the Scan list and update the Dashboard.
    void changeInListRequested();

private:
    struct Outcome
    {
        QList<AdwarePtr> removed;
        QList<AdwarePtr> failed;
    };
    Outcome remove(const QList<AdwarePtr> &threats);

    Platform &m_platform;
    std::unique_ptr<ThreatRemoval> m_removal;
    FileList *m_fileList;
};
