#pragma once

#include <QColor>
#include <QString>

class QApplication;

// The look of every window: the Fusion style with one light palette, and the
// few colours the windows name (the tab bar, the accent blue, the grey of an
// unselected tab). Contrast of text on its background stays readable.
class AppStyle
{
public:
    static void apply(QApplication &app);
    static QString styleSheet();

    // Titles of the Dashboard's update and schedule buttons: RGB 57, 131, 251.
    static QColor titleBlue();
    // Background of the primary (white-titled) buttons.
    static QColor accent();
    static QColor tabBar();
    static QColor tabSelected();
    static QColor tabUnselectedTitle();
};
