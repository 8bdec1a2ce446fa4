#include "scan/FileCount.h"

#include "app/NotificationNames.h"
#include "platform/FileName.h"
#include "platform/Log.h"
#include "scan/FolderStack.h"
#include "scan/ScanHost.h"

#include <QElapsedTimer>
#include <cstring>
#include <sys/stat.h>
#include <vector>

// What one count phase shares between its nodes.
struct FileCount::Pass
{
    ScanHost &host;
    ScanState &state;
    FolderStack folders;
};

namespace {

QString withoutTrailingSlashes(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QString folderPath(const QByteArray &bytes)
{
    return bytes.isEmpty() ? QStringLiteral("/") : FileName::decode(bytes);
}

} // namespace

FileCount::FileCount(Pass &pass, FileCount *perent)
    : m_pass(pass)
    , perentObject(perent)
    , m_depth(pass.folders.depth())
{
}

FileCount::~FileCount() = default;

void FileCount::scannigWithCheckingDirectory(ScanHost &host, const QString &root)
{
    Log::line(QStringLiteral("scannigWithCheckingSubDirectory"));
    ScanState &state = host.state();
    const QStringList roots{state.isCustomScanning ? state.customScanDirectory : root};
    QElapsedTimer timer;
    timer.start();

    Pass pass{host, state, FolderStack(FolderStack::kDefaultOpenLimit, FolderStack::defaultReadAheadThreads())};
    for (const QString &each : roots)
        countRoot(pass, each);

    if (!state.isScanStop) {
        state.fileCountCompleted = 1;
        host.post(NotificationNames::ScanningProgress);
        host.DeepScanStart(roots);
        Log::line(QStringLiteral("scannig time %1").arg(double(timer.nsecsElapsed()) / 1e9, 0, 'f', 6));
    } else if (state.ScanTypeCount == 2 || state.isScanStop) {
        host.doneScan();
    }
}

// A root that is a regular file counts as one entry; a folder root is
// counted with everything below it (itself excluded). Links are not followed.
void FileCount::countRoot(Pass &pass, const QString &root)
{
    const QString path = withoutTrailingSlashes(root);
    struct stat st{};
    if (::lstat(FileName::encode(path).constData(), &st) != 0) {
        Log::line(QStringLiteral("%1: %2").arg(root, QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    if (S_ISREG(st.st_mode))
        ++pass.state.totalCount;
    if (!S_ISDIR(st.st_mode))
        return;
    if (!pass.folders.openRoot(FileName::encode(path))) {
        Log::warning(QStringLiteral("Cannot count %1: %2").arg(root, QString::fromLocal8Bit(std::strerror(pass.folders.error()))));
        return;
    }
    countTree(pass);
}

// Depth first with an explicit stack: the top node counts until it reaches
// a subfolder, whose node goes on top; a finished node leaves its folder.
void FileCount::countTree(Pass &pass)
{
    std::vector<std::unique_ptr<FileCount>> stack;
    if (auto root = initWithURL(pass, nullptr))
        stack.push_back(std::move(root));
    else
        pass.folders.leave();
    while (!stack.empty()) {
        if (auto child = stack.back()->performCalculatingSublistDetail()) {
            stack.push_back(std::move(child));
            continue;
        }
        stack.pop_back();
        pass.folders.leave();
    }
}

std::unique_ptr<FileCount> FileCount::initWithURL(Pass &pass, FileCount *perent)
{
    if (pass.state.isScanStop)
        return nullptr;
    std::unique_ptr<FileCount> node(new FileCount(pass, perent));
    node->getsubFileList();
    node->SubfileURLListCount = node->SubfileURLList.count();
    node->CheckedListCount = 0;
    return node;
}

void FileCount::getsubFileList()
{
    if (m_pass.state.isScanStop)
        return;
    SubfileURLList = m_pass.folders.list(FolderListing::HiddenFiles::Skip);
    if (SubfileURLList.error() != 0) {
        Log::warning(QStringLiteral("Cannot list %1: %2")
                         .arg(selfURL().toLocalFile(), QString::fromLocal8Bit(std::strerror(SubfileURLList.error()))));
    }
}

std::unique_ptr<FileCount> FileCount::performCalculatingSublistDetail()
{
    ScanState &state = m_pass.state;
    if (m_subfolderPending) {
        m_subfolderPending = false;
        ++state.totalCount;
    }
    while (!ckeckAllSubFileCompleted()) {
        if (state.isScanStop)
            return nullptr;
        const qsizetype index = CheckedListCount++;
        m_pass.host.post(NotificationNames::ScanningProgressURL, QString::number(qint64(state.totalCount)));
        if (SubfileURLList.kind(index) == FolderListing::Kind::File) {
            ++state.totalCount;
            continue;
        }
        // A subfolder that cannot be opened counts as an empty one.
        if (!m_pass.folders.enter(SubfileURLList.name(index))) {
            Log::warning(QStringLiteral("Cannot count %1: %2")
                             .arg(FileName::decode(m_pass.folders.entryPath(SubfileURLList.name(index))),
                                  QString::fromLocal8Bit(std::strerror(m_pass.folders.error()))));
            ++state.totalCount;
            continue;
        }
        if (auto child = initWithURL(m_pass, this)) {
            m_subfolderPending = true;
            return child;
        }
        m_pass.folders.leave();
        ++state.totalCount;
    }
    return nullptr;
}

QUrl FileCount::selfURL() const
{
    return QUrl::fromLocalFile(folderPath(m_pass.folders.path().left(m_pass.folders.pathLengthAt(m_depth))));
}
