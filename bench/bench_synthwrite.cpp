// Writing a synthetic observation against writing the same number of bytes
// from a ready buffer, side by side in one run; and the memory the writer
// needs, which must not grow with the file.

#include "synth/syntheticobservation.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

qint64 peakRssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// The same bytes through the same kind of atomic save file, from a ready buffer.
bool plainWrite(const QString &path, qint64 bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray chunk(4 * 1024 * 1024, '\x42');
    for (qint64 done = 0; done < bytes; done += chunk.size()) {
        const qint64 take = std::min<qint64>(chunk.size(), bytes - done);
        if (file.write(chunk.constData(), take) != take)
            return false;
    }
    return file.commit();
}

} // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary directory\n");
        return 1;
    }
    SyntheticObservation::Params params;
    params.nRays = 8;
    params.nBands = 32;
    params.npoints = 128 * 1024;   // 8 rays x 33 channels x 4 bytes: 132 MiB
    params.snr = 4.0;
    const SyntheticObservation observation(params);
    const qint64 bytes = observation.passport().size() + 4 * observation.valuesPerPoint() * params.npoints;
    const QString synthPath = dir.filePath(observation.fileName(QStringLiteral("pnthr")));
    const QString plainPath = dir.filePath(QStringLiteral("plain.bin"));

    const qint64 rssBefore = peakRssKiB();
    QVector<double> synthSeconds;
    QVector<double> plainSeconds;
    for (int repeat = 0; repeat < 3; ++repeat) {
        QElapsedTimer timer;
        timer.start();
        QString error;
        if (!observation.writeBinary(synthPath, &error)) {
            std::fprintf(stderr, "writing failed: %s\n", qPrintable(error));
            return 1;
        }
        synthSeconds.append(timer.nsecsElapsed() * 1e-9);
        timer.start();
        if (!plainWrite(plainPath, bytes)) {
            std::fprintf(stderr, "plain writing failed\n");
            return 1;
        }
        plainSeconds.append(timer.nsecsElapsed() * 1e-9);
        QFile::remove(synthPath);
        QFile::remove(plainPath);
    }
    const qint64 rssGrowth = peakRssKiB() - rssBefore;
    const double synth = median(synthSeconds);
    const double plain = median(plainSeconds);

    QTextStream out(stdout);
    out << "synth_write_MiB_per_s: " << QString::number(bytes / 1048576.0 / synth, 'f', 1) << '\n';
    out << "synth_write_vs_plain_write_time_ratio: " << QString::number(synth / plain, 'f', 2) << '\n';
    out << "synth_write_peak_rss_growth_MiB: " << QString::number(rssGrowth / 1024.0, 'f', 1) << '\n';
    out << "synth_write_file_MiB: " << QString::number(bytes / 1048576.0, 'f', 1) << '\n';
    return 0;
}
