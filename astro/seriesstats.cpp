#include "astro/seriesstats.h"
#include "astro/vectorclones.h"

#include <algorithm>
#include <cmath>
#include <limits>

ORVALIS_AVX2_CLONES
QVector<double> movingAverage(QVector<double> x, int window)
{
    const int n = x.size();
    if (window < 2 || window > n)
        return x;
    // In place (a copy only when the series is shared). A running sum over
    // the full windows; each value leaves it one step after it is
    // overwritten, so it is kept until then. Recomputing each tail window
    // keeps the rounding of a running sum from drifting into the short tail
    // means; the tail holds only samples that no full window overwrote.
    double *values = x.data();
    double sum = 0.0;
    for (int i = 0; i < window; ++i)
        sum += values[i];
    double leaving = values[0];
    values[0] = sum / window;
    int i = 1;
    // Two steps at a time, so that their divisions pair up in one packed
    // instruction; a division costs more than the addition chained between
    // steps.
    for (; i + 1 + window <= n; i += 2) {
        const double first = sum + (values[i + window - 1] - leaving);
        const double second = first + (values[i + window] - values[i]);
        leaving = values[i + 1];
        values[i] = first / window;
        values[i + 1] = second / window;
        sum = second;
    }
    if (i + window <= n) {
        sum += values[i + window - 1] - leaving;
        values[i] = sum / window;
    }
    double tail = 0.0;
    for (int i = n - 1; i > n - window; --i) {
        tail += values[i];
        values[i] = tail / (n - i);
    }
    return x;
}

ORVALIS_AVX2_CLONES
double sampleStandardDeviation(const QVector<double> &x)
{
    const int n = x.size();
    if (n < 2)
        return -1.0;
    // Four partial sums, which the compiler packs, instead of one serial
    // chain of additions; they differ from it by rounding alone.
    const double *v = x.constData();
    const int whole = n - n % 4;
    double sums[4] = {0.0, 0.0, 0.0, 0.0};
    for (int i = 0; i < whole; i += 4) {
        for (int k = 0; k < 4; ++k)
            sums[k] += v[i + k];
    }
    for (int i = whole; i < n; ++i)
        sums[0] += v[i];
    const double mean = ((sums[0] + sums[1]) + (sums[2] + sums[3])) / n;
    double squares[4] = {0.0, 0.0, 0.0, 0.0};
    for (int i = 0; i < whole; i += 4) {
        for (int k = 0; k < 4; ++k)
            squares[k] += (v[i + k] - mean) * (v[i + k] - mean);
    }
    for (int i = whole; i < n; ++i)
        squares[0] += (v[i] - mean) * (v[i] - mean);
    return std::sqrt(((squares[0] + squares[1]) + (squares[2] + squares[3])) / (n - 1));
}

ORVALIS_AVX2_CLONES
bool finiteValueRange(const QVector<double> &values, double *min, double *max)
{
    // Four lanes of minima and maxima without branches, which the compiler
    // packs. v + (v - v) is v for a finite value and NaN for any other, and a
    // NaN never wins std::min or std::max against the lane's value.
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const double *v = values.constData();
    const int n = values.size();
    double low[4] = {infinity, infinity, infinity, infinity};
    double high[4] = {-infinity, -infinity, -infinity, -infinity};
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        for (int k = 0; k < 4; ++k) {
            const double finite = v[i + k] + (v[i + k] - v[i + k]);
            low[k] = std::min(low[k], finite);
            high[k] = std::max(high[k], finite);
        }
    }
    for (; i < n; ++i) {
        const double finite = v[i] + (v[i] - v[i]);
        low[0] = std::min(low[0], finite);
        high[0] = std::max(high[0], finite);
    }
    const double lowest = std::min({low[0], low[1], low[2], low[3]});
    const double highest = std::max({high[0], high[1], high[2], high[3]});
    if (!(lowest <= highest))
        return false;
    *min = lowest;
    *max = highest;
    // -0 and +0 compare equal (and the sum above turns -0 into +0): a zero
    // bound is the first zero of the series, as a plain scan finds it.
    if (lowest == 0.0 || highest == 0.0) {
        const auto zero = std::find(values.begin(), values.end(), 0.0);
        *min = lowest == 0.0 ? *zero : lowest;
        *max = highest == 0.0 ? *zero : highest;
    }
    return true;
}
