// The multi-day module's core, each figure beside a yardstick of the same run:
// - the whole load (scan and MultiDayLoader) of 40 days of 64 MiB each,
//   against a plain sequential read() of the same files;
// - the peak resident memory growth of that load in a process of its own,
//   against the largest file (and, for comparison, the days' sums alone);
// - the processing chain of 100 days of 200,000 points (step removal, noise
//   baseline subtraction, moving average; both sums of every day, on every
//   core), against a plain pass on one thread that copies the same sums and
//   finds their ranges.
// On a shared machine the wall-clock figures depend on how many cores the
// run gets; the processor time of the same runs (all threads) is printed
// beside them.
// The days come from the synthetic generator: 8 different files, each linked
// under 5 names, so that the disk holds 512 MiB; all is removed at the end.

#include "astro/seriesstats.h"
#include "bench/benchtiming.h"
#include "bench/multidaybenchdays.h"
#include "data/channelsum.h"
#include "data/daygraphcontent.h"
#include "data/dayplotreader.h"
#include "data/multidayloader.h"
#include "synth/syntheticobservation.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <utility>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace multidaybench;

namespace {

// Yardstick: read() every file from start to end into one reused buffer, in
// pieces of the size the day reader uses, which suits the caches best.
qint64 plainRead(const QStringList &paths)
{
    constexpr size_t piece = 256 * 1024;
    std::unique_ptr<char[]> buffer(new char[piece]);
    qint64 total = 0;
    for (const QString &path : paths) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        if (fd < 0)
            return -1;
        ssize_t n;
        while ((n = ::read(fd, buffer.get(), piece)) > 0)
            total += n;
        ::close(fd);
    }
    return total;
}

// The module's load: scan, then every day from the loader, kept in order.
QVector<DayPlot> load(const QString &dir)
{
    QVector<DayPlot> days;
    MultiDayLoader loader;
    QEventLoop loop;
    QObject::connect(&loader, &MultiDayLoader::dayReady, [&days](int, const DayPlot &day) { days.append(day); });
    QObject::connect(&loader, &MultiDayLoader::finished, &loop, &QEventLoop::quit);
    loader.start(scanObservationDirectory(dir), loadDm);
    loop.exec();
    return days;
}

qint64 statusKiB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(std::strlen(key))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Child mode: the growth of the peak resident memory over one load and the
// bytes of the days' sums it keeps.
int childPeak(const QString &dir)
{
    const qint64 before = statusKiB("VmRSS:");
    const QVector<DayPlot> days = load(dir);
    const qint64 peak = statusKiB("VmHWM:");
    qint64 sums = 0;
    for (const DayPlot &day : days)
        sums += qint64(day.channelSumDm0.size() + day.channelSumDm.size()) * qint64(sizeof(double));
    if (days.size() != dayCount || before < 0 || peak < 0)
        return 2;
    std::printf("%lld %lld\n", static_cast<long long>((peak - before) * 1024), static_cast<long long>(sums));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "peak") == 0)
        return childPeak(QString::fromLocal8Bit(argv[2]));

    QTemporaryDir dir;
    if (!dir.isValid() || !writeDays(dir.path()))
        return 1;
    const QStringList paths = scanObservationDirectory(dir.path());
    qint64 largest = 0;
    for (const QString &path : paths)
        largest = std::max(largest, QFileInfo(path).size());
    if (paths.size() != dayCount || plainRead(paths) <= 0)   // also brings the files into the page cache
        return 1;

    std::vector<double> readTimes, loadTimes, readCpu, loadCpu;
    for (int i = 0; i < repetitions; ++i) {
        const auto read = timesOf([&] { plainRead(paths); });
        const auto loaded = timesOf([&] {
            if (load(dir.path()).size() != dayCount)
                std::exit(1);
        });
        readTimes.push_back(read.first);
        readCpu.push_back(read.second);
        loadTimes.push_back(loaded.first);
        loadCpu.push_back(loaded.second);
    }
    std::printf("multiday_load_seconds: %.3f\n", median(loadTimes));
    std::printf("multiday_sequential_read_seconds: %.3f\n", median(readTimes));
    std::printf("multiday_load_vs_sequential_read_ratio: %.3f\n", median(loadTimes) / median(readTimes));
    std::printf("multiday_load_cpu_vs_sequential_read_cpu_ratio: %.3f\n", median(loadCpu) / median(readCpu));

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("peak"), dir.path()});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        return 1;
    const QList<QByteArray> numbers = child.readAllStandardOutput().trimmed().split(' ');
    if (numbers.size() != 2)
        return 1;
    std::printf("multiday_peak_rss_vs_largest_file_ratio: %.3f\n", numbers.at(0).toDouble() / double(largest));
    std::printf("multiday_sums_vs_largest_file_ratio: %.3f\n", numbers.at(1).toDouble() / double(largest));
    if (!dir.remove())
        return 1;

    const QVector<DayPlot> days = processingDays();
    if (days.size() != 100)
        return 1;
    DayGraphSettings settings;
    settings.dm = loadDm;
    settings.processing.removeStep = true;
    settings.processing.subtractNoise = true;
    settings.processing.averaging = 10;
    settings.processing.averagingType = AveragingType::Moving;
    std::vector<double> chainTimes, chainCpu, plainTimes;
    for (int i = 0; i < 5; ++i) {
        const auto chain = timesOf([&] {
            if (dayGraphContents(days, settings).size() != days.size())
                std::exit(1);
        });
        chainTimes.push_back(chain.first);
        chainCpu.push_back(chain.second);
        plainTimes.push_back(secondsOf([&] {
            for (const DayPlot &day : days) {
                for (const QVector<double> *sum : {&day.channelSumDm0, &day.channelSumDm}) {
                    QVector<double> copy(sum->size());
                    std::copy(sum->begin(), sum->end(), copy.begin());
                    double min = 0, max = 0;
                    if (!finiteValueRange(copy, &min, &max))
                        std::exit(1);
                }
            }
        }));
    }
    std::printf("multiday_processing_ms: %.1f\n", median(chainTimes) * 1000.0);
    std::printf("multiday_processing_cpu_ms: %.1f\n", median(chainCpu) * 1000.0);
    std::printf("multiday_processing_vs_plain_pass_ratio: %.2f\n", median(chainTimes) / median(plainTimes));
    return 0;
}
