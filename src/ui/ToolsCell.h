#pragma once

#include <QFrame>

struct CleaningEntry;
class QCheckBox;
class QLabel;
class QPushButton;

// One row of the Tools table: the entry's icon, its check box (which shows
// the mixed state of a partly selected entry), name, size, the list of what
// it cleans and the button that opens its detail list. The check box and the
// details button carry the row index in their "tag" property.
class ToolsCell : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kRowHeight = 65;

    explicit ToolsCell(QWidget *parent = nullptr);

    // Shows the entry at row; the texts follow the entry's kind.
    void fill(const CleaningEntry &entry, int row);
    static QString detailsTextFor(const CleaningEntry &entry);

    QCheckBox *checkBox() const { return m_checkBox; }
    QPushButton *detailsButton() const { return m_detailsButton; }
    QLabel *nameText() const { return m_nameText; }
    QLabel *sizeText() const { return m_sizeText; }
    QLabel *detailsText() const { return m_detailsText; }

Q_SIGNALS:
    // The entry check box was clicked; state is 1 or 0 (a click that left
    // the box mixed counts as checked).
    void checkBoxAction(int row, int state);
    void ShowDetailsFor(int row);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void elideDetails();

    QString m_details;
    QLabel *m_imageIcon;
    QCheckBox *m_checkBox;
    QLabel *m_nameText;
    QLabel *m_sizeText;
    QLabel *m_detailsText;
    QPushButton *m_detailsButton;
};
