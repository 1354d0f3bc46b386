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

namespace {

constexpr int dayCount = 40;
constexpr int distinctDays = 8;
constexpr qint64 dayBytes = qint64(64) << 20;
constexpr int bands = 256;
constexpr double loadDm = 26.8;
constexpr int repetitions = 3;

SyntheticObservation::Params dayParams(int day, int bandCount, qint64 npoints)
{
    SyntheticObservation::Params p;
    p.nRays = 1;
    p.nBands = bandCount;
    p.npoints = qint32(npoints);
    p.firstModule = 3;
    p.firstRay = 2;
    p.seed = quint64(500 + day);
    p.snr = 3.0;
    p.transitLevel = 4.0;
    p.utcBegin = QDateTime(QDate(2026, 7, 16).addDays(day), QTime(2, 0, 0), Qt::UTC);
    if (day % 3 == 1)
        p.calibrationStart = 40.0 + day;
    return p;
}

// 40 day files: distinct ones, each also linked under other names.
bool writeDays(const QString &dir)
{
    const qint64 npoints = dayBytes / (4 * (bands + 1));
    for (int k = 0; k < distinctDays; ++k) {
        const SyntheticObservation observation(dayParams(k, bands, npoints));
        const QString path = QDir(dir).filePath(observation.fileName(QStringLiteral("pnthr")));
        QString error;
        if (!observation.write(path, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return false;
        }
        for (int copy = 1; copy < dayCount / distinctDays; ++copy) {
            const QString link = QDir(dir).filePath(QStringLiteral("copy%1_").arg(copy) + QFileInfo(path).fileName());
            if (::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()) != 0)
                return false;
        }
    }
    return true;
}

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

// Processor seconds of the whole process, every thread included.
double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + 1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// Wall-clock and processor seconds of run().
template <typename F>
std::pair<double, double> timesOf(F &&run)
{
    const double before = processorSeconds();
    const double wall = secondsOf(run);
    return {wall, processorSeconds() - before};
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

// 100 days of 200,000 points: 10 generated days, each used 10 times.
QVector<DayPlot> processingDays()
{
    QVector<DayPlot> days;
    for (int k = 0; k < 10; ++k) {
        const NativeFile file = SyntheticObservation(dayParams(k, 8, 200000)).toNativeFile();
        DayPlot day;
        day.tresolution = file.tresolution;
        day.fileName = file.fileName;
        day.date = file.observationDate;
        if (dispersedChannelSum(file, &day.channelSumDm0, 0, 0.0, 0, 0, file.npoints) != file.npoints
            || dispersedChannelSum(file, &day.channelSumDm, 0, loadDm, 0, 0, file.npoints) != file.npoints)
            return {};
        for (int copy = 0; copy < 10; ++copy)
            days.append(day);
    }
    return days;
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
