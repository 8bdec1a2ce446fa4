#include "ui/PageView.h"

#include <QLabel>
#include <QVBoxLayout>

PageView::PageView(const QString &objectName, const QString &title, QWidget *parent)
    : QFrame(parent)
    , m_title(new QLabel(title, this))
    , m_body(new QVBoxLayout)
{
    setObjectName(objectName);
    setAccessibleName(title);
    setAutoFillBackground(true);
    QFont heading = m_title->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.6);
    heading.setBold(true);
    m_title->setFont(heading);
    m_title->setObjectName(objectName + QStringLiteral("Title"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    layout->setSpacing(14);
    layout->addWidget(m_title);
    layout->addLayout(m_body);
    layout->addStretch(1);
}

QString PageView::title() const
{
    return m_title->text();
}
