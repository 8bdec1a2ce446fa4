#pragma once

#include "scan/NamedColour.h"

#include <QString>
#include <QUrl>
#include <memory>

class Adware;
using AdwarePtr = std::shared_ptr<Adware>;

// One detected item: a file, folder, application bundle, launch agent or
// browser extension. Records are shared: the scan's list, the Scan page and
// the report hold the same object, so a flag set by removal is seen by all.
// Flags are changed on the main thread only.
class Adware
{
public:
    // Stores the given values and derives the rest from the file system:
    // isAvail (something exists at the path), isChecked := isAvail,
    // isNoAction := false, redGreen black or grey. The isChecked argument is
    // not used.
    static AdwarePtr AdwareWithName(const QString &name, bool isChecked, const QString &infections, qint64 size,
                                    const QUrl &url, const QString &risk);

    // Whether anything is at the path, a dangling symbolic link included.
    // The folders on the way are resolved inside the volume at volumeRoot
    // ("/" when empty), the way removal resolves them (AnchoredPath), so what
    // is found can be removed and what removal leaves is found again.
    static bool fileExistsAtPath(const QString &path, const QString &volumeRoot = QString());

    const QString &name() const { return m_name; }
    const QString &infections() const { return m_infections; }
    qint64 size() const { return m_size; }
    const QUrl &url() const { return m_url; }
    // The plain path of url, used for existence, de-duplication, display and removal.
    QString path() const { return m_url.toLocalFile(); }
    const QString &risk() const { return m_risk; }
    bool isChecked() const { return m_isChecked; }
    bool isAvail() const { return m_isAvail; }
    bool isDeleted() const { return m_isDeleted; }
    bool isNoAction() const { return m_isNoAction; }
    const NamedColour &redGreen() const { return m_redGreen; }

    void setName(const QString &name) { m_name = name; }
    void setInfections(const QString &infections) { m_infections = infections; }
    void setSize(qint64 size) { m_size = size; }
    void setUrl(const QUrl &url) { m_url = url; }
    void setRisk(const QString &risk) { m_risk = risk; }
    void setIsChecked(bool checked) { m_isChecked = checked; }
    void setIsAvail(bool avail) { m_isAvail = avail; }
    void setIsDeleted(bool deleted) { m_isDeleted = deleted; }
    void setIsNoAction(bool noAction) { m_isNoAction = noAction; }
    void setRedGreen(const NamedColour &colour) { m_redGreen = colour; }

    // Re-reads presence from the file system and derives isChecked and colour.
    void recheckPresence(const QString &volumeRoot = QString());

private:
    QString m_name;
    QString m_infections;
    qint64 m_size = 0;
    QUrl m_url;
    QString m_risk;
    bool m_isChecked = false;
    bool m_isAvail = false;
    bool m_isDeleted = false;
    bool m_isNoAction = false;
    NamedColour m_redGreen = NamedColour::grey();
};
