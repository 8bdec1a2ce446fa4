#pragma once

#include <QWidget>

struct CleaningItem;
class QCheckBox;
class QLabel;

// One row of the Tools page's detail list: an item's check box (its tooltip
// is the item's name, by which the click finds the item), its name and size.
// The check box is enabled by the item's "isEnabled".
class ToolsSelectionCell : public QWidget
{
    Q_OBJECT
public:
    explicit ToolsSelectionCell(QWidget *parent = nullptr);

    // grouped: the row belongs to the grouped extensions list, whose title
    // rows (isHeader false) show no size.
    void fill(const CleaningItem &item, bool grouped, bool alternate);

    QCheckBox *checkBox() const { return m_checkBox; }
    QLabel *sizeText() const { return m_sizeText; }

Q_SIGNALS:
    // The item's check box was clicked: its tooltip and its new state (1 or 0).
    void CheckBoxAction(const QString &toolTip, int state);

private:
    QCheckBox *m_checkBox;
    QLabel *m_sizeText;
};
