#pragma once

#include <QMainWindow>
#include <QPointer>

class AppDelegate;
class DashboardView;
class QAbstractButton;
class QAction;
class QParallelAnimationGroup;
class QPushButton;
class ReportsView;
class ScanView;
class ToolsView;

// The main window: a bar of four tab buttons over the content area
// (`detailView`) that holds the four pages, and the menus (Print, Quit,
// Help). Only the page on screen sits inside the visible 827-point-wide
// content area; the others wait beside it and slide in when their tab is
// chosen. The selected tab and the index of the page on screen are the
// application object's `tabtype` and `old`, so the headless half and the
// window always agree.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int kContentWidth = 827;
    static constexpr int kContentHeight = 540;
    static constexpr int kSlideMilliseconds = 400;

    explicit MainWindow(AppDelegate &app, QWidget *parent = nullptr);
    ~MainWindow() override;

    QWidget *detailView() const { return m_detailView; }
    QPushButton *dashBoard() const { return m_dashBoard; }
    QPushButton *scan() const { return m_scan; }
    QPushButton *settings() const { return m_settings; }
    QPushButton *reports() const { return m_reports; }
    DashboardView *dashboardObj() const { return m_dashboardObj; }
    ScanView *scanObj() const { return m_scanObj; }
    ToolsView *toolsObj() const { return m_toolsObj; }
    ReportsView *reportsObj() const { return m_reportsObj; }
    // The Print menu item; disabled until a report is shown.
    QAction *printButton() const { return m_printButton; }
    QAction *helpAction() const { return m_helpAction; }

    // Puts the page on screen at the origin and the others outside, at x = 827.
    void placeViews();
    void tabChange(QAbstractButton *button);
    // Selects the tab with tag 10, 20, 30 or 40; other values do nothing.
    void tabChangeType(qint64 tag);
    void setViewIndex(int index);
    // 0 Dashboard, 1 Scan, 2 Tools, any other value Reports.
    QWidget *viewAtIndex(int index) const;
    bool isSliding() const;
    // Ends a running slide at once, its pages at their final places.
    void finishSlide();

    static qint64 tagOf(const QAbstractButton *button);

Q_SIGNALS:
    // After a tab change has moved the pages and refreshed the titles; the
    // pages refresh themselves for their tag.
    void tabChanged(qint64 tag);

private:
    QPushButton *makeTab(const QString &name, const QString &title, qint64 tag);
    QWidget *makeTabBar();
    void makeMenus();
    void refreshTabTitles();

    AppDelegate &m_app;
    QPushButton *m_dashBoard;
    QPushButton *m_scan;
    QPushButton *m_settings;
    QPushButton *m_reports;
    QWidget *m_detailView;
    DashboardView *m_dashboardObj;
    ScanView *m_scanObj;
    ToolsView *m_toolsObj;
    ReportsView *m_reportsObj;
    QAction *m_printButton = nullptr;
    QAction *m_helpAction = nullptr;
    QPointer<QParallelAnimationGroup> m_slide;
};
