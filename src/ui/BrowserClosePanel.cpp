#include "ui/BrowserClosePanel.h"

#include "remedy/FourceQuitBrowserView.h"
#include "ui/Images.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

BrowserClosePanel::BrowserClosePanel(FourceQuitBrowserView &model, QWidget *window)
    : QDialog(window)
    , m_model(&model)
    , m_list(new QListWidget(this))
    , m_close(new QPushButton(QStringLiteral("Close"), this))
    , m_retry(new QPushButton(QStringLiteral("Retry"), this))
{
    setObjectName(QStringLiteral("browserCloseWindow"));
    setWindowTitle(QStringLiteral("Sweepling"));
    setAccessibleName(QStringLiteral("Quit browsers"));
    setWindowModality(Qt::WindowModal);
    auto *message = new QLabel(QStringLiteral("Please quit these browsers before the selected threats are removed, "
                                              "then press Retry."),
                               this);
    message->setObjectName(QStringLiteral("browserCloseMessage"));
    message->setWordWrap(true);
    m_list->setObjectName(QStringLiteral("browserList"));
    m_list->setAccessibleName(QStringLiteral("Running browsers"));
    m_list->setIconSize(QSize(32, 32));
    m_list->setSpacing(4);
    m_list->setMinimumHeight(130);
    m_close->setObjectName(QStringLiteral("closeWindow"));
    m_close->setAccessibleName(QStringLiteral("Close"));
    m_retry->setObjectName(QStringLiteral("retry"));
    m_retry->setAccessibleName(QStringLiteral("Retry"));
    m_retry->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    buttons->addWidget(m_retry);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(message);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    resize(380, 280);

    connect(m_close, &QPushButton::clicked, this, [this] {
        if (m_model)
            m_model->closeWindow();
    });
    connect(m_retry, &QPushButton::clicked, this, [this] {
        if (m_model)
            m_model->retryAction();
    });
    // Escape and the window's close button are Close.
    connect(this, &QDialog::rejected, this, [this] {
        if (m_model && m_model->sheetShown())
            m_model->closeWindow();
    });
    connect(&model, &FourceQuitBrowserView::browserListChanged, this, &BrowserClosePanel::reload);
    connect(&model, &FourceQuitBrowserView::sheetShownChanged, this, &BrowserClosePanel::sheetShownChanged);
    reload();
}

void BrowserClosePanel::reload()
{
    m_list->clear();
    if (!m_model)
        return;
    for (const BrowserEntry &entry : m_model->browserList()) {
        QIcon icon = QFileInfo(entry.iconBrowser).isAbsolute() ? QIcon(entry.iconBrowser)
                                                               : QIcon::fromTheme(entry.iconBrowser);
        if (icon.isNull())
            icon = QIcon::fromTheme(QStringLiteral("web-browser"), Images::named(QStringLiteral("Browser_ext")));
        auto *item = new QListWidgetItem(icon, entry.NameBrowser, m_list);
        item->setData(Qt::AccessibleTextRole, entry.NameBrowser);
    }
}

void BrowserClosePanel::sheetShownChanged(bool shown)
{
    if (shown) {
        reload();
        open();
    } else if (isVisible()) {
        hide();
    }
}
