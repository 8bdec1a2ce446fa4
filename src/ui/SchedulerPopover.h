#pragma once

#include <QFrame>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDateTimeEdit;
class QPushButton;
class Scheduler;

// The schedule editor (`popoverSchudle`) that opens under the Dashboard's
// "Scheduler" button: first and last day, time of day, repeat type and the
// on/off checkbox. The controls show and edit the Scheduler's form; saving,
// switching off and the alerts belong to the Scheduler, which asks the
// editor to close after a successful save.
//
// It is a small frameless tool window rather than a Qt::Popup: a popup
// closes as soon as a modal alert opens, and the Scheduler's alerts ("Start
// Date should not be greater then End Date.", ...) would then throw away
// what the user typed. A click outside it or Escape closes it, as a
// transient popover does. Main thread only.
class SchedulerPopover : public QFrame
{
    Q_OBJECT
public:
    explicit SchedulerPopover(Scheduler &scheduler, QWidget *parent = nullptr);
    ~SchedulerPopover() override;

    // schudlerAction: loads the controls from the stored schedule and shows
    // the editor below sender's lower edge, kept on sender's screen.
    void showRelativeTo(QWidget *sender);

    QDateEdit *startDatePicker() const { return m_startDatePicker; }
    QDateEdit *endDatePicker() const { return m_endDatePicker; }
    QDateTimeEdit *timePicker() const { return m_timePicker; }
    QCheckBox *isScheduleOn() const { return m_isScheduleOn; }
    QComboBox *scheduleTypePopUp() const { return m_scheduleTypePopUp; }
    QPushButton *saveButton() const { return m_saveButton; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // The Scheduler's form into the controls, and back.
    void showForm();
    void takeForm();
    void saveSchudlerData();
    void removeSchudlerData(bool on);

    Scheduler &m_scheduler;
    QDateEdit *m_startDatePicker;
    QDateEdit *m_endDatePicker;
    QDateTimeEdit *m_timePicker;
    QCheckBox *m_isScheduleOn;
    QComboBox *m_scheduleTypePopUp;
    QPushButton *m_saveButton;
    QPointer<QWidget> m_anchor;
};
