#include "astro/seriesprocessing.h"

#include "astro/seriesstats.h"
#include "astro/vectorclones.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace {

// Length of the receiver's calibration pattern.
constexpr double calibrationSeconds = 15.0;
constexpr int minStepSeries = 20;
constexpr int referenceSamples = 10;

// A strict weak order for the median sorts: NaN after every number, so that a
// damaged sample cannot break the sort.
const auto sortsBefore = [](double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); };

// Minimum and maximum of the values that are not NaN; false when there are
// none. Four lanes keep the comparisons independent of each other, and a NaN
// never wins a comparison.
bool rangeWithoutNaN(const QVector<double> &x, double *min, double *max)
{
    const double *v = x.constData();
    const int n = x.size();
    int i = 0;
    while (i < n && std::isnan(v[i]))
        ++i;
    if (i == n)
        return false;
    double low[4] = {v[i], v[i], v[i], v[i]};
    double high[4] = {v[i], v[i], v[i], v[i]};
    for (; i + 4 <= n; i += 4) {
        for (int k = 0; k < 4; ++k) {
            low[k] = std::min(low[k], v[i + k]);
            high[k] = std::max(high[k], v[i + k]);
        }
    }
    for (; i < n; ++i) {
        low[0] = std::min(low[0], v[i]);
        high[0] = std::max(high[0], v[i]);
    }
    *min = std::min({low[0], low[1], low[2], low[3]});
    *max = std::max({high[0], high[1], high[2], high[3]});
    return true;
}

qint64 roundHalfUp(double value)
{
    return qint64(std::floor(value + 0.5));
}

// Counts into *below the values under low and gathers those in [low, high]
// into out (room for n); returns how many it gathered. Two values at a time
// are compared in packed instructions (the compiler's generic vectors); each
// value is written and then kept or overwritten by the next, which spares
// the loop branches on the data. NaN is neither below nor gathered.
std::ptrdiff_t gatherBetween(const double *values, std::ptrdiff_t n, double low, double high, double *out,
                             std::ptrdiff_t *below)
{
    using Pair = double __attribute__((vector_size(16)));
    using Mask = long long __attribute__((vector_size(16)));
    const Pair lows = {low, low};
    const Pair highs = {high, high};
    Mask under = {0, 0};
    std::ptrdiff_t gathered = 0;
    std::ptrdiff_t i = 0;
    for (; i + 2 <= n; i += 2) {
        Pair v;
        std::memcpy(&v, values + i, sizeof v);
        const Mask inside = (v >= lows) & (v <= highs);
        under -= v < lows;   // a true comparison is -1
        out[gathered] = v[0];
        gathered -= inside[0];
        out[gathered] = v[1];
        gathered -= inside[1];
    }
    std::ptrdiff_t count = under[0] + under[1];
    for (; i < n; ++i) {
        out[gathered] = values[i];
        gathered += (values[i] >= low) & (values[i] <= high);
        count += values[i] < low;
    }
    *below = count;
    return gathered;
}

// The k-th smallest of a few values without NaN: the largest value with at
// most k values below it. Counting instead of sorting keeps the loops free
// of branches on the data, which a sort of random values mispredicts.
double kthByRank(const double *values, std::ptrdiff_t n, std::ptrdiff_t k)
{
    constexpr double lowest = -std::numeric_limits<double>::infinity();
    double kth = lowest;
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const double candidate = values[i];
        std::ptrdiff_t below = 0;
        for (std::ptrdiff_t j = 0; j < n; ++j)
            below += values[j] < candidate;
        kth = std::max(kth, below <= k ? candidate : lowest);
    }
    return kth;
}

// The k-th smallest of n values without NaN, found by a quickselect that
// partitions by copying: every value is written to both ends of the free
// part of the other buffer and only the end it belongs to advances, so the
// loop never branches on the data; the last few values are counted. Reads
// `values`, works in `scratch` (two areas of n), leaves `values` alone. Runs
// of equal values that keep it from narrowing down hand over to
// std::nth_element.
double selectKth(const double *values, double *scratch, std::ptrdiff_t n, std::ptrdiff_t k)
{
    const double *from = values;
    double *to = scratch;
    double *spare = scratch + n;
    for (int round = 0; n > 8; ++round) {
        if (round == 24) {
            std::copy(from, from + n, to);
            std::nth_element(to, to + k, to + n);
            return to[k];
        }
        const double first = from[0];
        const double middle = from[n / 2];
        const double last = from[n - 1];
        const double pivot = std::max(std::min(first, middle), std::min(std::max(first, middle), last));
        std::ptrdiff_t low = 0;
        std::ptrdiff_t high = n;
        for (std::ptrdiff_t i = 0; i < n; ++i) {
            const double v = from[i];
            const bool less = v < pivot;
            to[low] = v;
            to[high - 1] = v;
            low += less;
            high -= !less;
        }
        if (k < low) {
            n = low;
        } else {
            to += low;
            n -= low;
            k -= low;
        }
        from = to;
        std::swap(to, spare);
    }
    return kthByRank(from, n, k);
}

// The k-th smallest of n values without NaN that all lie in [low, high].
// Many values in a narrow range spread about evenly, so the k-th lies near
// the point k + 0.5 steps of (high - low) / n above low: the values within
// three steps of it are gathered in one pass and, when the rank falls among
// them (most of the time), counted; otherwise the selection above runs.
// Works in scratch (twice n), leaves `values` alone.
double kthInRange(const double *values, double *scratch, std::ptrdiff_t n, std::ptrdiff_t k, double low,
                  double high)
{
    constexpr std::ptrdiff_t fewest = 12;
    constexpr std::ptrdiff_t mostCounted = 16;
    if (n >= fewest) {
        const double step = (high - low) / double(n);
        const double at = low + (double(k) + 0.5) * step;
        const double from = at - 3.0 * step;
        const double to = at + 3.0 * step;
        std::ptrdiff_t below = 0;
        const std::ptrdiff_t gathered = gatherBetween(values, n, from, to, scratch, &below);
        if (below <= k && k < below + gathered && gathered <= mostCounted)
            return kthByRank(scratch, gathered, k - below);
    }
    return selectKth(values, scratch, n, k);
}

// The larger of the values below `upper` when exactly `wanted` values of
// [first, last) lie below it, together with `alreadyBelow` values known to
// lie below it elsewhere; else `upper` itself (it occurs twice). That is the
// lower middle value of an even count whose upper middle value is `upper`.
double lowerMiddle(const double *first, const double *last, double upper, std::ptrdiff_t alreadyBelow,
                   std::ptrdiff_t wanted)
{
    constexpr double lowest = -std::numeric_limits<double>::infinity();
    std::ptrdiff_t below = alreadyBelow;
    double lower = lowest;
    for (const double *v = first; v != last; ++v) {
        const bool less = *v < upper;
        below += less;
        lower = std::max(lower, less ? *v : lowest);
    }
    return below == wanted ? lower : upper;
}

// Median of the values in [first, last) searched whole: the middle one, or
// the mean of the two middle ones for an even count. NaN sorts after every
// number. scratch holds twice the count.
double searchedMedian(const double *first, const double *last, double *scratch)
{
    const std::ptrdiff_t count = last - first;
    const std::ptrdiff_t half = count / 2;
    if (std::any_of(first, last, [](double v) { return std::isnan(v); })) {
        double *sorted = scratch;
        std::copy(first, last, sorted);
        std::nth_element(sorted, sorted + half, sorted + count, sortsBefore);
        if (count % 2 != 0)
            return sorted[half];
        return (*std::max_element(sorted, sorted + half, sortsBefore) + sorted[half]) / 2.0;
    }
    const double upper = selectKth(first, scratch, count, half);
    return count % 2 != 0 ? upper : (lowerMiddle(first, last, upper, 0, half) + upper) / 2.0;
}

// The medians of consecutive blocks, the same as searchedMedian of each.
// Neighbouring blocks have close medians, so the previous median with a
// margin around it brackets the next one: one branch-free pass counts the
// values below the bracket and gathers those inside it, and when the middle
// ranks fall inside (nearly always) only the gathered third of the block is
// searched. The margin adapts to catch about that third; after a miss the
// block is searched whole and the margin grows. A NaN is neither below nor
// inside the bracket, i.e. above it, where it sorts.
class BlockMedians
{
public:
    explicit BlockMedians(int blockLength) : m_scratch(3 * size_t(blockLength)) {}

    double operator()(const double *first, std::ptrdiff_t count)
    {
        if (count < minimumBracketed)
            return searchedMedian(first, first + count, m_scratch.data());
        const bool bracket = std::isfinite(m_centre) && std::isfinite(m_margin);
        double median = 0.0;
        if (bracket && bracketed(first, count, &median))
            return median;
        median = searchedMedian(first, first + count, m_scratch.data());
        if (bracket) {
            m_margin = std::max(2.0 * m_margin, 2.0 * std::fabs(median - m_centre));
        } else {
            const auto range = std::minmax_element(first, first + count);
            m_margin = (*range.second - *range.first) / 16.0;
        }
        m_centre = median;
        return median;
    }

private:
    // Shorter blocks are searched whole.
    static constexpr std::ptrdiff_t minimumBracketed = 32;

    bool bracketed(const double *first, std::ptrdiff_t count, double *median)
    {
        const double low = m_centre - m_margin;
        const double high = m_centre + m_margin;
        double *inside = m_scratch.data();
        std::ptrdiff_t below = 0;
        const std::ptrdiff_t gathered = gatherBetween(first, count, low, high, inside, &below);
        const std::ptrdiff_t half = count / 2;
        const bool even = count % 2 == 0;
        if (below > half - (even ? 1 : 0) || below + gathered <= half)
            return false;
        const double upper = kthInRange(inside, inside + count, gathered, half - below, low, high);
        *median = even ? (lowerMiddle(inside, inside + gathered, upper, below, half) + upper) / 2.0 : upper;
        m_centre = *median;
        m_margin *= std::clamp(double(count / 3) / double(gathered), 0.5, 2.0);
        return true;
    }

    std::vector<double> m_scratch;
    double m_centre = std::numeric_limits<double>::quiet_NaN();
    double m_margin = std::numeric_limits<double>::quiet_NaN();
};

// Start and end of the calibration pattern: the first value below the low
// threshold, then one above the high threshold, one below the low threshold,
// and the first value above the low threshold after that. False when the
// data end first.
bool findPattern(const QVector<double> &x, double low, double high, int *start, int *end)
{
    const double *v = x.constData();
    const int n = x.size();
    int i = 0;
    while (i < n && !(v[i] < low))
        ++i;
    *start = i;
    for (++i; i < n && !(v[i] > high);)
        ++i;
    for (++i; i < n && !(v[i] < low);)
        ++i;
    for (++i; i < n && !(v[i] > low);)
        ++i;
    *end = i;
    return i < n;
}

} // namespace

ORVALIS_AVX2_CLONES
QVector<double> removeStep(const QVector<double> &x, double tresolution)
{
    const int n = x.size();
    if (n < minStepSeries || !(tresolution > 0.0))
        return x;
    double min = 0.0;
    double max = 0.0;
    if (!rangeWithoutNaN(x, &min, &max))
        return x;
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

namespace {

bool hasApproximation(int n, int blockLength)
{
    return n > 0 && blockLength <= n && blockLength >= 3;
}

// Writes to out (n values) the broken line through the block medians of x
// at every sample or, when Residual, each sample's distance above it, so
// that the noise subtraction needs no pass of its own for the difference.
template <bool Residual>
void writeMedianLine(const QVector<double> &x, int L, double *out)
{
    const int n = x.size();
    const int m = n / L;
    std::vector<double> medians(static_cast<size_t>(m));
    BlockMedians median(L);
    for (int k = 0; k < m; ++k)
        medians[size_t(k)] = median(x.constData() + qint64(k) * L, L);
    const double *samples = x.constData();
    const auto put = [out, samples](int i, double line) { out[i] = Residual ? samples[i] - line : line; };
    int i = 0;
    if (m == 1) {
        for (; i < n; ++i)
            put(i, medians.front());
        return;
    }
    const auto centre = [L](int k) { return (L - 1) * 0.5 + double(k) * L; };
    // Samples up to the first centre take the first median, samples from the
    // last centre on the last one; between centres j and j + 1 (up to and
    // with centre j + 1) the line through both medians.
    const int beforeLast = int(std::ceil(centre(m - 1))) - 1;
    for (const int first = int(std::floor(centre(0))) + 1; i < first; ++i)
        put(i, medians.front());
    // Every segment spans the same L offsets from its first centre, so the
    // fractions (i - from) / (to - from) along it are divided out once; the
    // differences are whole or half numbers, exact in any segment.
    std::vector<double> fractions(static_cast<size_t>(L));
    for (int p = 0; p < L; ++p)
        fractions[size_t(p)] = (i + p - centre(0)) / (centre(1) - centre(0));
    for (int j = 0; j + 1 < m; ++j) {
        const double y = medians[size_t(j)];
        const double rise = medians[size_t(j) + 1] - y;
        const int end = std::min(int(std::floor(centre(j + 1))), beforeLast);
        for (int p = 0; i <= end; ++i, ++p)
            put(i, y + fractions[size_t(p)] * rise);
    }
    for (; i < n; ++i)
        put(i, medians.back());
}

} // namespace

ORVALIS_AVX2_CLONES
QVector<double> medianApproximation(const QVector<double> &x, int blockLength)
{
    if (!hasApproximation(x.size(), blockLength))
        return {};
    QVector<double> out(x.size());
    writeMedianLine<false>(x, blockLength, out.data());
    return out;
}

ORVALIS_AVX2_CLONES
bool subtractNoiseBaseline(const QVector<double> &x, int blockLength, QVector<double> *out)
{
    if (!hasApproximation(x.size(), blockLength) || !out)
        return false;
    QVector<double> residual(x.size());
    double *r = residual.data();
    writeMedianLine<true>(x, blockLength, r);
    const double sigma = sampleStandardDeviation(residual);
    if (!std::isfinite(sigma) || sigma < 1e-12)
        return false;
    // One division, then products: they differ from dividing each value by
    // rounding alone, and a division per sample was the loop's whole cost.
    const double scale = 1.0 / sigma;
    for (int i = 0; i < x.size(); ++i)
        r[i] *= scale;
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
                                                             : movingAverage(std::move(series), settings.averaging);
}
