#include "cli/SampleVolume.h"

#include "platform/PropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

SampleVolume::SampleVolume(Volume volume)
    : m_volume(std::move(volume))
{
}

QByteArray SampleVolume::footprintText()
{
    return QByteArrayLiteral("Sweepling sample footprint: a harmless test file, safe to delete.\n");
}

bool SampleVolume::file(const QString &path, const QByteArray &contents)
{
    const QString target = path.startsWith(QLatin1Char('~')) ? m_volume.home(path.mid(1)) : m_volume.host(path);
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        m_error = QStringLiteral("cannot create the folder of %1").arg(target);
        return false;
    }
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(contents) != contents.size()) {
        m_error = QStringLiteral("cannot write %1: %2").arg(target, out.errorString());
        return false;
    }
    return true;
}

bool SampleVolume::app(const QString &path, const QString &bundleIdentifier)
{
    const QString name = QFileInfo(path).completeBaseName();
    const QVariantMap info{{QStringLiteral("CFBundleIdentifier"), bundleIdentifier},
                           {QStringLiteral("CFBundleName"), name},
                           {QStringLiteral("CFBundleExecutable"), name},
                           {QStringLiteral("CFBundlePackageType"), QStringLiteral("APPL")}};
    return file(path + QStringLiteral("/Contents/Info.plist"), PropertyList::serialize(info))
           && file(path + QStringLiteral("/Contents/MacOS/") + name);
}

bool SampleVolume::json(const QString &path, const QByteArray &text)
{
    return file(path, text);
}

bool SampleVolume::write(QString *error)
{
    const QString chrome = QStringLiteral("~/Library/Application Support/Google/Chrome");
    const QString firefox = QStringLiteral("~/Library/Application Support/Firefox/Profiles/x4k2.default");
    const bool ok =
        // Ordinary applications and documents, and this program itself.
        app(QStringLiteral("/Applications/Safari.app"), QStringLiteral("com.apple.Safari"))
        && app(QStringLiteral("/Applications/Sweepling.app"), QStringLiteral("com.quorvane.sweepling"))
        && file(QStringLiteral("~/Documents/Notes.txt"), "Shopping list\n")
        && file(QStringLiteral("~/Library/Caches/com.apple.Safari/Cache.db"), QByteArray(4096, 'c'))
        && file(QStringLiteral("~/Library/Logs/install.log"), "ok\n")
        // FkCodec and Genieo applications and launch agents.
        && app(QStringLiteral("/Applications/Codec-M.app"), QStringLiteral("com.codecm.player"))
        && app(QStringLiteral("/Applications/Genieo.app"), QStringLiteral("com.genieo.app"))
        && file(QStringLiteral("/Library/LaunchAgents/com.genieo.engine.plist"))
        && file(QStringLiteral("~/Library/LaunchAgents/texiday.download.plist"))
        && file(QStringLiteral("~/Library/LaunchAgents/texiday.ltvbit.plist"))
        && file(QStringLiteral("~/Library/LaunchAgents/texiday.update.plist"))
        // Bundlore's four-digit agent, VSearch and MacKeeper leftovers.
        && file(QStringLiteral("~/Library/LaunchAgents/com.pcbooster.4821.plist"))
        && file(QStringLiteral("/Library/Application Support/VSearch/agent.log"))
        && file(QStringLiteral("~/Library/Caches/com.mackeeper.MacKeeper/cache.db"))
        // A trojan dropped in Downloads, and an installer the walk finds by name.
        && app(QStringLiteral("~/Downloads/Scanned_Copy_of_parcel_MV_45_QA566.app"), QStringLiteral("com.parcel.viewer"))
        && file(QStringLiteral("~/Downloads/Trovi Toolbar Installer.dmg"))
        // Browser extensions: Chrome, Firefox and Safari.
        && json(chrome + QStringLiteral("/Local State"),
                R"({"profile":{"info_cache":{"Default":{"name":"Person 1"}}}})")
        && json(chrome + QStringLiteral("/Default/Extensions/dkplnkacbpcjnepjalipcgmphknpbgaa/3.1_0/manifest.json"),
                R"({"name":"Search Protect","version":"3.1"})")
        && file(chrome + QStringLiteral("/Default/Extensions/dkplnkacbpcjnepjalipcgmphknpbgaa/3.1_0/background.js"))
        && json(chrome + QStringLiteral("/Default/Extensions/aapocclcgogkmnckokdopfmhonfmgoek/0.10_0/manifest.json"),
                R"({"name":"Slides","version":"0.10"})")
        && json(firefox + QStringLiteral("/extensions.json"),
                QByteArrayLiteral(R"({"addons":[{"id":"shopperhelper@example-deals.test","version":"2.0",)"
                                  R"("defaultLocale":{"name":"Shopper Helper Pro"},"path":")")
                    + m_volume.volumePath(m_volume.home()).toUtf8()
                    + QByteArrayLiteral(R"(/Library/Application Support/Firefox/Profiles/x4k2.default/extensions/)"
                                        R"(shopperhelper@example-deals.test.xpi"},)"
                                        R"({"id":"default-theme@mozilla.org","version":"1.3",)"
                                        R"("defaultLocale":{"name":"Default"},"path":"/nonexistent"}]})"))
        && file(firefox + QStringLiteral("/extensions/shopperhelper@example-deals.test.xpi"))
        && file(firefox + QStringLiteral("/searchplugins/MyBrand.xml"))
        && file(QStringLiteral("~/Library/Safari/Extensions/FlashPlayer11.safariextz"))
        && file(QStringLiteral("~/Library/Safari/Extensions/Extensions.plist"), "<plist/>\n");
    if (!ok && error)
        *error = m_error;
    return ok;
}
