// Sizing a cache tree the way the cleaning catalogue does, next to `du -s` on
// the same warm tree. The tree (about 200,000 entries) is written once into a
// temporary folder; each measurement is one walk of the listed path.
#include "platform/AllocatedSize.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kTopFolders = 20;
constexpr int kSubFolders = 20;
constexpr int kFilesPerFolder = 499;

QString g_tree;

// 20 x 20 folders of 499 small files each, some hidden, some links:
// 20 + 400 + 199,600 = 200,020 entries below the root.
qint64 writeTree(const QString &root)
{
    qint64 entries = 0;
    for (int top = 0; top < kTopFolders; ++top) {
        const QString topPath = QStringLiteral("%1/com.example.app%2").arg(root).arg(top);
        QDir().mkpath(topPath);
        ++entries;
        for (int sub = 0; sub < kSubFolders; ++sub) {
            const QByteArray folder = QFile::encodeName(QStringLiteral("%1/Cache.db-%2").arg(topPath).arg(sub));
            ::mkdir(folder.constData(), 0755);
            ++entries;
            for (int file = 0; file < kFilesPerFolder; ++file) {
                const QByteArray path = folder + (file % 50 == 0 ? "/.f" : "/f") + QByteArray::number(file);
                if (file % 97 == 1) {
                    ::symlink("/etc/hostname", path.constData());
                } else {
                    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                    if (fd >= 0) {
                        const QByteArray body(1 + (file * 37) % 6000, 'c');
                        if (::write(fd, body.constData(), size_t(body.size())) < 0)
                            std::perror("write");
                        ::close(fd);
                    }
                }
                ++entries;
            }
        }
    }
    return entries;
}

// `du -s` in bytes of allocated blocks; -1 when du cannot run.
qint64 duBytes(const QString &path)
{
    QProcess du;
    du.start(QStringLiteral("du"), {QStringLiteral("-s"), QStringLiteral("-B1"), path});
    if (!du.waitForFinished(120000) || du.exitCode() != 0)
        return -1;
    return QString::fromLatin1(du.readAllStandardOutput()).section(QLatin1Char('\t'), 0, 0).toLongLong();
}

void BM_AllocatedSizeOfTree(benchmark::State &state)
{
    AllocatedSize::Tally tally;
    for (auto _ : state) {
        tally = AllocatedSize::measure(g_tree);
        benchmark::DoNotOptimize(tally.bytes);
    }
    state.counters["entries"] = double(tally.entries);
    state.counters["bytes"] = double(tally.bytes);
}
BENCHMARK(BM_AllocatedSizeOfTree)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_DuS(benchmark::State &state)
{
    qint64 bytes = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(bytes = duBytes(g_tree));
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_DuS)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

template <typename Work>
double medianMs(int runs, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Alternating runs, so that both tools see the same cache state.
void printTable(qint64 written)
{
    AllocatedSize::Tally tally;
    qint64 du = 0;
    std::vector<double> ours, theirs;
    for (int i = 0; i < 9; ++i) {
        ours.push_back(medianMs(1, [&] { tally = AllocatedSize::measure(g_tree); }));
        theirs.push_back(medianMs(1, [&] { du = duBytes(g_tree); }));
    }
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    const double a = ours[ours.size() / 2];
    const double b = theirs[theirs.size() / 2];
    std::printf("\n%-26s %12s %14s %10s\n", "sizing (median of 9)", "ms", "bytes", "entries");
    std::printf("%-26s %12.1f %14lld %10lld\n", "AllocatedSize::measure", a, (long long)tally.bytes,
                (long long)tally.entries);
    std::printf("%-26s %12.1f %14lld %10s\n", "du -s -B1 (QProcess)", b, (long long)du, "-");
    std::printf("entries written below the root: %lld; examined: %lld (root included, each once)\n",
                (long long)written, (long long)tally.entries);
    std::printf("ratio ours / du: %.2f (target <= 1.20): %s\n", a / b, a / b <= 1.2 ? "met" : "NOT met");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (QStandardPaths::findExecutable(QStringLiteral("du")).isEmpty()) {
        std::fprintf(stderr, "bench_sizing: du not found\n");
        return 1;
    }
    QTemporaryDir dir;
    g_tree = dir.filePath(QStringLiteral("Caches"));
    QDir().mkpath(g_tree);
    const qint64 written = writeTree(g_tree);
    duBytes(g_tree);  // warm the caches
    AllocatedSize::measure(g_tree);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printTable(written);
    return 0;
}
