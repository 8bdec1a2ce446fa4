#include "ui/Images.h"

#include <QFileInfo>

// The resource lives in a static library; naming its initialiser here keeps
// the linker from dropping it.
static void initResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(images);
        return true;
    }();
    Q_UNUSED(done);
}

QString Images::resourcePath(const QString &name)
{
    initResources();
    QString base = name;
    if (base.endsWith(QLatin1String(".tiff")))
        base.chop(5);
    return QStringLiteral(":/images/%1.svg").arg(base);
}

QIcon Images::named(const QString &name)
{
    const QString path = resourcePath(name);
    if (!QFileInfo::exists(path))
        return QIcon();
    return QIcon(path);
}

QStringList Images::names()
{
    return {QStringLiteral("icn_green_check"), QStringLiteral("icn_red_cross"), QStringLiteral("btn_open"),
            QStringLiteral("btn_trash"),       QStringLiteral("icn_white_check"), QStringLiteral("icn_white"),
            QStringLiteral("icon1"),           QStringLiteral("report_bg"),     QStringLiteral("no_threats_bg"),
            QStringLiteral("adult"),           QStringLiteral("Browser_ext"),   QStringLiteral("DetatilsButton"),
            QStringLiteral("icn_gray"),        QStringLiteral("icn_light_red")};
}

QIcon Images::applicationIcon()
{
    return named(QStringLiteral("sweepling"));
}
