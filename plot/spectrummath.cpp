#include "plot/spectrummath.h"

#include <algorithm>
#include <cmath>

namespace SpectrumMath {

template <typename T>
static bool finiteRangeOf(const T *values, int first, int count, T *lo, T *hi)
{
    bool found = false;
    T mn = 0;
    T mx = 0;
    for (int i = first; i < first + count; ++i) {
        const T v = values[i];
        if (!std::isfinite(v))
            continue;
        if (!found) {
            mn = mx = v;
            found = true;
        } else if (v < mn) {
            mn = v;
        } else if (v > mx) {
            mx = v;
        }
    }
    *lo = mn;
    *hi = mx;
    return found;
}

bool finiteRange(const float *values, int first, int count, float *lo, float *hi)
{
    return finiteRangeOf(values, first, count, lo, hi);
}

bool finiteRange(const double *values, int first, int count, double *lo, double *hi)
{
    return finiteRangeOf(values, first, count, lo, hi);
}

QString timeSpanText(double seconds, double reference, bool withUnit)
{
    double v = seconds;
    QString unit = QStringLiteral("s");
    if (std::fabs(reference) < 1.0) {
        v *= 1000.0;
        unit = QStringLiteral("ms");
    }
    if (!std::isfinite(v))
        return withUnit ? QStringLiteral("? %1").arg(unit) : QStringLiteral("?");
    const double a = std::fabs(v);
    const int decimals = a >= 100.0 ? 0 : a >= 10.0 ? 1 : a >= 1.0 ? 2 : 3;
    QString text = QString::number(v, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return withUnit ? QStringLiteral("%1 %2").arg(text, unit) : text;
}

QVector<int> tickColumns(int pointCount, double imageWidth)
{
    QVector<int> ticks;
    if (pointCount < 3 || !(imageWidth > 0.0))
        return ticks;
    const double perWidth = std::min(imageWidth / 100.0 + 1.0, double(pointCount));
    int n = int(perWidth);
    n = n < 4 ? 2 : n - 1;
    int previous = -1;
    for (int i = 1; i < n; ++i) {
        const int c = int(std::lround(double(i) * (pointCount - 1) / n));
        if (c > 0 && c < pointCount - 1 && c != previous) {
            ticks.append(c);
            previous = c;
        }
    }
    return ticks;
}

int columnAt(double x, double left, double cellWidth, int pointCount)
{
    if (pointCount <= 0)
        return 0;
    const double w = std::max(cellWidth, minColumnWidth);
    const double c = std::floor((x - left) / w);
    if (!(c > 0.0))
        return 0;
    if (c >= pointCount - 1)
        return pointCount - 1;
    return int(c);
}

bool fragmentAt(double x0, double x1, double left, double cellWidth, int pointCount, int *first,
                int *count)
{
    if (x1 < x0)
        std::swap(x0, x1);
    if (pointCount <= 0 || !(x1 - x0 >= 1.0))
        return false;
    const double w = std::max(cellWidth, minColumnWidth);
    const double lo = std::floor((x0 - left) / w);
    const double hi = std::ceil((x1 - left) / w);
    int f = lo <= 0.0 ? 0 : lo >= pointCount - 1 ? pointCount - 1 : int(lo);
    int e = hi <= 0.0 ? 0 : hi >= pointCount ? pointCount : int(hi);
    if (e < f + 1)
        e = f + 1;
    *first = f;
    *count = e - f;
    return true;
}

} // namespace SpectrumMath
