#pragma once

#include "remedy/BrowserGuard.h"
#include "remedy/OutcomeDisplay.h"
#include "remedy/ThreatRemoval.h"
#include "scan/AdwareScanReport.h"

#include <QObject>
#include <functional>

class ItemRemover;
class Platform;

// The removal half of the Scan page: the threats of the last ended scan, the
// ones selected for removal and their paths, the report of that scan, and
// the remove action with its browser check, its deferred retry and its
// outcome. The scan driver fills the lists (scanStarted, scanEnded); the
// page shows the signals' state. Owned by the Scan page, main thread only.
// A remover given (tests) is not owned.
class ScanRemoval : public QObject
{
    Q_OBJECT
public:
    explicit ScanRemoval(Platform &platform, ItemRemover *remover = nullptr, QObject *parent = nullptr);

    // The scan driver's steps: a scan starts (the lists are emptied) and a
    // scan has ended with its threats and its report (every threat selected,
    // the paths read by the browser check).
    void scanStarted();
    void scanEnded(const QList<AdwarePtr> &threats, const ReportPtr &report);

    const QList<AdwarePtr> &arrAdwareList() const { return m_arrAdwareList; }
    const QList<AdwarePtr> &arrThreats() const { return m_arrThreats; }
    const QStringList &arrAdWarePath() const { return m_arrAdWarePath; }
    // The application's current report (the same object as adwareReport).
    ReportPtr report() const { return m_report; }
    void setReport(const ReportPtr &report) { m_report = report; }

    // Answers whether a scan is running (the retry does nothing then).
    void setIsScanning(std::function<bool()> isScanning) { m_isScanning = std::move(isScanning); }

    ThreatRemoval &removal() { return m_removal; }
    BrowserGuard &browserGuard() { return m_guard; }

    // A threat row's check box (row of arrAdwareList).
    void checkBoxAction(int row, bool on);
    // checkForAvailble: drops from the list the threats whose file is gone
    // (removed elsewhere since the scan), while no outcome is shown; answers
    // whether any was dropped.
    bool checkForAvailble(const QString &volumeRoot);
    bool quarantineEnabled() const { return !m_arrThreats.isEmpty(); }

    // removeAdwarePressed: marks the unselected threats, asks, checks the
    // browsers and removes the selected threats.
    void removeAdwarePressed();
    // reloadThreats: the removal after a successful Retry of the browser panel.
    void reloadThreats();
    void removeThisAdware(const QList<AdwarePtr> &threats);

    bool outcomeShown() const { return m_outcomeShown; }
    const OutcomeDisplay::Summary &summary() const { return m_summary; }
    ReportPtr reportUnderRemoval() const { return m_reportToUpdate; }

Q_SIGNALS:
    // The outcome box replaces the threat list box.
    void outcomeBoxShown();
    // The outcome table shows the report's new threat list.
    void threatTableReloaded();
    void summaryChanged(const OutcomeDisplay::Summary &summary);
    void quarantineEnabledChanged(bool enabled);

private:
    void removeSelectedAndShow(ThreatRemoval::Order order);

    Platform &m_platform;
    ThreatRemoval m_removal;
    BrowserGuard m_guard;
    std::function<bool()> m_isScanning;
    QList<AdwarePtr> m_arrAdwareList;
    QList<AdwarePtr> m_arrThreats;
    QStringList m_arrAdWarePath;
    ReportPtr m_report;
    ReportPtr m_reportToUpdate;
    bool m_outcomeShown = false;
    OutcomeDisplay::Summary m_summary;
};
