#pragma once

// The observation days of the multi-day benchmarks, written by the synthetic
// generator: 40 days of 64 MiB (8 different files, each linked under 5
// names, so that the disk holds 512 MiB) and 100 days of 200,000 points in
// memory; and the processor time of a run beside its wall-clock time.

#include "bench/benchtiming.h"
#include "data/channelsum.h"
#include "data/dayplot.h"
#include "synth/syntheticobservation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

namespace multidaybench {

constexpr int dayCount = 40;
constexpr int distinctDays = 8;
constexpr qint64 dayBytes = qint64(64) << 20;
constexpr int bands = 256;
constexpr double loadDm = 26.8;
constexpr int repetitions = 3;

inline SyntheticObservation::Params dayParams(int day, int bandCount, qint64 npoints)
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

// `distinct` day files of npoints points in bandCount channels, each also
// linked under copies - 1 other names.
inline bool writeLinkedDays(const QString &dir, int distinct, int copies, int bandCount, qint64 npoints)
{
    for (int k = 0; k < distinct; ++k) {
        const SyntheticObservation observation(dayParams(k, bandCount, npoints));
        const QString path = QDir(dir).filePath(observation.fileName(QStringLiteral("pnthr")));
        QString error;
        if (!observation.write(path, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return false;
        }
        for (int copy = 1; copy < copies; ++copy) {
            const QString link = QDir(dir).filePath(QStringLiteral("copy%1_").arg(copy) + QFileInfo(path).fileName());
            if (::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()) != 0)
                return false;
        }
    }
    return true;
}

// The 40 days of 64 MiB.
inline bool writeDays(const QString &dir)
{
    return writeLinkedDays(dir, distinctDays, dayCount / distinctDays, bands, dayBytes / (4 * (bands + 1)));
}

// Processor seconds of the whole process, every thread included.
inline double processorSeconds()
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

// 100 days of 200,000 points: 10 generated days, each used 10 times.
inline QVector<DayPlot> processingDays()
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

} // namespace multidaybench
