#include "ui/CheckCellDelegate.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace {

QStyle *styleOf(const QStyleOptionViewItem &option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

} // namespace

QRect CheckCellDelegate::checkRect(const QStyleOptionViewItem &option)
{
    QStyle *style = styleOf(option);
    const int width = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, option.widget);
    const int height = style->pixelMetric(QStyle::PM_IndicatorHeight, &option, option.widget);
    return QStyle::alignedRect(option.direction, Qt::AlignCenter, QSize(width, height), option.rect);
}

void CheckCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QVariant state = index.data(Qt::CheckStateRole);
    cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    QStyle *style = styleOf(option);
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, option.widget);
    if (!state.isValid())
        return;

    QStyleOptionButton box;
    box.rect = checkRect(option);
    box.direction = option.direction;
    box.palette = option.palette;
    box.fontMetrics = option.fontMetrics;
    box.state = QStyle::State_None;
    if (index.flags().testFlag(Qt::ItemIsUserCheckable) && index.flags().testFlag(Qt::ItemIsEnabled))
        box.state |= QStyle::State_Enabled;
    switch (state.value<Qt::CheckState>()) {
    case Qt::Checked:
        box.state |= QStyle::State_On;
        break;
    case Qt::PartiallyChecked:
        box.state |= QStyle::State_NoChange;
        break;
    case Qt::Unchecked:
        box.state |= QStyle::State_Off;
        break;
    }
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, option.widget);
}

bool CheckCellDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                    const QModelIndex &index)
{
    const Qt::ItemFlags flags = index.flags();
    if (!flags.testFlag(Qt::ItemIsUserCheckable) || !flags.testFlag(Qt::ItemIsEnabled))
        return false;
    const QVariant state = index.data(Qt::CheckStateRole);
    if (!state.isValid())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !checkRect(option).contains(mouse->position().toPoint()))
            return false;
        // The press and a double click are taken so that only the release toggles.
        if (event->type() != QEvent::MouseButtonRelease)
            return true;
        break;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select)
            return false;
        break;
    }
    default:
        return false;
    }
    const Qt::CheckState next = state.value<Qt::CheckState>() == Qt::Checked ? Qt::Unchecked : Qt::Checked;
    return model->setData(index, next, Qt::CheckStateRole);
}
