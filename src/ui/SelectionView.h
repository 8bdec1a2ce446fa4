#pragma once

#include <QFrame>
#include <QList>

struct CleaningEntry;
class QLabel;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class ToolsSelectionCell;

// The overlay that holds a Tools entry's detail list above the table. It
// covers the whole page and takes every click that lands outside its panel,
// so nothing behind it can be pressed while items are being edited; its
// "Done" button closes it.
class SelectionView : public QFrame
{
    Q_OBJECT
public:
    explicit SelectionView(QWidget *parent = nullptr);

    // Shows the entry's items in rows of rowHeight, the list rows tall.
    void showEntry(const CleaningEntry &entry, int rowHeight, bool alternatingRows, int listHeight);
    // Re-reads every row's state from the entry (after a click propagated).
    void refresh(const CleaningEntry &entry);

    QList<ToolsSelectionCell *> cells() const { return m_cells; }
    QScrollArea *detailList() const { return m_list; }
    QPushButton *doneButton() const { return m_done; }

Q_SIGNALS:
    void CheckBoxAction(const QString &toolTip, int state);
    void AddDetailsForRemoval();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QFrame *m_panel;
    QLabel *m_title;
    QScrollArea *m_list;
    QVBoxLayout *m_rows;
    QPushButton *m_done;
    QList<ToolsSelectionCell *> m_cells;
    bool m_grouped = false;
    bool m_alternating = true;
};
