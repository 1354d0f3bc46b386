// Export to a SIGPROC filterbank by orvalis-tool, each against a yardstick of
// the same run:
// - the export of a 1 GiB file of one beam (32 channels and the total, so
//   the filterbank is as large as the file) against copying the file the
//   same durable way, in 4 MiB pieces through an atomic save file (which
//   syncs the copy to disk as every save of the program does);
// - the peak resident memory of the tool exporting it, against the file's
//   size: a file the program itself would read into memory ("streamed");
// - the same for a 2 GiB sparse file of eight beams, one of which is
//   exported: a file the program maps.
// The tool maps both, and memory should hold only the pieces in work.

#include "bench/benchtiming.h"
#include "synth/syntheticobservation.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

constexpr qint64 mib = qint64(1) << 20;
constexpr qint64 gib = qint64(1) << 30;

// Runs the tool and gives its peak resident memory in bytes; -1 when it fails.
qint64 runTool(const QStringList &arguments)
{
    std::vector<QByteArray> bytes{QByteArray(ORVALIS_TOOL_PATH)};
    for (const QString &argument : arguments)
        bytes.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    // The paths it prints are not figures of this benchmark.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return qint64(usage.ru_maxrss) * 1024;
}

bool durableCopy(const QString &from, const QString &to)
{
    QFile in(from);
    QSaveFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    std::vector<char> piece(size_t(4 * mib));
    for (;;) {
        const qint64 n = in.read(piece.data(), qint64(piece.size()));
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (out.write(piece.data(), n) != n)
            return false;
    }
    return out.commit();
}

bool writeObservation(const QString &path, qint64 bytes, int rays, bool dense)
{
    SyntheticObservation::Params params;
    params.nRays = rays;
    params.nBands = 32;
    params.noiseSigma = 0.0;
    params.snr = 5.0;
    QString error;
    const qint64 densePoints = dense ? bytes : 4096;
    if (!SyntheticObservation::writeSparse(path, bytes, params, densePoints, nullptr, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    return true;
}

QStringList exportArguments(const QString &input, const QString &output)
{
    return {QStringLiteral("export"), input, QStringLiteral("--format"), QStringLiteral("fil"),
            QStringLiteral("-o"), output};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    const QString streamed = dir.filePath(QStringLiteral("250726_05_N1_00.pnt"));
    const QString output = dir.filePath(QStringLiteral("out.fil"));
    if (!writeObservation(streamed, gib, 1, true))
        return 1;
    const qint64 streamedSize = QFileInfo(streamed).size();
    {
        // On disk, so that no write-back of the file competes with the runs,
        // and in the page cache: both sides read it from there.
        ::sync();
        QFile warm(streamed);
        if (!warm.open(QIODevice::ReadOnly))
            return 1;
        while (!warm.read(4 * mib).isEmpty()) {
        }
    }
    std::vector<double> copyTimes, exportTimes;
    qint64 streamedPeak = 0;
    for (int run = 0; run < 5; ++run) {
        copyTimes.push_back(secondsOf([&] {
            if (!durableCopy(streamed, output))
                std::exit(1);
        }));
        QFile::remove(output);
        exportTimes.push_back(secondsOf([&] {
            const qint64 peak = runTool(exportArguments(streamed, output));
            if (peak < 0)
                std::exit(1);
            streamedPeak = std::max(streamedPeak, peak);
        }));
        QFile::remove(output);
        std::fprintf(stderr, "copy %.3f s, export %.3f s\n", copyTimes.back(), exportTimes.back());
    }
    QFile::remove(streamed);
    std::printf("export_fil_vs_plain_copy_ratio: %.3f\n", median(exportTimes) / median(copyTimes));
    std::printf("export_fil_peak_rss_ratio_streamed: %.3f\n", double(streamedPeak) / double(streamedSize));

    const QString mapped = dir.filePath(QStringLiteral("260726_05_N1_00.pnt"));
    if (!writeObservation(mapped, 2 * gib + 64 * mib, 8, false))
        return 1;
    const qint64 mappedPeak = runTool(exportArguments(mapped, output) << QStringLiteral("--beam") << QStringLiteral("3"));
    if (mappedPeak < 0)
        return 1;
    std::printf("export_fil_peak_rss_ratio_mapped: %.3f\n", double(mappedPeak) / double(QFileInfo(mapped).size()));
    return 0;
}
