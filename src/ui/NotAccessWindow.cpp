#include "ui/NotAccessWindow.h"

#include "app/AccessController.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "ui/AppDelegateWindow.h"
#include "ui/Images.h"
#include "ui/UiTiming.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

NotAccessWindow::NotAccessWindow(AccessController &access, Platform &platform, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_access(access)
    , m_closeApp(new QPushButton(QStringLiteral("Quit"), this))
    , m_confirmAccess(new QPushButton(QStringLiteral("Confirm Access"), this))
{
    setObjectName(QStringLiteral("NotAccessWindow"));
    setWindowTitle(QStringLiteral("Sweepling"));
    setWindowIcon(Images::applicationIcon());
    setAccessibleName(QStringLiteral("Access to your home folder"));
    setAttribute(Qt::WA_StyledBackground);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    auto *icon = new QLabel(this);
    icon->setPixmap(Images::applicationIcon().pixmap(72, 72));
    icon->setAlignment(Qt::AlignCenter);
    auto *heading = new QLabel(QStringLiteral("Sweepling needs access to your home folder"), this);
    heading->setObjectName(QStringLiteral("accessHeading"));
    QFont headingFont = heading->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.35);
    headingFont.setBold(true);
    heading->setFont(headingFont);
    heading->setAlignment(Qt::AlignCenter);
    heading->setWordWrap(true);
    auto *explanation = new QLabel(
        QStringLiteral("To look for adware, Sweepling reads the folders of %1's home folder. Choose Confirm Access "
                       "and select the home folder (%2) in the next window.")
            .arg(platform.volume().loginName(), platform.volume().homeFolder()),
        this);
    explanation->setObjectName(QStringLiteral("accessExplanation"));
    explanation->setWordWrap(true);
    explanation->setAlignment(Qt::AlignCenter);
    explanation->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_closeApp->setObjectName(QStringLiteral("closeApp"));
    m_closeApp->setAccessibleName(QStringLiteral("Quit Sweepling"));
    m_confirmAccess->setObjectName(QStringLiteral("confirmAccess"));
    m_confirmAccess->setAccessibleName(QStringLiteral("Confirm Access"));
    m_confirmAccess->setProperty("primary", true);
    m_confirmAccess->setDefault(true);
    for (QPushButton *button : {m_closeApp, m_confirmAccess}) {
        button->setCheckable(false);
        button->setMinimumHeight(34);
        button->setMinimumWidth(130);
    }
    connect(m_confirmAccess, &QPushButton::clicked, this, &NotAccessWindow::confirmAccessAction);
    connect(m_closeApp, &QPushButton::clicked, this, &NotAccessWindow::closeAppAction);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_closeApp);
    buttons->addWidget(m_confirmAccess);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(36, 28, 36, 28);
    layout->setSpacing(16);
    layout->addWidget(icon);
    layout->addWidget(heading);
    layout->addWidget(explanation);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    // A fixed size from the wrapped texts: the window never squeezes them,
    // whatever the screen.
    setFixedWidth(kWidth);
    setFixedHeight(heightForWidth(kWidth));
}

void NotAccessWindow::confirmAccessAction()
{
    // The controller runs the chooser with its rules, stores the grant under
    // "kSaveDirectory" (a failed bookmark keeps the earlier one and shows
    // "Access Denied") and opens it.
    if (!m_access.confirmAccessFromAccessWindow()) {
        Log::line(QStringLiteral("Access window: no access granted"));
        return;
    }
    QTimer::singleShot(UiTiming::delay(kOpenDelayMilliseconds), this, [this] {
        if (m_delegate)
            m_delegate->makeUIForApp();
    });
}

void NotAccessWindow::closeAppAction()
{
    QCoreApplication::quit();
}

void NotAccessWindow::dismiss()
{
    m_dismissed = true;
    close();
    deleteLater();
}

void NotAccessWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!m_dismissed)
        closeAppAction();
}
