#include "ui/NotificationCellView.h"

#include "ui/Images.h"
#include "ui/NotificationWindow.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>

namespace {
// Layout in device-independent pixels from the card's top-left corner.
constexpr int kTextX = 58;
constexpr int kTextWidth = 280;
constexpr int kLineHeight = 18;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 22;
constexpr int kButtonBottomGap = 6;
constexpr int kCornerRadius = 8;
constexpr int kIconSize = 40;
// The system font size of the card's text lines, and the title's size.
constexpr int kLinePixelSize = 13;
constexpr int kTitlePixelSize = 16;

const QColor kBackground(30, 39, 56, 238);
const QColor kLabelYellow(255, 214, 10);

QLabel *makeLine(QWidget *parent, const QString &name, int y, const QFont &font)
{
    auto *line = new QLabel(parent);
    line->setObjectName(name);
    line->setGeometry(kTextX, y, kTextWidth, kLineHeight);
    line->setFont(font);
    line->setTextFormat(Qt::RichText);
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    return line;
}
} // namespace

NotificationCellView::NotificationCellView(const QRect &frame, QWidget *parent)
    : QWidget(parent)
    , m_lifetime(new QTimer(this))
{
    setObjectName(QStringLiteral("NotificationCellView"));
    setGeometry(frame);
    setAttribute(Qt::WA_TranslucentBackground);
    m_lifetime->setObjectName(QStringLiteral("lifetimeTimer"));
    m_lifetime->setSingleShot(true);
    m_lifetime->setInterval(NotificationWindow::kLifetimeMilliseconds);

    QFont titleFont = font();
    titleFont.setPixelSize(kTitlePixelSize);
    titleFont.setBold(true);
    m_title = new QLabel(QStringLiteral("Adware Detected"), this);
    m_title->setObjectName(QStringLiteral("cardTitle"));
    m_title->setGeometry(kTextX, 12, kTextWidth, kLineHeight + 2);
    m_title->setFont(titleFont);
    m_title->setStyleSheet(QStringLiteral("color: white;"));
    m_title->setAttribute(Qt::WA_TransparentForMouseEvents);

    QFont lineFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    lineFont.setPixelSize(kLinePixelSize);
    m_threatDetails = makeLine(this, QStringLiteral("threatDetails"), 38, lineFont);
    m_viewBackText = makeLine(this, QStringLiteral("viewBackText"), 58, lineFont);

    m_buttonRemove = makeButton(QStringLiteral("buttonRemove"), QStringLiteral("Quarantine"), kTextX);
    m_buttonIgnore = makeButton(QStringLiteral("buttonIgnore"), QStringLiteral("Ignore"), 168);
    setStyleSheet(QStringLiteral(
        "QPushButton { color: white; background: rgba(255, 255, 255, 40); border: 1px solid rgba(255, 255, 255, 110);"
        "  border-radius: 4px; padding: 0px; }"
        "QPushButton:hover { background: rgba(255, 255, 255, 70); }"
        "QPushButton#buttonRemove { background: #b52f35; border-color: #d2555b; }"
        "QPushButton#buttonRemove:hover { background: #c8393f; }"));
}

QPushButton *NotificationCellView::makeButton(const QString &name, const QString &title, int x)
{
    auto *button = new QPushButton(title, this);
    button->setObjectName(name);
    button->setGeometry(x, kHeight - kButtonBottomGap - kButtonHeight, kButtonWidth, kButtonHeight);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

void NotificationCellView::setAdwarea(const AdwarePtr &threat)
{
    m_adwarea = threat;
    if (!threat)
        return;
    setTwoColourLine(m_threatDetails, QStringLiteral("Infection:"), threat->infections());
    setTwoColourLine(m_viewBackText, QStringLiteral("Threat Name:"), QFileInfo(threat->path()).fileName());
}

void NotificationCellView::setTwoColourLine(QLabel *line, const QString &label, const QString &value)
{
    const QString plain = QStringLiteral("%1 %2").arg(label, value);
    line->setToolTip(plain);
    // Control characters in a name would break the line; show them as spaces.
    QString shown = plain;
    for (QChar &c : shown) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    const QString elided = QFontMetrics(line->font()).elidedText(shown, Qt::ElideRight, line->width());
    const qsizetype split = qMin(label.size(), elided.size());
    line->setText(QStringLiteral("<span style=\"color:%1\">%2</span><span style=\"color:white\">%3</span>")
                      .arg(kLabelYellow.name(), elided.left(split).toHtmlEscaped(),
                           elided.mid(split).toHtmlEscaped()));
}

void NotificationCellView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath background;
    // A little inside the frame, so that cards stacked edge to edge read apart.
    background.addRoundedRect(QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5), kCornerRadius, kCornerRadius);
    painter.fillPath(background, kBackground);
    painter.setPen(QColor(255, 255, 255, 60));
    painter.drawPath(background);
    Images::applicationIcon().paint(&painter, QRect(10, 14, kIconSize, kIconSize));
}

void NotificationCellView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (m_delegate)
        m_delegate->cardClicked(this);
}
