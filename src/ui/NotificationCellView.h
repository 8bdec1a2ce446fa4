#pragma once

#include "scan/Adware.h"

#include <QPointer>
#include <QWidget>

class NotificationWindow;
class QLabel;
class QPushButton;
class QTimer;

// One floating threat card (350 × 120) in the card column: the title
// "Adware Detected", the threat's infection and name, and the buttons
// "Quarantine" and "Ignore", which the column (its delegate) answers. A
// click elsewhere on the card dismisses it and brings the main window to the
// front. The card keeps its own 30-second lifetime timer, started by the
// column when the card has slid in. Main thread only.
class NotificationCellView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 350;
    static constexpr int kHeight = 120;

    explicit NotificationCellView(const QRect &frame, QWidget *parent = nullptr);

    const AdwarePtr &adwarea() const { return m_adwarea; }
    // Fills both text lines from the threat.
    void setAdwarea(const AdwarePtr &threat);

    qint32 notificationNumber() const { return m_notificationNumber; }
    void setNotificationNumber(qint32 number) { m_notificationNumber = number; }

    QLabel *threatDetails() const { return m_threatDetails; }
    QLabel *viewBackText() const { return m_viewBackText; }
    QPushButton *buttonRemove() const { return m_buttonRemove; }
    QPushButton *buttonIgnore() const { return m_buttonIgnore; }

    NotificationWindow *delegate() const { return m_delegate; }
    void setDelegate(NotificationWindow *delegate) { m_delegate = delegate; }

    // Runs once, kLifetimeMilliseconds after the card has slid in.
    QTimer *lifetimeTimer() const { return m_lifetime; }

    // "Label: value" with the label part yellow and the rest white, cut at
    // the tail to the line's width; the tooltip keeps the whole text.
    static void setTwoColourLine(QLabel *line, const QString &label, const QString &value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QPushButton *makeButton(const QString &name, const QString &title, int x);

    AdwarePtr m_adwarea;
    qint32 m_notificationNumber = 0;
    QLabel *m_title;
    QLabel *m_threatDetails;
    QLabel *m_viewBackText;
    QPushButton *m_buttonRemove;
    QPushButton *m_buttonIgnore;
    QPointer<NotificationWindow> m_delegate;
    QTimer *m_lifetime;
};
