#include "ui/CheckCellDelegate.h"

#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A two-row table like the threat list: the first row's box can be ticked,
// the second's is shown but held (as while a scan runs).
struct CheckTable
{
    CheckTable()
    {
        table.setColumnCount(2);
        table.setRowCount(2);
        table.setColumnWidth(0, 60);
        table.verticalHeader()->setDefaultSectionSize(30);
        table.setItemDelegateForColumn(0, new CheckCellDelegate(&table));
        for (int row = 0; row < 2; ++row) {
            auto *item = new QTableWidgetItem;
            item->setCheckState(Qt::Checked);
            item->setFlags(row == 0 ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::ItemIsEnabled);
            table.setItem(row, 0, item);
        }
        table.resize(300, 150);
        table.show();
    }

    QRect box(int row) const
    {
        QStyleOptionViewItem option;
        option.initFrom(table.viewport());
        option.rect = table.visualRect(table.model()->index(row, 0));
        return CheckCellDelegate::checkRect(option);
    }
    Qt::CheckState state(int row) const { return table.item(row, 0)->checkState(); }
    void click(const QPoint &at) { QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, at); }

    QTableWidget table;
};

} // namespace

TEST(CheckCellDelegate, AClickOnTheCentredBoxTogglesOnlyACheckableCell)
{
    CheckTable t;
    const QRect cell = t.table.visualRect(t.table.model()->index(0, 0));
    const QRect box = t.box(0);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_TRUE(cell.contains(box));
    EXPECT_LE(std::abs(box.center().x() - cell.center().x()), 1) << "the box sits in the middle of its cell";

    QSignalSpy changed(&t.table, &QTableWidget::itemChanged);
    t.click(box.center());
    EXPECT_EQ(t.state(0), Qt::Unchecked);
    t.click(box.center());
    EXPECT_EQ(t.state(0), Qt::Checked);
    EXPECT_EQ(changed.size(), 2);

    // Beside the box, in the same cell: nothing.
    t.click(QPoint(cell.left() + 2, cell.center().y()));
    EXPECT_EQ(t.state(0), Qt::Checked);
    // The space bar toggles the current cell, as it does a check box.
    t.table.setCurrentCell(0, 0);
    t.table.setFocus();
    QTest::keyClick(&t.table, Qt::Key_Space);
    EXPECT_EQ(t.state(0), Qt::Unchecked);
    EXPECT_EQ(changed.size(), 3);

    // A held box moves neither by click nor by key.
    t.click(t.box(1).center());
    t.table.setCurrentCell(1, 0);
    QTest::keyClick(&t.table, Qt::Key_Space);
    EXPECT_EQ(t.state(1), Qt::Checked);
    EXPECT_EQ(changed.size(), 3);
}
