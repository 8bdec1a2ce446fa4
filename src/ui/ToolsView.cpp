#include "ui/ToolsView.h"

#include "app/AppDelegate.h"
#include "platform/Platform.h"
#include "remedy/FileList.h"
#include "tools/Tools.h"
#include "ui/FileListWindow.h"
#include "ui/SelectionView.h"
#include "ui/SpinnerView.h"
#include "ui/ToolsCell.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
constexpr qint64 kToolsTag = 30;
}

ToolsView::ToolsView(AppDelegate &app, QWidget *parent)
    : PageView(QStringLiteral("toolsObj"), QStringLiteral("Tools"), parent)
    , m_app(app)
    , m_model(std::make_unique<Tools>(app.platform()))
    , m_fileList(std::make_unique<FileList>(app.platform().notifications()))
    , m_indicator(new SpinnerView)
    , m_status(new QLabel)
    , m_table(new QScrollArea)
    , m_rows(new QVBoxLayout)
    , m_selection(new SelectionView(this))
    , m_removeButton(new QPushButton(QStringLiteral("Remove")))
    , m_accessButton(new QPushButton(QStringLiteral("Give Access")))
    , m_accessText(new QLabel(QStringLiteral("Sweepling needs access to your home folder to show what can be cleaned.")))
{
    m_model->setRefreshCondition(
        [this] { return m_app.access().isUserDirAccessible() && m_app.tabtype == kToolsTag; });

    m_indicator->setObjectName(QStringLiteral("indicator"));
    m_indicator->setAccessibleName(QStringLiteral("Sizing"));
    m_indicator->setFixedSize(20, 20);
    m_indicator->hide();
    m_status->setObjectName(QStringLiteral("toolsStatus"));
    m_status->setForegroundRole(QPalette::PlaceholderText);

    m_table->setObjectName(QStringLiteral("table"));
    m_table->setAccessibleName(QStringLiteral("Cleanable data"));
    m_table->setWidgetResizable(true);
    m_table->setFrameShape(QFrame::NoFrame);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("tableContent"));
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(10);
    contentLayout->addLayout(m_rows);
    contentLayout->addStretch(1);
    m_table->setWidget(content);
    m_table->setFixedHeight(Tools::tableHeightFor(0));
    m_table->hide();

    m_removeButton->setObjectName(QStringLiteral("removeButton"));
    m_removeButton->setAccessibleName(QStringLiteral("Remove selected data"));
    m_removeButton->setProperty("primary", true);
    m_removeButton->setEnabled(false);
    m_accessButton->setObjectName(QStringLiteral("accessButton"));
    m_accessButton->setAccessibleName(QStringLiteral("Give access to the home folder"));
    m_accessText->setObjectName(QStringLiteral("accessText"));
    m_accessText->setWordWrap(true);

    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(m_indicator);
    statusRow->addWidget(m_status, 1);
    auto *accessRow = new QHBoxLayout;
    accessRow->addWidget(m_accessText, 1);
    accessRow->addWidget(m_accessButton);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_removeButton);
    body()->addLayout(statusRow);
    body()->addLayout(accessRow);
    body()->addWidget(m_table);
    body()->addLayout(buttons);

    connect(m_model.get(), &Tools::refreshStarted, this, [this] {
        m_indicator->show();
        m_indicator->startAnimation();
        m_status->setText(QStringLiteral("Measuring what can be cleaned…"));
    });
    connect(m_model.get(), &Tools::refreshFinished, this, [this] {
        m_indicator->stopAnimation();
        m_indicator->hide();
        m_status->setText(QStringLiteral("Select the data to remove."));
    });
    connect(m_model.get(), &Tools::tableReloaded, this, &ToolsView::reloadTableAndUI);
    connect(m_model.get(), &Tools::notRemovedListReady, this, &ToolsView::showNotRemoved);
    connect(m_selection, &SelectionView::CheckBoxAction, this, &ToolsView::CheckBoxAction);
    connect(m_selection, &SelectionView::AddDetailsForRemoval, this, &ToolsView::AddDetailsForRemoval);
    connect(m_removeButton, &QPushButton::clicked, this, &ToolsView::cleanAndReloadData);
    connect(m_accessButton, &QPushButton::clicked, this, &ToolsView::grantAccessUserDirectory);
    updateAccess();
}

ToolsView::~ToolsView()
{
    delete m_fileListWindow;
}

void ToolsView::tabSelected(qint64 tag)
{
    if (tag == kToolsTag)
        resetAndAddavailbleApplications();
}

void ToolsView::resetAndAddavailbleApplications()
{
    updateAccess();
    m_model->resetAndAddavailbleApplications();
}

void ToolsView::updateAccess()
{
    const bool accessible = m_app.access().isUserDirAccessible();
    m_accessButton->setVisible(!accessible);
    m_accessText->setVisible(!accessible);
}

void ToolsView::grantAccessUserDirectory()
{
    if (m_app.access().confirmAccessFromAccessWindow())
        m_app.access().isUserAccessible();
    resetAndAddavailbleApplications();
}

// setHeightDetails and reloadTableAndUI: one row widget per entry, reused,
// the table as tall as the entries up to its limit, the Remove button
// enabled while something is selected.
void ToolsView::reloadTableAndUI()
{
    const QList<CleaningEntry> &entries = m_model->availbleApp();
    while (m_cells.size() > entries.size())
        m_cells.takeLast()->deleteLater();
    while (m_cells.size() < entries.size()) {
        auto *cell = new ToolsCell;
        connect(cell, &ToolsCell::checkBoxAction, m_model.get(), &Tools::checkBoxAction);
        connect(cell, &ToolsCell::ShowDetailsFor, this, &ToolsView::ShowDetailsFor);
        m_rows->addWidget(cell);
        m_cells.append(cell);
    }
    for (qsizetype row = 0; row < entries.size(); ++row)
        m_cells[row]->fill(entries.at(row), int(row));
    m_table->setVisible(!m_model->isTableHidden());
    m_table->setFixedHeight(Tools::tableHeightFor(entries.size()));
    m_removeButton->setEnabled(m_model->removeButtonOn());
}

void ToolsView::ShowDetailsFor(int row)
{
    m_model->ShowDetailsFor(row);
    const CleaningEntry *entry = m_model->toolsSelectedDic();
    if (!entry)
        return;
    const Tools::DetailListLayout layout = m_model->detailListLayout();
    m_selection->showEntry(*entry, layout.rowHeight, layout.alternatingRows, layout.height);
}

void ToolsView::CheckBoxAction(const QString &toolTip, int state)
{
    m_model->CheckBoxAction(toolTip, state);
    if (const CleaningEntry *entry = m_model->toolsSelectedDic())
        m_selection->refresh(*entry);
}

void ToolsView::AddDetailsForRemoval()
{
    m_selection->hide();
    m_model->AddDetailsForRemoval();
}

void ToolsView::cleanAndReloadData()
{
    m_model->cleanAndReloadData();
}

void ToolsView::showNotRemoved(const QList<QUrl> &urls)
{
    if (!m_fileListWindow)
        m_fileListWindow = new FileListWindow(*m_fileList, m_app.platform().workspace(), window());
    m_fileList->resetListAndMakeList();
    m_fileList->addObjects(urls);
    m_fileList->beginSheet();
}
