#include "ui/DashboardView.h"

#include "ui/AppStyle.h"
#include "ui/ButtonWithSpinner.h"

#include <QHBoxLayout>
#include <QLabel>

DashboardView::DashboardView(QWidget *parent)
    : PageView(QStringLiteral("dashboardObj"), QStringLiteral("Dashboard"), parent)
    , m_scanBtu(new ButtonWithSpinner(QString(), this))
    , m_updateNowSelf(new ButtonWithSpinner(QString(), this))
    , m_scheduleBtn(new QPushButton(this))
    , m_lastScanLabel(new QLabel(this))
{
    m_scanBtu->setObjectName(QStringLiteral("scanBtu"));
    m_scanBtu->setAccessibleName(QStringLiteral("Start scan"));
    m_scanBtu->setMinimumSize(180, 40);
    m_scanBtu->setProperty("primary", true);
    m_updateNowSelf->setObjectName(QStringLiteral("UpdateNowSelf"));
    m_updateNowSelf->setAccessibleName(QStringLiteral("Check for Updates"));
    m_updateNowSelf->setMinimumSize(160, 30);
    m_updateNowSelf->setFlat(true);
    m_scheduleBtn->setObjectName(QStringLiteral("scheduleBtn"));
    m_scheduleBtn->setAccessibleName(QStringLiteral("Scheduler"));
    m_scheduleBtn->setMinimumHeight(30);
    m_scheduleBtn->setFlat(true);
    m_lastScanLabel->setObjectName(QStringLiteral("lastScanLabel"));
    m_lastScanLabel->setAccessibleName(QStringLiteral("Last scan"));

    body()->addWidget(m_lastScanLabel);
    auto *scanRow = new QHBoxLayout;
    scanRow->addWidget(m_scanBtu);
    scanRow->addStretch(1);
    body()->addLayout(scanRow);
    auto *links = new QHBoxLayout;
    links->addWidget(m_scheduleBtn);
    links->addWidget(m_updateNowSelf);
    links->addStretch(1);
    body()->addLayout(links);
}
