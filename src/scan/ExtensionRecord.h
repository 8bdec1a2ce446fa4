#pragma once

#include <QString>
#include <QUrl>

// One browser extension found by the inventory. For Chrome urlExt is the
// extension's identifier folder; for Firefox the add-on's file or folder
// (resolved inside the volume). PersonExt is the browser profile's display
// name ("Default" for Firefox).
struct ExtensionRecord
{
    QUrl urlExt;
    QString verExt;
    QString nameExt;
    qint64 sizeExt = 0;
    QString PersonExt;

    bool operator==(const ExtensionRecord &) const = default;
};
