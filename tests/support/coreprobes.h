#pragma once

// Small probes the core tests share: a file's bytes, the process's peak
// memory, a bit-for-bit comparison of sums and the robust noise level of a series.

#include <QFile>
#include <QString>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstring>

#include <sys/resource.h>

namespace probe {

// The whole file, or nothing when it cannot be read.
inline QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Peak resident memory of this process so far, KiB.
inline long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Compares the bits, so that a sum added up in another order fails; says
// where in *where.
inline bool bitIdentical(const QVector<double> &a, const QVector<double> &b, QString *where)
{
    if (a.size() != b.size()) {
        *where = QStringLiteral("sizes %1 and %2").arg(a.size()).arg(b.size());
        return false;
    }
    for (int i = 0; i < a.size(); ++i) {
        if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0) {
            *where = QStringLiteral("output %1: %2 against %3").arg(i).arg(a[i], 0, 'g', 17).arg(b[i], 0, 'g', 17);
            return false;
        }
    }
    return true;
}

// The median of a series and its robust sigma (1.4826 x the median absolute
// deviation), which a pulse among the values hardly moves.
struct RobustLevel
{
    double median = 0.0;
    double sigma = 0.0;
};

inline RobustLevel robustLevel(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    const double median = values.at(values.size() / 2);
    for (double &v : values)
        v = std::abs(v - median);
    std::sort(values.begin(), values.end());
    return {median, 1.4826 * values.at(values.size() / 2)};
}

} // namespace probe
