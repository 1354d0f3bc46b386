// Native file readers, each against a plain baseline measured in the same run:
// - the streamed reader of a 1 GiB file (1 module x 8 rays x 33 channels) in
//   the page cache against a plain sequential read() of the file into one buffer;
// - opening (passport, map, validate) a 4 GiB sparse file against a 2 GiB one;
// - the peak resident memory of a child process that loads the 1 GiB file,
//   against the size of its sample array.

#include "bench/benchtiming.h"
#include "data/nativereader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int rays = 8;
constexpr int channels = 33;
constexpr qint64 gib = qint64(1) << 30;

QByteArray passport(qint64 npoints)
{
    QByteArray head = "numpar 17\n"
                      "source B0531+21\n"
                      "area N1\n"
                      "alpha 05:34:31\n"
                      "delta 22:00:52\n"
                      "fcentral 110.25\n"
                      "wb_total 2.5\n"
                      "date_begin 01.04.2015 UTC 01.04.2015\n"
                      "time_begin 15:13:20.66 UTC 12:13:20.66\n"
                      "modulus 3\n"
                      "rays 8\n"
                      "ray 0\n"
                      "tresolution 12.4928\n"
                      "npoints "
        + QByteArray::number(npoints)
        + "\n"
          "nbands 32\n"
          "wbands 0.078\n"
          "fbands";
    for (int c = 0; c < channels - 1; ++c)
        head += ' ' + QByteArray::number(109.0 + 0.0775 * c, 'f', 4);
    return head + '\n';
}

// Writes a file of about `bytes` bytes: real samples, or a sparse block.
QString writeNative(const QString &path, qint64 bytes, bool sparse)
{
    const qint64 pointBytes = qint64(rays) * channels * 4;
    const qint64 npoints = (bytes - 2048) / pointBytes;
    const QByteArray head = passport(npoints);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(head) != head.size())
        return QString();
    const qint64 total = head.size() + npoints * pointBytes;
    if (sparse)
        return out.resize(total) ? path : QString();
    // One 4 MiB piece of whole points, written again and again with a
    // different first value, so that the page cache holds real data.
    const qint64 piecePoints = (4 << 20) / pointBytes;
    std::vector<char> piece(size_t(piecePoints * pointBytes));
    for (qint64 i = 0; i < piecePoints * rays * channels; ++i) {
        const float v = float(i % 977) * 0.25f;
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        qToLittleEndian(bits, piece.data() + 4 * i);
    }
    for (qint64 written = 0; written < npoints;) {
        const qint64 n = std::min(piecePoints, npoints - written);
        const float marker = float(written);
        std::memcpy(piece.data(), &marker, 4);
        if (out.write(piece.data(), n * pointBytes) != n * pointBytes)
            return QString();
        written += n;
    }
    return path;
}

// Baseline: read() the whole file sequentially into one fresh buffer.
qint64 plainRead(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY);
    if (fd < 0)
        return -1;
    const qint64 size = ::lseek(fd, 0, SEEK_END);
    ::lseek(fd, 0, SEEK_SET);
    std::unique_ptr<char[]> buffer(new char[size_t(size)]);
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, buffer.get() + done, size_t(std::min<qint64>(size - done, gib)));
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fd);
    volatile char sink = buffer[size_t(size - 1)];
    (void)sink;
    return done;
}

// Child mode: load the file and print the peak resident memory and the array size.
int childLoad(const QString &path)
{
    NativeFile file;
    if (!readBinaryStreamed(path, &file))
        return 2;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%lld %lld\n", static_cast<long long>(usage.ru_maxrss) * 1024,
                static_cast<long long>(file.samples.size()) * 4);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "load") == 0)
        return childLoad(QString::fromLocal8Bit(argv[2]));

    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    // Streamed reader against read().
    const QString streamed = writeNative(dir.filePath(QStringLiteral("stream.pnt")), gib, false);
    if (streamed.isEmpty())
        return 1;
    plainRead(streamed);   // into the page cache
    std::vector<double> readTimes, readerTimes;
    for (int i = 0; i < 5; ++i) {
        readTimes.push_back(secondsOf([&] { plainRead(streamed); }));
        readerTimes.push_back(secondsOf([&] {
            NativeFile file;
            if (!readBinaryStreamed(streamed, &file))
                std::exit(1);
        }));
    }
    std::printf("reader_streamed_vs_read_ratio: %.3f\n", median(readTimes) / median(readerTimes));

    // Peak memory of a load, in a child process of its own.
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("load"), streamed});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        return 1;
    const QList<QByteArray> numbers = child.readAllStandardOutput().trimmed().split(' ');
    if (numbers.size() != 2)
        return 1;
    std::printf("stream_load_peak_rss_ratio: %.3f\n", numbers.at(0).toDouble() / numbers.at(1).toDouble());
    QFile::remove(streamed);

    // Opening a mapped file does not depend on its size.
    const QString small = writeNative(dir.filePath(QStringLiteral("map2.pnt")), 2 * gib, true);
    const QString large = writeNative(dir.filePath(QStringLiteral("map4.pnt")), 4 * gib, true);
    if (small.isEmpty() || large.isEmpty())
        return 1;
    const auto open = [](const QString &path) {
        NativeFile file;
        if (!readBinaryMapped(path, &file) || !validateNativeFile(file).isEmpty())
            std::exit(1);
    };
    std::vector<double> smallTimes, largeTimes;
    for (int i = 0; i < 301; ++i) {
        smallTimes.push_back(secondsOf([&] { open(small); }));
        largeTimes.push_back(secondsOf([&] { open(large); }));
    }
    std::printf("mapped_open_4g_vs_2g_ratio: %.3f\n", median(largeTimes) / median(smallTimes));
    return 0;
}
