#include "ui/NotificationWindow.h"

#include "app/AppDelegate.h"
#include "app/NotificationNames.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "remedy/DirectRemoval.h"
#include "ui/AppDelegateWindow.h"
#include "ui/MainWindow.h"
#include "ui/NotificationCellView.h"
#include "ui/UiTiming.h"

#include <QGuiApplication>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace {
// Order of creation of the cards, from 0 at the start of the application.
qint32 s_notificationCounter = 0;
} // namespace

NotificationWindow::NotificationWindow(NotificationCenter &notifications, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::NoDropShadowWindowHint)
{
    setObjectName(QStringLiteral("NotificationWindow"));
    setWindowTitle(QStringLiteral("Sweepling threats"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(false);
    applyColumnFrame();
    // Queued: a poster on another thread still reaches the cards on this one.
    notifications.addObserver(
        NotificationNames::noteCustom, this,
        [this](const Notification &n) { addNotifications(n.object.value<AdwarePtr>()); },
        NotificationCenter::Delivery::Queued);
}

NotificationWindow::~NotificationWindow() = default;

QRect NotificationWindow::columnFrame(const QScreen *screen)
{
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 800, 800);
    return QRect(area.x() + area.width() - kColumnWidth, area.y() + kTopGap, kColumnWidth, area.height() - kTopGap);
}

void NotificationWindow::applyColumnFrame()
{
    setGeometry(columnFrame(QGuiApplication::primaryScreen()));
}

AppDelegateWindow *NotificationWindow::appDel()
{
    if (!m_appDel)
        m_appDel = AppDelegateWindow::shared();
    return m_appDel;
}

QList<NotificationCellView *> NotificationWindow::cards() const
{
    QList<NotificationCellView *> shown;
    for (const auto &card : m_cards) {
        if (card)
            shown.append(card);
    }
    std::sort(shown.begin(), shown.end(), [](NotificationCellView *a, NotificationCellView *b) {
        return a->notificationNumber() > b->notificationNumber();
    });
    return shown;
}

void NotificationWindow::addNotifications(const AdwarePtr &threat)
{
    applyColumnFrame();
    if (!threat || threat->path().isEmpty()) {
        Log::line(QStringLiteral("noteCustom without a threat record; no card"));
        return;
    }
    const QString path = threat->path();
    if (m_todaysAdware.contains(path))
        return;
    m_todaysAdware.append(path);
    m_arrayNewNotifications.append(threat);
    checkForNextNotification();
}

void NotificationWindow::checkForNextNotification()
{
    if (m_amiation || m_arrayNewNotifications.isEmpty())
        return;
    const AdwarePtr threat = m_arrayNewNotifications.last();
    m_amiation = true;

    auto *card = new NotificationCellView(QRect(kColumnWidth, 0, NotificationCellView::kWidth,
                                                NotificationCellView::kHeight),
                                          this);
    card->setAdwarea(threat);
    card->setDelegate(this);
    card->setNotificationNumber(s_notificationCounter++);
    connect(card->buttonRemove(), &QPushButton::clicked, this, [this, card] { removeThis(card); });
    connect(card->buttonIgnore(), &QPushButton::clicked, this, [this, card] { ignoreThis(card); });
    connect(card->lifetimeTimer(), &QTimer::timeout, this, [this, card] { removeSelf({card, true}); });

    QList<QPair<NotificationCellView *, QPoint>> moves{{card, QPoint(0, 0)}};
    for (NotificationCellView *older : cards()) {
        if (older != card)
            moves.append({older, older->pos() + QPoint(0, NotificationCellView::kHeight)});
    }
    m_cards.append(card);
    card->show();
    refreshCards(moves);
    if (!isVisible())
        show();
    raise();

    const QPointer<NotificationCellView> shown(card);
    animate(moves, [this, shown, threat] {
        if (shown)
            shown->lifetimeTimer()->start();
        m_arrayNewNotifications.removeOne(threat);
        m_amiation = false;
        refreshCards();
        checkForNextNotification();
        checkForNextRemoveNotification();
    });
}

void NotificationWindow::removeSelf(const RemovalRequest &request)
{
    applyColumnFrame();
    NotificationCellView *card = request.viewObj;
    // A card already gone, or already waiting to go, is not taken twice: the
    // older cards must move up once only.
    if (!card || !m_cards.contains(card))
        return;
    for (const RemovalRequest &waiting : std::as_const(m_arrayOldNotifications)) {
        if (waiting.viewObj == card)
            return;
    }
    card->lifetimeTimer()->stop();
    m_arrayOldNotifications.append(request);
    checkForNextRemoveNotification();
}

void NotificationWindow::checkForNextRemoveNotification()
{
    if (m_amiation || m_arrayOldNotifications.isEmpty())
        return;
    const RemovalRequest request = m_arrayOldNotifications.last();
    NotificationCellView *card = request.viewObj;
    if (!card) {
        m_arrayOldNotifications.removeLast();
        checkForNextRemoveNotification();
        return;
    }
    m_amiation = true;
    QList<QPair<NotificationCellView *, QPoint>> moves{{card, card->pos() + QPoint(kColumnWidth, 0)}};
    if (!request.Auto) {
        for (NotificationCellView *older : cards()) {
            if (older->notificationNumber() < card->notificationNumber())
                moves.append({older, older->pos() - QPoint(0, card->height())});
        }
    }
    refreshCards(moves);
    const QPointer<NotificationCellView> leaving(card);
    animate(moves, [this, leaving] {
        m_arrayOldNotifications.erase(std::remove_if(m_arrayOldNotifications.begin(), m_arrayOldNotifications.end(),
                                                     [&](const RemovalRequest &r) { return r.viewObj == leaving; }),
                                      m_arrayOldNotifications.end());
        m_cards.removeAll(leaving);
        if (leaving) {
            leaving->hide();
            // Later: the card's own button may be the one that asked.
            leaving->deleteLater();
        }
        m_amiation = false;
        refreshCards();
        checkForNextNotification();
        checkForNextRemoveNotification();
    });
}

void NotificationWindow::animate(const QList<QPair<NotificationCellView *, QPoint>> &moves,
                                 std::function<void()> done)
{
    auto *group = new QParallelAnimationGroup(this);
    for (const auto &[card, end] : moves) {
        auto *slide = new QPropertyAnimation(card, "pos", group);
        slide->setDuration(UiTiming::delay(kAnimationMilliseconds));
        slide->setEndValue(end);
        slide->setEasingCurve(QEasingCurve::OutCubic);
        group->addAnimation(slide);
    }
    connect(group, &QAbstractAnimation::finished, this, std::move(done));
    m_animation = group;
    group->start(QAbstractAnimation::DeleteWhenStopped);
    if (UiTiming::instant())
        finishAnimation();
}

void NotificationWindow::finishAnimation()
{
    if (m_animation && m_animation->state() == QAbstractAnimation::Running)
        m_animation->setCurrentTime(m_animation->totalDuration());
}

void NotificationWindow::refreshCards(const QList<QPair<NotificationCellView *, QPoint>> &moves)
{
    QRegion clicks;
    for (NotificationCellView *card : cards()) {
        QPoint end = card->pos();
        for (const auto &[moved, to] : moves) {
            if (moved == card)
                end = to;
        }
        // A card whose place is past the bottom edge is hidden; one that
        // moved back into the column shows again.
        const bool fits = end.y() + card->height() <= height();
        card->setVisible(fits);
        if (fits)
            clicks += QRect(card->pos(), card->size()).united(QRect(end, card->size()));
    }
    if (clicks.isEmpty()) {
        clearMask();
        hide();
        return;
    }
    setMask(clicks);
}

void NotificationWindow::showMainWindow()
{
    if (AppDelegateWindow *delegate = appDel())
        delegate->applicationShouldHandleReopen(false);
}

void NotificationWindow::removeThis(NotificationCellView *card)
{
    if (!card || !m_cards.contains(card))
        return;
    const AdwarePtr threat = card->adwarea();
    removeSelf({card, false});
    AppDelegateWindow *delegate = appDel();
    if (!delegate)
        return;
    delegate->appDelegate().directRemoval().removeThisAndReloadData(threat);
    showMainWindow();
    if (delegate->window())
        delegate->window()->tabChangeType(20);
}

void NotificationWindow::ignoreThis(NotificationCellView *card)
{
    removeSelf({card, false});
}

void NotificationWindow::cardClicked(NotificationCellView *card)
{
    removeSelf({card, false});
    showMainWindow();
    QTimer::singleShot(UiTiming::delay(kActivateDelayMilliseconds), this, [this] {
        if (isVisible())
            activateWindow();
    });
}
