#pragma once

#include <QStyledItemDelegate>

// Draws a cell's check state as a check box in the middle of the cell and
// toggles it on a click there, like a check box widget but without one: a
// table with a row per finding stays cheap to fill while a scan adds rows.
// A cell whose item is not user-checkable shows its state greyed out.
class CheckCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Where the check box of a cell is drawn, in viewport coordinates.
    static QRect checkRect(const QStyleOptionViewItem &option);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
};
