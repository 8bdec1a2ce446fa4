#include "ui/ButtonWithSpinner.h"

#include "ui/AppDelegateWindow.h"
#include "ui/AppStyle.h"
#include "ui/DashboardView.h"
#include "ui/SpinnerView.h"

#include <QApplication>

namespace {
qreal systemFontSize()
{
    return QApplication::font().pointSizeF();
}
} // namespace

ButtonWithSpinner::ButtonWithSpinner(const QString &text, QWidget *parent)
    : QPushButton(text, parent)
{
}

ButtonWithSpinner::~ButtonWithSpinner() = default;

AppDelegateWindow *ButtonWithSpinner::appDel()
{
    if (!m_appDel)
        m_appDel = AppDelegateWindow::shared();
    return m_appDel;
}

void ButtonWithSpinner::showSpinner()
{
    setEnabled(false);
    const QString title = text();
    AppDelegateWindow *delegate = appDel();
    DashboardView *dashboard = delegate ? delegate->dashboardObj() : nullptr;
    if (dashboard) {
        if (title == QLatin1String("Quick Scan >") || title == QLatin1String("Deep Scan >")
            || title == QLatin1String("Custom Scan >"))
            AppDelegateWindow::setTextTo(dashboard->scanBtu(), QString(), Qt::white, systemFontSize(), Qt::AlignCenter);
        else if (title == QLatin1String("Check for Updates"))
            AppDelegateWindow::setTextTo(dashboard->UpdateNowSelf(), QString(), AppStyle::titleBlue(), systemFontSize(),
                                         Qt::AlignCenter);
    }
    if (!m_spinner)
        m_spinner = buildSpinner();
    m_spinner->startAnimation();
    m_spinner->show();
    m_originalBounds = rect();
}

SpinnerView *ButtonWithSpinner::buildSpinner()
{
    auto *spinner = new SpinnerView(this);
    spinner->setObjectName(QStringLiteral("spinner"));
    spinner->setAccessibleName(QStringLiteral("Busy"));
    spinner->setColor(palette().color(QPalette::ButtonText));
    spinner->setGeometry(width() / 2 - 10, (height() - 16) / 2, 16, 16);
    return spinner;
}

void ButtonWithSpinner::hideSpinner()
{
    AppDelegateWindow *delegate = appDel();
    if (DashboardView *dashboard = delegate ? delegate->dashboardObj() : nullptr) {
        AppDelegateWindow::setTextTo(dashboard->scanBtu(), QStringLiteral("Scan Now >"), Qt::white, systemFontSize(),
                                     Qt::AlignCenter);
        AppDelegateWindow::setTextTo(dashboard->UpdateNowSelf(), QStringLiteral("Check for Updates"),
                                     AppStyle::titleBlue(), systemFontSize(), Qt::AlignCenter);
    }
    setEnabled(true);
    delete m_spinner;
    m_spinner = nullptr;
}
