// Dispersed channel sum of 1,000,000 points x 64 frequency channels, in memory
// and from a mapped native file, against the same computation in NumPy, timed
// alternately in one run, and against a plain sum over the same number of floats.

#include "bench/benchtiming.h"
#include "data/channelsum.h"
#include "data/nativefile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#ifndef ORVALIS_SOURCE_DIR
#define ORVALIS_SOURCE_DIR "."
#endif

namespace {

constexpr int pointCount = 1000000;
constexpr int channelCount = 65;      // 64 frequency channels and the total
constexpr double dm = 30.0;
constexpr double tresolution = 0.0124928;
constexpr int repetitions = 7;

// One command to the NumPy process; its answer line, or an empty text.
QByteArray ask(QProcess &numpy, const QByteArray &command)
{
    numpy.write(command + '\n');
    while (!numpy.canReadLine()) {
        if (!numpy.waitForReadyRead(-1))
            return QByteArray();
    }
    return numpy.readLine().trimmed();
}

double numpySeconds(QProcess &numpy, const QByteArray &layout)
{
    const QByteArray answer = ask(numpy, layout);
    if (!answer.startsWith("seconds: "))
        return -1;
    return answer.mid(9).toDouble();
}

// Passport text lines, then the float32 block in file order (one row per point).
QByteArray writeNativeFile(const NativeFile &f, const QString &path)
{
    QByteArray passport;
    passport += "numpar=65\n";
    passport += "numpoints=" + QByteArray::number(f.npoints) + '\n';
    passport += "tresolution=" + QByteArray::number(f.tresolution, 'g', 17) + '\n';
    passport += "source=bench\n";
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(passport) != passport.size())
        return QByteArray();
    std::vector<float> rows(size_t(4096) * f.nChannels);
    for (int t0 = 0; t0 < f.npoints; t0 += 4096) {
        const int n = std::min(4096, f.npoints - t0);
        for (int k = 0; k < n; ++k)
            for (int c = 0; c < f.nChannels; ++c)
                rows[size_t(k) * f.nChannels + c] = f.samples.at(c * f.npoints + t0 + k);
        const qint64 bytes = qint64(n) * f.nChannels * 4;
        if (out.write(reinterpret_cast<const char *>(rows.data()), bytes) != bytes)
            return QByteArray();
    }
    return passport;
}

bool sameBits(const QVector<double> &ours, const QString &rawPath)
{
    QFile in(rawPath);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray raw = in.readAll();
    return raw.size() == ours.size() * int(sizeof(double))
            && std::memcmp(raw.constData(), ours.constData(), size_t(raw.size())) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary directory\n");
        return 1;
    }

    NativeFile data;
    data.loaded = true;
    data.npoints = pointCount;
    data.nModules = 1;
    data.nRays = 1;
    data.nChannels = channelCount;
    data.tresolution = tresolution;
    QStringList frequencyTexts;
    for (int c = 0; c < channelCount - 1; ++c) {
        // Highest frequency first, as the band is listed by the receiver.
        const double f = 111.5 - 2.5 * c / (channelCount - 2);
        data.fbands.append(f);
        frequencyTexts << QString::number(f, 'g', 17);
    }
    data.samples.resize(pointCount * channelCount);
    QRandomGenerator rng(42);
    for (float &v : data.samples)
        v = float(rng.generateDouble() * 100.0);

    const QString path = dir.filePath(QStringLiteral("bench.pnthr"));
    const QByteArray passport = writeNativeFile(data, path);
    if (passport.isEmpty()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    NativeFile mapped = data;
    mapped.samples = QVector<float>();
    {
        auto mapping = std::make_shared<NativeMapping>();
        mapping->file = std::make_unique<QFile>(path);
        if (!mapping->file->open(QIODevice::ReadOnly))
            return 1;
        mapping->count = qint64(pointCount) * channelCount;
        mapping->bytes = mapping->file->map(passport.size(), mapping->count * 4);
        if (!mapping->bytes)
            return 1;
        mapped.mapping = mapping;
    }

    QProcess numpy;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("OPENBLAS_CORETYPE"));
    env.remove(QStringLiteral("OPENBLAS_L2_SIZE"));
    numpy.setProcessEnvironment(env);
    numpy.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral(ORVALIS_SOURCE_DIR "/bench/channelsum_numpy.py"), path,
                 QString::number(passport.size()), QString::number(pointCount), QString::number(channelCount),
                 QStringLiteral("0"), QString::number(pointCount), QString::number(dm, 'g', 17),
                 QString::number(tresolution, 'g', 17), frequencyTexts.join(QLatin1Char(','))});
    if (!numpy.waitForStarted()) {
        std::fprintf(stderr, "cannot start the numpy baseline\n");
        return 1;
    }

    // Both sides alternate, so that they share whatever load the machine has.
    // The first round warms caches and mappings and is not counted.
    QVector<double> memoryOut;
    QVector<double> mappedOut;
    std::vector<double> oursMemory, oursMapped, numpyMemory, numpyMapped;
    for (int round = 0; round <= repetitions; ++round) {
        const double a = secondsOf([&] { dispersedChannelSum(data, &memoryOut, 0, dm, 0, 0, pointCount); });
        const double b = numpySeconds(numpy, "memory");
        const double c = secondsOf([&] { dispersedChannelSum(mapped, &mappedOut, 0, dm, 0, 0, pointCount); });
        const double d = numpySeconds(numpy, "mapped");
        if (b <= 0 || d <= 0) {
            std::fprintf(stderr, "numpy baseline failed: %s\n", numpy.readAllStandardError().constData());
            return 1;
        }
        if (round == 0)
            continue;
        oursMemory.push_back(a);
        numpyMemory.push_back(b);
        oursMapped.push_back(c);
        numpyMapped.push_back(d);
    }
    if (ask(numpy, "save " + QFile::encodeName(dir.path())) != "saved") {
        std::fprintf(stderr, "numpy baseline did not save its results\n");
        return 1;
    }
    numpy.closeWriteChannel();
    numpy.waitForFinished();

    // A plain sequential sum over as many floats as the channel sum reads.
    const qint64 summed = qint64(pointCount) * (channelCount - 1);
    volatile double sink = 0;
    std::vector<double> plainTimes;
    for (int round = 0; round < repetitions; ++round) {
        plainTimes.push_back(secondsOf([&] {
            const float *p = data.samples.constData();
            double s = 0;
            for (qint64 i = 0; i < summed; ++i)
                s += p[i];
            sink = s;
        }));
    }
    (void)sink;
    const double plain = median(plainTimes);

    const bool same = sameBits(memoryOut, dir.filePath(QStringLiteral("numpy_memory.f64")))
            && sameBits(mappedOut, dir.filePath(QStringLiteral("numpy_mapped.f64")));
    const double speedupMemory = median(numpyMemory) / median(oursMemory);
    const double speedupMapped = median(numpyMapped) / median(oursMapped);

    std::printf("channel_sum_memory_ms: %.3f\n", median(oursMemory) * 1e3);
    std::printf("channel_sum_mapped_ms: %.3f\n", median(oursMapped) * 1e3);
    std::printf("numpy_memory_ms: %.3f\n", median(numpyMemory) * 1e3);
    std::printf("numpy_mapped_ms: %.3f\n", median(numpyMapped) * 1e3);
    std::printf("channel_sum_vs_numpy_speedup_memory: %.2f\n", speedupMemory);
    std::printf("channel_sum_vs_numpy_speedup_mapped: %.2f\n", speedupMapped);
    std::printf("channel_sum_vs_numpy_speedup: %.2f\n", std::min(speedupMemory, speedupMapped));
    std::printf("channel_sum_vs_memsum_ratio: %.2f\n", plain / median(oursMemory));
    std::printf("channel_sum_matches_numpy: %d\n", same ? 1 : 0);
    return same ? 0 : 1;
}
