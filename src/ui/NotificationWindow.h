#pragma once

#include "scan/Adware.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

class AppDelegateWindow;
class NotificationCenter;
class NotificationCellView;
class QAbstractAnimation;
class QScreen;

// The column of threat cards at the right edge of the primary screen: a
// frameless, translucent window above the others, 350 wide and as high as
// the screen less 24 at the top. Each "noteCustom" notification (object: one
// Adware record) whose path was not shown before in this run becomes a card
// that slides in at the top, pushing the older cards down; cards pushed past
// the bottom are hidden. A card leaves by itself 30 seconds after it slid
// in, or when the user dismisses it; a dismissed card's older cards move up
// into its place. One animation runs at a time; waiting cards and waiting
// removals are served newest first.
//
// The column is shown only while it holds cards, and only the cards take
// clicks, so it never covers the desktop beneath with an invisible window.
// Owned by the window half of the application object; main thread only.
class NotificationWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kColumnWidth = 350;
    static constexpr int kTopGap = 24;
    static constexpr int kAnimationMilliseconds = 600;
    static constexpr int kLifetimeMilliseconds = 30000;
    static constexpr int kActivateDelayMilliseconds = 200;

    // A removal request: the card, and whether it timed out (true) or the
    // user dismissed it (false).
    struct RemovalRequest
    {
        QPointer<NotificationCellView> viewObj;
        bool Auto = false;
    };

    explicit NotificationWindow(NotificationCenter &notifications, QWidget *parent = nullptr);
    ~NotificationWindow() override;

    // The application delegate that removes threats and shows the main
    // window; AppDelegateWindow::shared() unless set.
    void setAppDel(AppDelegateWindow *appDel) { m_appDel = appDel; }

    // The column for a screen: x = width − 350, from 24 below its top to its bottom.
    static QRect columnFrame(const QScreen *screen);

    void addNotifications(const AdwarePtr &threat);
    void checkForNextNotification();
    void removeSelf(const RemovalRequest &request);
    void checkForNextRemoveNotification();
    // The card buttons: "Quarantine" and "Ignore".
    void removeThis(NotificationCellView *card);
    void ignoreThis(NotificationCellView *card);
    // A click on a card outside its buttons.
    void cardClicked(NotificationCellView *card);

    // The cards on the column, the newest first (the order from the top).
    QList<NotificationCellView *> cards() const;
    const QStringList &todaysAdware() const { return m_todaysAdware; }
    const QList<AdwarePtr> &arrayNewNotifications() const { return m_arrayNewNotifications; }
    int waitingRemovals() const { return static_cast<int>(m_arrayOldNotifications.size()); }
    bool amiation() const { return m_amiation; }
    // Ends the running slide at once (tests, and before the column is pictured).
    void finishAnimation();

private:
    AppDelegateWindow *appDel();
    void applyColumnFrame();
    // Starts a slide of the given cards to their end positions; `done` runs
    // when it has ended (at once when animations are instant).
    void animate(const QList<QPair<NotificationCellView *, QPoint>> &moves, std::function<void()> done);
    // Shows the cards that fit in the column and hides the others, then
    // lets only the cards (and where they are heading) take clicks.
    void refreshCards(const QList<QPair<NotificationCellView *, QPoint>> &moves = {});
    void showMainWindow();

    QList<AdwarePtr> m_arrayNewNotifications;
    QList<RemovalRequest> m_arrayOldNotifications;
    QStringList m_todaysAdware;
    QList<QPointer<NotificationCellView>> m_cards;
    bool m_amiation = false;
    QPointer<QAbstractAnimation> m_animation;
    AppDelegateWindow *m_appDel = nullptr;
};
