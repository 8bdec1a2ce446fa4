#include "scan/FamilyDetectors.h"

#include "platform/Log.h"
#include "platform/Volume.h"
#include "scan/Adware.h"
#include "scan/AdwareScan.h"
#include "scan/ScanHost.h"

#include <QSet>

#include <array>
#include <utility>

namespace {

using Kind = FamilyCatalogue::Step::Kind;

const QString kRisk = QStringLiteral("High Risk");

// The name of a URL's last path component; a trailing slash (as in the
// literal "/Library/InputManagers/CTLoader/") does not hide it.
QString lastPathComponent(const QUrl &url)
{
    QString path = url.toLocalFile();
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 || path.size() == 1 ? path : path.mid(slash + 1);
}

QList<QUrl> withNameContaining(const QList<QUrl> &urls, const QString &name)
{
    QList<QUrl> found;
    if (name.isEmpty())
        return found;
    for (const QUrl &url : urls) {
        if (lastPathComponent(url).contains(name, Qt::CaseInsensitive))
            found.append(url);
    }
    return found;
}

QList<QUrl> withNameEnding(const QList<QUrl> &urls, const QString &suffix)
{
    QList<QUrl> found;
    for (const QUrl &url : urls) {
        if (lastPathComponent(url).endsWith(suffix))
            found.append(url);
    }
    return found;
}

QList<QUrl> withNameStarting(const QList<QUrl> &urls, const QString &prefix)
{
    QList<QUrl> found;
    for (const QUrl &url : urls) {
        if (lastPathComponent(url).startsWith(prefix))
            found.append(url);
    }
    return found;
}

// Length of the first run of the decimal digits 0-9 in a name (0 when none).
qsizetype firstDigitRunLength(const QString &name)
{
    auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    qsizetype start = 0;
    while (start < name.size() && !isDigit(name.at(start)))
        ++start;
    qsizetype end = start;
    while (end < name.size() && isDigit(name.at(end)))
        ++end;
    return end - start;
}

QList<QUrl> uniqueInOrder(const QList<QUrl> &urls)
{
    QList<QUrl> unique;
    QSet<QString> seen;
    for (const QUrl &url : urls) {
        if (!seen.contains(url.toLocalFile())) {
            seen.insert(url.toLocalFile());
            unique.append(url);
        }
    }
    return unique;
}

using DetectorMethod = void (FamilyDetectors::*)();

const std::array<std::pair<const char *, DetectorMethod>, 26> &detectorTable()
{
    static const std::array<std::pair<const char *, DetectorMethod>, 26> table{{
        {"checkForFkCodec", &FamilyDetectors::checkForFkCodec},
        {"checkForYontoo", &FamilyDetectors::checkForYontoo},
        {"checkFakeAdobeFlashPlayers", &FamilyDetectors::checkFakeAdobeFlashPlayers},
        {"checkChatZum", &FamilyDetectors::checkChatZum},
        {"checkConduit", &FamilyDetectors::checkConduit},
        {"checkSpigot", &FamilyDetectors::checkSpigot},
        {"checkInstallCore", &FamilyDetectors::checkInstallCore},
        {"checkGoPhotoIt", &FamilyDetectors::checkGoPhotoIt},
        {"checkGenieo", &FamilyDetectors::checkGenieo},
        {"checkSavekeep", &FamilyDetectors::checkSavekeep},
        {"checkVidx", &FamilyDetectors::checkVidx},
        {"checkAwesomeScreenshot", &FamilyDetectors::checkAwesomeScreenshot},
        {"checkBundlore", &FamilyDetectors::checkBundlore},
        {"checkAskToolbar", &FamilyDetectors::checkAskToolbar},
        {"checkInfectedExtantion", &FamilyDetectors::checkInfectedExtantion},
        {"checkPremierOpinion", &FamilyDetectors::checkPremierOpinion},
        {"checkOperatorMac", &FamilyDetectors::checkOperatorMac},
        {"checkVSearch", &FamilyDetectors::checkVSearch},
        {"checkMacKeeper", &FamilyDetectors::checkMacKeeper},
        {"checkMacDefender", &FamilyDetectors::checkMacDefender},
        {"checkMacSecurity", &FamilyDetectors::checkMacSecurity},
        {"checkMacProtector", &FamilyDetectors::checkMacProtector},
        {"checkGwenrose", &FamilyDetectors::checkGwenrose},
        {"checkMontageobox", &FamilyDetectors::checkMontageobox},
        {"checkEpolifeAndRelated", &FamilyDetectors::checkEpolifeAndRelated},
        {"checkForOthers", &FamilyDetectors::checkForOthers},
    }};
    return table;
}

} // namespace

FamilyDetectors::FamilyDetectors(ScanHost &host, const FamilyCatalogue &catalogue)
    : m_host(host)
    , m_catalogue(catalogue)
{
}

void FamilyDetectors::runAll()
{
    for (const auto &[name, method] : detectorTable()) {
        (this->*method)();
        if (m_host.state().isScanStop)
            return;
    }
}

QStringList FamilyDetectors::detectorOrder()
{
    QStringList order;
    for (const auto &entry : detectorTable())
        order.append(QLatin1String(entry.first));
    return order;
}

QList<QUrl> FamilyDetectors::checkApplication(const QString &name) const
{
    return withNameContaining(m_host.inventory().applicationList, name);
}

QList<QUrl> FamilyDetectors::checkApplicationSupport(const QString &name) const
{
    return withNameContaining(m_host.inventory().applicationSupportList, name);
}

QList<QUrl> FamilyDetectors::checkLaunchAgents(const QString &name) const
{
    return withNameContaining(m_host.inventory().launchAgentsList, name);
}

QList<QUrl> FamilyDetectors::checklaunchDaemons(const QString &name) const
{
    return withNameContaining(m_host.inventory().launchDaemonsList, name);
}

QList<QUrl> FamilyDetectors::checkUrlAvilble(const QStringList &paths) const
{
    QList<QUrl> found;
    const Volume &volume = m_host.volume();
    for (const QString &path : paths) {
        if (!path.startsWith(QLatin1Char('/')))
            continue; // a label heading a group of paths
        if (const QString onVolume = volume.host(path); Adware::fileExistsAtPath(onVolume, volume.root()))
            found.append(QUrl::fromLocalFile(onVolume));
        if (const QString inHome = volume.home(path); Adware::fileExistsAtPath(inHome, volume.root()))
            found.append(QUrl::fromLocalFile(inHome));
    }
    return found;
}

QList<QUrl> FamilyDetectors::existing(const QStringList &paths, bool underHome) const
{
    QList<QUrl> found;
    for (const QString &path : paths) {
        const QString hostPath = underHome ? m_host.volume().home(path) : m_host.volume().host(path);
        if (path.startsWith(QLatin1Char('/')) && Adware::fileExistsAtPath(hostPath, m_host.volume().root()))
            found.append(QUrl::fromLocalFile(hostPath));
    }
    return found;
}

void FamilyDetectors::offer(const QUrl &url, const QString &name, const QString &type, qint64 size)
{
    m_host.addIfAvail(url, name, type, kRisk, size, FindingSource::Detector);
}

void FamilyDetectors::checkInAllExtantion(const QString &name, const QString &type)
{
    if (name.isEmpty())
        return;
    const Inventory &inventory = m_host.inventory();
    for (const QUrl &url : withNameContaining(inventory.safariExtantionList, name))
        offer(url, lastPathComponent(url), type, 0);
    for (const ExtensionRecord &record : inventory.chromeExtantionList) {
        if (record.nameExt.contains(name, Qt::CaseInsensitive))
            offer(record.urlExt, QStringLiteral("%1 (%2)").arg(record.nameExt, record.PersonExt), type, record.sizeExt);
    }
    for (const ExtensionRecord &record : inventory.firefoxExtantionList) {
        if (record.nameExt.contains(name, Qt::CaseInsensitive))
            offer(record.urlExt, record.nameExt, type, 0);
    }
}

void FamilyDetectors::reportExtensionSuffix(const QString &suffix, const QString &type)
{
    const Inventory &inventory = m_host.inventory();
    for (const QUrl &url : withNameEnding(inventory.safariExtantionList, suffix))
        offer(url, lastPathComponent(url), type, 0);
    for (const ExtensionRecord &record : inventory.chromeExtantionList) {
        if (record.nameExt.endsWith(suffix))
            offer(record.urlExt, QStringLiteral("%1 (%2)").arg(record.nameExt, record.PersonExt), type, record.sizeExt);
    }
    for (const ExtensionRecord &record : inventory.firefoxExtantionList) {
        if (record.nameExt.endsWith(suffix))
            offer(record.urlExt, record.nameExt, type, 0);
    }
}

bool FamilyDetectors::runDetector(const QString &method)
{
    const FamilyCatalogue::Detector *detector = m_catalogue.detector(method);
    if (!detector) {
        Log::warning(QStringLiteral("No catalogue entry for %1").arg(method));
        return false;
    }
    for (const FamilyCatalogue::Family &family : detector->families)
        runFamily(family);
    return true;
}

void FamilyDetectors::runFamily(const FamilyCatalogue::Family &family)
{
    Collection collection;
    for (const FamilyCatalogue::Step &step : family.steps)
        runStep(step, family.type, collection);
}

void FamilyDetectors::runStep(const FamilyCatalogue::Step &step, const QString &type, Collection &collection)
{
    switch (step.kind) {
    case Kind::Status:
        m_host.waitFor(step.seconds, step.text);
        break;
    case Kind::Pause:
        m_host.pause(step.seconds);
        break;
    case Kind::Extensions:
        for (const QString &name : step.names)
            checkInAllExtantion(name, type);
        break;
    case Kind::Applications:
    case Kind::ApplicationSupport:
    case Kind::LaunchAgents:
    case Kind::LaunchDaemons:
        collectNames(step, collection);
        break;
    case Kind::Paths:
        collection.footprints += checkUrlAvilble(step.names);
        break;
    case Kind::DirectPaths:
    case Kind::HomePaths:
        collection.footprints += existing(step.names, step.kind == Kind::HomePaths);
        break;
    case Kind::FirefoxProfiles:
        collection.footprints += firefoxProfileFootprints(step.firefox);
        break;
    case Kind::LaunchAgentTriplets:
        collection.footprints += launchAgentTriplets(collection.stems);
        break;
    case Kind::TripletStemExtensions:
        for (const QString &stem : std::as_const(collection.stems))
            checkInAllExtantion(stem, type);
        break;
    case Kind::FourDigitLaunchAgents:
        collection.footprints += fourDigitLaunchAgents();
        break;
    case Kind::ExtensionSuffix:
        reportExtensionSuffix(step.text, type);
        break;
    case Kind::Report:
    case Kind::UniqueReport:
        report(step.kind == Kind::UniqueReport ? uniqueInOrder(collection.footprints) : collection.footprints, type);
        collection.footprints.clear();
        break;
    }
}

void FamilyDetectors::collectNames(const FamilyCatalogue::Step &step, Collection &collection) const
{
    for (const QString &name : step.names) {
        switch (step.kind) {
        case Kind::Applications:
            collection.footprints += checkApplication(name);
            break;
        case Kind::ApplicationSupport:
            collection.footprints += checkApplicationSupport(name);
            break;
        case Kind::LaunchAgents:
            collection.footprints += checkLaunchAgents(name);
            break;
        default:
            collection.footprints += checklaunchDaemons(name);
            break;
        }
    }
}

void FamilyDetectors::report(const QList<QUrl> &footprints, const QString &type)
{
    for (const QUrl &url : footprints)
        offer(url, lastPathComponent(url), type, 0);
}

QList<QUrl> FamilyDetectors::firefoxProfileFootprints(const FamilyCatalogue::FirefoxProfileProbe &probe) const
{
    QList<QUrl> profiles =
        AdwareScan::getUrlListAt(m_host.volume().home(QStringLiteral("/Library/Application Support/Firefox/Profiles")));
    if (!profiles.isEmpty())
        profiles = withNameContaining(profiles, QStringLiteral(".default"));
    QList<QUrl> found;
    for (const QUrl &profile : std::as_const(profiles)) {
        const QString folder = profile.toLocalFile() + QLatin1Char('/');
        const QString &root = m_host.volume().root();
        if (!probe.requiredFile.isEmpty() && !Adware::fileExistsAtPath(folder + probe.requiredFile, root))
            continue;
        for (const QString &file : probe.files) {
            if (Adware::fileExistsAtPath(folder + file, root))
                found.append(QUrl::fromLocalFile(folder + file));
        }
        if (!probe.searchpluginsContaining.isEmpty())
            found += withNameContaining(AdwareScan::getUrlListAt(folder + QStringLiteral("searchplugins")),
                                        probe.searchpluginsContaining);
    }
    return found;
}

QList<QUrl> FamilyDetectors::launchAgentTriplets(QStringList &stems) const
{
    static const QString download = QStringLiteral("download.plist");
    const QList<QUrl> &agents = m_host.inventory().launchAgentsList;
    const QList<QUrl> ltvbits = withNameEnding(agents, QStringLiteral("ltvbit.plist"));
    const QList<QUrl> updates = withNameEnding(agents, QStringLiteral("update.plist"));
    QList<QUrl> found;
    QStringList familyStems;
    for (const QUrl &downloader : withNameEnding(agents, download)) {
        // "texiday.download.plist" -> "texiday."; an agent named just
        // "download.plist" has no stem and would pair with any agents.
        const QString stem = lastPathComponent(downloader).chopped(download.size());
        if (stem.isEmpty())
            continue;
        const QList<QUrl> ltvbit = withNameStarting(ltvbits, stem);
        const QList<QUrl> update = withNameStarting(updates, stem);
        if (ltvbit.isEmpty() || update.isEmpty())
            continue;
        familyStems.append(stem);
        found << downloader << ltvbit.first() << update.first();
    }
    for (const QString &stem : std::as_const(familyStems)) {
        const QString family = stem.endsWith(QLatin1Char('.')) ? stem.chopped(1) : stem;
        if (family.isEmpty())
            continue;
        stems.append(family);
        found += checkApplication(family + QStringLiteral(".app"));
        found += checkApplicationSupport(family);
    }
    return found;
}

QList<QUrl> FamilyDetectors::fourDigitLaunchAgents() const
{
    QList<QUrl> found;
    for (const QUrl &agent : m_host.inventory().launchAgentsList) {
        if (firstDigitRunLength(lastPathComponent(agent)) == 4)
            found.append(agent);
    }
    return found;
}

void FamilyDetectors::checkForFkCodec() { runDetector(QStringLiteral("checkForFkCodec")); }
void FamilyDetectors::checkForYontoo() { runDetector(QStringLiteral("checkForYontoo")); }
void FamilyDetectors::checkFakeAdobeFlashPlayers() { runDetector(QStringLiteral("checkFakeAdobeFlashPlayers")); }
void FamilyDetectors::checkChatZum() { runDetector(QStringLiteral("checkChatZum")); }
void FamilyDetectors::checkConduit() { runDetector(QStringLiteral("checkConduit")); }
void FamilyDetectors::checkSpigot() { runDetector(QStringLiteral("checkSpigot")); }
void FamilyDetectors::checkInstallCore() { runDetector(QStringLiteral("checkInstallCore")); }
void FamilyDetectors::checkGoPhotoIt() { runDetector(QStringLiteral("checkGoPhotoIt")); }
void FamilyDetectors::checkGenieo() { runDetector(QStringLiteral("checkGenieo")); }
void FamilyDetectors::checkSavekeep() { runDetector(QStringLiteral("checkSavekeep")); }
void FamilyDetectors::checkVidx() { runDetector(QStringLiteral("checkVidx")); }
void FamilyDetectors::checkAwesomeScreenshot() { runDetector(QStringLiteral("checkAwesomeScreenshot")); }
void FamilyDetectors::checkBundlore() { runDetector(QStringLiteral("checkBundlore")); }
void FamilyDetectors::checkAskToolbar() { runDetector(QStringLiteral("checkAskToolbar")); }
void FamilyDetectors::checkInfectedExtantion() { runDetector(QStringLiteral("checkInfectedExtantion")); }
void FamilyDetectors::checkPremierOpinion() { runDetector(QStringLiteral("checkPremierOpinion")); }
void FamilyDetectors::checkOperatorMac() { runDetector(QStringLiteral("checkOperatorMac")); }
void FamilyDetectors::checkVSearch() { runDetector(QStringLiteral("checkVSearch")); }
void FamilyDetectors::checkMacKeeper() { runDetector(QStringLiteral("checkMacKeeper")); }
void FamilyDetectors::checkMacDefender() { runDetector(QStringLiteral("checkMacDefender")); }
void FamilyDetectors::checkMacSecurity() { runDetector(QStringLiteral("checkMacSecurity")); }
void FamilyDetectors::checkMacProtector() { runDetector(QStringLiteral("checkMacProtector")); }
void FamilyDetectors::checkGwenrose() { runDetector(QStringLiteral("checkGwenrose")); }
void FamilyDetectors::checkMontageobox() { runDetector(QStringLiteral("checkMontageobox")); }
void FamilyDetectors::checkEpolifeAndRelated() { runDetector(QStringLiteral("checkEpolifeAndRelated")); }
void FamilyDetectors::checkForOthers() { runDetector(QStringLiteral("checkForOthers")); }
