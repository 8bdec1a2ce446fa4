#include "ui/SelectionView.h"

#include "tools/CleaningEntry.h"
#include "ui/ToolsSelectionCell.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

SelectionView::SelectionView(QWidget *parent)
    : QFrame(parent)
    , m_panel(new QFrame(this))
    , m_title(new QLabel)
    , m_list(new QScrollArea)
    , m_rows(new QVBoxLayout)
    , m_done(new QPushButton(QStringLiteral("Done")))
{
    setObjectName(QStringLiteral("selectionTableView"));
    setAccessibleName(QStringLiteral("Items to clean"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#selectionTableView { background: rgba(20, 28, 40, 110); }"
                                 "#selectionPanel { background: palette(window); border-radius: 8px; }"));
    m_panel->setObjectName(QStringLiteral("selectionPanel"));
    m_panel->setAttribute(Qt::WA_StyledBackground);
    QFont heading = m_title->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.2);
    m_title->setFont(heading);
    m_title->setObjectName(QStringLiteral("selectionTitle"));
    m_list->setObjectName(QStringLiteral("detailList"));
    m_list->setAccessibleName(QStringLiteral("Items"));
    m_list->setWidgetResizable(true);
    m_list->setFrameShape(QFrame::StyledPanel);
    auto *content = new QWidget;
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(0);
    contentLayout->addLayout(m_rows);
    contentLayout->addStretch(1);
    m_list->setWidget(content);
    m_done->setObjectName(QStringLiteral("AddDetailsForRemoval"));
    m_done->setAccessibleName(QStringLiteral("Done"));
    m_done->setProperty("primary", true);
    m_done->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_done);
    auto *panelLayout = new QVBoxLayout(m_panel);
    panelLayout->setContentsMargins(18, 14, 18, 14);
    panelLayout->setSpacing(10);
    panelLayout->addWidget(m_title);
    panelLayout->addWidget(m_list);
    panelLayout->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(60, 30, 60, 30);
    layout->addStretch(1);
    layout->addWidget(m_panel);
    layout->addStretch(1);
    connect(m_done, &QPushButton::clicked, this, &SelectionView::AddDetailsForRemoval);
    hide();
}

void SelectionView::showEntry(const CleaningEntry &entry, int rowHeight, bool alternatingRows, int listHeight)
{
    m_grouped = entry.isFromAdware;
    m_alternating = alternatingRows;
    m_title->setText(entry.Name);
    while (m_cells.size() > entry.List.size())
        delete m_cells.takeLast();
    while (m_cells.size() < entry.List.size()) {
        auto *cell = new ToolsSelectionCell;
        connect(cell, &ToolsSelectionCell::CheckBoxAction, this, &SelectionView::CheckBoxAction);
        m_rows->addWidget(cell);
        m_cells.append(cell);
    }
    for (ToolsSelectionCell *cell : m_cells)
        cell->setFixedHeight(rowHeight);
    m_list->setFixedHeight(listHeight);
    refresh(entry);
    setGeometry(parentWidget() ? parentWidget()->rect() : geometry());
    show();
    raise();
}

void SelectionView::refresh(const CleaningEntry &entry)
{
    for (qsizetype row = 0; row < m_cells.size() && row < entry.List.size(); ++row)
        m_cells[row]->fill(entry.List.at(row), m_grouped, m_alternating && row % 2 == 1);
}

// Clicks outside the panel end here and go no further.
void SelectionView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void SelectionView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void SelectionView::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

void SelectionView::wheelEvent(QWheelEvent *event)
{
    event->accept();
}
