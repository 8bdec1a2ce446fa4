#include "ui/FileListWindow.h"

#include "remedy/FileList.h"
#include "tools/customCell.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

FileListWindow::FileListWindow(FileList &model, Workspace &workspace, QWidget *parent)
    : QDialog(parent)
    , m_model(model)
    , m_workspace(workspace)
    , m_heading(new QLabel(QStringLiteral("These items could not be removed:")))
    , m_rows(new QVBoxLayout)
    , m_close(new QPushButton(QStringLiteral("Close")))
{
    setObjectName(QStringLiteral("FileList"));
    setWindowTitle(QStringLiteral("Not Removed"));
    setAccessibleName(QStringLiteral("Items not removed"));
    setWindowModality(Qt::WindowModal);
    setStyleSheet(QStringLiteral("#FileList { border: 1px solid palette(mid); }"));
    resize(560, 320);
    m_heading->setObjectName(QStringLiteral("fileListHeading"));
    m_close->setObjectName(QStringLiteral("closeSelfAndReload"));
    m_close->setAccessibleName(QStringLiteral("Close"));
    m_close->setDefault(true);

    auto *scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("listController"));
    scroll->setAccessibleName(QStringLiteral("Items not removed"));
    scroll->setWidgetResizable(true);
    auto *content = new QWidget;
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(6, 6, 6, 6);
    contentLayout->addLayout(m_rows);
    contentLayout->addStretch(1);
    scroll->setWidget(content);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);

    connect(m_close, &QPushButton::clicked, &m_model, &FileList::closeSelfAndReload);
    connect(&m_model, &FileList::listChanged, this, &FileListWindow::rebuild);
    connect(&m_model, &FileList::sheetShownChanged, this, &FileListWindow::followSheet);
    rebuild();
}

void FileListWindow::rebuild()
{
    while (QLayoutItem *item = m_rows->takeAt(0)) {
        if (QWidget *widget = item->widget())
            widget->deleteLater();
        delete item;
    }
    for (const QUrl &url : m_model.urls()) {
        const QString path = url.toLocalFile();
        auto *row = new QWidget;
        row->setObjectName(QStringLiteral("customCell"));
        auto *pathControl = new QLabel;
        pathControl->setObjectName(QStringLiteral("pathControl"));
        pathControl->setText(pathControl->fontMetrics().elidedText(path, Qt::ElideMiddle, 400));
        pathControl->setToolTip(path);
        pathControl->setAccessibleName(path);
        pathControl->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto *show = new QPushButton(QStringLiteral("Show"));
        show->setObjectName(QStringLiteral("showInFinder"));
        show->setToolTip(path);
        show->setAccessibleName(QStringLiteral("Show %1 in the file manager").arg(path));
        connect(show, &QPushButton::clicked, this,
                [this, show] { customCell(m_workspace, show->toolTip()).showInFinderAction(); });
        auto *layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 2, 0, 2);
        layout->addWidget(pathControl, 1);
        layout->addWidget(show);
        m_rows->addWidget(row);
    }
}

void FileListWindow::followSheet(bool shown)
{
    if (shown) {
        show();
        raise();
    } else {
        hide();
    }
}
