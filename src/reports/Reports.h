#pragma once

#include "platform/Notification.h"
#include "remedy/BrowserGuard.h"
#include "remedy/OutcomeDisplay.h"
#include "remedy/ThreatRemoval.h"
#include "reports/ReportListStore.h"
#include "scan/AdwareScanReport.h"

#include <QObject>

class ItemRemover;
class Platform;

// The model half of the Reports page and the report store: the stored list
// of scan reports (newest first, under "kSaveReport"), the report that is
// open, the presence re-check of its threats, the selection rules, and the
// removal from an old report with its outcome. Everything the page shows is
// state here with a change signal; the page calls the operations with the row
// of the control that was clicked. Made once with the main window (the
// command line makes its own); lives until exit. Main thread only: the scan
// driver hands finished reports to updateReportInDefaults() on it.
class Reports : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isReportAvailable READ isReportAvailable NOTIFY isReportAvailableChanged)
    Q_PROPERTY(bool isReportDetails READ isReportDetails NOTIFY isReportDetailsChanged)
    Q_PROPERTY(bool quarantineBtn READ quarantineBtn NOTIFY quarantineBtnChanged)
    Q_PROPERTY(bool quarantineBtnHide READ quarantineBtnHide NOTIFY quarantineBtnHideChanged)
public:
    // The page's three boxes: the list, the open report, a removal's outcome.
    enum class Box { List, Detail, Outcome };

    explicit Reports(Platform &platform, QObject *parent = nullptr);

    // Removal deletes through this remover (not owned; tests stand in for
    // the file system with it).
    void setRemover(ItemRemover *remover) { m_removal.setRemover(remover); }
    BrowserGuard &browserGuard() { return m_guard; }
    ThreatRemoval &removal() { return m_removal; }

    static QString deleteQuestion() { return QStringLiteral("Are you sure you want to delete this report?"); }

    // The store.
    QList<ReportPtr> loadListReportWithKey(const QString &key);
    // Answers false (storeError() says why) when the list could not be stored.
    bool saveListReport(const QList<ReportPtr> &list, const QString &key);
    void updateReportInDefaults(const ReportPtr &report);
    // Why the last write of the stored list failed (the list in the
    // preferences is then unchanged); empty after a successful write.
    QString storeError() const { return m_storeError; }

    // The list.
    void reloadReportDates();
    void backtoReportList();
    void trashReport();
    void openThisReport(int row);
    // The report the Scan page posted with "RefreshReport", and the open one again.
    void refreshReport(const Notification &notification);
    void refreshReport(const ReportPtr &report);
    void viewReport();
    void reloadReportDetails();

    // Selection of the open report's threats.
    void ChangeSelection();
    void checkAllAction(Qt::CheckState newState);
    void checkClicked(int row, bool on);

    // Removal from the open report.
    void removeSelected();
    void reloadReportView();
    void removeAdwareFromReport();
    void removeThisAdware(const QList<AdwarePtr> &threats);
    bool forceQuitBrowsers() { return m_guard.forceQuitBrowsers(); }
    bool tryAgain() { return m_guard.tryAgain(); }
    // An outcome row's show button.
    void showAdwareInFileDelegate(int row);
    // The print action: writes the open report's PDF and asks for it to be printed.
    void makeAndPrintPDF();

    const QList<ReportPtr> &reportList() const { return m_reportList; }
    ReportPtr reportWithId(const QString &reportId) const;
    ReportPtr selectedReport() const { return m_selectedReport; }
    ReportPtr tempReport() const { return m_tempReport; }
    const QStringList &arrAdwarePath() const { return m_arrAdwarePath; }

    bool isReportAvailable() const { return m_isReportAvailable; }
    bool isReportDetails() const { return m_isReportDetails; }
    bool quarantineBtn() const { return m_quarantineBtn; }
    bool quarantineBtnHide() const { return m_quarantineBtnHide; }
    Qt::CheckState checkAllState() const { return m_checkAllState; }
    bool checkAllEnabled() const { return m_checkAllEnabled; }
    // The remove button, set by the selection rules only: shown while a
    // threat of the open report is present, enabled while one of those is
    // checked.
    bool removeButtonShown() const { return m_removeButtonShown; }
    bool removeButtonEnabled() const { return m_removeButtonEnabled; }
    bool printEnabled() const { return m_printEnabled; }
    Box box() const { return m_box; }
    const OutcomeDisplay::Summary &summary() const { return m_summary; }

Q_SIGNALS:
    void isReportAvailableChanged(bool available);
    void isReportDetailsChanged(bool details);
    void quarantineBtnChanged(bool enabled);
    void quarantineBtnHideChanged(bool shown);
    // Redraw requests for the three tables.
    void reportListChanged();
    void detailTableChanged();
    void outcomeTableChanged();
    // The detail header shows this report's facts.
    void detailHeaderChanged(const ReportPtr &report);
    void checkAllChanged(Qt::CheckState state, bool enabled);
    void removeButtonChanged(bool shown, bool enabled);
    // The main menu's print item is active (a report's detail is shown) or not.
    void printItemChanged(bool enabled);
    void boxChanged(Reports::Box box);
    void summaryChanged(const OutcomeDisplay::Summary &summary);
    // The PDF of the open report is written and should be printed.
    void printRequested(const QString &pdfPath);
    // A change to the stored list could not be written; the store is unchanged.
    void storeFailed(const QString &message);

private:
    void writeReportList();
    void showDetail(bool appendPaths);
    void appendThreatPaths(const ReportPtr &report);
    void applyRemoval(ThreatRemoval::Order order, const QString &failedFormat);
    void reloadThreatDetails();
    QList<AdwarePtr> selectedThreats(bool checked) const;
    void setFlag(bool &field, bool value, void (Reports::*changed)(bool));
    void setCheckAll(Qt::CheckState state, bool enabled);
    void setRemoveButton(bool shown, bool enabled);
    void setPrintEnabled(bool enabled);
    void setBox(Box box);

    Platform &m_platform;
    ReportListStore m_store;
    ThreatRemoval m_removal;
    BrowserGuard m_guard;
    QList<ReportPtr> m_reportList;
    ReportPtr m_selectedReport;
    ReportPtr m_tempReport;
    QStringList m_arrAdwarePath;
    bool m_isReportAvailable = false;
    bool m_isReportDetails = false;
    bool m_quarantineBtn = false;
    bool m_quarantineBtnHide = false;
    Qt::CheckState m_checkAllState = Qt::Unchecked;
    bool m_checkAllEnabled = false;
    bool m_removeButtonShown = false;
    bool m_removeButtonEnabled = false;
    bool m_printEnabled = false;
    Box m_box = Box::List;
    OutcomeDisplay::Summary m_summary;
    QString m_storeError;
};
