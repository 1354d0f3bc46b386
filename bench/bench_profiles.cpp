// Scanning a directory of 1000 profile files (64 periods x 512 points each)
// and building the maximum-SNR map of its dates, against a plain read of the
// same files in the same run: each file read whole and every number in it
// converted with strtod.

#include "bench/benchtiming.h"
#include "data/profileset.h"
#include "synth/profilewriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int dates = 250;
constexpr int dms[] = {23, 25, 27, 29};
constexpr int periods = 64;
constexpr int points = 512;

bool writeFiles(const QString &dir, QStringList *paths)
{
    for (int day = 0; day < dates; ++day) {
        for (const int dm : dms) {
            ProfileWriter::Params params;
            params.date = QDate(2024, 1, 1).addDays(day);
            params.dm = dm;
            params.phasePoints = points;
            params.snr = 5.0 + day % 17;
            params.periods.clear();
            for (int p = 0; p < periods; ++p)
                params.periods.append(params.truePeriod + (p - periods / 2) * params.periodStep);
            QString path;
            QString error;
            if (!ProfileWriter::write(dir, params, &path, &error)) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return false;
            }
            paths->append(path);
        }
    }
    return true;
}

// The yardstick: every file read whole, every white-space separated part
// (the text after "period=" included) converted by strtod.
double plainRead(const QStringList &paths)
{
    double sum = 0.0;
    for (const QString &path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            std::exit(1);
        QByteArray text = file.readAll();
        char *p = text.data();
        char *const end = p + text.size();
        while (p < end) {
            while (p < end && (*p == ' ' || *p == '\n' || *p == '*'))
                ++p;
            if (p < end && *p == 'p')
                p += 7;   // "period="
            char *next = nullptr;
            const double value = std::strtod(p, &next);
            if (next == p)
                ++p;
            else
                sum += value;
            p = next > p ? next : p;
        }
    }
    return sum;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QTemporaryDir dir;
    QStringList paths;
    if (!dir.isValid() || !writeFiles(dir.path(), &paths))
        return 1;

    volatile double sink = plainRead(paths);   // into the page cache
    std::vector<double> plainTimes;
    std::vector<double> scanTimes;
    for (int round = 0; round < 5; ++round) {
        plainTimes.push_back(secondsOf([&] { sink = sink + plainRead(paths); }));
        scanTimes.push_back(secondsOf([&] {
            const ProfileScanResult scan = scanProfileDirectory(dir.path());
            QMap<QString, double> maxima;
            if (!scan.ok || scan.set.size() != dates * 4 || !maximumSnrByDate(scan.set, &maxima)
                || maxima.size() != dates)
                std::exit(1);
        }));
    }
    std::printf("profiles_scan_1000_files_ms: %.1f\n", median(scanTimes) * 1000.0);
    std::printf("profiles_scan_vs_plain_read_ratio: %.3f\n", median(scanTimes) / median(plainTimes));
    return 0;
}
