#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// The application's named images ("icn_green_check", "btn_open.tiff", ...),
// drawn as SVG files in the resource folder ":/images" so they stay sharp at
// every scale. A name may carry the ".tiff" the records store; it is dropped.
class Images
{
public:
    static QIcon named(const QString &name);
    static QString resourcePath(const QString &name);
    // Every image the application names, without extension.
    static QStringList names();
    static QIcon applicationIcon();
};
