#include "ui/AppStyle.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

QColor AppStyle::titleBlue()
{
    return QColor::fromRgbF(0.223529f, 0.513725f, 0.984314f);
}

QColor AppStyle::accent()
{
    // Darker than the title blue, so white titles on it read at 4.5:1 or more.
    return QColor(0x1f, 0x5f, 0xcf);
}

QColor AppStyle::tabBar()
{
    return QColor(0x1c, 0x27, 0x36);
}

QColor AppStyle::tabSelected()
{
    return QColor(0x2e, 0x3d, 0x52);
}

QColor AppStyle::tabUnselectedTitle()
{
    return QColor(0xa9, 0xb3, 0xc1);
}

void AppStyle::apply(QApplication &app)
{
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette = app.style()->standardPalette();
    palette.setColor(QPalette::Window, QColor(0xf4, 0xf6, 0xf9));
    palette.setColor(QPalette::WindowText, QColor(0x1d, 0x23, 0x2b));
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, QColor(0xee, 0xf1, 0xf5));
    palette.setColor(QPalette::Text, QColor(0x1d, 0x23, 0x2b));
    palette.setColor(QPalette::Button, QColor(0xe9, 0xec, 0xf1));
    palette.setColor(QPalette::ButtonText, QColor(0x1d, 0x23, 0x2b));
    palette.setColor(QPalette::Highlight, accent());
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, accent());
    palette.setColor(QPalette::ToolTipBase, Qt::white);
    palette.setColor(QPalette::ToolTipText, QColor(0x1d, 0x23, 0x2b));
    palette.setColor(QPalette::PlaceholderText, QColor(0x6b, 0x73, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x8a, 0x92, 0x9e));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x8a, 0x92, 0x9e));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x8a, 0x92, 0x9e));
    app.setPalette(palette);
    app.setStyleSheet(styleSheet());
}

QString AppStyle::styleSheet()
{
    return QStringLiteral(
               "#tabBar { background: %1; }"
               "QPushButton[tab=\"true\"] { background: transparent; border: none; border-radius: 6px;"
               "  padding: 6px 14px; margin: 6px 0; }"
               "QPushButton[tab=\"true\"]:checked { background: %2; }"
               "QPushButton[tab=\"true\"]:hover { background: %2; }"
               "QPushButton[tab=\"true\"]:focus { outline: none; border: 1px solid %4; }"
               "QPushButton[primary=\"true\"] { background: %3; border: none; border-radius: 4px;"
               "  padding: 8px 20px; color: white; }"
               "QPushButton[primary=\"true\"]:pressed { background: %5; }"
               "QPushButton[primary=\"true\"]:disabled { background: %4; }")
        .arg(tabBar().name(), tabSelected().name(), accent().name(), tabUnselectedTitle().name(),
             accent().darker(125).name());
}
