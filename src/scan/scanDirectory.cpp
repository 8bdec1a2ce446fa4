#include "scan/scanDirectory.h"

#include "app/NotificationNames.h"
#include "platform/FileName.h"
#include "platform/Log.h"
#include "platform/Volume.h"
#include "scan/FolderStack.h"
#include "scan/PackageRule.h"
#include "scan/ScanHost.h"
#include "scan/WalkProgress.h"

#include <QElapsedTimer>
#include <QStringBuilder>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <vector>

// What one walk shares between its nodes.
struct scanDirectory::Walk
{
    ScanHost &host;
    ScanState &state;
    const SignatureMatcher &matcher;
    FolderStack folders;
    // Scratch list of the current entry's hits.
    std::vector<int> hits;
    // The current folder's path as text followed by "/", and the folder
    // stack's generation it was made for.
    QString prefixText;
    quint64 prefixGeneration = ~quint64(0);
};

namespace {

QString withoutTrailingSlashes(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Whether a folder that could not be opened or listed hides part of the
// tree: not when it vanished, was replaced by a file or a link, or is
// already on the walk's path (a bind-mount loop) while the walk ran.
bool isUnreadable(int error)
{
    return error != ENOENT && error != ENOTDIR && error != ELOOP;
}

// Eight bytes at a time: names are short and this runs for every entry.
bool isAscii(QByteArrayView bytes)
{
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    quint64 any = 0;
    for (; left >= 8; left -= 8, data += 8) {
        quint64 word;
        std::memcpy(&word, data, sizeof word);
        any |= word;
    }
    for (; left > 0; --left, ++data)
        any |= static_cast<unsigned char>(*data);
    return (any & 0x8080808080808080ull) == 0;
}

} // namespace

scanDirectory::scanDirectory(Walk &walk, scanDirectory *perent, SignatureMatcher::State pathState,
                             const std::vector<int> &pathHits)
    : m_walk(walk)
    , perentObject(perent)
    , m_folderHits(pathHits)
    , m_depth(walk.folders.depth())
{
    // Every entry's path continues this folder's path with "/".
    m_matchState = walk.matcher.feed(pathState, "/", m_folderHits);
}

scanDirectory::~scanDirectory() = default;

void scanDirectory::scannigWithCheckingSubDirectory(ScanHost &host, const QStringList &roots)
{
    Log::line(QStringLiteral("scannigWithCheckingSubDirectory"));
    QElapsedTimer timer;
    timer.start();
    Log::line(QString::number(roots.size()));
    ScanState &state = host.state();
    const QStringList walked = state.isCustomScanning ? QStringList{state.customScanDirectory} : roots;

    const SignatureMatcher matcher(host.fullSystemScanPaths());
    Walk walk{host, state, matcher, FolderStack(FolderStack::kDefaultOpenLimit, FolderStack::defaultReadAheadThreads()), {}, {}};
    int c = 0;
    for (const QString &root : walked) {
        Log::line(QStringLiteral("c is %1").arg(++c));
        if (isWalkedRoot(host.volume(), root))
            walkRoot(walk, root);
        else
            Log::line(QStringLiteral("Not walked: %1").arg(root));
    }

    // The walk is one of the two tasks of the scan, whether or not its root
    // could be walked; the task that brings the count to 2 completes the scan.
    const int finished = state.ScanTypeCount.fetch_add(1) + 1;
    if (finished == 2 || state.isScanStop)
        host.doneScan();
    Log::line(QStringLiteral("scannig time %1").arg(double(timer.nsecsElapsed()) / 1e9, 0, 'f', 6));
}

// Packages, regular files, hidden folders and ".framework" folders are not
// walked as roots; neither is a link or anything missing. The name is the
// one the folder has on the volume: the volume root itself has none and is
// always walked, wherever it is mounted (".../.backup", ".../disk.app").
bool scanDirectory::isWalkedRoot(const Volume &volume, const QString &root)
{
    const QString path = withoutTrailingSlashes(root);
    struct stat st{};
    if (::lstat(FileName::encode(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    const QString onVolume = volume.volumePath(path);
    const QString name = onVolume.mid(onVolume.lastIndexOf(QLatin1Char('/')) + 1);
    if (PackageRule::isPackage(name) || name.startsWith(QLatin1Char('.')))
        return false;
    return !name.endsWith(QLatin1String(".framework"));
}

void scanDirectory::walkRoot(Walk &walk, const QString &root)
{
    if (!walk.folders.openRoot(FileName::encode(withoutTrailingSlashes(root)))) {
        if (isUnreadable(walk.folders.error()))
            ++walk.state.unreadableFolders;
        Log::warning(QStringLiteral("Cannot walk %1: %2").arg(root, errorText(walk.folders.error())));
        return;
    }
    // Signatures are compared with the path on the volume: the matcher
    // starts after the volume root, whatever folders the volume is mounted
    // below. Only the root's own path is fed here; every entry then feeds
    // "/" and its name, as before.
    std::vector<int> rootHits;
    const SignatureMatcher::State rootState =
        walk.matcher.feed(SignatureMatcher::start(), walk.host.volume().belowRoot(walk.folders.path()), rootHits);
    walkTree(walk, rootState, rootHits);
}

// Depth first with an explicit stack: the top node handles entries until it
// reaches a subfolder to enter, whose node goes on top; a finished node
// leaves its folder.
void scanDirectory::walkTree(Walk &walk, SignatureMatcher::State rootState, const std::vector<int> &rootHits)
{
    std::vector<std::unique_ptr<scanDirectory>> stack;
    if (auto root = initWithURL(walk, nullptr, rootState, rootHits))
        stack.push_back(std::move(root));
    else
        walk.folders.leave();
    while (!stack.empty()) {
        if (auto child = stack.back()->performCalculatingSublistDetail()) {
            stack.push_back(std::move(child));
            continue;
        }
        stack.pop_back();
        walk.folders.leave();
    }
}

std::unique_ptr<scanDirectory> scanDirectory::initWithURL(Walk &walk, scanDirectory *perent,
                                                          SignatureMatcher::State pathState,
                                                          const std::vector<int> &pathHits)
{
    if (walk.state.isScanStop)
        return nullptr;
    std::unique_ptr<scanDirectory> node(new scanDirectory(walk, perent, pathState, pathHits));
    node->getsubFileList();
    node->SubfileURLListCount = node->SubfileURLList.count();
    node->CheckedListCount = 0;
    return node;
}

void scanDirectory::getsubFileList()
{
    if (m_walk.state.isScanStop)
        return;
    SubfileURLList = m_walk.folders.list(FolderListing::HiddenFiles::Keep);
    if (SubfileURLList.error() != 0) {
        if (isUnreadable(SubfileURLList.error()))
            ++m_walk.state.unreadableFolders;
        Log::warning(QStringLiteral("Cannot list %1: %2").arg(selfURL().toLocalFile(), errorText(SubfileURLList.error())));
    }
}

std::unique_ptr<scanDirectory> scanDirectory::performCalculatingSublistDetail()
{
    ScanState &state = m_walk.state;
    if (!m_started) {
        m_started = true;
        // An empty folder is finished at once, without a progress check.
        if (SubfileURLList.isEmpty() || state.isScanStop)
            return nullptr;
        WalkProgress::check(m_walk.host, WalkProgress::Posting::UpdateThreatAndProgress);
    }
    while (!ckeckAllSubFileCompleted()) {
        if (state.isScanStop)
            return nullptr;
        ++state.totalScanCount;
        const qsizetype index = CheckedListCount++;
        const QByteArrayView pathBytes = m_walk.folders.entryPath(SubfileURLList.name(index));
        const QString path = entryText(SubfileURLList.name(index), pathBytes);
        WalkProgress::check(m_walk.host, WalkProgress::Posting::UpdateThreatAndProgress);
        m_walk.host.post(NotificationNames::ScanningProgressURL, path);
        bool matched = false;
        const SignatureMatcher::State after = compare(index, path, matched);
        if (SubfileURLList.kind(index) == FolderListing::Kind::File)
            continue;
        isVirusInDir = matched;
        if (matched)
            fileAdded = path;
        WalkProgress::check(m_walk.host, WalkProgress::Posting::ProgressOnly);
        if (matched)
            continue;
        if (auto child = enterSubfolder(SubfileURLList.name(index), after))
            return child;
    }
    return nullptr;
}

// A subfolder that cannot be opened (gone, replaced by a file or a link,
// unreadable, already on the path) is skipped with a warning.
std::unique_ptr<scanDirectory> scanDirectory::enterSubfolder(QByteArrayView name, SignatureMatcher::State state)
{
    if (!m_walk.folders.enter(name)) {
        if (isUnreadable(m_walk.folders.error()))
            ++m_walk.state.unreadableFolders;
        Log::warning(QStringLiteral("Cannot walk %1: %2")
                         .arg(FileName::decode(m_walk.folders.entryPath(name)),
                              errorText(m_walk.folders.error())));
        return nullptr;
    }
    auto child = initWithURL(m_walk, this, state, m_folderHits);
    if (!child)
        m_walk.folders.leave();
    return child;
}

SignatureMatcher::State scanDirectory::compare(qsizetype index, const QString &path, bool &matched)
{
    std::vector<int> &hits = m_walk.hits;
    hits.assign(m_folderHits.begin(), m_folderHits.end());
    const QByteArrayView name = SubfileURLList.name(index);
    const SignatureMatcher::State state = m_walk.matcher.feed(m_matchState, name, hits);
    matched = !hits.empty();
    if (!matched)
        return state;
    SignatureMatcher::inListOrder(hits);
    static const QString kType = QStringLiteral("Adware");
    static const QString kRisk = QStringLiteral("High Risk");
    const QUrl url = QUrl::fromLocalFile(path);
    const QString entryName = FileName::decode(name);
    for (std::size_t i = 0; i < hits.size(); ++i)
        addIfAvail(url, entryName, kType, kRisk, 0);
    return state;
}

void scanDirectory::addIfAvail(const QUrl &url, const QString &name, const QString &type, const QString &risk,
                               qint64 size)
{
    m_walk.host.addIfAvail(url, name, type, risk, size, FindingSource::Walk);
}

// The entry's path as FileName::decode() reads it. Names are nearly always
// ASCII: their path is the folder's path, decoded once per folder, and the
// name widened as it is, in one allocation. Any other name is decoded with
// its whole path (decoding a name alone would drop a leading BOM).
QString scanDirectory::entryText(QByteArrayView name, QByteArrayView pathBytes)
{
    Walk &walk = m_walk;
    if (!isAscii(name))
        return FileName::decode(pathBytes);
    if (walk.prefixGeneration != walk.folders.generation()) {
        walk.prefixText = FileName::decode(walk.folders.path()) + QLatin1Char('/');
        walk.prefixGeneration = walk.folders.generation();
    }
    // ASCII reads the same as Latin-1, which Qt widens quickly.
    return walk.prefixText % QLatin1StringView(name.data(), name.size());
}

QUrl scanDirectory::selfURL() const
{
    const QByteArray path = m_walk.folders.path().left(m_walk.folders.pathLengthAt(m_depth));
    return QUrl::fromLocalFile(path.isEmpty() ? QStringLiteral("/") : FileName::decode(path));
}
