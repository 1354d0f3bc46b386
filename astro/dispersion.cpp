#include "astro/dispersion.h"

#include "data/nativefile.h"
#include "data/nativereader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Outputs summed together; their accumulators stay in the first- or second-level cache.
constexpr qint64 blockOutputs = 8192;
// Floats of the mapped layout's channel-major copy: what fits the second-level
// cache, and the most we allocate at all.
constexpr qint64 scratchFloats = qint64(1) << 17;
constexpr qint64 maxScratchFloats = qint64(1) << 24;

// Samples to add before a second thread pays for its start.
constexpr qint64 parallelSamples = qint64(1) << 22;

// Runs sum(from, to) over the outputs, split in two halves on two threads when
// the work is large. Every output is still summed alone, in the same channel
// order, so the split never changes a value.
template <typename Sum>
void sumOutputs(qint64 from, qint64 to, qint64 channels, const Sum &sum)
{
    if ((to - from) * channels < parallelSamples || std::thread::hardware_concurrency() < 2) {
        sum(from, to);
        return;
    }
    const qint64 middle = from + (to - from) / 2;
    std::thread second;
    try {
        second = std::thread([&sum, middle, to] { sum(middle, to); });
    } catch (const std::system_error &) {
        sum(from, to);
        return;
    }
    sum(from, middle);
    second.join();
}

qint32 saturatedDelay(double value)
{
    const double rounded = std::round(value);
    if (rounded <= -2147483648.0)
        return std::numeric_limits<qint32>::min();
    if (rounded >= 2147483647.0)
        return std::numeric_limits<qint32>::max();
    return qint32(rounded);
}

// Two lanes of the same float-to-double conversions and additions the scalar
// code does, so every output keeps its exact value.
typedef double DoublePair __attribute__((vector_size(16)));
typedef float FloatPair __attribute__((vector_size(8)));

inline DoublePair loadWidened(const float *p)
{
    FloatPair f;
    std::memcpy(&f, p, sizeof f);
    return __builtin_convertvector(f, DoublePair);
}

// acc[j] = ((acc[j] + src[0][j]) + src[1][j]) + ... + src[K-1][j]: K channels
// in one pass, in the given order, each accumulator loaded and stored once.
// Fresh starts from 0 instead of loading acc.
template <int K, bool Fresh>
void addGroup(double *acc, const float *const *src, qint64 n)
{
    qint64 j = 0;
    for (; j + 4 <= n; j += 4) {
        DoublePair a = {0.0, 0.0};
        DoublePair b = {0.0, 0.0};
        if (!Fresh) {
            std::memcpy(&a, acc + j, sizeof a);
            std::memcpy(&b, acc + j + 2, sizeof b);
        }
        for (int k = 0; k < K; ++k) {
            a += loadWidened(src[k] + j);
            b += loadWidened(src[k] + j + 2);
        }
        std::memcpy(acc + j, &a, sizeof a);
        std::memcpy(acc + j + 2, &b, sizeof b);
    }
    for (; j < n; ++j) {
        double value = Fresh ? 0.0 : acc[j];
        for (int k = 0; k < K; ++k)
            value += double(src[k][j]);
        acc[j] = value;
    }
}

// Writes into acc the sum of n values of every channel, channels from the last
// down to 0. source[c] points at channel c's first value; usable[c] of them
// exist (the rest count as 0).
void addChannels(double *acc, const std::vector<const float *> &source, const std::vector<qint64> &usable,
                 qint64 n)
{
    int c = int(source.size()) - 1;
    auto complete = [&](int top, int count) {
        if (top < count - 1)
            return false;
        for (int k = 0; k < count; ++k) {
            if (usable[size_t(top - k)] < n)
                return false;
        }
        return true;
    };
    auto group = [&](int top, int count, auto kernel) {
        const float *order[8];
        for (int k = 0; k < count; ++k)
            order[k] = source[size_t(top - k)];
        kernel(acc, order, n);
    };
    if (complete(c, 8)) {
        group(c, 8, addGroup<8, true>);
        c -= 8;
    } else if (complete(c, 4)) {
        group(c, 4, addGroup<4, true>);
        c -= 4;
    } else {
        std::fill(acc, acc + n, 0.0);
    }
    for (; complete(c, 8); c -= 8)
        group(c, 8, addGroup<8, false>);
    for (; complete(c, 4); c -= 4)
        group(c, 4, addGroup<4, false>);
    for (; c >= 0; --c) {
        if (usable[size_t(c)] > 0)
            addGroup<1, false>(acc, &source[size_t(c)], std::min(usable[size_t(c)], n));
    }
}

// Outputs [from, to) of the channel-major array: out[i] gets channel c's sample
// at shift + i + delay_c, channels from the last frequency channel down to 0.
void sumChannelMajor(const NativeFile &data, const std::vector<qint32> &delays, qint64 base,
                     qint64 shift, qint64 from, qint64 to, double *out)
{
    const float *samples = data.samples.constData();
    const qint64 size = data.samples.size();
    const qint64 npoints = data.npoints;
    const size_t nFreq = delays.size();
    std::vector<const float *> source(nFreq);
    std::vector<qint64> usable(nFreq);
    for (qint64 i0 = from; i0 < to; i0 += blockOutputs) {
        const qint64 n = std::min(blockOutputs, to - i0);
        for (size_t c = 0; c < nFreq; ++c) {
            const qint64 channelStart = base + qint64(c) * npoints;
            // Points of this channel actually present in the array.
            const qint64 held = std::clamp(size - channelStart, qint64(0), npoints);
            const qint64 t0 = shift + i0 + delays[c];
            usable[c] = std::clamp(held - t0, qint64(0), n);
            source[c] = usable[c] > 0 ? samples + channelStart + t0 : nullptr;
        }
        addChannels(out + i0, source, usable, n);
    }
}

// Copies `rows` rows of nFreq floats, the first at file-order index `first`,
// into channel-major columns `columnStride` floats apart. Floats beyond the
// mapped block read 0.
void copyRows(const NativeMapping &map, qint64 first, qint64 rowStride, qint64 rows, int nFreq, float *scratch,
              qint64 columnStride)
{
    qint64 k = 0;
#if defined(__SSE2__)
    // Four rows by four channels at a time, transposed in registers.
    for (; k + 4 <= rows && first + (k + 3) * rowStride + nFreq <= map.count; k += 4) {
        const float *r0 = reinterpret_cast<const float *>(map.bytes + 4 * (first + k * rowStride));
        const float *r1 = r0 + rowStride;
        const float *r2 = r1 + rowStride;
        const float *r3 = r2 + rowStride;
        int c = 0;
        for (; c + 4 <= nFreq; c += 4) {
            __m128 a = _mm_loadu_ps(r0 + c);
            __m128 b = _mm_loadu_ps(r1 + c);
            __m128 d = _mm_loadu_ps(r2 + c);
            __m128 e = _mm_loadu_ps(r3 + c);
            _MM_TRANSPOSE4_PS(a, b, d, e);
            float *column = scratch + qint64(c) * columnStride + k;
            _mm_storeu_ps(column, a);
            _mm_storeu_ps(column + columnStride, b);
            _mm_storeu_ps(column + 2 * columnStride, d);
            _mm_storeu_ps(column + 3 * columnStride, e);
        }
        for (; c < nFreq; ++c) {
            float *column = scratch + qint64(c) * columnStride + k;
            std::memcpy(column, r0 + c, sizeof(float));
            std::memcpy(column + 1, r1 + c, sizeof(float));
            std::memcpy(column + 2, r2 + c, sizeof(float));
            std::memcpy(column + 3, r3 + c, sizeof(float));
        }
    }
#endif
    for (; k < rows; ++k) {
        const qint64 index = first + k * rowStride;
        float *column = scratch + k;
        for (int c = 0; c < nFreq; ++c)
            column[qint64(c) * columnStride] = index + c < map.count ? map.at(index + c) : 0.0f;
    }
}

// Same for the mapped block in file order: each block's rows are first copied
// into a channel-major scratch area so the summing loop reads contiguous floats.
void sumMapped(const NativeFile &data, const std::vector<qint32> &delays, qint64 rowOffset,
               qint64 shift, qint64 from, qint64 to, double *out)
{
    const NativeMapping &map = *data.mapping;
    const qint64 rowStride = qint64(data.nModules) * data.nRays * data.nChannels;
    const int nFreq = int(delays.size());
    const qint64 minDelay = *std::min_element(delays.begin(), delays.end());
    const qint64 maxDelay = *std::max_element(delays.begin(), delays.end());
    const qint64 span = maxDelay - minDelay;
    // Outputs per block: as many as fit the second-level cache with the rows
    // their delays reach, but at least as many as the delays span, so that no
    // row is copied more than twice.
    const qint64 outputsPerBlock = std::max({scratchFloats / nFreq - span, span, qint64(256)});
    if ((outputsPerBlock + span) * nFreq > maxScratchFloats) {
        // Delays too far apart for a scratch copy: read each sample where it lies.
        for (qint64 i0 = from; i0 < to; i0 += blockOutputs) {
            const qint64 n = std::min(blockOutputs, to - i0);
            double *acc = out + i0;
            for (int c = nFreq - 1; c >= 0; --c) {
                const qint64 first = (shift + i0 + delays[size_t(c)]) * rowStride + rowOffset + c;
                for (qint64 j = 0; j < n; ++j) {
                    const qint64 index = first + j * rowStride;
                    if (index < map.count)
                        acc[j] += double(map.at(index));
                }
            }
        }
        return;
    }
    const qint64 rowsPerBlock = outputsPerBlock + span;
    // Channel columns an odd number of cache lines apart, so that the scattered
    // writes of one row do not all fall into the same cache set.
    qint64 lines = (rowsPerBlock + 15) / 16;
    if (lines % 2 == 0)
        ++lines;
    const qint64 columnStride = lines * 16;
    std::vector<float> scratch(static_cast<size_t>(columnStride * nFreq));
    std::vector<const float *> source(static_cast<size_t>(nFreq));
    const std::vector<qint64> usable(static_cast<size_t>(nFreq), outputsPerBlock);
    for (int c = 0; c < nFreq; ++c)
        source[size_t(c)] = scratch.data() + qint64(c) * columnStride + (delays[size_t(c)] - minDelay);

    for (qint64 i0 = from; i0 < to; i0 += outputsPerBlock) {
        const qint64 n = std::min(outputsPerBlock, to - i0);
        const qint64 firstRow = shift + i0 + minDelay;
        copyRows(map, firstRow * rowStride + rowOffset, rowStride, n + span, nFreq, scratch.data(), columnStride);
        addChannels(out + i0, source, usable, n);
    }
}

} // namespace

double dispersionDelayPoints(double f1, double f2, double dm, double tres)
{
    if (f1 == 0.0 || f2 == 0.0 || tres == 0.0)
        return 0.0;
    return (1.0 / (f2 * f2) - 1.0 / (f1 * f1)) * dispersionConstant * dm / tres;
}

int dispersedChannelSum(const NativeFile &data, QVector<double> *out, int firstPoint, double dm,
                        int moduleIndex, int rayIndex, int count)
{
    if (!out || count <= 0 || moduleIndex < 0 || moduleIndex >= data.nModules || rayIndex < 0
        || rayIndex >= data.nRays || data.nChannels < 2 || data.fbands.size() < data.nChannels - 1
        || data.tresolution == 0.0)
        return -1;
    const int nFreq = data.nChannels - 1;
    for (int c = 0; c < nFreq; ++c) {
        if (data.fbands[c] == 0.0)
            return -1;
    }

    const double fRef = data.fbands[nFreq - 1];
    std::vector<qint32> delays(static_cast<size_t>(nFreq));
    for (int c = 0; c < nFreq; ++c) {
        const double f = data.fbands[c];
        const double delay = ((1.0 / (f * f) - 1.0 / (fRef * fRef)) * dispersionConstant * dm) / data.tresolution;
        // A NaN delay (NaN dm or sample interval) addresses no sample at all.
        if (std::isnan(delay))
            return -1;
        delays[size_t(c)] = saturatedDelay(delay);
    }
    const qint64 minDelay = *std::min_element(delays.begin(), delays.end());
    const qint64 maxDelay = *std::max_element(delays.begin(), delays.end());

    out->resize(count);
    double *values = out->data();

    // Outputs whose every shifted index lies in [0, npoints): the complete sums.
    // Before them (channels above the reference frequency reach back past the first
    // sample) the first complete sum is repeated, after them the last one.
    const qint64 shift = firstPoint;
    const qint64 from = std::max<qint64>(0, -minDelay - shift);
    const qint64 to = std::min<qint64>(count, qint64(data.npoints) - maxDelay - shift);
    if (from >= to) {
        std::fill(values, values + count, 0.0);
        return count;
    }

    if (data.mapping) {
        const qint64 rowOffset = (qint64(moduleIndex) * data.nRays + rayIndex) * data.nChannels;
        sumOutputs(from, to, nFreq, [&](qint64 a, qint64 b) {
            sumMapped(data, delays, rowOffset, shift, a, b, values);
        });
        // Zeros in place of data from a file cut short on disk make no sum.
        if (nativeSamplesLost(data)) {
            out->clear();
            return -1;
        }
    } else {
        const qint64 base = (qint64(moduleIndex) * data.nRays + rayIndex) * data.nChannels * qint64(data.npoints);
        sumOutputs(from, to, nFreq, [&](qint64 a, qint64 b) {
            sumChannelMajor(data, delays, base, shift, a, b, values);
        });
    }

    std::fill(values, values + from, values[from]);
    std::fill(values + to, values + count, values[to - 1]);
    return count;
}
