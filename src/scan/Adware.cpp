#include "scan/Adware.h"

#include "platform/AnchoredPath.h"
#include "platform/FileName.h"

#include <cerrno>
#include <sys/stat.h>

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

bool Adware::fileExistsAtPath(const QString &path)
{
    if (path.isEmpty())
        return false;
    struct stat st{};
    if (::lstat(FileName::encode(path).constData(), &st) == 0)
        return true;
    // A path longer than the system's limit is looked up one folder at a
    // time (without following links on the way).
    return errno == ENAMETOOLONG && AnchoredPath::exists(QStringLiteral("/"), path);
}

void Adware::recheckPresence()
{
    m_isAvail = fileExistsAtPath(path());
    m_isChecked = m_isAvail;
    m_redGreen = m_isAvail ? NamedColour::black() : NamedColour::grey();
}
