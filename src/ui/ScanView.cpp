#include "ui/ScanView.h"

#include "app/AppDelegate.h"
#include "app/NotificationNames.h"
#include "platform/Platform.h"
#include "remedy/FourceQuitBrowserView.h"
#include "remedy/OutcomeDisplay.h"
#include "remedy/ScanRemoval.h"
#include "ui/BrowserClosePanel.h"
#include "ui/CheckCellDelegate.h"
#include "ui/DashboardView.h"
#include "ui/Images.h"
#include "ui/MainWindow.h"
#include "ui/MiddleElidedLabel.h"
#include "ui/SpinnerView.h"
#include "ui/UiTiming.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// How often rows for new findings are added while a scan runs.
constexpr int kThreatRowMilliseconds = 100;
constexpr int kCheckColumn = 0;
constexpr int kShowColumn = 4;

QFrame *box(const QString &name, const QString &accessible, QWidget *parent, const QString &style = QString())
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setAccessibleName(accessible);
    if (!style.isEmpty())
        frame->setStyleSheet(QStringLiteral("QFrame#%1 { %2 } QFrame#%1 QLabel { color: white; font-weight: bold; }")
                                 .arg(name, style));
    return frame;
}

QTableWidget *table(const QString &name, const QString &accessible, const QStringList &headers, QWidget *parent)
{
    auto *view = new QTableWidget(0, int(headers.size()), parent);
    view->setObjectName(name);
    view->setAccessibleName(accessible);
    view->setHorizontalHeaderLabels(headers);
    view->verticalHeader()->hide();
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setFocusPolicy(Qt::NoFocus);
    view->setStyleSheet(QStringLiteral("QTableWidget { border-radius: 4px; }"));
    view->verticalHeader()->setDefaultSectionSize(30);
    view->setWordWrap(false);
    view->setTextElideMode(Qt::ElideMiddle);
    return view;
}

QTableWidgetItem *textItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setToolTip(text);
    return item;
}

QPushButton *showButton(int row, const QIcon &icon, QWidget *parent)
{
    auto *button = new QPushButton(icon, QString(), parent);
    button->setObjectName(QStringLiteral("btnShow"));
    button->setAccessibleName(QStringLiteral("Show in file manager"));
    button->setToolTip(QStringLiteral("Show in file manager"));
    button->setProperty("tag", row);
    button->setFlat(true);
    return button;
}

// A round dot standing for the gray and light red indicator images.
QPixmap indicator(const QString &name)
{
    QPixmap dot(12, 12);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(name == QLatin1String("icn_light_red") ? QColor(240, 110, 100) : QColor(170, 170, 170));
    painter.drawEllipse(1, 1, 10, 10);
    return dot;
}

QColor colourOf(const NamedColour &colour)
{
    return QColor(colour.red, colour.green, colour.blue, int(colour.alpha * 255));
}
} // namespace

ScanView::ScanView(QWidget *parent)
    : PageView(QStringLiteral("scanObj"), QStringLiteral("Scan"), parent)
    , m_whiteView(box(QStringLiteral("whiteView"), QStringLiteral("Scanning"), this,
                      QStringLiteral("background: white; border-radius: 6px;")))
    , m_scanningProgressText(new QLabel(QStringLiteral("0%"), m_whiteView))
    , m_scanningProgressIndicator(new QProgressBar(m_whiteView))
    , m_lblScanningType(new QLabel(QStringLiteral("Scanning Entry:"), m_whiteView))
    , m_scanFileText(new MiddleElidedLabel(m_whiteView))
    , m_scanIndicator(new SpinnerView(m_whiteView))
    , m_btnStopScan(new QPushButton(QStringLiteral("Stop"), m_whiteView))
    , m_adwareListBox(box(QStringLiteral("adwareListBox"), QStringLiteral("Threats"), this))
    , m_tblAdwareList(table(QStringLiteral("tblAdwareList"), QStringLiteral("Threats found"),
                            {QString(), QStringLiteral("Threat"), QStringLiteral("Infection"), QStringLiteral("Risk"),
                             QString()},
                            m_adwareListBox))
    , m_quarantine(new QPushButton(QStringLiteral("Remove Selected"), m_adwareListBox))
    , m_greenView(box(QStringLiteral("greenView"), QStringLiteral("No threats"), this,
                      QStringLiteral("background: #43c659; border-radius: 6px;")))
    , m_redView(box(QStringLiteral("redView"), QStringLiteral("Attention"), this,
                    QStringLiteral("background: #d9453b; border-radius: 6px;")))
    , m_redViewText(new QLabel(m_redView))
    , m_scanNow(new QPushButton(QStringLiteral("Scan Now"), m_redView))
    , m_undeletedAdwareListBox(box(QStringLiteral("undeletedAdwareListBox"), QStringLiteral("Removal outcome"), this))
    , m_tblThreatInfo(table(QStringLiteral("tblThreatInfo"), QStringLiteral("Removal outcome"),
                            {QString(), QStringLiteral("Path"), QStringLiteral("Status"), QStringLiteral("Infection"),
                             QString()},
                            m_undeletedAdwareListBox))
    , m_lblResult(new QLabel(m_undeletedAdwareListBox))
    , m_lblThreatInfo(new QLabel(m_undeletedAdwareListBox))
    , m_imgBackReport(new QLabel(m_undeletedAdwareListBox))
    , m_imgAdwareStatus(new QLabel(m_undeletedAdwareListBox))
    , m_reportButton(new QPushButton(QStringLiteral("View Report"), m_undeletedAdwareListBox))
    , m_summaryBar(new QFrame(m_undeletedAdwareListBox))
    , m_openIcon(Images::named(QStringLiteral("btn_open")))
{
    const QList<QPair<QWidget *, QString>> names{
        {m_scanningProgressText, QStringLiteral("scanningProgressText|Scan progress")},
        {m_scanningProgressIndicator, QStringLiteral("scanningProgressIndicator|Scan progress bar")},
        {m_lblScanningType, QStringLiteral("lblScanningType|Scan phase")},
        {m_scanFileText, QStringLiteral("scanFileText|Entry being scanned")},
        {m_scanIndicator, QStringLiteral("scanIndicator|Counting files")},
        {m_btnStopScan, QStringLiteral("btnStopScan|Stop scan")},
        {m_quarantine, QStringLiteral("quarantine|Remove selected threats")},
        {m_redViewText, QStringLiteral("redViewText|Scan status")},
        {m_scanNow, QStringLiteral("scanNow|Scan Now")},
        {m_lblResult, QStringLiteral("lblResult|Failed removals")},
        {m_lblThreatInfo, QStringLiteral("lblThreatInfo|Removal summary")},
        {m_imgBackReport, QStringLiteral("imgBackReport|Summary background")},
        {m_imgAdwareStatus, QStringLiteral("imgAdwareStatus|Summary status")},
        {m_reportButton, QStringLiteral("viewReport|View report")},
    };
    for (const auto &[widget, pair] : names) {
        widget->setObjectName(pair.section(QLatin1Char('|'), 0, 0));
        widget->setAccessibleName(pair.section(QLatin1Char('|'), 1, 1));
    }

    // The scanning panel.
    m_scanningProgressIndicator->setRange(0, 100);
    m_scanningProgressIndicator->setTextVisible(false);
    m_scanningProgressIndicator->setMinimumHeight(14);
    QFont percentFont = m_scanningProgressText->font();
    percentFont.setPointSizeF(percentFont.pointSizeF() * 1.5);
    percentFont.setBold(true);
    m_scanningProgressText->setFont(percentFont);
    m_scanningProgressText->setStyleSheet(QStringLiteral("color: #3983fb;"));
    m_scanningProgressText->setMinimumWidth(QFontMetrics(percentFont).horizontalAdvance(QStringLiteral("100%")) + 4);
    m_scanningProgressText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lblScanningType->setStyleSheet(QStringLiteral("color: #333; font-weight: bold;"));
    m_scanFileText->setStyleSheet(QStringLiteral("color: #333; font-weight: normal;"));
    m_scanIndicator->setFixedSize(16, 16);
    m_scanIndicator->hide();
    m_btnStopScan->setFixedSize(76, 28);
    m_btnStopScan->setStyleSheet(QStringLiteral("QPushButton { background: transparent; color: #333; "
                                                "border: 0.5px solid rgb(229, 229, 229); border-radius: 4px; }"));
    m_btnStopScan->hide();
    auto *whiteLayout = new QVBoxLayout(m_whiteView);
    whiteLayout->setContentsMargins(16, 12, 16, 12);
    auto *entryRow = new QHBoxLayout;
    entryRow->addWidget(m_lblScanningType);
    entryRow->addWidget(m_scanFileText, 1);
    entryRow->addWidget(m_scanIndicator);
    auto *barRow = new QHBoxLayout;
    barRow->addWidget(m_scanningProgressIndicator, 1);
    barRow->addWidget(m_scanningProgressText);
    barRow->addWidget(m_btnStopScan);
    whiteLayout->addLayout(entryRow);
    whiteLayout->addLayout(barRow);
    m_whiteView->hide();

    // The boxes after a scan.
    m_redViewText->setWordWrap(true);
    m_scanNow->setMinimumSize(110, 32);
    auto *redRow = new QHBoxLayout(m_redView);
    redRow->setContentsMargins(16, 10, 12, 10);
    redRow->addWidget(m_redViewText, 1);
    redRow->addWidget(m_scanNow);
    m_redView->setMinimumHeight(56);
    auto *greenText = new QLabel(QStringLiteral("No threats were found. Your Mac is clean."), m_greenView);
    greenText->setObjectName(QStringLiteral("greenViewText"));
    auto *greenRow = new QHBoxLayout(m_greenView);
    greenRow->setContentsMargins(16, 10, 12, 10);
    greenRow->addWidget(greenText, 1);
    m_greenView->setMinimumHeight(56);
    m_greenView->hide();

    // The threat table.
    QHeaderView *header = m_tblAdwareList->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    m_tblAdwareList->setColumnWidth(0, 34);
    m_tblAdwareList->setColumnWidth(2, 190);
    m_tblAdwareList->setColumnWidth(3, 90);
    m_tblAdwareList->setColumnWidth(4, 44);
    m_tblAdwareList->setItemDelegateForColumn(kCheckColumn, new CheckCellDelegate(m_tblAdwareList));
    // The check boxes are cells, so the table takes the keyboard for them.
    m_tblAdwareList->setFocusPolicy(Qt::StrongFocus);
    m_tblAdwareList->setIconSize(QSize(18, 18));
    connect(m_tblAdwareList, &QTableWidget::itemChanged, this, &ScanView::threatCheckChanged);
    connect(m_tblAdwareList, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == kShowColumn)
            revelInfinder(row);
    });
    m_quarantine->setProperty("primary", true);
    m_quarantine->setMinimumSize(150, 32);
    m_quarantine->setEnabled(false);
    m_quarantine->hide();
    auto *listLayout = new QVBoxLayout(m_adwareListBox);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(m_tblAdwareList, 1);
    auto *removeRow = new QHBoxLayout;
    removeRow->addStretch(1);
    removeRow->addWidget(m_quarantine);
    listLayout->addLayout(removeRow);

    // The outcome.
    m_summaryBar->setObjectName(QStringLiteral("summaryBar"));
    m_summaryBar->setMinimumHeight(44);
    m_imgBackReport->setParent(m_summaryBar);
    m_imgBackReport->setScaledContents(true);
    m_imgAdwareStatus->setFixedSize(24, 24);
    m_lblThreatInfo->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    auto *summaryRow = new QHBoxLayout(m_summaryBar);
    summaryRow->setContentsMargins(14, 6, 14, 6);
    summaryRow->addWidget(m_imgAdwareStatus);
    summaryRow->addWidget(m_lblThreatInfo, 1);
    summaryRow->addWidget(m_lblResult);
    m_tblThreatInfo->setProperty("tag", 1);
    QHeaderView *outcomeHeader = m_tblThreatInfo->horizontalHeader();
    outcomeHeader->setSectionResizeMode(1, QHeaderView::Stretch);
    m_tblThreatInfo->setColumnWidth(0, 28);
    m_tblThreatInfo->setColumnWidth(2, 100);
    m_tblThreatInfo->setColumnWidth(3, 170);
    m_tblThreatInfo->setColumnWidth(4, 44);
    m_reportButton->setMinimumSize(120, 32);
    auto *outcomeLayout = new QVBoxLayout(m_undeletedAdwareListBox);
    outcomeLayout->setContentsMargins(0, 0, 0, 0);
    outcomeLayout->addWidget(m_summaryBar);
    outcomeLayout->addWidget(m_tblThreatInfo, 1);
    auto *reportRow = new QHBoxLayout;
    reportRow->addStretch(1);
    reportRow->addWidget(m_reportButton);
    outcomeLayout->addLayout(reportRow);
    m_undeletedAdwareListBox->hide();

    body()->addWidget(m_whiteView);
    body()->addWidget(m_redView);
    body()->addWidget(m_greenView);
    body()->addWidget(m_adwareListBox, 1);
    body()->addWidget(m_undeletedAdwareListBox, 1);
    // The page's title and boxes take the top; the tables take the rest.
    if (auto *outer = qobject_cast<QVBoxLayout *>(layout())) {
        outer->setStretch(outer->indexOf(body()), 1);
        outer->setStretch(outer->count() - 1, 0);
    }

    connect(m_btnStopScan, &QPushButton::clicked, this, &ScanView::stopScan);
    connect(m_quarantine, &QPushButton::clicked, this, &ScanView::removeAdwarePressed);
    connect(m_reportButton, &QPushButton::clicked, this, &ScanView::viewReport);
    connect(m_scanNow, &QPushButton::clicked, this, [this] {
        if (auto *main = qobject_cast<MainWindow *>(window()))
            main->dashboardObj()->scanStartAction();
    });
}

ScanView::~ScanView() = default;

void ScanView::setUp(AppDelegate &app, ItemRemover *remover)
{
    m_app = &app;
    m_scanRemoval = std::make_unique<ScanRemoval>(app.platform(), remover);
    ScanDriver *driver = &app.scanDriver();
    m_scanRemoval->setIsScanning([driver] { return driver->isScanning(); });
    connect(m_scanRemoval.get(), &ScanRemoval::quarantineEnabledChanged, this, &ScanView::setQuarantineEnabled);
    connect(m_scanRemoval.get(), &ScanRemoval::outcomeBoxShown, this, &ScanView::showOutcomeBox);
    connect(m_scanRemoval.get(), &ScanRemoval::threatTableReloaded, this, &ScanView::reloadOutcomeTable);
    connect(m_scanRemoval.get(), &ScanRemoval::summaryChanged, this, &ScanView::showSummary);
    m_browserView = new BrowserClosePanel(m_scanRemoval->browserGuard().panel(), window());

    connect(driver, &ScanDriver::scanStarted, this, &ScanView::scanStarted);
    connect(driver, &ScanDriver::countCompleted, this, &ScanView::countEnded);
    connect(driver, &ScanDriver::inventoriesReady, this, [this] {
        if (m_app && m_app->scanDriver().state().scanType == 0) {
            m_scanIndicator->stopAnimation();
            m_scanIndicator->hide();
        }
    });
    m_threatRowTimer.setSingleShot(true);
    connect(&m_threatRowTimer, &QTimer::timeout, this, &ScanView::addPendingThreatRows);
    connect(driver, &ScanDriver::threatAdded, this, [this] {
        if (!m_threatRowTimer.isActive())
            m_threatRowTimer.start(UiTiming::delay(kThreatRowMilliseconds));
    });
    connect(driver, &ScanDriver::scanFinished, this, &ScanView::scanEnded);
}

void ScanView::showDashboardState(const QString &text, bool scanNowShown)
{
    m_redViewText->setText(text);
    m_redView->show();
    m_greenView->hide();
    m_scanNow->setVisible(scanNowShown);
}

void ScanView::setProgress(double percent)
{
    m_progress = qBound(0.0, percent, 100.0);
    m_scanningProgressIndicator->setValue(int(m_progress));
    m_scanningProgressText->setText(QStringLiteral("%1%").arg(m_progress, 0, 'f', 0));
}

void ScanView::setIndeterminate(bool indeterminate)
{
    if (indeterminate)
        m_scanningProgressIndicator->setRange(0, 0);
    else if (isIndeterminate()) {
        m_scanningProgressIndicator->setRange(0, 100);
        m_scanningProgressIndicator->setValue(int(m_progress));
    }
}

bool ScanView::isIndeterminate() const
{
    return m_scanningProgressIndicator->maximum() == 0;
}

void ScanView::virusUrlChange(const QString &text)
{
    m_scanFileText->setFullText(text);
}

void ScanView::scanStarted(qint64 scanType)
{
    if (auto *main = qobject_cast<MainWindow *>(window()))
        main->tabChangeType(20);
    m_scanRemoval->scanStarted();
    m_whiteView->show();
    m_scanningProgressIndicator->show();
    m_scanningProgressIndicator->raise();
    m_adwareListBox->show();
    m_undeletedAdwareListBox->hide();
    m_redView->hide();
    m_greenView->hide();
    m_quarantine->hide();
    reloadThreatTable();
    m_progress = 0;
    setProgress(0);
    m_scanFileText->setFullText(QString());
    m_scanIndicator->show();
    m_scanIndicator->startAnimation();
    const bool counts = scanType != 0;
    m_lblScanningType->setText(counts ? QStringLiteral("Calculating Files:") : QStringLiteral("Scanning Entry:"));
    m_btnStopScan->setVisible(counts);
    m_trailing = counts ? kTrailingWithStop : kTrailingWithoutStop;
    setIndeterminate(counts);
}

void ScanView::countEnded()
{
    m_scanIndicator->stopAnimation();
    m_scanIndicator->hide();
    m_lblScanningType->setText(QStringLiteral("Scanning Entry:"));
    setIndeterminate(false);
}

void ScanView::stopScan()
{
    setIndeterminate(false);
    setProgress(0);
    m_btnStopScan->hide();
    m_trailing = kTrailingWithoutStop;
    if (m_app) {
        m_app->scanDriver().state().ScanTypeCount = 2;
        m_app->platform().notifications().post(NotificationNames::StopScan);
    }
}

QList<AdwarePtr> ScanView::threatRows() const
{
    if (!m_app)
        return {};
    // While a scan runs the rows are the driver's findings as they come;
    // afterwards the list of the ended scan that removal works on.
    if (m_app->scanDriver().isScanning() || !m_scanRemoval)
        return m_app->scanDriver().arrAdwareList();
    return m_scanRemoval->arrAdwareList();
}

void ScanView::addThreatRow(int row)
{
    const QList<AdwarePtr> rows = threatRows();
    if (row < 0 || row >= rows.size())
        return;
    const AdwarePtr &adware = rows.at(row);
    if (m_tblAdwareList->rowCount() <= row)
        m_tblAdwareList->setRowCount(row + 1);
    // Items only, no widgets: a scan may add hundreds of rows while it runs.
    const bool scanning = m_app->scanDriver().isScanning();
    const QSignalBlocker blocker(m_tblAdwareList);
    auto *check = new QTableWidgetItem;
    check->setData(Qt::AccessibleTextRole, QStringLiteral("Remove %1").arg(adware->name()));
    check->setCheckState(scanning || (m_scanRemoval && m_scanRemoval->arrThreats().contains(adware)) ? Qt::Checked
                                                                                                      : Qt::Unchecked);
    check->setFlags(scanning ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    m_tblAdwareList->setItem(row, kCheckColumn, check);
    QTableWidgetItem *name = textItem(adware->name());
    name->setData(Qt::UserRole, adware->path());
    m_tblAdwareList->setItem(row, 1, name);
    m_tblAdwareList->setItem(row, 2, textItem(adware->infections()));
    auto *risk = textItem(QStringLiteral("High Risk"));
    risk->setForeground(QColor(57, 131, 251));
    m_tblAdwareList->setItem(row, 3, risk);
    auto *show = new QTableWidgetItem(m_openIcon, QString());
    show->setFlags(Qt::ItemIsEnabled);
    show->setToolTip(QStringLiteral("Show in file manager"));
    show->setData(Qt::AccessibleTextRole, QStringLiteral("Show in file manager"));
    m_tblAdwareList->setItem(row, kShowColumn, show);
}

void ScanView::threatCheckChanged(QTableWidgetItem *item)
{
    if (!item || item->column() != kCheckColumn || !m_scanRemoval)
        return;
    const int row = item->row();
    const bool on = item->checkState() == Qt::Checked;
    const QList<AdwarePtr> rows = threatRows();
    if (row >= 0 && row < rows.size())
        rows.at(row)->setIsChecked(on);
    m_scanRemoval->checkBoxAction(row, on);
}

bool ScanView::isThreatChecked(int row) const
{
    const QTableWidgetItem *check = m_tblAdwareList->item(row, kCheckColumn);
    return check && check->checkState() == Qt::Checked;
}

QRect ScanView::threatCheckRect(int row) const
{
    QStyleOptionViewItem option;
    option.initFrom(m_tblAdwareList->viewport());
    option.rect = m_tblAdwareList->visualRect(m_tblAdwareList->model()->index(row, kCheckColumn));
    return CheckCellDelegate::checkRect(option);
}

QRect ScanView::threatShowRect(int row) const
{
    return m_tblAdwareList->visualRect(m_tblAdwareList->model()->index(row, kShowColumn));
}

void ScanView::addPendingThreatRows()
{
    const int rows = int(threatRows().size());
    const int first = m_tblAdwareList->rowCount();
    if (rows <= first)
        return;
    m_tblAdwareList->setRowCount(rows);
    for (int row = first; row < rows; ++row)
        addThreatRow(row);
}

void ScanView::reloadThreatTable()
{
    m_threatRowTimer.stop();
    m_tblAdwareList->clearContents();
    const int rows = int(threatRows().size());
    m_tblAdwareList->setRowCount(rows);
    for (int row = 0; row < rows; ++row)
        addThreatRow(row);
}

void ScanView::scanEnded(const ReportPtr &report)
{
    setIndeterminate(false);
    setProgress(0);
    m_btnStopScan->hide();
    m_scanIndicator->stopAnimation();
    m_scanIndicator->hide();
    for (const AdwarePtr &adware : m_app->scanDriver().arrAdwareList())
        adware->setIsChecked(true);
    // A scan that made no report (nothing found under real-time protection, or
    // a root that could not be read) leaves nothing for removal to update.
    m_scanRemoval->scanEnded(m_app->scanDriver().arrAdwareList(), report);
    auto *main = qobject_cast<MainWindow *>(window());
    if (main && main->dashboardObj())
        main->dashboardObj()->makeAccessibleUIChanges();
    showScanEnded(main && main->dashboardObj() && main->dashboardObj()->isTodayScan());
}

void ScanView::showScanEnded(bool isTodayScan)
{
    m_whiteView->hide();
    m_adwareListBox->show();
    m_undeletedAdwareListBox->hide();
    m_threatRowTimer.stop();
    addPendingThreatRows();
    // The rows made while the scan ran stay; only their check boxes wake.
    const QList<AdwarePtr> rows = threatRows();
    bool same = m_tblAdwareList->rowCount() == rows.size();
    for (int row = 0; same && row < rows.size(); ++row) {
        const QTableWidgetItem *name = m_tblAdwareList->item(row, 1);
        same = name && name->data(Qt::UserRole).toString() == rows.at(row)->path();
    }
    if (same) {
        for (int row = 0; row < rows.size(); ++row) {
            if (QTableWidgetItem *check = m_tblAdwareList->item(row, kCheckColumn)) {
                const QSignalBlocker blocker(m_tblAdwareList);
                check->setCheckState(Qt::Checked);
                check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            }
        }
    } else {
        reloadThreatTable();
    }
    changeInList(false, isTodayScan);
}

void ScanView::changeInList(bool isScanning, bool isTodayScan)
{
    // Threats whose file went away since the scan (removed from a report or
    // by hand) leave the list.
    if (!isScanning && m_scanRemoval && m_scanRemoval->checkForAvailble(m_app->platform().volume().root()))
        reloadThreatTable();
    m_whiteView->setVisible(isScanning);
    if (isScanning) {
        m_redView->hide();
        m_greenView->hide();
    } else if (isTodayScan) {
        const bool found = m_scanRemoval && !m_scanRemoval->arrAdwareList().isEmpty();
        m_redView->setVisible(found);
        m_greenView->setVisible(!found);
        m_quarantine->setVisible(!m_undeletedAdwareListBox->isVisibleTo(this));
    } else {
        m_redView->show();
        m_greenView->hide();
        m_quarantine->hide();
    }
    bool anyChecked = false;
    if (m_scanRemoval) {
        for (const AdwarePtr &adware : m_scanRemoval->arrAdwareList())
            anyChecked = anyChecked || adware->isChecked();
    }
    m_quarantine->setEnabled(anyChecked);
}

void ScanView::setQuarantineEnabled(bool enabled)
{
    m_quarantine->setEnabled(enabled);
}

void ScanView::removeAdwarePressed()
{
    if (m_scanRemoval)
        m_scanRemoval->removeAdwarePressed();
}

void ScanView::showOutcomeBox()
{
    m_undeletedAdwareListBox->show();
    m_adwareListBox->hide();
    m_quarantine->hide();
}

void ScanView::reloadOutcomeTable()
{
    m_tblThreatInfo->clearContents();
    const ReportPtr report = m_scanRemoval->reportUnderRemoval();
    const QList<AdwarePtr> threats = report ? report->adwareList() : QList<AdwarePtr>();
    m_tblThreatInfo->setRowCount(int(threats.size()));
    for (int row = 0; row < threats.size(); ++row) {
        const AdwarePtr &adware = threats.at(row);
        const OutcomeDisplay::Row look = OutcomeDisplay::row(*adware);
        auto *dot = new QLabel;
        dot->setObjectName(QStringLiteral("imgAdwareIndicator"));
        dot->setAccessibleName(look.indicatorImage);
        dot->setPixmap(indicator(look.indicatorImage));
        dot->setAlignment(Qt::AlignCenter);
        m_tblThreatInfo->setCellWidget(row, 0, dot);
        m_tblThreatInfo->setItem(row, 1, textItem(adware->path()));
        auto *status = textItem(look.status);
        status->setForeground(colourOf(look.colour));
        m_tblThreatInfo->setItem(row, 2, status);
        m_tblThreatInfo->setItem(row, 3, textItem(adware->infections()));
        if (look.showButtonVisible) {
            QPushButton *show = showButton(row, m_openIcon, m_tblThreatInfo);
            connect(show, &QPushButton::clicked, this,
                    [this, show] { showAdwareInFileDelegate(show->property("tag").toInt()); });
            m_tblThreatInfo->setCellWidget(row, 4, show);
        }
    }
}

void ScanView::showSummary()
{
    const OutcomeDisplay::Summary &summary = m_scanRemoval->summary();
    m_lblResult->setText(summary.resultText);
    QFont bold = m_lblResult->font();
    bold.setBold(true);
    bold.setPointSize(12);
    m_lblResult->setFont(bold);
    m_lblResult->setAlignment(Qt::AlignCenter);
    m_lblResult->setStyleSheet(QStringLiteral("color: white; padding-bottom: %1px;").arg(summary.baselineOffset));
    m_lblThreatInfo->setText(summary.threatInfo);
    m_backName = summary.backgroundImage;
    m_statusName = summary.statusImage;
    m_imgAdwareStatus->setPixmap(Images::named(m_statusName).pixmap(24, 24));
    const QString background = m_backName == QLatin1String("no_threats_bg") ? QStringLiteral("#43c659")
                                                                            : QStringLiteral("#d9453b");
    m_summaryBar->setStyleSheet(QStringLiteral("QFrame#summaryBar { background: %1; border-radius: 4px; }").arg(background));
    m_imgBackReport->setAccessibleName(m_backName);
}

void ScanView::viewReport()
{
    if (!m_app || !m_scanRemoval)
        return;
    const ReportPtr report = m_scanRemoval->report();
    if (report)
        report->setAdwareList(m_scanRemoval->arrAdwareList());
    if (auto *main = qobject_cast<MainWindow *>(window()))
        main->tabChangeType(40);
    m_app->platform().notifications().post(NotificationNames::RefreshReport, QVariant::fromValue(report));
}

void ScanView::revelInfinder(int row)
{
    const QList<AdwarePtr> rows = threatRows();
    if (!m_app || row < 0 || row >= rows.size())
        return;
    m_app->platform().workspace().revealInFileManager(rows.at(row)->path());
}

void ScanView::showAdwareInFileDelegate(int row)
{
    const ReportPtr report = m_scanRemoval ? m_scanRemoval->reportUnderRemoval() : ReportPtr();
    if (!m_app || !report || row < 0 || row >= report->adwareList().size())
        return;
    m_app->platform().workspace().revealInFileManager(report->adwareList().at(row)->path());
}
