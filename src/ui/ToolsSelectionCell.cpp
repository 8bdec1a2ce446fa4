#include "ui/ToolsSelectionCell.h"

#include "tools/CleaningItem.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>

ToolsSelectionCell::ToolsSelectionCell(QWidget *parent)
    : QWidget(parent)
    , m_checkBox(new QCheckBox)
    , m_sizeText(new QLabel)
{
    setObjectName(QStringLiteral("ToolsSelectionCell"));
    setAutoFillBackground(true);
    m_checkBox->setObjectName(QStringLiteral("checkBox"));
    m_checkBox->setTristate(true);
    m_sizeText->setObjectName(QStringLiteral("sizeText"));
    m_sizeText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 0, 12, 0);
    row->addWidget(m_checkBox, 1);
    row->addWidget(m_sizeText);
    connect(m_checkBox, &QCheckBox::clicked, this, [this] {
        Q_EMIT CheckBoxAction(m_checkBox->toolTip(), m_checkBox->checkState() == Qt::Unchecked ? 0 : 1);
    });
}

void ToolsSelectionCell::fill(const CleaningItem &item, bool grouped, bool alternate)
{
    m_checkBox->setText(item.NameText);
    m_checkBox->setToolTip(item.NameText);
    m_checkBox->setAccessibleName(item.NameText);
    m_checkBox->setCheckState(item.isChecked == 1   ? Qt::Checked
                              : item.isChecked == 0 ? Qt::Unchecked
                                                    : Qt::PartiallyChecked);
    m_checkBox->setEnabled(item.isEnabled);
    const bool title = grouped && !item.isHeader;
    QFont font = m_checkBox->font();
    font.setBold(title);
    m_checkBox->setFont(font);
    m_sizeText->setText(item.hasAllList && !title ? item.sizeText : QString());
    m_sizeText->setAccessibleName(QStringLiteral("Size of %1").arg(item.NameText));
    setBackgroundRole(alternate ? QPalette::AlternateBase : QPalette::Base);
}
