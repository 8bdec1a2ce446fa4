#pragma once

#include "ui/PageView.h"

#include <QPushButton>

class ButtonWithSpinner;
class QLabel;

// The Dashboard page (the application object's `dashboardObj`): the scan
// button, the update and scheduler buttons and the last-scan line. It also
// keeps whether the home folder may be read, which the application object
// tells it when the main interface is made.
class DashboardView : public PageView
{
    Q_OBJECT
public:
    explicit DashboardView(QWidget *parent = nullptr);

    ButtonWithSpinner *scanBtu() const { return m_scanBtu; }
    ButtonWithSpinner *UpdateNowSelf() const { return m_updateNowSelf; }
    QPushButton *scheduleBtn() const { return m_scheduleBtn; }
    QLabel *lastScanLabel() const { return m_lastScanLabel; }

    bool isUserDirAccessible() const { return m_userDirAccessible; }
    void setUserDirAccessible(bool accessible) { m_userDirAccessible = accessible; }

private:
    ButtonWithSpinner *m_scanBtu;
    ButtonWithSpinner *m_updateNowSelf;
    QPushButton *m_scheduleBtn;
    QLabel *m_lastScanLabel;
    bool m_userDirAccessible = false;
};
