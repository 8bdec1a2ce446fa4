#include "ui/MainWindow.h"

#include "app/AppDelegate.h"
#include "app/NotificationNames.h"
#include "platform/Platform.h"
#include "ui/AppDelegateWindow.h"
#include "ui/AppStyle.h"
#include "ui/DashboardView.h"
#include "ui/Images.h"
#include "ui/ReportsView.h"
#include "ui/ScanView.h"
#include "ui/ToolsView.h"
#include "ui/UiTiming.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char *const kTag = "tag";
}

MainWindow::MainWindow(AppDelegate &app, QWidget *parent)
    : QMainWindow(parent)
    , m_app(app)
    , m_dashBoard(makeTab(QStringLiteral("dashBoard"), QStringLiteral("Dashboard"), 10))
    , m_scan(makeTab(QStringLiteral("scan"), QStringLiteral("Scan"), 20))
    , m_settings(makeTab(QStringLiteral("settings"), QStringLiteral("Tools"), 30))
    , m_reports(makeTab(QStringLiteral("reports"), QStringLiteral("Reports"), 40))
    , m_detailView(new QWidget)
    , m_dashboardObj(new DashboardView(m_detailView))
    , m_scanObj(new ScanView(m_detailView))
    , m_toolsObj(new ToolsView(app, m_detailView))
    , m_reportsObj(new ReportsView(app, m_detailView))
{
    setObjectName(QStringLiteral("window"));
    setWindowTitle(QStringLiteral("Sweepling"));
    setWindowIcon(Images::applicationIcon());

    m_detailView->setObjectName(QStringLiteral("detailView"));
    m_detailView->setAccessibleName(QStringLiteral("Page"));
    m_detailView->setFixedSize(kContentWidth, kContentHeight);
    for (QWidget *page : {static_cast<QWidget *>(m_dashboardObj), static_cast<QWidget *>(m_scanObj),
                          static_cast<QWidget *>(m_toolsObj), static_cast<QWidget *>(m_reportsObj)})
        page->setFixedSize(kContentWidth, kContentHeight);

    auto *central = new QWidget;
    central->setObjectName(QStringLiteral("mainContent"));
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeTabBar());
    layout->addWidget(m_detailView);
    setCentralWidget(central);
    makeMenus();
    connect(this, &MainWindow::tabChanged, m_toolsObj, &ToolsView::tabSelected);
    connect(this, &MainWindow::tabChanged, m_reportsObj, &ReportsView::tabSelected);
    placeViews();
    refreshTabTitles();
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow() = default;

QPushButton *MainWindow::makeTab(const QString &name, const QString &title, qint64 tag)
{
    auto *button = new QPushButton(title);
    button->setObjectName(name);
    button->setAccessibleName(title + QStringLiteral(" tab"));
    button->setProperty(kTag, tag);
    button->setProperty("tab", true);
    button->setProperty("title", title);
    button->setCheckable(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setMinimumHeight(44);
    connect(button, &QPushButton::clicked, this, [this, button] { tabChange(button); });
    return button;
}

QWidget *MainWindow::makeTabBar()
{
    auto *bar = new QWidget;
    bar->setObjectName(QStringLiteral("tabBar"));
    bar->setAttribute(Qt::WA_StyledBackground);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(12, 0, 12, 0);
    row->setSpacing(4);
    for (QPushButton *tab : {m_dashBoard, m_scan, m_settings, m_reports})
        row->addWidget(tab, 1);
    return bar;
}

void MainWindow::makeMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    m_printButton = file->addAction(QStringLiteral("&Print…"));
    m_printButton->setObjectName(QStringLiteral("printButton"));
    m_printButton->setShortcut(QKeySequence::Print);
    m_printButton->setEnabled(false);
    file->addSeparator();
    QAction *quit = file->addAction(QStringLiteral("&Quit Sweepling"), qApp, &QCoreApplication::quit);
    quit->setObjectName(QStringLiteral("quitApp"));
    quit->setShortcut(QKeySequence::Quit);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    m_helpAction = help->addAction(QStringLiteral("Sweepling &Help"));
    m_helpAction->setObjectName(QStringLiteral("getHelp"));
    m_helpAction->setShortcut(QKeySequence::HelpContents);
}

qint64 MainWindow::tagOf(const QAbstractButton *button)
{
    return button ? button->property(kTag).toLongLong() : 0;
}

QWidget *MainWindow::viewAtIndex(int index) const
{
    switch (index) {
    case 0:
        return m_dashboardObj;
    case 1:
        return m_scanObj;
    case 2:
        return m_toolsObj;
    default:
        return m_reportsObj;
    }
}

void MainWindow::placeViews()
{
    finishSlide();
    for (int index = 0; index < 4; ++index)
        viewAtIndex(index)->move(index == m_app.old ? 0 : kContentWidth, 0);
}

void MainWindow::tabChange(QAbstractButton *button)
{
    const qint64 tag = tagOf(button);
    if (tag != 10 && tag != 20 && tag != 30 && tag != 40)
        return;
    m_app.platform().notifications().post(NotificationNames::ScanningStatusChange);
    m_app.tabtype = tag;
    setViewIndex(static_cast<int>(tag / 10 - 1));
    if (tag == 10)
        m_app.setLastScanTextisRepeat(QStringLiteral("N"));
    refreshTabTitles();
    Q_EMIT tabChanged(tag);
}

void MainWindow::tabChangeType(qint64 tag)
{
    for (QPushButton *tab : {m_dashBoard, m_scan, m_settings, m_reports}) {
        if (tagOf(tab) == tag) {
            tabChange(tab);
            return;
        }
    }
}

void MainWindow::refreshTabTitles()
{
    const qreal size = QApplication::font().pointSizeF();
    for (QPushButton *tab : {m_dashBoard, m_scan, m_settings, m_reports}) {
        const bool selected = tagOf(tab) == m_app.tabtype;
        tab->setChecked(selected);
        AppDelegateWindow::setTextTo(tab, tab->property("title").toString(),
                                     selected ? QColor(Qt::white) : AppStyle::tabUnselectedTitle(), size,
                                     Qt::AlignCenter);
    }
}

bool MainWindow::isSliding() const
{
    return m_slide && m_slide->state() == QAbstractAnimation::Running;
}

void MainWindow::finishSlide()
{
    if (isSliding())
        m_slide->setCurrentTime(m_slide->totalDuration());
}

void MainWindow::setViewIndex(int index)
{
    if (index == m_app.old)
        return;
    finishSlide();
    QWidget *outgoing = viewAtIndex(m_app.old);
    QWidget *incoming = viewAtIndex(index);
    const bool fromLeft = index < m_app.old;
    incoming->move(fromLeft ? -kContentWidth : kContentWidth, 0);
    incoming->raise();

    auto *group = new QParallelAnimationGroup(this);
    auto *out = new QPropertyAnimation(outgoing, "pos", group);
    out->setDuration(kSlideMilliseconds);
    out->setEndValue(QPoint(fromLeft ? kContentWidth : -kContentWidth, 0));
    auto *in = new QPropertyAnimation(incoming, "pos", group);
    in->setDuration(kSlideMilliseconds);
    in->setEndValue(QPoint(0, 0));
    in->setEasingCurve(QEasingCurve::InOutQuad);
    out->setEasingCurve(QEasingCurve::InOutQuad);
    group->addAnimation(out);
    group->addAnimation(in);
    m_app.old = index;
    m_slide = group;
    group->start(QAbstractAnimation::DeleteWhenStopped);
    if (UiTiming::instant())
        finishSlide();
}
