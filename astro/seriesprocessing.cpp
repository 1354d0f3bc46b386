#include "astro/seriesprocessing.h"

#include "astro/seriesstats.h"

#include <algorithm>
#include <cmath>

namespace {

// Length of the receiver's calibration pattern.
constexpr double calibrationSeconds = 15.0;
constexpr int minStepSeries = 20;
constexpr int referenceSamples = 10;

// A strict weak order for the median sorts: NaN after every number, so that a
// damaged sample cannot break the sort.
bool sortsBefore(double a, double b)
{
    return a < b || (!std::isnan(a) && std::isnan(b));
}

qint64 roundHalfUp(double value)
{
    return qint64(std::floor(value + 0.5));
}

// Median of the values in [first, last) by the order above: the middle one,
// or the mean of the two middle ones for an even count. Reorders the range.
double blockMedian(double *first, double *last)
{
    const std::ptrdiff_t count = last - first;
    double *middle = first + count / 2;
    std::nth_element(first, middle, last, sortsBefore);
    if (count % 2 != 0)
        return *middle;
    const double below = *std::max_element(first, middle, sortsBefore);
    return (below + *middle) / 2.0;
}

// Start and end of the calibration pattern: the first value below the low
// threshold, then one above the high threshold, one below the low threshold,
// and the first value above the low threshold after that. False when the
// data end first.
bool findPattern(const QVector<double> &x, double low, double high, int *start, int *end)
{
    int state = 0;
    for (int i = 0; i < x.size(); ++i) {
        const double v = x.at(i);
        if (state == 0 && v < low) {
            *start = i;
            state = 1;
        } else if (state == 1 && v > high) {
            state = 2;
        } else if (state == 2 && v < low) {
            state = 3;
        } else if (state == 3 && v > low) {
            *end = i;
            return true;
        }
    }
    return false;
}

} // namespace

QVector<double> removeStep(const QVector<double> &x, double tresolution)
{
    const int n = x.size();
    if (n < minStepSeries || !(tresolution > 0.0))
        return x;
    const auto [lowest, highest] = std::minmax_element(x.begin(), x.end());
    const double min = *lowest;
    const double max = *highest;
    const double range = max - min;
    if (!std::isfinite(range) || !(range > 0.0))
        return x;
    int start = 0;
    int end = 0;
    if (!findPattern(x, min + 0.1 * range, max - 0.1 * range, &start, &end))
        return x;

    qint64 expected = roundHalfUp(std::min(calibrationSeconds / tresolution, 1e15));
    qint64 tolerance = 4;
    if (expected < 2)
        expected = 1;
    else
        tolerance = std::max<qint64>(4, roundHalfUp(double(expected) * 0.02));
    const int a = std::max(start - 1, 0);
    const int b = std::min(n - 1, end + 1);
    if (std::llabs(qint64(b - a) - expected) > tolerance)
        return x;

    // Fewer than ten samples before the pattern: take them from after it.
    QVector<double> reference;
    if (a < referenceSamples) {
        const int first = std::min(b + 1, n - 1);
        const int last = std::min(first + referenceSamples - 1, n - 1);
        reference = x.mid(first, last - first + 1);
    } else {
        reference = x.mid(a - referenceSamples, referenceSamples);
    }
    if (reference.isEmpty())
        return x;
    double *middle = reference.begin() + reference.size() / 2;
    std::nth_element(reference.begin(), middle, reference.end(), sortsBefore);
    const double level = *middle;

    QVector<double> out = x;
    std::fill(out.begin() + a, out.begin() + b + 1, level);
    return out;
}

QVector<double> medianApproximation(const QVector<double> &x, int blockLength)
{
    const int n = x.size();
    const int L = blockLength;
    if (n == 0 || L > n || L < 3)
        return {};
    const int m = n / L;
    QVector<double> medians(m);
    QVector<double> block(L);
    for (int k = 0; k < m; ++k) {
        std::copy(x.begin() + qint64(k) * L, x.begin() + qint64(k + 1) * L, block.begin());
        medians[k] = blockMedian(block.begin(), block.end());
    }
    const auto centre = [L](int k) { return (L - 1) * 0.5 + double(k) * L; };
    QVector<double> out(n);
    if (m == 1) {
        out.fill(medians.first());
        return out;
    }
    int j = 0;   // segment from centre j to centre j + 1
    for (int i = 0; i < n; ++i) {
        if (i <= centre(0)) {
            out[i] = medians.first();
        } else if (i >= centre(m - 1)) {
            out[i] = medians.last();
        } else {
            while (centre(j + 1) < i)
                ++j;
            const double cj = centre(j);
            out[i] = medians.at(j) + (i - cj) / (centre(j + 1) - cj) * (medians.at(j + 1) - medians.at(j));
        }
    }
    return out;
}

bool subtractNoiseBaseline(const QVector<double> &x, int blockLength, QVector<double> *out)
{
    const QVector<double> baseline = medianApproximation(x, blockLength);
    if (baseline.size() != x.size() || !out)
        return false;
    QVector<double> residual(x.size());
    for (int i = 0; i < x.size(); ++i)
        residual[i] = x.at(i) - baseline.at(i);
    const double sigma = sampleStandardDeviation(residual);
    if (!std::isfinite(sigma) || sigma < 1e-12)
        return false;
    for (double &v : residual)
        v /= sigma;
    *out = residual;
    return true;
}

QVector<double> pairwiseAverage(const QVector<double> &x, int times)
{
    if (times < 1 || x.isEmpty())
        return x;
    if (times >= 31)
        return {};
    const int block = 1 << times;
    const int m = x.size() / block;
    QVector<double> out(m);
    for (int k = 0; k < m; ++k) {
        double sum = 0.0;
        for (int i = k * block; i < (k + 1) * block; ++i)
            sum += x.at(i);
        out[k] = sum / block;
    }
    return out;
}

QVector<double> processSeries(const QVector<double> &x, double tresolution, bool approximationWanted,
                              const SeriesProcessing &settings)
{
    QVector<double> series = x;
    if (settings.removeStep)
        series = removeStep(series, tresolution);
    if (approximationWanted) {
        const QVector<double> approximation = medianApproximation(series, settings.approximationLength);
        if (approximation.size() == series.size())
            series = approximation;
    } else if (settings.subtractNoise) {
        subtractNoiseBaseline(series, settings.approximationLength, &series);
    }
    if (settings.averaging < 1)
        return series;
    return settings.averagingType == AveragingType::Pairwise ? pairwiseAverage(series, settings.averaging)
                                                             : movingAverage(series, settings.averaging);
}
