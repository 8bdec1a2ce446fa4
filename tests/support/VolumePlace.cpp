#include "support/VolumePlace.h"

#include <QDir>

QString hostileMountFolder(const QString &parent)
{
    return parent + QStringLiteral("/.backup/disk.app/Genieo Sweepling Dupliquor/MacKeeper backup.framework");
}

QString placedVolumeRoot(const QString &parent, VolumePlace place)
{
    if (place == VolumePlace::Plain)
        return parent + QStringLiteral("/vol");
    const QString folder = hostileMountFolder(parent);
    QDir().mkpath(folder);
    return folder + QStringLiteral("/vol");
}

PlacedVolumeFolder::PlacedVolumeFolder(VolumePlace place)
    : m_root(placedVolumeRoot(m_tmp.path(), place))
{
    QDir().mkpath(m_root);
}
