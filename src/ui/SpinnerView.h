#pragma once

#include <QTimer>
#include <QWidget>

// A small spinning wheel: twelve spokes, the brightest one turning. Qt has no
// such indicator; this one draws itself so it stays sharp at any scale. It
// turns only while it is visible and running.
class SpinnerView : public QWidget
{
    Q_OBJECT
public:
    explicit SpinnerView(QWidget *parent = nullptr);

    void startAnimation();
    void stopAnimation();
    bool isAnimating() const { return m_timer.isActive(); }
    void setColor(const QColor &color) { m_color = color; update(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer m_timer;
    QColor m_color;
    int m_step = 0;
};
