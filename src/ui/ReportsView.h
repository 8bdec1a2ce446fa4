#pragma once

#include "reports/Reports.h"
#include "ui/PageView.h"

class AppDelegate;
class ButtonWithSpinner;
class QAbstractButton;
class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QVBoxLayout;

// The Reports page of the main window (the application object's `reportsObj`):
// the stored scan reports newest first (or an empty state), one report's
// detail with its threats and check boxes, the outcome of a removal, and the
// buttons to go back, delete, remove, scan and get help. Every decision is
// the Reports model's; this page shows its state and hands it the clicks.
// The pages carry the suffix "View": the engine has its own Tools and Reports.
class ReportsView : public PageView
{
    Q_OBJECT
public:
    explicit ReportsView(AppDelegate &app, QWidget *parent = nullptr);

    Reports &model() { return m_model; }

    // The tab change: choosing the Reports tab re-reads the list.
    void tabSelected(qint64 tag);

    QStackedWidget *boxes() const { return m_boxes; }
    QWidget *emptyState() const { return m_emptyState; }
    QWidget *reportMain() const { return m_reportMain; }
    QWidget *reportDetails() const { return m_reportDetails; }
    QWidget *adwareReportBox() const { return m_adwareReportBox; }
    // Row widgets of the three tables, in row order.
    QList<QWidget *> reportRows() const { return m_reportRows; }
    QList<QWidget *> detailRows() const { return m_detailRows; }
    QList<QWidget *> outcomeRows() const { return m_outcomeRows; }
    QCheckBox *checkAll() const { return m_checkAll; }
    QPushButton *quarantineThreats() const { return m_quarantineThreats; }

Q_SIGNALS:
    // The scan button: the Dashboard starts the scan its button names.
    void scanStartRequested(QAbstractButton *sender);

private:
    QWidget *makeEmptyState();
    QWidget *makeReportMain();
    QWidget *makeReportDetails();
    QWidget *makeAdwareReportBox();
    QPushButton *makeButton(const QString &name, const QString &title, const QString &accessibleName);
    void showBox(Reports::Box box);
    void reloadReportList();
    void fillDetailHeader(const ReportPtr &report);
    void reloadDetailTable();
    void reloadOutcomeTable();
    void showSummary(const OutcomeDisplay::Summary &summary);
    void scanStart(QAbstractButton *sender);
    void wantHelp();

    AppDelegate &m_app;
    Reports &m_model;
    QStackedWidget *m_boxes;
    QWidget *m_emptyState = nullptr;
    QWidget *m_reportMain = nullptr;
    QWidget *m_reportDetails = nullptr;
    QWidget *m_adwareReportBox = nullptr;
    QVBoxLayout *m_reportTable = nullptr;
    QVBoxLayout *m_reportDetailTable = nullptr;
    QVBoxLayout *m_adwareReportTable = nullptr;
    QList<QWidget *> m_reportRows;
    QList<QWidget *> m_detailRows;
    QList<QWidget *> m_outcomeRows;
    QLabel *m_scanType = nullptr;
    QLabel *m_txtScanPath = nullptr;
    QLabel *m_infectionCount = nullptr;
    QLabel *m_scanDuration = nullptr;
    QLabel *m_lblScanStatus = nullptr;
    QLabel *m_scanStartTime = nullptr;
    QLabel *m_lblResult = nullptr;
    QLabel *m_lblThreatInfo = nullptr;
    QLabel *m_imgAdwareStatus = nullptr;
    QWidget *m_imgBackReport = nullptr;
    QCheckBox *m_checkAll = nullptr;
    QPushButton *m_quarantineThreats = nullptr;
};
