#include "ui/SchedulerPopover.h"

#include "services/Scheduler.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
QDateEdit *datePicker(const QString &name, const QString &accessible, QWidget *parent)
{
    auto *picker = new QDateEdit(parent);
    picker->setObjectName(name);
    picker->setAccessibleName(accessible);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    return picker;
}

// True when widget is owner or lies inside it, also across the windows a
// control opens for itself (the date pickers' calendars).
bool belongsTo(const QWidget *widget, const QWidget *owner)
{
    for (; widget; widget = widget->parentWidget()) {
        if (widget == owner)
            return true;
    }
    return false;
}
} // namespace

SchedulerPopover::SchedulerPopover(Scheduler &scheduler, QWidget *parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_scheduler(scheduler)
    , m_startDatePicker(datePicker(QStringLiteral("startDatePicker"), QStringLiteral("First day"), this))
    , m_endDatePicker(datePicker(QStringLiteral("endDatePicker"), QStringLiteral("Last day"), this))
    , m_timePicker(new QDateTimeEdit(this))
    , m_isScheduleOn(new QCheckBox(QStringLiteral("Scheduled scans on"), this))
    , m_scheduleTypePopUp(new QComboBox(this))
    , m_saveButton(new QPushButton(QStringLiteral("Save"), this))
{
    setObjectName(QStringLiteral("popoverSchudle"));
    setAccessibleName(QStringLiteral("Scheduler"));
    setFrameShape(QFrame::StyledPanel);
    setStyleSheet(QStringLiteral("QFrame#popoverSchudle { background: white; border: 1px solid #b8c2cc; "
                                 "border-radius: 6px; }"));
    m_timePicker->setObjectName(QStringLiteral("timePicker"));
    m_timePicker->setAccessibleName(QStringLiteral("Time of day"));
    m_timePicker->setDisplayFormat(QStringLiteral("hh:mm AP"));
    m_isScheduleOn->setObjectName(QStringLiteral("isScheduleOn"));
    m_scheduleTypePopUp->setObjectName(QStringLiteral("scheduleTypePopUp"));
    m_scheduleTypePopUp->setAccessibleName(QStringLiteral("Repeat"));
    // In the order of the stored repeat types 0 to 3.
    m_scheduleTypePopUp->addItems({QStringLiteral("Every day"), QStringLiteral("Every 7 days"),
                                   QStringLiteral("Every 30 days"), QStringLiteral("Every 365 days")});
    m_saveButton->setObjectName(QStringLiteral("saveSchudlerData"));
    m_saveButton->setAccessibleName(QStringLiteral("Save schedule"));
    m_saveButton->setProperty("primary", true);
    m_saveButton->setDefault(true);

    auto *title = new QLabel(QStringLiteral("Scheduled scan"), this);
    title->setStyleSheet(QStringLiteral("font-weight: bold;"));
    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(QStringLiteral("From:"), m_startDatePicker);
    form->addRow(QStringLiteral("Until:"), m_endDatePicker);
    form->addRow(QStringLiteral("At:"), m_timePicker);
    form->addRow(QStringLiteral("Repeat:"), m_scheduleTypePopUp);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_isScheduleOn);
    buttons->addStretch(1);
    buttons->addWidget(m_saveButton);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(16, 12, 16, 14);
    column->addWidget(title);
    column->addLayout(form);
    column->addLayout(buttons);

    connect(m_saveButton, &QPushButton::clicked, this, &SchedulerPopover::saveSchudlerData);
    connect(m_isScheduleOn, &QCheckBox::clicked, this, &SchedulerPopover::removeSchudlerData);
    connect(&scheduler, &Scheduler::formChanged, this, &SchedulerPopover::showForm);
    connect(&scheduler, &Scheduler::closePopover, this, &SchedulerPopover::hide);
    // Another application taking the focus closes it too, as a transient popover.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive && !QApplication::activeModalWidget())
            hide();
    });
}

SchedulerPopover::~SchedulerPopover() = default;

void SchedulerPopover::showRelativeTo(QWidget *sender)
{
    m_anchor = sender;
    m_scheduler.schudlerAction();
    showForm();
    adjustSize();
    if (sender) {
        QPoint at = sender->mapToGlobal(QPoint(0, sender->height() + 4));
        if (const QScreen *screen = sender->screen()) {
            const QRect room = screen->availableGeometry();
            // Without room below the button it opens above it, as a popover flips its edge.
            if (at.y() + height() > room.bottom())
                at.setY(sender->mapToGlobal(QPoint(0, 0)).y() - 4 - height());
            at.setX(qBound(room.left(), at.x(), qMax(room.left(), room.right() - width())));
            at.setY(qBound(room.top(), at.y(), qMax(room.top(), room.bottom() - height())));
        }
        move(at);
    }
    show();
    raise();
    activateWindow();
}

void SchedulerPopover::showForm()
{
    const Scheduler::Form &form = m_scheduler.form();
    const QSignalBlocker blockStart(m_startDatePicker);
    const QSignalBlocker blockEnd(m_endDatePicker);
    const QSignalBlocker blockTime(m_timePicker);
    const QSignalBlocker blockOn(m_isScheduleOn);
    const QSignalBlocker blockType(m_scheduleTypePopUp);
    // A schedule that began before today keeps its first day: moving it to
    // today would move every later time of a weekly or monthly schedule.
    const QDate earliest = form.minimumDay.isValid() ? form.minimumDay : QDate::currentDate();
    m_startDatePicker->setMinimumDate(form.startDay.isValid() ? qMin(earliest, form.startDay) : earliest);
    m_endDatePicker->setMinimumDate(form.endDay.isValid() ? qMin(earliest, form.endDay) : earliest);
    m_startDatePicker->setDate(form.startDay);
    m_endDatePicker->setDate(form.endDay);
    m_timePicker->setDateTime(form.timeValue);
    m_isScheduleOn->setChecked(form.isScheduleOn);
    m_scheduleTypePopUp->setCurrentIndex(form.scheduletype);
}

void SchedulerPopover::takeForm()
{
    Scheduler::Form &form = m_scheduler.form();
    form.startDay = m_startDatePicker->date();
    form.endDay = m_endDatePicker->date();
    form.timeValue = m_timePicker->dateTime();
    form.scheduletype = m_scheduleTypePopUp->currentIndex();
}

void SchedulerPopover::saveSchudlerData()
{
    takeForm();
    m_scheduler.saveSchudlerData();
}

void SchedulerPopover::removeSchudlerData(bool on)
{
    takeForm();
    m_scheduler.removeSchudlerData(on);
}

void SchedulerPopover::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QFrame::keyPressEvent(event);
}

void SchedulerPopover::showEvent(QShowEvent *event)
{
    qApp->installEventFilter(this);
    QFrame::showEvent(event);
}

void SchedulerPopover::hideEvent(QHideEvent *event)
{
    qApp->removeEventFilter(this);
    QFrame::hideEvent(event);
}

bool SchedulerPopover::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    // Clicks into an alert shown over the editor leave it open.
    if (QApplication::activeModalWidget() || belongsTo(widget, this))
        return false;
    hide();
    // The Scheduler button closes an open editor instead of opening it again.
    return m_anchor && belongsTo(widget, m_anchor);
}
