#include "ui/ReportsView.h"

#include "app/AppDelegate.h"
#include "platform/Platform.h"
#include "ui/AppDelegateWindow.h"
#include "ui/ButtonWithSpinner.h"
#include "ui/Images.h"
#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimeZone>
#include <QVBoxLayout>

namespace {
constexpr qint64 kReportsTag = 40;
const char *const kTag = "tag";

QColor colourOf(const NamedColour &colour)
{
    return QColor(colour.red, colour.green, colour.blue, int(colour.alpha * 255));
}

QLabel *namedLabel(const QString &name, const QString &text = QString())
{
    auto *label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

QLabel *imageLabel(const QString &name, const QString &image, int size)
{
    QLabel *label = namedLabel(name);
    label->setFixedSize(size, size);
    label->setPixmap(Images::named(image).pixmap(size, size));
    label->setProperty("image", image);
    return label;
}

void setImage(QLabel *label, const QString &image, int size)
{
    label->setPixmap(Images::named(image).pixmap(size, size));
    label->setProperty("image", image);
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

// A table of row widgets: a scroll area over a column the rows are added to.
QScrollArea *makeTable(const QString &name, const QString &accessibleName, QVBoxLayout *&rows)
{
    auto *scroll = new QScrollArea;
    scroll->setObjectName(name);
    scroll->setAccessibleName(accessibleName);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget;
    content->setAutoFillBackground(true);
    content->setBackgroundRole(QPalette::Base);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    rows = new QVBoxLayout;
    rows->setSpacing(0);
    layout->addLayout(rows);
    layout->addStretch(1);
    scroll->setWidget(content);
    return scroll;
}

void clearRows(QVBoxLayout *rows, QList<QWidget *> &widgets)
{
    for (QWidget *widget : std::as_const(widgets)) {
        rows->removeWidget(widget);
        widget->hide();
        widget->deleteLater();
    }
    widgets.clear();
}

QWidget *makeRow(const QString &name, int row)
{
    auto *widget = new QWidget;
    widget->setObjectName(name);
    widget->setAutoFillBackground(true);
    widget->setBackgroundRole(row % 2 ? QPalette::AlternateBase : QPalette::Base);
    return widget;
}

// The page's plain buttons, with corners rounded by 4 points.
QString secondaryButtonStyle()
{
    return QStringLiteral("QPushButton { background: palette(button); border: 1px solid palette(mid);"
                          " border-radius: 4px; padding: 5px 14px; }"
                          "QPushButton:pressed { background: palette(midlight); }");
}

QLabel *elided(const QString &name, const QString &text, Qt::TextElideMode mode, int width)
{
    QLabel *label = namedLabel(name);
    label->setText(label->fontMetrics().elidedText(text, mode, width));
    label->setToolTip(text);
    label->setAccessibleName(text);
    label->setProperty("fullText", text);
    return label;
}
} // namespace

ReportsView::ReportsView(AppDelegate &app, QWidget *parent)
    : PageView(QStringLiteral("reportsObj"), QStringLiteral("Reports"), parent)
    , m_app(app)
    , m_model(app.reportsObj())
    , m_boxes(new QStackedWidget)
{
    m_boxes->setObjectName(QStringLiteral("reportBoxes"));
    m_boxes->setMinimumHeight(380);
    m_boxes->addWidget(makeEmptyState());
    m_boxes->addWidget(makeReportMain());
    m_boxes->addWidget(makeReportDetails());
    m_boxes->addWidget(makeAdwareReportBox());
    body()->addWidget(m_boxes, 1);
    // Help and a new scan are at hand in every box.
    QPushButton *help = makeButton(QStringLiteral("wantHelp"), QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QPushButton::clicked, this, &ReportsView::wantHelp);
    auto *scanButton = new ButtonWithSpinner(QStringLiteral("Scan Now"));
    scanButton->setObjectName(QStringLiteral("scanButton"));
    scanButton->setAccessibleName(QStringLiteral("Scan now"));
    scanButton->setProperty("primary", true);
    connect(scanButton, &QPushButton::clicked, this, [this, scanButton] { scanStart(scanButton); });
    auto *bar = new QHBoxLayout;
    bar->addWidget(help);
    bar->addStretch(1);
    bar->addWidget(scanButton);
    body()->addLayout(bar);

    connect(&m_model, &Reports::boxChanged, this, &ReportsView::showBox);
    connect(&m_model, &Reports::isReportAvailableChanged, this, [this] { showBox(m_model.box()); });
    connect(&m_model, &Reports::reportListChanged, this, &ReportsView::reloadReportList);
    connect(&m_model, &Reports::detailHeaderChanged, this, &ReportsView::fillDetailHeader);
    connect(&m_model, &Reports::detailTableChanged, this, &ReportsView::reloadDetailTable);
    connect(&m_model, &Reports::outcomeTableChanged, this, &ReportsView::reloadOutcomeTable);
    connect(&m_model, &Reports::summaryChanged, this, &ReportsView::showSummary);
    connect(&m_model, &Reports::checkAllChanged, this, [this](Qt::CheckState state, bool enabled) {
        m_checkAll->setCheckState(state);
        m_checkAll->setEnabled(enabled);
    });
    connect(&m_model, &Reports::removeButtonChanged, this, [this](bool shown, bool enabled) {
        m_quarantineThreats->setVisible(shown);
        m_quarantineThreats->setEnabled(enabled);
    });
    reloadReportList();
    showBox(m_model.box());
}

QPushButton *ReportsView::makeButton(const QString &name, const QString &title, const QString &accessibleName)
{
    auto *button = new QPushButton(title);
    button->setObjectName(name);
    button->setAccessibleName(accessibleName);
    return button;
}

QWidget *ReportsView::makeEmptyState()
{
    m_emptyState = new QWidget;
    m_emptyState->setObjectName(QStringLiteral("emptyState"));
    auto *layout = new QVBoxLayout(m_emptyState);
    layout->addStretch(1);
    auto *icon = imageLabel(QStringLiteral("emptyImage"), QStringLiteral("icon1"), 64);
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    QLabel *heading = namedLabel(QStringLiteral("emptyHeading"), QStringLiteral("No scan reports yet"));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    heading->setFont(bold);
    layout->addWidget(heading, 0, Qt::AlignHCenter);
    QLabel *text = namedLabel(QStringLiteral("emptyText"),
                              QStringLiteral("Every scan leaves a report here. Run a scan to see your first one."));
    text->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(text, 0, Qt::AlignHCenter);
    layout->addStretch(2);
    return m_emptyState;
}

QWidget *ReportsView::makeReportMain()
{
    m_reportMain = new QWidget;
    m_reportMain->setObjectName(QStringLiteral("reportMain"));
    auto *layout = new QVBoxLayout(m_reportMain);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(makeTable(QStringLiteral("reportTable"), QStringLiteral("Scan reports"), m_reportTable), 1);
    return m_reportMain;
}

QWidget *ReportsView::makeReportDetails()
{
    m_reportDetails = new QWidget;
    m_reportDetails->setObjectName(QStringLiteral("reportDetails"));
    m_scanType = namedLabel(QStringLiteral("scanType"));
    QFont bold = m_scanType->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_scanType->setFont(bold);
    m_txtScanPath = namedLabel(QStringLiteral("txtScanPath"));
    m_infectionCount = namedLabel(QStringLiteral("infectionCount"));
    m_scanDuration = namedLabel(QStringLiteral("scanDuration"));
    m_lblScanStatus = namedLabel(QStringLiteral("lblScanStatus"));
    m_scanStartTime = namedLabel(QStringLiteral("scanStartTime"));
    QFont strong = m_lblScanStatus->font();
    strong.setBold(true);
    m_lblScanStatus->setFont(strong);

    auto *header = new QGridLayout;
    header->setHorizontalSpacing(10);
    header->addWidget(m_scanType, 0, 0, 1, 2);
    header->addWidget(m_scanStartTime, 0, 2, 1, 2, Qt::AlignRight);
    header->addWidget(m_txtScanPath, 1, 0, 1, 2);
    QLabel *infections = namedLabel(QStringLiteral("lblInfections"), QStringLiteral("Infections:"));
    infections->setFont(strong);
    auto *counts = new QHBoxLayout;
    counts->setSpacing(6);
    counts->addWidget(infections);
    counts->addWidget(m_infectionCount);
    counts->addSpacing(20);
    counts->addWidget(m_lblScanStatus);
    counts->addWidget(m_scanDuration);
    counts->addStretch(1);
    header->addLayout(counts, 2, 0, 1, 4);

    m_checkAll = new QCheckBox(QStringLiteral("Select all"));
    m_checkAll->setObjectName(QStringLiteral("checkAll"));
    m_checkAll->setAccessibleName(QStringLiteral("Select all threats"));
    m_checkAll->setTristate(true);
    connect(m_checkAll, &QCheckBox::clicked, this, [this] {
        // A click on the mixed box selects everything.
        m_model.checkAllAction(m_checkAll->checkState() == Qt::Unchecked ? Qt::Unchecked : Qt::Checked);
    });

    QPushButton *back = makeButton(QStringLiteral("backReport"), QStringLiteral("< Back"),
                                   QStringLiteral("Back to the report list"));
    QPushButton *trash = makeButton(QStringLiteral("trashReport"), QStringLiteral("Delete Report"),
                                    QStringLiteral("Delete this report"));
    m_quarantineThreats = makeButton(QStringLiteral("quarantineThreats"), QStringLiteral("Remove Selected"),
                                     QStringLiteral("Remove the selected threats"));
    m_quarantineThreats->setProperty("primary", true);
    for (QPushButton *button : {back, trash})
        button->setStyleSheet(secondaryButtonStyle());
    connect(back, &QPushButton::clicked, &m_model, &Reports::backtoReportList);
    connect(trash, &QPushButton::clicked, &m_model, &Reports::trashReport);
    connect(m_quarantineThreats, &QPushButton::clicked, &m_model, &Reports::removeSelected);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(trash);
    buttons->addStretch(1);
    buttons->addWidget(m_quarantineThreats);

    auto *layout = new QVBoxLayout(m_reportDetails);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(header);
    layout->addWidget(m_checkAll);
    layout->addWidget(makeTable(QStringLiteral("reportDetailTable"), QStringLiteral("Threats of the report"),
                                m_reportDetailTable),
                      1);
    layout->addLayout(buttons);
    return m_reportDetails;
}

QWidget *ReportsView::makeAdwareReportBox()
{
    m_adwareReportBox = new QWidget;
    m_adwareReportBox->setObjectName(QStringLiteral("adwareReportBox"));
    m_imgBackReport = new QWidget;
    m_imgBackReport->setObjectName(QStringLiteral("imgBackReport"));
    m_imgBackReport->setAttribute(Qt::WA_StyledBackground);
    m_imgBackReport->setFixedHeight(64);
    m_imgAdwareStatus = imageLabel(QStringLiteral("imgAdwareStatus"), QStringLiteral("icn_white"), 32);
    m_lblResult = namedLabel(QStringLiteral("lblResult"));
    m_lblThreatInfo = namedLabel(QStringLiteral("lblThreatInfo"));
    m_lblResult->setAlignment(Qt::AlignCenter);
    m_lblThreatInfo->setAlignment(Qt::AlignCenter);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(0);
    texts->addWidget(m_lblResult);
    texts->addWidget(m_lblThreatInfo);
    auto *banner = new QHBoxLayout(m_imgBackReport);
    banner->setContentsMargins(16, 6, 16, 6);
    banner->addWidget(m_imgAdwareStatus);
    banner->addLayout(texts, 1);

    QPushButton *view = makeButton(QStringLiteral("viewReport"), QStringLiteral("< Back to Report"),
                                   QStringLiteral("Back to the report"));
    view->setStyleSheet(secondaryButtonStyle());
    connect(view, &QPushButton::clicked, &m_model, &Reports::viewReport);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(view);
    buttons->addStretch(1);

    auto *layout = new QVBoxLayout(m_adwareReportBox);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_imgBackReport);
    layout->addWidget(makeTable(QStringLiteral("adwareReportTable"), QStringLiteral("Outcome of the removal"),
                                m_adwareReportTable),
                      1);
    layout->addLayout(buttons);
    return m_adwareReportBox;
}

void ReportsView::tabSelected(qint64 tag)
{
    if (tag == kReportsTag && m_app.tabtype == kReportsTag)
        m_model.reloadReportDates();
}

void ReportsView::showBox(Reports::Box box)
{
    switch (box) {
    case Reports::Box::List:
        m_boxes->setCurrentWidget(m_model.isReportAvailable() ? m_reportMain : m_emptyState);
        break;
    case Reports::Box::Detail:
        m_boxes->setCurrentWidget(m_reportDetails);
        break;
    case Reports::Box::Outcome:
        m_boxes->setCurrentWidget(m_adwareReportBox);
        break;
    }
}

void ReportsView::reloadReportList()
{
    clearRows(m_reportTable, m_reportRows);
    const QList<ReportPtr> &list = m_model.reportList();
    for (int row = 0; row < list.size(); ++row) {
        const ReportPtr &report = list.at(row);
        const bool found = report->adwareCount() > 0;
        QWidget *cell = makeRow(QStringLiteral("listReportCell"), row);
        cell->setFixedHeight(56);
        QLabel *image = imageLabel(QStringLiteral("image"), found ? QStringLiteral("icn_red_cross")
                                                                  : QStringLiteral("icn_green_check"),
                                   28);
        image->setAccessibleName(found ? QStringLiteral("Threats found") : QStringLiteral("No threats"));
        QLabel *scanType = namedLabel(QStringLiteral("scanType"), report->reportType());
        QFont bold = scanType->font();
        bold.setBold(true);
        scanType->setFont(bold);
        QLabel *scanTime = namedLabel(QStringLiteral("scanTime"), report->reportDateDisplay());
        scanTime->setForegroundRole(QPalette::PlaceholderText);
        QLabel *count = namedLabel(QStringLiteral("infectionCount"), QString::number(report->adwareCount()));
        count->setFont(bold);
        count->setMinimumWidth(40);
        count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        count->setAccessibleName(QStringLiteral("%1 threats").arg(report->adwareCount()));
        setTextColour(count, found ? colourOf(NamedColour::reportRed()) : QColor(67, 198, 89));
        auto *open = new QPushButton;
        open->setObjectName(QStringLiteral("openButton"));
        open->setIcon(Images::named(found ? QStringLiteral("btn_open") : QStringLiteral("btn_trash")));
        open->setIconSize(QSize(22, 22));
        open->setProperty("image", found ? QStringLiteral("btn_open") : QStringLiteral("btn_trash"));
        open->setProperty(kTag, row);
        open->setAccessibleName(found ? QStringLiteral("Open the %1 report").arg(report->reportType())
                                      : QStringLiteral("Delete the %1 report").arg(report->reportType()));
        open->setToolTip(open->accessibleName());
        connect(open, &QPushButton::clicked, this, [this, open] { m_model.openThisReport(open->property(kTag).toInt()); });

        auto *texts = new QVBoxLayout;
        texts->setSpacing(0);
        texts->addWidget(scanType);
        texts->addWidget(scanTime);
        auto *layout = new QHBoxLayout(cell);
        layout->setContentsMargins(12, 4, 12, 4);
        layout->setSpacing(12);
        layout->addWidget(image);
        layout->addLayout(texts, 1);
        layout->addWidget(count);
        layout->addWidget(open);
        m_reportTable->addWidget(cell);
        m_reportRows.append(cell);
    }
    showBox(m_model.box());
}

// The scanned-path line: a Full System Scan walks the whole disk; a Quick
// Scan works from the user's home folder; a Custom Scan's folder is not kept
// in the report, so the line says only that one was chosen.
void ReportsView::fillDetailHeader(const ReportPtr &report)
{
    if (!report)
        return;
    m_scanType->setText(report->reportType());
    QString path;
    if (report->reportType() == QLatin1String("Full System Scan"))
        path = QStringLiteral("/");
    else if (report->reportType() == QLatin1String("Quick Scan"))
        path = QStringLiteral("/Users/%1/").arg(m_app.platform().volume().loginName());
    else
        path = QStringLiteral("Chosen folder");
    m_txtScanPath->setText(QStringLiteral("Scan Path: %1").arg(path));
    m_infectionCount->setText(QString::number(report->adwareCount()));
    m_scanDuration->setText(report->scanDuration());
    m_lblScanStatus->setText(m_scanDuration->text() == QLatin1String("Stopped") ? QStringLiteral("Scan Status:")
                                                                               : QStringLiteral("Scan Duration:"));
    const QDateTime date = report->scanDate().toTimeZone(QTimeZone::systemTimeZone());
    const qint64 days = date.date().daysTo(QDate::currentDate());
    const QLocale locale;
    QString day = locale.toString(date.date(), QLocale::LongFormat);
    if (days == 0)
        day = QStringLiteral("Today");
    else if (days == 1)
        day = QStringLiteral("Yesterday");
    m_scanStartTime->setText(QStringLiteral("%1 at %2").arg(day, locale.toString(date.time(), QLocale::ShortFormat)));
}

void ReportsView::reloadDetailTable()
{
    clearRows(m_reportDetailTable, m_detailRows);
    const ReportPtr report = m_model.selectedReport();
    if (!report)
        return;
    const QList<AdwarePtr> &threats = report->adwareList();
    for (int row = 0; row < threats.size(); ++row) {
        const AdwarePtr &adware = threats.at(row);
        const bool present = adware->isAvail();
        QWidget *cell = makeRow(QStringLiteral("cellAdwareDetails"), row);
        cell->setFixedHeight(40);
        auto *check = new QCheckBox;
        check->setObjectName(QStringLiteral("checkBox"));
        check->setChecked(adware->isChecked());
        check->setEnabled(present);
        check->setProperty(kTag, row);
        check->setAccessibleName(QStringLiteral("Select %1").arg(adware->path()));
        connect(check, &QCheckBox::clicked, this,
                [this, check](bool on) { m_model.checkClicked(check->property(kTag).toInt(), on); });
        QLabel *path = elided(QStringLiteral("path"), adware->path(), Qt::ElideMiddle, 420);
        QLabel *detail = elided(QStringLiteral("detail"), adware->infections(), Qt::ElideRight, 150);
        QLabel *risk = namedLabel(QStringLiteral("risk"), present ? QStringLiteral("High Risk")
                                                                  : QStringLiteral("Removed"));
        risk->setMinimumWidth(70);
        const QColor colour = present ? QColor(Qt::black) : QColor(Qt::darkGray);
        for (QLabel *label : {path, detail, risk})
            setTextColour(label, colour);
        auto *layout = new QHBoxLayout(cell);
        layout->setContentsMargins(10, 0, 10, 0);
        layout->setSpacing(10);
        layout->addWidget(check);
        layout->addWidget(path, 1);
        layout->addWidget(detail);
        layout->addWidget(risk);
        m_reportDetailTable->addWidget(cell);
        m_detailRows.append(cell);
    }
}

void ReportsView::reloadOutcomeTable()
{
    clearRows(m_adwareReportTable, m_outcomeRows);
    const ReportPtr report = m_model.tempReport();
    if (!report)
        return;
    const QList<AdwarePtr> &threats = report->adwareList();
    for (int row = 0; row < threats.size(); ++row) {
        const AdwarePtr &adware = threats.at(row);
        const OutcomeDisplay::Row outcome = OutcomeDisplay::row(*adware);
        QWidget *cell = makeRow(QStringLiteral("AdwareReportCell"), row);
        cell->setFixedHeight(40);
        QLabel *indicator = imageLabel(QStringLiteral("imgAdwareIndicator"), outcome.indicatorImage, 12);
        QLabel *name = elided(QStringLiteral("lblAdwareName"), adware->path(), Qt::ElideMiddle, 400);
        QLabel *infection = elided(QStringLiteral("lblInfection"), adware->infections(), Qt::ElideRight, 140);
        QLabel *status = namedLabel(QStringLiteral("lblAdwareSatus"), outcome.status);
        status->setMinimumWidth(70);
        setTextColour(status, colourOf(outcome.colour));
        auto *show = new QPushButton(QStringLiteral("Show"));
        show->setObjectName(QStringLiteral("btnShow"));
        show->setProperty(kTag, row);
        show->setAccessibleName(QStringLiteral("Show %1 in the file manager").arg(adware->path()));
        show->setVisible(outcome.showButtonVisible);
        connect(show, &QPushButton::clicked, this,
                [this, show] { m_model.showAdwareInFileDelegate(show->property(kTag).toInt()); });
        auto *layout = new QHBoxLayout(cell);
        layout->setContentsMargins(10, 0, 10, 0);
        layout->setSpacing(10);
        layout->addWidget(indicator);
        layout->addWidget(name, 1);
        layout->addWidget(infection);
        layout->addWidget(status);
        layout->addWidget(show);
        m_adwareReportTable->addWidget(cell);
        m_outcomeRows.append(cell);
    }
}

void ReportsView::showSummary(const OutcomeDisplay::Summary &summary)
{
    m_lblResult->setText(summary.resultText);
    m_lblResult->setContentsMargins(0, 0, 0, summary.baselineOffset);
    m_lblThreatInfo->setText(summary.threatInfo);
    setImage(m_imgAdwareStatus, summary.statusImage, 32);
    const bool clean = summary.backgroundImage == QLatin1String("no_threats_bg");
    m_imgBackReport->setProperty("image", summary.backgroundImage);
    // The result in white, bold, 12 points, on green when all went and on
    // red when something is left.
    m_imgBackReport->setStyleSheet(
        QStringLiteral("#imgBackReport { background: %1; border-radius: 6px; }"
                       "#lblResult { color: white; font-weight: bold; font-size: 12pt; }"
                       "#lblThreatInfo { color: white; }")
            .arg(clean ? QStringLiteral("#2e8b47") : QStringLiteral("#b52f35")));
}

void ReportsView::scanStart(QAbstractButton *sender)
{
    if (auto *window = qobject_cast<MainWindow *>(this->window()))
        window->tabChangeType(10);
    Q_EMIT scanStartRequested(sender);
}

void ReportsView::wantHelp()
{
    m_app.platform().workspace().openURL(AppDelegateWindow::helpPageUrl());
}
