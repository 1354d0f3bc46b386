// Opening native files in the native data module: peak memory against the
// sample array, how long the window stops answering while a file loads, while
// its first channel sum is drawn and when a running load is replaced, and the
// opening of mapped files. Prints "name: value" lines.

#include "bench/benchtiming.h"
#include "data/nativefileloader.h"
#include "data/nativelisting.h"
#include "data/nativereader.h"
#include "modules/native/nativeform.h"
#include "modules/native/nativemodule.h"
#include "plot/grafiks.h"
#include "synth/syntheticobservation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProgressBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>

#include <atomic>
#include <cstdio>
#include <functional>

namespace {

SyntheticObservation::Params largeParams(qint64 bytes)
{
    SyntheticObservation::Params p;
    p.nModules = 1;
    p.nRays = 8;
    p.nBands = 32;
    p.snr = 20.0;
    p.dm = 26.8;
    const qint64 perPoint = qint64(p.nModules) * p.nRays * (p.nBands + 1) * 4;
    p.npoints = qint32(bytes / perPoint);
    return p;
}

QVector<NativeFileEntry> listingOf(const QString &path)
{
    QVector<NativeFileEntry> files;
    listNativeFiles(QFileInfo(path).absolutePath(), &files);
    return files;
}

bool waitForGraph(NativeModule *module, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while ((module->isLoading() || module->plot()->series().isEmpty()) && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!module->isLoading() && !module->data().loaded)
            return false;
    }
    return !module->isLoading() && !module->plot()->series().isEmpty();
}

// Child run: open the file, draw the first graph, report the peak resident set.
int measurePeak(const QString &path)
{
    {
        NativeModule module(listingOf(path), path);
        module.resize(1400, 900);
        module.show();
        if (!waitForGraph(&module, 600000))
            return 1;
        std::printf("array_bytes: %lld\n", (long long)(module.data().sampleCount() * 4));
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak_rss_bytes: %lld\n", (long long)usage.ru_maxrss * 1024);
    return 0;
}

// A 1 ms timer on the GUI thread that hands each gap between its ticks (in
// nanoseconds since the previous tick, or since it started) to a callback:
// a long gap is a time the window did not answer.
class TickProbe
{
public:
    explicit TickProbe(std::function<void(qint64)> onGap) : m_onGap(std::move(onGap))
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_onGap(now - m_last);
            m_last = now;
        });
        m_clock.start();
        m_timer.start();
    }
    qint64 elapsedNs() const { return m_clock.nsecsElapsed(); }

private:
    std::function<void(qint64)> m_onGap;
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_last = 0;
};

// Largest gaps between ticks of a 1 ms timer while the file is read, and over
// its completion and first draw.
void measureStalls(const QString &path, double *readingMs, double *firstSumMs, double *totalMs)
{
    QElapsedTimer clock;
    clock.start();
    NativeModule module(listingOf(path), path);
    module.resize(1400, 900);
    module.show();
    qint64 maxReading = 0;
    qint64 maxAfter = 0;
    const TickProbe probe([&](qint64 gap) {
        if (module.isLoading())
            maxReading = std::max(maxReading, gap);
        else
            maxAfter = std::max(maxAfter, gap);
    });
    waitForGraph(&module, 600000);
    QCoreApplication::processEvents();
    *readingMs = maxReading / 1e6;
    *firstSumMs = maxAfter / 1e6;
    *totalMs = clock.nsecsElapsed() / 1e6;
}

// The share of the large file read before it is replaced by another load.
constexpr int replaceAtPercent = 20;

// Largest gap between ticks of a 1 ms timer from replacing a running load of
// `large` by a load of `small` until the small file is loaded (its first
// graph is not part of replacing).
double replaceStallMs(const QString &large, const QString &small)
{
    NativeModule module(listingOf(large), large);
    module.resize(1400, 900);
    module.show();
    while (module.isLoading() && module.progressBar()->value() < replaceAtPercent)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (!module.isLoading())
        return -1.0;
    qint64 maxGap = 0;
    const TickProbe probe([&](qint64 gap) {
        if (module.isLoading())
            maxGap = std::max(maxGap, gap);
    });
    module.onFileChanged(small);
    while (module.isLoading() && probe.elapsedNs() < qint64(600) * 1000000000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return maxGap / 1e6;
}

// The yardstick: how long the GUI thread used to wait when a new load met a
// running one, i.e. for the rest of the read from the same point on.
double oldWaitMs(const QString &large)
{
    QThread thread;
    auto *loader = new NativeFileLoader(large);
    loader->moveToThread(&thread);
    std::atomic<int> percent{0};
    QObject::connect(&thread, &QThread::started, loader, &NativeFileLoader::run);
    QObject::connect(loader, &NativeFileLoader::progress, loader, [&percent](int p) { percent = p; },
                     Qt::DirectConnection);
    QObject::connect(loader, &NativeFileLoader::finished, &thread, &QThread::quit, Qt::DirectConnection);
    thread.start();
    while (percent < replaceAtPercent && !thread.isFinished())
        QThread::msleep(1);
    QElapsedTimer clock;
    clock.start();
    thread.quit();
    thread.wait();
    const double ms = clock.nsecsElapsed() / 1e6;
    delete loader;
    return ms;
}

// Maps the file and reads channel 1 of ray 1 at every point into an array.
double plainColumnMs(const QString &path)
{
    QElapsedTimer clock;
    clock.start();
    NativeFile file;
    readNativeFile(path, &file);
    QVector<double> values(file.npoints);
    for (qint32 p = 0; p < file.npoints; ++p)
        values[p] = nativeSample(file, 0, 0, 0, p);
    return clock.nsecsElapsed() / 1e6;
}

// Time from choosing a mapped file (the next in the list, ray 1 channel 1 kept)
// to its first graph.
double mappedOpenMs(NativeModule *module, const QString &path)
{
    QElapsedTimer clock;
    clock.start();
    module->onFileChanged(path);
    if (!waitForGraph(module, 600000))
        return -1.0;
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--peak"))
        return measurePeak(args[2]);

    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bench_native_XXXXXX"));
    if (!dir.isValid())
        return 1;
    QString error;

    // 1 GiB streamed file.
    const QString streamed = dir.filePath(QStringLiteral("a_1g_00.pnt"));
    const SyntheticObservation big(largeParams(qint64(1) << 30));
    if (!big.writeBinary(streamed, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--peak"), streamed});
    child.waitForFinished(-1);
    double arrayBytes = 0;
    double peakBytes = 0;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        if (line.startsWith("array_bytes: "))
            arrayBytes = line.mid(13).toDouble();
        if (line.startsWith("peak_rss_bytes: "))
            peakBytes = line.mid(16).toDouble();
    }
    if (arrayBytes > 0)
        std::printf("native_open_1g_peak_rss_ratio: %.3f\n", peakBytes / arrayBytes);

    double readingMs = 0;
    double firstSumMs = 0;
    double totalMs = 0;
    measureStalls(streamed, &readingMs, &firstSumMs, &totalMs);
    std::printf("native_open_gui_max_stall_ms: %.1f\n", readingMs);
    std::printf("native_first_sum_stall_ms: %.1f\n", firstSumMs);
    std::printf("native_open_1g_total_ms: %.1f\n", totalMs);

    // The plain baseline: the same file read on the calling thread, which is
    // how long the window would freeze without the worker.
    QElapsedTimer plain;
    plain.start();
    {
        NativeFile file;
        readNativeFile(streamed, &file);
    }
    const double plainMs = plain.nsecsElapsed() / 1e6;
    std::printf("native_open_plain_read_ms: %.1f\n", plainMs);
    std::printf("native_open_stall_vs_plain_read_ratio: %.4f\n", readingMs / plainMs);

    // Replacing a running load of the 1 GiB file by a small file, against the
    // old wait for the running read from the same point on.
    SyntheticObservation::Params small = largeParams(qint64(8) << 20);
    const QString first = dir.filePath(QStringLiteral("a_small_00.pnt"));
    SyntheticObservation(small).writeBinary(first, &error);
    // Medians of five runs each: the machine is shared, and one run can be
    // paused by others' work.
    std::vector<double> replaceRuns, waitRuns;
    for (int run = 0; run < 5; ++run) {
        replaceRuns.push_back(replaceStallMs(streamed, first));
        // The replaced read lets go of its memory in the background.
        QThread::sleep(1);
        QCoreApplication::processEvents();
        waitRuns.push_back(oldWaitMs(streamed));
    }
    const double replaceMs = median(replaceRuns);
    const double waitMs = median(waitRuns);
    std::printf("native_cancel_gui_max_stall_ms: %.1f\n", replaceMs);
    std::printf("native_cancel_old_wait_ms: %.1f\n", waitMs);
    std::printf("native_cancel_stall_vs_old_wait_ratio: %.4f\n", replaceMs / waitMs);
    QFile::remove(streamed);

    // Mapped files: a 4 GiB sparse file stepped to from a small one showing
    // ray 1, channel 1. The graph's own work is one sample of every point,
    // each on its own page of the file; the baseline does just that. The
    // first pass over a fresh sparse file pays for the kernel filling the page
    // cache with its holes; it is reported apart, and both measured runs
    // start from the same warm cache.
    SyntheticObservation::Params used;
    const QString mapped = dir.filePath(QStringLiteral("c_4g_00.pnt"));
    const qint64 size = qint64(1) << 32;
    if (!SyntheticObservation::writeSparse(mapped, size, largeParams(size), 4096, &used, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const double firstTouchMs = plainColumnMs(mapped);
    const double columnMs = plainColumnMs(mapped);

    NativeModule module(listingOf(first), first);
    module.resize(1400, 900);
    module.show();
    waitForGraph(&module, 600000);
    module.form()->nativeRay()->setValue(1);
    module.form()->nativeChannel()->setValue(1);
    const double mappedMs = mappedOpenMs(&module, mapped);
    std::printf("native_mapped_first_touch_ms: %.1f\n", firstTouchMs);
    std::printf("native_mapped_open_ms: %.1f\n", mappedMs);
    std::printf("native_mapped_plain_column_ms: %.1f\n", columnMs);
    std::printf("native_mapped_open_vs_plain_column_ratio: %.3f\n", mappedMs / columnMs);
    return 0;
}
