#include "ui/SpinnerView.h"

#include <QPainter>

namespace {
constexpr int kSpokes = 12;
}

SpinnerView::SpinnerView(QWidget *parent)
    : QWidget(parent)
    , m_color(Qt::white)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setInterval(80);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % kSpokes;
        update();
    });
}

void SpinnerView::startAnimation()
{
    m_timer.start();
}

void SpinnerView::stopAnimation()
{
    m_timer.stop();
}

void SpinnerView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(width(), height());
    painter.translate(width() / 2.0, height() / 2.0);
    QPen pen(m_color, side / 9.0, Qt::SolidLine, Qt::RoundCap);
    for (int i = 0; i < kSpokes; ++i) {
        QColor color = m_color;
        // The leading spoke is opaque; the ones behind it fade out.
        const int age = (m_step - i + kSpokes) % kSpokes;
        color.setAlphaF(1.0f - 0.07f * static_cast<float>(age));
        pen.setColor(color);
        painter.setPen(pen);
        painter.drawLine(QPointF(0, -side * 0.24), QPointF(0, -side * 0.44));
        painter.rotate(360.0 / kSpokes);
    }
}
