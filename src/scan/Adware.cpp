#include "scan/Adware.h"

#include "platform/AnchoredPath.h"
#include "platform/FileName.h"

AdwarePtr Adware::AdwareWithName(const QString &name, bool, const QString &infections, qint64 size,
                                 const QUrl &url, const QString &risk)
{
    auto adware = std::make_shared<Adware>();
    adware->m_name = name;
    adware->m_infections = infections;
    adware->m_size = size;
    adware->m_url = url;
    adware->m_risk = risk;
    adware->recheckPresence();
    adware->m_isNoAction = false;
    return adware;
}

bool Adware::fileExistsAtPath(const QString &path, const QString &volumeRoot)
{
    if (path.isEmpty())
        return false;
    return AnchoredPath::exists(volumeRoot.isEmpty() ? QStringLiteral("/") : volumeRoot, path);
}

void Adware::recheckPresence(const QString &volumeRoot)
{
    m_isAvail = fileExistsAtPath(path(), volumeRoot);
    m_isChecked = m_isAvail;
    m_redGreen = m_isAvail ? NamedColour::black() : NamedColour::grey();
}
