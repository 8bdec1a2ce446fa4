#include "app/PreferenceKeys.h"
#include "services/Scheduler.h"
#include "ui/DashboardView.h"
#include "ui/LaunchedApp.h"
#include "ui/SchedulerPopover.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// Failures name the texts, not their bytes.
static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << qPrintable(text) << '"';
}

using namespace PreferenceKeys;

namespace {
SchedulerPopover *openPopover(LaunchedApp &app)
{
    QTest::mouseClick(app.window()->dashboardObj()->scheduleBtn(), Qt::LeftButton);
    return app.delegate->popoverSchudle();
}

void fill(SchedulerPopover *popover, const QDate &start, const QDate &end, const QTime &time, int type)
{
    popover->startDatePicker()->setDate(start);
    popover->endDatePicker()->setDate(end);
    popover->timePicker()->setDateTime(QDateTime(QDate::currentDate(), time));
    popover->scheduleTypePopUp()->setCurrentIndex(type);
}

QStringList informed(LaunchedApp &app)
{
    QStringList texts;
    for (const auto &request : app.test.alerts().requests()) {
        if (request.kind == QStringLiteral("inform") && request.messageText == QStringLiteral("Alert"))
            texts << request.informativeText;
    }
    return texts;
}
} // namespace

TEST(SchedulerPopover, OpensUnderTheSchedulerButtonWithTheControlsOfANewSchedule)
{
    LaunchedApp app;
    app.launch();
    QPushButton *button = app.window()->dashboardObj()->scheduleBtn();
    SchedulerPopover *popover = openPopover(app);
    ASSERT_NE(popover, nullptr);
    ASSERT_TRUE(popover->isVisible());
    EXPECT_EQ(popover->objectName(), QStringLiteral("popoverSchudle"));
    EXPECT_GE(popover->geometry().top(), button->mapToGlobal(QPoint(0, button->height())).y());
    for (const char *name : {"startDatePicker", "endDatePicker", "timePicker", "isScheduleOn", "scheduleTypePopUp"})
        EXPECT_NE(popover->findChild<QWidget *>(QString::fromLatin1(name)), nullptr) << name;

    const Scheduler::Form &form = app.core->scheduler().form();
    EXPECT_FALSE(popover->isScheduleOn()->isChecked());
    EXPECT_EQ(popover->startDatePicker()->date(), form.minimumDay);
    EXPECT_EQ(popover->endDatePicker()->date(), form.minimumDay);
    EXPECT_EQ(popover->startDatePicker()->minimumDate(), form.minimumDay);
    EXPECT_EQ(popover->timePicker()->dateTime(), form.timeValue);
    EXPECT_EQ(popover->scheduleTypePopUp()->count(), 4);
    EXPECT_EQ(popover->scheduleTypePopUp()->currentIndex(), 0);
}

TEST(SchedulerPopover, SavingStoresArmsClosesAndShowsTheNextScanOnTheDashboard)
{
    LaunchedApp app;
    app.launch();
    SchedulerPopover *popover = openPopover(app);
    const QDate tomorrow = QDate::currentDate().addDays(1);
    fill(popover, tomorrow, tomorrow.addDays(1), QTime(10, 0), 1);
    QTest::mouseClick(popover->saveButton(), Qt::LeftButton);

    EXPECT_EQ(informed(app), QStringList{QStringLiteral("Adware scan scheduled successfully")});
    EXPECT_FALSE(popover->isVisible());
    EXPECT_TRUE(popover->isScheduleOn()->isChecked());
    const UserDefaults &defaults = app.test.platform().defaults();
    EXPECT_EQ(defaults.objectForKey(ScheduleOn).toString(), QStringLiteral("Yes"));
    EXPECT_EQ(defaults.objectForKey(ScheduleType).toLongLong(), 1);
    EXPECT_TRUE(app.core->scheduler().timerSchedule().isArmed());
    QTRY_COMPARE(app.window()->dashboardObj()->scanningProgressLabelText()->text(),
                 QStringLiteral("Next scheduled scan: ") + Scheduler::formatNextDate(QDateTime(tomorrow, QTime(10, 0))));

    // Opened again it shows the stored schedule.
    popover = openPopover(app);
    EXPECT_TRUE(popover->isScheduleOn()->isChecked());
    EXPECT_EQ(popover->startDatePicker()->date(), tomorrow);
    EXPECT_EQ(popover->endDatePicker()->date(), tomorrow.addDays(1));
    EXPECT_EQ(popover->timePicker()->time(), QTime(10, 0));
    EXPECT_EQ(popover->scheduleTypePopUp()->currentIndex(), 1);
}

TEST(SchedulerPopover, AFailedSaveKeepsTheEditorOpenWithWhatWasTyped)
{
    LaunchedApp app;
    app.launch();
    SchedulerPopover *popover = openPopover(app);
    const QDate today = QDate::currentDate();
    fill(popover, today.addDays(3), today.addDays(1), QTime(10, 0), 0);
    QTest::mouseClick(popover->saveButton(), Qt::LeftButton);
    EXPECT_EQ(informed(app), QStringList{QStringLiteral("Start Date should not be greater then End Date.")});
    EXPECT_TRUE(popover->isVisible());
    EXPECT_FALSE(popover->isScheduleOn()->isChecked());
    EXPECT_EQ(popover->startDatePicker()->date(), today.addDays(3));
    EXPECT_EQ(popover->endDatePicker()->date(), today.addDays(1));
    EXPECT_FALSE(app.test.platform().defaults().contains(ScheduleStartDate));

    // A weekly schedule of three days whose only time has passed.
    fill(popover, today, today.addDays(2), QTime(0, 0), 1);
    QTest::mouseClick(popover->isScheduleOn(), Qt::LeftButton);
    EXPECT_EQ(informed(app).last(), QStringLiteral("Scheduler time already expired."));
    EXPECT_TRUE(popover->isVisible());
    EXPECT_FALSE(popover->isScheduleOn()->isChecked());
    EXPECT_FALSE(app.test.platform().defaults().contains(ScheduleStartDate));
}

TEST(SchedulerPopover, SwitchingOffStopsTheScheduleAndReopensAsNew)
{
    LaunchedApp app;
    app.launch();
    SchedulerPopover *popover = openPopover(app);
    const QDate tomorrow = QDate::currentDate().addDays(1);
    fill(popover, tomorrow, tomorrow, QTime(9, 30), 0);
    QTest::mouseClick(popover->saveButton(), Qt::LeftButton);
    ASSERT_TRUE(app.core->scheduler().timerSchedule().isArmed());

    popover = openPopover(app);
    QTest::mouseClick(popover->isScheduleOn(), Qt::LeftButton);
    EXPECT_FALSE(app.core->scheduler().timerSchedule().isArmed());
    EXPECT_EQ(app.test.platform().defaults().objectForKey(ScheduleOn).toString(), QStringLiteral("No"));
    EXPECT_EQ(app.window()->dashboardObj()->scanningProgressLabelText()->text(), QStringLiteral("Not Running"));
    EXPECT_FALSE(popover->isScheduleOn()->isChecked());
    EXPECT_EQ(popover->startDatePicker()->date(), QDate::currentDate());
    EXPECT_EQ(popover->endDatePicker()->date(), QDate::currentDate());
}

TEST(SchedulerPopover, AScheduleThatBeganBeforeTodayKeepsItsFirstDay)
{
    LaunchedApp app;
    app.launch();
    Scheduler &scheduler = app.core->scheduler();
    const QDate today = QDate::currentDate();
    Scheduler::Form &form = scheduler.form();
    form.startDay = today.addDays(-3);
    form.endDay = today.addDays(30);
    form.timeValue = QDateTime(today, QTime(23, 59, 58));
    form.scheduletype = 1;
    scheduler.saveSchudlerData();
    ASSERT_EQ(app.test.platform().defaults().objectForKey(ScheduleOn).toString(), QStringLiteral("Yes"));

    SchedulerPopover *popover = openPopover(app);
    EXPECT_EQ(popover->startDatePicker()->date(), today.addDays(-3));
    // Saving it unchanged keeps the weekly times where they were.
    const QVariant next = app.test.platform().defaults().objectForKey(ScheduleDate);
    QTest::mouseClick(popover->saveButton(), Qt::LeftButton);
    EXPECT_EQ(app.test.platform().defaults().objectForKey(ScheduleDate), next);
}

TEST(SchedulerPopover, AClickOutsideOrOnTheSchedulerButtonClosesIt)
{
    LaunchedApp app;
    app.launch();
    SchedulerPopover *popover = openPopover(app);
    ASSERT_TRUE(popover->isVisible());
    QTest::mouseClick(popover, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_TRUE(popover->isVisible()) << "a click inside leaves it open";

    QTest::mouseClick(app.window()->dashboardObj()->needHelpBtu(), Qt::LeftButton);
    EXPECT_FALSE(popover->isVisible());

    popover = openPopover(app);
    ASSERT_TRUE(popover->isVisible());
    QTest::mouseClick(app.window()->dashboardObj()->scheduleBtn(), Qt::LeftButton);
    EXPECT_FALSE(popover->isVisible()) << "the button closes an open editor";

    popover = openPopover(app);
    QTest::keyClick(popover, Qt::Key_Escape);
    EXPECT_FALSE(popover->isVisible());
}
