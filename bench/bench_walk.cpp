// The count and the walk of a Full System Scan on a home-like tree, next to
// a bare openat/readdir walk and `find ROOT | grep -F -f signatures` on the
// same warm tree. Each tree is written once per run (or kept between runs
// with SWEEPLING_BENCH_KEEP_TREES=1).
//
// Options (flags or environment):
//   --walk-sizes=200k,1M   SWEEPLING_BENCH_WALK_SIZES  tree sizes in entries
//   --tree-dir=PATH        SWEEPLING_BENCH_DIR         where the trees go (default: the temp folder)
//   --walk-passes=a,b      SWEEPLING_BENCH_WALK_PASSES only these passes (to profile one of them)
// Without sizes, the 1M tree is only written when this file system writes it
// in reasonable time (estimated from the 200k tree).
#include "scan/FileCount.h"
#include "scan/FolderStack.h"
#include "scan/scanDirectory.h"
#include "support/HomeTreeGenerator.h"
#include "support/ProcessStatus.h"
#include "support/PostingScanHost.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <map>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kRuns = 5;
// A tree that would take longer than this to write and remove again is only
// made when asked for; removing takes about as long as writing.
constexpr double kTreeBudgetSeconds = 90;
constexpr double kWriteAndRemoveFactor = 2.2;

struct Tree
{
    qint64 size = 0;
    QString root;
    HomeTreeGenerator::Summary summary;
    qint64 counted = 0;
};

struct Result
{
    double best = 0;
    double cpuBest = 0; // user + system, the pass's own processes included
    qint64 rssGrowthKiB = 0;
    qint64 found = 0;
};

QStringList g_signatures;
QString g_signatureFile;
QStringList g_onlyPasses;
std::map<std::pair<qint64, QString>, Result> g_results;

// Peak resident memory above the level before `work`, in KiB. Free heap
// memory goes back to the system first, so that what the work allocates
// shows even where an earlier pass left free blocks behind.
template <typename Work>
qint64 rssGrowth(Work work)
{
    ::malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5"); // resets the high-water mark
    const qint64 before = ProcessStatus::kiB("VmRSS:");
    work();
    return std::max<qint64>(0, ProcessStatus::kiB("VmHWM:") - before);
}

qint64 bareWalk(int folderFd)
{
    DIR *dir = ::fdopendir(folderFd);
    if (!dir) {
        ::close(folderFd);
        return 0;
    }
    qint64 entries = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        if (entry->d_type == DT_REG) {
            ++entries;
        } else if (entry->d_type == DT_DIR) {
            ++entries;
            const int child = ::openat(::dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0)
                entries += bareWalk(child);
        }
    }
    ::closedir(dir);
    return entries;
}

qint64 findGrep(const QString &root)
{
    const QByteArray command = "find '" + QFile::encodeName(root) + "' | LC_ALL=C grep -F -f '" +
                               QFile::encodeName(g_signatureFile) + "' | wc -l";
    FILE *pipe = ::popen(command.constData(), "r");
    if (!pipe)
        return -1;
    char buffer[64] = {};
    const bool read = std::fgets(buffer, sizeof buffer, pipe) != nullptr;
    ::pclose(pipe);
    return read ? std::atoll(buffer) : -1;
}

double cpuSeconds()
{
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        struct rusage usage{};
        ::getrusage(who, &usage);
        total += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

void record(const Tree &tree, const QString &name, double seconds, double cpu, qint64 rss, qint64 found)
{
    Result &result = g_results[{tree.size, name}];
    result.best = result.best == 0 ? seconds : std::min(result.best, seconds);
    result.cpuBest = result.cpuBest == 0 ? cpu : std::min(result.cpuBest, cpu);
    result.rssGrowthKiB = std::max(result.rssGrowthKiB, rss);
    result.found = found;
}

using Pass = std::function<qint64()>;

// The walk with matching, posting as asked, with the automatic read-ahead
// or the number of threads given.
Pass walkPass(const Tree &tree, PostingScanHost::Posting posting, int readAheadThreads = -1)
{
    return [tree, posting, readAheadThreads] {
        PostingScanHost host(g_signatures, posting);
        host.state().totalCount = tree.counted;
        FolderStack::setDefaultReadAheadThreads(readAheadThreads);
        scanDirectory::scannigWithCheckingSubDirectory(host, {tree.root});
        FolderStack::setDefaultReadAheadThreads(-1);
        return host.offers();
    };
}

std::vector<std::pair<QString, Pass>> passes(const Tree &tree)
{
    const QByteArray root = QFile::encodeName(tree.root);
    return {
        {QStringLiteral("bare_walk"),
         [root] { return bareWalk(::open(root.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); }},
        {QStringLiteral("find_grep"), [tree] { return findGrep(tree.root); }},
        {QStringLiteral("count"),
         [tree] {
             PostingScanHost host(g_signatures);
             FileCount::scannigWithCheckingDirectory(host, tree.root);
             return qint64(host.state().totalCount);
         }},
        {QStringLiteral("walk_match"), walkPass(tree, PostingScanHost::Posting::Observed)},
        {QStringLiteral("walk_match_unobserved"), walkPass(tree, PostingScanHost::Posting::Unobserved)},
        {QStringLiteral("walk_match_no_posts"), walkPass(tree, PostingScanHost::Posting::Dropped)},
        {QStringLiteral("walk_match_one_thread"), walkPass(tree, PostingScanHost::Posting::Observed, 0)},
    };
}

// Each iteration runs every pass once, one after the other, so that a burst
// of load on the machine hits them alike; the best time of each is kept.
// The benchmark's own time is the walk's.
void runSuite(benchmark::State &state, const Tree &tree)
{
    auto all = passes(tree);
    if (!g_onlyPasses.isEmpty())
        std::erase_if(all, [](const auto &pass) { return !g_onlyPasses.contains(pass.first); });
    for (auto _ : state) {
        double walkSeconds = 0;
        for (const auto &[name, pass] : all) {
            qint64 found = 0;
            const double cpuBefore = cpuSeconds();
            QElapsedTimer timer;
            timer.start();
            const qint64 rss = rssGrowth([&, &pass = pass] { found = pass(); });
            const double seconds = double(timer.nsecsElapsed()) / 1e9;
            record(tree, name, seconds, cpuSeconds() - cpuBefore, rss, found);
            if (name == QLatin1String("walk_match"))
                walkSeconds = seconds;
        }
        state.SetIterationTime(walkSeconds);
    }
    auto best = [&](const char *name) { return g_results[{tree.size, QString::fromLatin1(name)}]; };
    state.counters["entries"] = double(tree.summary.entries);
    state.counters["bare_ms"] = best("bare_walk").best * 1000;
    state.counters["find_grep_ms"] = best("find_grep").best * 1000;
    state.counters["count_ms"] = best("count").best * 1000;
    state.counters["walk_ms"] = best("walk_match").best * 1000;
    state.counters["walk_noobs_ms"] = best("walk_match_unobserved").best * 1000;
    state.counters["walk_noposts_ms"] = best("walk_match_no_posts").best * 1000;
    state.counters["walk_1thread_ms"] = best("walk_match_one_thread").best * 1000;
    state.counters["walk_hits"] = double(best("walk_match").found);
    state.counters["grep_lines"] = double(best("find_grep").found);
    state.counters["walk_rss_KiB"] = double(best("walk_match").rssGrowthKiB);
}

void registerTree(const Tree &tree)
{
    const QString label = tree.size >= 1000000 ? QStringLiteral("%1M").arg(double(tree.size) / 1e6)
                                               : QStringLiteral("%1k").arg(tree.size / 1000);
    benchmark::RegisterBenchmark(("walk_suite/" + label.toStdString()).c_str(),
                                 [tree](benchmark::State &state) { runSuite(state, tree); })
        ->Iterations(kRuns)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

qint64 parseSize(QString text)
{
    text = text.trimmed().toLower();
    qint64 factor = 1;
    if (text.endsWith(QLatin1Char('k')))
        factor = 1000;
    else if (text.endsWith(QLatin1Char('m')))
        factor = 1000000;
    if (factor != 1)
        text.chop(1);
    return qint64(text.toDouble() * double(factor));
}

QString option(int &argc, char **argv, const char *flag, const char *variable)
{
    QString value = qEnvironmentVariable(variable);
    const QByteArray prefix = QByteArray("--") + flag + '=';
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]).startsWith(prefix))
            value = QString::fromLocal8Bit(argv[i] + prefix.size());
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    return value;
}

bool prepareTree(Tree &tree, const QString &folder, bool keep)
{
    tree.root = QStringLiteral("%1/sweepling-bench-walk-%2").arg(folder).arg(tree.size);
    const QString done = tree.root + QStringLiteral(".done");
    QElapsedTimer timer;
    timer.start();
    if (keep && QFile::exists(done)) {
        std::printf("tree %lld: reusing %s\n", qint64(tree.size), qPrintable(tree.root));
    } else {
        HomeTreeGenerator::removeContents(tree.root);
        QDir().rmdir(tree.root);
        QFile::remove(done);
        if (!QDir().mkpath(tree.root))
            return false;
        tree.summary = HomeTreeGenerator::write(tree.root, tree.size, g_signatures);
        if (keep) {
            QFile marker(done);
            if (marker.open(QIODevice::WriteOnly))
                marker.write(QByteArray::number(tree.summary.entries));
        }
        std::printf("tree %lld: wrote %lld folders, %lld files (%lld hidden), %lld links, %lld planted hits, "
                    "depth %d in %.1f s\n",
                    qint64(tree.size), tree.summary.folders, tree.summary.files, tree.summary.hiddenFiles,
                    tree.summary.links, tree.summary.plantedHits, tree.summary.deepest, double(timer.elapsed()) / 1000);
    }
    // Warm the caches and take the count the walk's progress is based on.
    tree.summary.entries = bareWalk(::open(QFile::encodeName(tree.root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    findGrep(tree.root);
    PostingScanHost host(g_signatures, PostingScanHost::Posting::Unobserved);
    FileCount::scannigWithCheckingDirectory(host, tree.root);
    tree.counted = host.state().totalCount;
    return true;
}

void printTable(const std::vector<Tree> &trees)
{
    std::printf("\nBest of %d runs on the same warm tree; wall seconds, CPU seconds (user + system) in brackets.\n"
                "walk+match posts through a notification centre with one observer keeping the latest path;\n"
                "no obs.: the centre has no observer; no posts: posts never reach a centre;\n"
                "1 thread: walk+match reading every folder on its own thread (no read-ahead).\n",
                kRuns);
    std::printf("%-8s %8s %15s %15s %15s %15s %15s %15s %15s %9s %9s %8s %8s\n", "tree", "entries", "bare walk",
                "find|grep", "count", "walk+match", "no obs.", "no posts", "1 thread", "walk/bare", "find/walk",
                "cnt RSS+", "walk RSS+");
    for (const Tree &tree : trees) {
        auto r = [&](const char *name) { return g_results[{tree.size, QString::fromLatin1(name)}]; };
        const Result bare = r("bare_walk"), find = r("find_grep"), count = r("count"), walk = r("walk_match"),
                     quiet = r("walk_match_unobserved"), silent = r("walk_match_no_posts"),
                     alone = r("walk_match_one_thread");
        if (bare.best == 0 || walk.best == 0)
            continue;
        auto cell = [](const Result &x) { return QStringLiteral("%1 (%2)").arg(x.best, 0, 'f', 3).arg(x.cpuBest, 0, 'f', 3); };
        std::printf("%-8lld %8lld %15s %15s %15s %15s %15s %15s %15s %8.2fx %8.2fx %5lldKiB %5lldKiB\n",
                    qint64(tree.size), tree.summary.entries, qPrintable(cell(bare)), qPrintable(cell(find)),
                    qPrintable(cell(count)), qPrintable(cell(walk)), qPrintable(cell(quiet)), qPrintable(cell(silent)),
                    qPrintable(cell(alone)), walk.best / bare.best, find.best / walk.best, count.rssGrowthKiB,
                    walk.rssGrowthKiB);
    }
    std::printf("targets: walk/bare <= 1.30x, find/walk >= 2.00x, peak memory growth independent of the entry count\n");
}

bool writeSignatureFile(const QString &folder)
{
    g_signatures = HomeTreeGenerator::signatures();
    g_signatureFile = folder + QStringLiteral("/sweepling-bench-walk-signatures.txt");
    QFile file(g_signatureFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(g_signatures.join(QLatin1Char('\n')).toUtf8() + '\n');
    return true;
}

// Writes (or finds) the trees and registers one suite per tree. Without
// sizes asked for, a tree is skipped when the last one written suggests it
// would take too long to write and remove here.
bool prepareTrees(const QString &sizesOption, const QString &folder, bool keep, std::vector<Tree> &trees)
{
    std::vector<qint64> sizes;
    for (const QString &size : (sizesOption.isEmpty() ? QStringLiteral("200k,1M") : sizesOption).split(QLatin1Char(',')))
        sizes.push_back(parseSize(size));
    trees.reserve(sizes.size());
    double secondsPerEntry = 0;
    for (const qint64 size : sizes) {
        Tree tree;
        tree.size = size;
        const bool cached = keep && QFile::exists(QStringLiteral("%1/sweepling-bench-walk-%2.done").arg(folder).arg(size));
        const double estimate = secondsPerEntry * double(size) * kWriteAndRemoveFactor;
        if (sizesOption.isEmpty() && !cached && estimate > kTreeBudgetSeconds) {
            std::printf("tree %lld: skipped, writing and removing it here would take about %.0f s "
                        "(ask for it with --walk-sizes=%lld)\n",
                        qint64(size), estimate, qint64(size));
            continue;
        }
        QElapsedTimer timer;
        timer.start();
        if (!prepareTree(tree, folder, keep))
            return false;
        if (!cached)
            secondsPerEntry = double(timer.elapsed()) / 1000 / double(size);
        trees.push_back(tree);
        registerTree(trees.back());
    }
    return true;
}

void removeTrees(const std::vector<Tree> &trees)
{
    QElapsedTimer timer;
    timer.start();
    for (const Tree &tree : trees) {
        HomeTreeGenerator::removeContents(tree.root);
        QDir().rmdir(tree.root);
    }
    QFile::remove(g_signatureFile);
    std::printf("trees removed in %.1f s\n", double(timer.elapsed()) / 1000);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString sizesOption = option(argc, argv, "walk-sizes", "SWEEPLING_BENCH_WALK_SIZES");
    QString folder = option(argc, argv, "tree-dir", "SWEEPLING_BENCH_DIR");
    const QString onlyPasses = option(argc, argv, "walk-passes", "SWEEPLING_BENCH_WALK_PASSES");
    if (!onlyPasses.isEmpty())
        g_onlyPasses = onlyPasses.split(QLatin1Char(','));
    if (folder.isEmpty())
        folder = QDir::tempPath();
    const bool keep = qEnvironmentVariableIntValue("SWEEPLING_BENCH_KEEP_TREES") != 0;
    benchmark::Initialize(&argc, argv);

    std::vector<Tree> trees;
    if (!writeSignatureFile(folder) || !prepareTrees(sizesOption, folder, keep, trees))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printTable(trees);
    if (!keep)
        removeTrees(trees);
    return 0;
}
