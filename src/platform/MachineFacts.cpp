#include "platform/MachineFacts.h"

#include <QFile>
#include <QSysInfo>

namespace {
QString readFirmwareValue(const char *path)
{
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString value = QString::fromUtf8(file.readAll()).trimmed();
    // Firmware often carries placeholders instead of real values.
    if (value.isEmpty() || value.contains(QLatin1String("To be filled"), Qt::CaseInsensitive)
        || value.compare(QLatin1String("Default string"), Qt::CaseInsensitive) == 0)
        return {};
    return value;
}
} // namespace

QString MachineFacts::notAvailableText()
{
    return QStringLiteral("Not available");
}

MachineFacts MachineFacts::read(const QString &loginName)
{
    MachineFacts facts;
    facts.computerName = QSysInfo::machineHostName();
    facts.model = readFirmwareValue("/sys/class/dmi/id/product_name");
    facts.serialNumber = readFirmwareValue("/sys/class/dmi/id/product_serial");
    if (facts.computerName.isEmpty())
        facts.computerName = notAvailableText();
    if (facts.model.isEmpty())
        facts.model = notAvailableText();
    if (facts.serialNumber.isEmpty())
        facts.serialNumber = notAvailableText();
    facts.loginName = loginName;
    return facts;
}
