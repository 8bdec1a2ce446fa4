#include "scan/ScanDriver.h"

#include "app/AccessController.h"
#include "app/DateWording.h"
#include "app/NotificationNames.h"
#include "app/PreferenceKeys.h"
#include "platform/AnchoredPath.h"
#include "platform/FileName.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "scan/AdwareScan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace PreferenceKeys;

namespace {
const QString kHighRisk = QStringLiteral("High Risk");

QString reportTypeName(qint64 scanType)
{
    switch (scanType) {
    case ScanState::FullSystemScan:
        return QStringLiteral("Full System Scan");
    case ScanState::CustomScan:
        return QStringLiteral("Custom Scan");
    default:
        return QStringLiteral("Quick Scan");
    }
}

// Whether path lies in folder: the folder itself or below it, never a
// sibling whose name merely starts the same way (~/Downloads2).
bool isInside(const QString &path, const QString &folder)
{
    if (folder.isEmpty())
        return false;
    QString prefix = folder;
    while (prefix.size() > 1 && prefix.endsWith(QLatin1Char('/')))
        prefix.chop(1);
    if (path == prefix)
        return true;
    return path.startsWith(prefix == QLatin1String("/") ? prefix : prefix + QLatin1Char('/'));
}
} // namespace

ScanDriver::ScanDriver(Platform &platform, AccessController &access, ScanPhases phases, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_access(access)
    , m_phases(std::move(phases))
{
    // Root choice, a detector chain and one spare: every task on its own thread.
    m_threads.setMaxThreadCount(4);
    qRegisterMetaType<AdwarePtr>("AdwarePtr");
    qRegisterMetaType<ReportPtr>("ReportPtr");
    m_sleeper = [this](double seconds) {
        if (m_paced && seconds > 0)
            QThread::msleep(static_cast<unsigned long>(seconds * 1000));
    };
    m_platform.notifications().addObserver(NotificationNames::StopScan, this, [this](const Notification &) { stopScan(); },
                                           NotificationCenter::Delivery::Queued);
}

ScanDriver::~ScanDriver()
{
    m_state.isScanStop = true;
    m_threads.waitForDone();
    while (m_aliveTasks > 0)
        QThread::msleep(5);
}

QStringList ScanDriver::arrDefaultQuorvaneApp()
{
    return {QStringLiteral("Sweepling"), QStringLiteral("Dupliquor"), QStringLiteral("Memoravel"),
            QStringLiteral("Parcelvault")};
}

QString ScanDriver::getOriginalAppName(const QString &fileName)
{
    static const QList<QPair<QString, QString>> table{
        {QStringLiteral("Sweepling"), QStringLiteral("Sweepling")},
        {QStringLiteral("Dupliquor"), QStringLiteral("Dupliquor Duplicate Finder")},
        {QStringLiteral("Memoravel"), QStringLiteral("Memoravel Memory Optimizer")},
        {QStringLiteral("Parcelvault"), QStringLiteral("Parcelvault Private Folders")},
    };
    for (const auto &[word, product] : table) {
        if (fileName.contains(word))
            return product;
    }
    return {};
}

const Volume &ScanDriver::volume() const
{
    return m_platform.volume();
}

QString ScanDriver::statusString() const
{
    QMutexLocker locker(&m_lock);
    return m_statusString;
}

QDateTime ScanDriver::startScanTimeTemp() const
{
    QMutexLocker locker(&m_lock);
    return m_startScanTimeTemp;
}

void ScanDriver::setScanType(qint64 type)
{
    m_state.scanType = type;
    m_state.isDeepScan = type == ScanState::FullSystemScan;
    m_state.isCustomScanning = type == ScanState::CustomScan;
}

void ScanDriver::setCustomScanDirectory(const QString &hostPath)
{
    m_state.customScanDirectory = hostPath;
    m_state.isCustomScanning = true;
    m_customFolderPreset = true;
}

QString ScanDriver::resolvedFolder(const Volume &volume, const QString &hostPath)
{
    const QString resolved = QFileInfo(hostPath).canonicalFilePath();
    if (resolved.isEmpty())
        return QDir::cleanPath(hostPath);
    // Below the volume root, the folder keeps the root's own spelling, as
    // every path the detectors build does.
    const QString root = QFileInfo(volume.root()).canonicalFilePath();
    if (!root.isEmpty() && root != volume.root() && root != QLatin1String("/")) {
        if (resolved == root)
            return volume.root();
        if (resolved.startsWith(root + QLatin1Char('/')))
            return volume.root() + resolved.mid(root.size());
    }
    return resolved;
}

void ScanDriver::onMain(std::function<void()> work)
{
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void ScanDriver::startTask(Queue queue, std::function<void()> work)
{
    ++m_runningTasks;
    ++m_aliveTasks;
    auto run = [this, work = std::move(work)] {
        work();
        onMain([this] {
            --m_runningTasks;
            maybeComplete();
        });
        --m_aliveTasks;
    };
    (queue == Queue::Global ? QThreadPool::globalInstance() : &m_threads)->start(run);
}

void ScanDriver::adwareScanStart()
{
    if (m_state.isScanning || m_completing)
        return;
    if (!m_wholeDisk)
        m_access.checkForHDAccess();
    m_arrAdwareList.clear();
    m_listedPaths.clear();

    if (m_state.scanType == ScanState::CustomScan && !std::exchange(m_customFolderPreset, false)) {
        AlertPresenter::FolderRequest request{QStringLiteral("Scan"), QStringLiteral("Select directory to scan"),
                                              m_platform.volume().homeFolder(), {}};
        const auto folder = m_platform.alerts().chooseFolder(request);
        if (!folder) {
            Q_EMIT scanCancelled();
            return;
        }
        m_state.customScanDirectory = *folder;
        m_state.isCustomScanning = true;
    }
    // A link chosen as the folder is resolved here, once: the count and the
    // walk never follow one.
    if (m_state.scanType == ScanState::CustomScan)
        m_state.customScanDirectory = resolvedFolder(m_platform.volume(), m_state.customScanDirectory);
    m_unreadableRoot.clear();
    m_unreadableRootReason.clear();
    m_state.unreadableFolders = 0;

    // Stored in UTC: a date stored in local time reads as another moment in another time zone.
    m_platform.defaults().setObject(QDateTime::currentDateTimeUtc(), kLastScanDate);
    m_platform.defaults().synchronize();
    m_state.isScanning = true;
    m_state.isScanStop = false;
    m_state.ScanTypeCount = 0;
    m_state.totalCount = 0;
    m_state.totalScanCount = 0;
    m_doneRequested = false;
    {
        QMutexLocker locker(&m_lock);
        m_startScanTimeTemp = QDateTime();
        m_statusString.clear();
    }
    post(NotificationNames::ScanningStatusChange);
    post(NotificationNames::listChange);
    Q_EMIT scanStarted(m_state.scanType);
    startTask(Queue::NewThread, [this] { scanInBGThread(); });
}

void ScanDriver::stopScan()
{
    if (m_state.isScanning)
        m_state.isScanStop = true;
}

QString ScanDriver::chooseRoot()
{
    const Volume &volume = m_platform.volume();
    const QString home = volume.home(QStringLiteral("/"));
    if (m_wholeDisk)
        return *m_wholeDisk ? volume.root() : home;

    UserDefaults &defaults = m_platform.defaults();
    if (defaults.contains(SandboxingDone) && defaults.boolForKey(SandboxingDone)) {
        if (m_access.isHDAccessible())
            return volume.root();
        const int answer = m_platform.alerts().ask(QStringLiteral("Access Alert"), AccessController::accessAlertText(),
                                                   {QStringLiteral("Continue"), QStringLiteral("Confirm Access")});
        if (answer != 1)
            return home;
        m_access.confirmAccessAction();
        return volume.root();
    }
    if (!defaults.contains(kSaveDirectory) || !m_access.isUserAccessible())
        m_access.askForScanAccess();
    return home;
}

void ScanDriver::scanInBGThread()
{
    Log::line(QStringLiteral("scanInBGThread"));
    m_state.isScanning = true;
    const QString root = chooseRoot();
    if (!openRoot(m_state.scanType == ScanState::CustomScan ? m_state.customScanDirectory : root))
        return;
    switch (m_state.scanType) {
    case ScanState::FullSystemScan:
        startTask(Queue::Global, [this, root] { m_phases.count(*this, root); });
        break;
    case ScanState::CustomScan:
        m_phases.count(*this, m_state.customScanDirectory);
        break;
    default:
        startTask(Queue::NewThread, [this] { scan4AdwareStart(); });
        break;
    }
}

// A root that cannot be opened would give a scan that reads nothing; it is
// named, and the scan completes at once without a report. The home folder is
// reached from the volume root without following a link on the way, as the
// detectors reach it; the volume root itself is taken as given.
bool ScanDriver::openRoot(const QString &root)
{
    const Volume &volume = m_platform.volume();
    const QString cleaned = QDir::cleanPath(root);
    const QString anchor = cleaned != volume.root() && volume.contains(cleaned) ? volume.root() : QString();
    const int fd = cleaned == volume.root()
                       ? ::open(FileName::encode(cleaned).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                       : AnchoredPath::openFolder(anchor, cleaned);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    const int error = errno;
    struct stat st{};
    QString reason;
    if (::lstat(FileName::encode(cleaned).constData(), &st) == 0 && S_ISLNK(st.st_mode))
        reason = QStringLiteral("it is a symbolic link, which is never followed");
    else if (error == ENOENT)
        reason = QStringLiteral("it does not exist");
    else if (error == ENOTDIR)
        reason = QStringLiteral("it is not a folder, or a folder on its way is a symbolic link");
    else
        reason = QString::fromLocal8Bit(std::strerror(error));
    Log::warning(QStringLiteral("Cannot scan %1: %2").arg(cleaned, reason));
    onMain([this, cleaned, reason] {
        m_unreadableRoot = cleaned;
        m_unreadableRootReason = reason;
    });
    return false;
}

void ScanDriver::DeepScanStart(const QStringList &roots)
{
    const qint64 counted = m_state.totalCount;
    onMain([this, counted] { Q_EMIT countCompleted(counted); });
    startTask(Queue::NewThread, [this] { scan4AdwareStart(); });
    if (m_state.scanType == ScanState::FullSystemScan || m_state.scanType == ScanState::CustomScan)
        startTask(Queue::Global, [this, roots] { m_phases.walk(*this, roots); });
}

void ScanDriver::prepareForScan()
{
    {
        QMutexLocker locker(&m_lock);
        m_startScanTimeTemp = QDateTime::currentDateTime();
    }
    m_state.detectorStep = 0;
    m_inventory = AdwareScan::takeInventory(m_platform.volume());
}

void ScanDriver::scan4AdwareStart()
{
    prepareForScan();
    onMain([this] { Q_EMIT inventoriesReady(); });
    if (m_phases.detectors)
        m_phases.detectors(*this);
    const int finished = ++m_state.ScanTypeCount;
    // A stopped Quick Scan is completed too, with the duration "Stopped".
    if (m_state.scanType == ScanState::QuickScan || finished == 2 || m_state.isScanStop)
        doneScan();
}

void ScanDriver::waitFor(double seconds, const QString &text)
{
    if (m_state.scanType != ScanState::QuickScan)
        return;
    {
        QMutexLocker locker(&m_lock);
        m_statusString = text;
    }
    const int step = m_state.detectorStep.fetch_add(2) + 1;
    onMain([this, text, step] { Q_EMIT ScanningProgressChange(text, step); });
    m_sleeper(seconds);
}

void ScanDriver::pause(double seconds)
{
    m_sleeper(seconds);
}

void ScanDriver::post(const QString &name, const QVariant &object)
{
    m_platform.notifications().post(name, object);
}

void ScanDriver::doneScan()
{
    onMain([this] {
        m_doneRequested = true;
        maybeComplete();
    });
}

void ScanDriver::maybeComplete()
{
    if (m_completing || !m_state.isScanning || m_runningTasks > 0)
        return;
    if (!m_doneRequested)
        Log::line(QStringLiteral("Every task of the scan has ended; completing it"));
    completeScan();
}

void ScanDriver::completeScan()
{
    m_completing = true;
    m_state.ScanTypeCount = 0;
    m_state.isScanning = false;
    m_reportType = reportTypeName(m_state.scanType);
    Q_EMIT scanCompleting();
    QTimer::singleShot(100, this, [this] { makeReport(); });
    m_state.totalCount = 0;
    m_state.totalScanCount = 0;
    Log::line(QStringLiteral("..Done scanninG.."));
}

void ScanDriver::makeReport()
{
    QString duration = QStringLiteral("Stopped");
    if (!m_state.isScanStop) {
        const QDateTime start = startScanTimeTemp();
        const QDateTime now = QDateTime::currentDateTime();
        duration = DateWording::stringFromTimeInterval(start.isValid() ? start.msecsTo(now) / 1000.0 : 0.0);
    }
    // Real-time protection reads as on when the setting was never written.
    const UserDefaults &defaults = m_platform.defaults();
    const bool realTime = !defaults.contains(RealTimeScanONOFF) || defaults.boolForKey(RealTimeScanONOFF);
    m_lastScanDuration = duration;
    m_lastScanEnd = QDateTime::currentDateTime();
    m_lastScanUnreadable = m_state.unreadableFolders;
    ReportPtr report;
    if (m_unreadableRoot.isEmpty() && !(realTime && m_arrAdwareList.isEmpty())) {
        report = AdwareScanReport::ScanReportWithAdwareList(m_arrAdwareList, m_lastScanEnd, duration, m_reportType);
        m_adwareReport = report;
        Q_EMIT reportMade(report);
    }
    m_state.isScanStop = false;
    m_doneRequested = false;
    m_completing = false;
    Q_EMIT scanFinished(report);
}

void ScanDriver::addIfAvail(const QUrl &url, const QString &name, const QString &type, const QString &risk,
                            qint64 size, FindingSource source)
{
    const QString &root = m_platform.volume().root();
    if (!Adware::fileExistsAtPath(url.toLocalFile(), root))
        return;
    AdwarePtr adware = Adware::AdwareWithName(name, true, type, size, url, risk.isEmpty() ? kHighRisk : risk);
    adware->recheckPresence(root);
    onMain([this, adware, source] {
        if (m_listedPaths.contains(adware->path()))
            return;
        if (acceptsFinding(adware, source)) {
            m_listedPaths.insert(adware->path());
            m_arrAdwareList.append(adware);
            Q_EMIT threatAdded(adware);
            m_platform.userNotifier().deliver(QStringLiteral("Sweepling"),
                                              QStringLiteral("Adware Found: %1").arg(adware->name()));
        }
        post(NotificationNames::UpdateThreat);
    });
}

// The listing rules read paths as they are on the volume: the folders the
// volume is mounted below hold no product word and contain no finding.
bool ScanDriver::acceptsFinding(const AdwarePtr &adware, FindingSource source) const
{
    const QString path = adware->path();
    const QString onVolume = m_platform.volume().volumePath(path);
    if (QFileInfo(onVolume).suffix() == QLatin1String("app")) {
        const QStringList words = arrDefaultQuorvaneApp();
        if (std::any_of(words.cbegin(), words.cend(), [&](const QString &w) { return onVolume.contains(w); }))
            return !isMakersOwnProduct(path);
    }
    if (source == FindingSource::Walk)
        return true;
    switch (m_state.scanType) {
    case ScanState::QuickScan:
        return true;
    case ScanState::CustomScan:
        return isInCustomFolder(path);
    default:
        return false;
    }
}

// Containment of volume paths; a chosen folder outside the volume can only
// hold host paths outside it, so there the host paths are compared.
bool ScanDriver::isInCustomFolder(const QString &path) const
{
    const Volume &volume = m_platform.volume();
    const QString &folder = m_state.customScanDirectory;
    if (!volume.contains(folder))
        return isInside(path, folder);
    return volume.contains(path) && isInside(volume.volumePath(path), volume.volumePath(folder));
}

// An application named with one of the maker's product words is one of the
// maker's own products unless an application of that product name is
// installed with a bundle identifier that is not the maker's.
bool ScanDriver::isMakersOwnProduct(const QString &path) const
{
    const QString product = getOriginalAppName(QFileInfo(path).fileName());
    if (product.isEmpty())
        return true;
    const QString installed = m_platform.workspace().fullPathForApplication(product);
    if (installed.isEmpty())
        return true;
    return m_platform.workspace().bundleIdentifier(installed).contains(QLatin1String("com.quorvane"));
}
