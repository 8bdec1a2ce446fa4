#pragma once

#include "scan/AdwareScanReport.h"
#include "ui/BrowserClosePanel.h"
#include "ui/PageView.h"

#include <QIcon>
#include <QPointer>
#include <QTimer>
#include <memory>

class AppDelegate;
class ItemRemover;
class MiddleElidedLabel;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class ScanRemoval;
class SpinnerView;

// The Scan page of the main window (the application object's `scanObj`):
// the scanning panel while a scan runs (percentage, bar, phase, current
// entry, spinner, stop button), the live threat table with a check box and a
// show button per threat, the remove button, the green and red boxes after a
// scan, and the outcome of a removal with its summary. Removal and the
// browser check are the ScanRemoval model's; this page shows its state.
// The pages carry the suffix "View": the engine has its own Tools and Reports.
// Main thread only.
class ScanView : public PageView
{
    Q_OBJECT
public:
    // Right margin of the percentage text with and without the stop button.
    static constexpr int kTrailingWithStop = 94;
    static constexpr int kTrailingWithoutStop = 18;

    explicit ScanView(QWidget *parent = nullptr);
    ~ScanView() override;

    // Connects the page to the application object's scan driver and makes
    // the removal model (with the given remover, not owned, for tests).
    void setUp(AppDelegate &app, ItemRemover *remover = nullptr);
    ScanRemoval *scanRemoval() const { return m_scanRemoval.get(); }
    BrowserClosePanel *browserView() const { return m_browserView; }

    QFrame *whiteView() const { return m_whiteView; }
    QLabel *scanningProgressText() const { return m_scanningProgressText; }
    QProgressBar *scanningProgressIndicator() const { return m_scanningProgressIndicator; }
    QLabel *lblScanningType() const { return m_lblScanningType; }
    MiddleElidedLabel *scanFileText() const { return m_scanFileText; }
    SpinnerView *scanIndicator() const { return m_scanIndicator; }
    QPushButton *btnStopScan() const { return m_btnStopScan; }
    int progressTextTrailingConstraint() const { return m_trailing; }
    QFrame *adwareListBox() const { return m_adwareListBox; }
    QTableWidget *tblAdwareList() const { return m_tblAdwareList; }
    // The threat table's check box and show-in-file-manager cell of a row
    // (viewport coordinates), and the check state a person sees.
    QRect threatCheckRect(int row) const;
    QRect threatShowRect(int row) const;
    bool isThreatChecked(int row) const;
    QPushButton *quarantine() const { return m_quarantine; }
    QFrame *greenView() const { return m_greenView; }
    QFrame *redView() const { return m_redView; }
    QLabel *redViewText() const { return m_redViewText; }
    QPushButton *scanNow() const { return m_scanNow; }
    QFrame *undeletedAdwareListBox() const { return m_undeletedAdwareListBox; }
    QTableWidget *tblThreatInfo() const { return m_tblThreatInfo; }
    QLabel *lblResult() const { return m_lblResult; }
    QLabel *lblThreatInfo() const { return m_lblThreatInfo; }
    QLabel *imgBackReport() const { return m_imgBackReport; }
    QLabel *imgAdwareStatus() const { return m_imgAdwareStatus; }
    QPushButton *reportButton() const { return m_reportButton; }
    // Names of the images shown in the summary.
    QString imgBackReportName() const { return m_backName; }
    QString imgAdwareStatusName() const { return m_statusName; }

    // The Dashboard's word on the red box: its text, and whether the box
    // and its scan button show (the green box hides).
    void showDashboardState(const QString &text, bool scanNowShown);

    // The percentage text and bar ("%.0f%").
    void setProgress(double percent);
    double progress() const { return m_progress; }
    void setIndeterminate(bool indeterminate);
    bool isIndeterminate() const;
    // The current entry (shortened in the middle).
    void virusUrlChange(const QString &text);

    // The result panels and the remove button after a change of the list.
    void changeInList(bool isScanning, bool isTodayScan);

    // The phases of a scan, as the scan driver reports them.
    void scanStarted(qint64 scanType);
    void countEnded();
    // The ended scan's threats with their check boxes and the boxes.
    void showScanEnded(bool isTodayScan);

    // Actions.
    void stopScan();
    void removeAdwarePressed();
    void viewReport();
    void revelInfinder(int row);
    void showAdwareInFileDelegate(int row);

private:
    QList<AdwarePtr> threatRows() const;
    void addThreatRow(int row);
    // Rows for the findings listed since the last call, added in one go.
    void addPendingThreatRows();
    void threatCheckChanged(QTableWidgetItem *item);
    void reloadThreatTable();
    void scanEnded(const ReportPtr &report);
    void showOutcomeBox();
    void reloadOutcomeTable();
    void showSummary();
    void setQuarantineEnabled(bool enabled);

    AppDelegate *m_app = nullptr;
    std::unique_ptr<ScanRemoval> m_scanRemoval;
    QPointer<BrowserClosePanel> m_browserView;

    QFrame *m_whiteView;
    QLabel *m_scanningProgressText;
    QProgressBar *m_scanningProgressIndicator;
    QLabel *m_lblScanningType;
    MiddleElidedLabel *m_scanFileText;
    SpinnerView *m_scanIndicator;
    QPushButton *m_btnStopScan;
    QFrame *m_adwareListBox;
    QTableWidget *m_tblAdwareList;
    QPushButton *m_quarantine;
    QFrame *m_greenView;
    QFrame *m_redView;
    QLabel *m_redViewText;
    QPushButton *m_scanNow;
    QFrame *m_undeletedAdwareListBox;
    QTableWidget *m_tblThreatInfo;
    QLabel *m_lblResult;
    QLabel *m_lblThreatInfo;
    QLabel *m_imgBackReport;
    QLabel *m_imgAdwareStatus;
    QPushButton *m_reportButton;
    QFrame *m_summaryBar;
    // One icon for every show button: a row is made per finding while the scan runs.
    QIcon m_openIcon;
    // Findings come in bursts while a scan runs; their rows are added at
    // most once per frame, so a burst costs one layout of the table.
    QTimer m_threatRowTimer;
    QString m_backName;
    QString m_statusName;
    int m_trailing = kTrailingWithoutStop;
    double m_progress = 0;
};
